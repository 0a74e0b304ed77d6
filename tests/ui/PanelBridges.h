#pragma once

#include "fakes/FakeWorkspace.h"
#include "fakes/ModelFakes.h"
#include "model/RunningAppsWatcher.h"
#include "ui/LidBridge.h"
#include "ui/MetricsBridge.h"
#include "ui/PanelBridge.h"
#include "ui/SettingsBridge.h"
#include "ui/StatusBridge.h"
#include "ui/UpdatesBridge.h"
#include "ui/WatchedAppsBridge.h"

#include <QVariantMap>

namespace vigilo::testing {

/// A model over fakes with every bridge the panel's root view takes, made as the program makes
/// them, for loading `PanelView` whole.
struct PanelBridges : fakes::ModelFakes {
    PanelBridges() = default;
    /// The bridges copy some of the words as they are made, so they are chosen first.
    explicit PanelBridges(PlatformWords platformWords)
        : ModelFakes(std::move(platformWords)) {}

    /// The root view's initial properties; `updates` may be null.
    [[nodiscard]] QVariantMap properties(UpdatesBridge* updates = nullptr) {
        return {{QStringLiteral("status"), QVariant::fromValue(&status)},
                {QStringLiteral("metrics"), QVariant::fromValue(&metrics)},
                {QStringLiteral("lid"), QVariant::fromValue(&lidBridge)},
                {QStringLiteral("panel"), QVariant::fromValue(&panel)},
                {QStringLiteral("settings"), QVariant::fromValue(&settingsBridge)},
                {QStringLiteral("apps"), QVariant::fromValue(&apps)},
                {QStringLiteral("updates"), QVariant::fromValue(updates)}};
    }

    fakes::FakeWorkspace workspace;
    RunningAppsWatcher appsWatcher{settings, workspace, scheduler};
    AwakeModel model{services()};
    StatusBridge status{model, clock};
    MetricsBridge metrics{model.metrics()};
    LidBridge lidBridge{model.lidMode(), model.words()};
    PanelBridge panel{model};
    SettingsBridge settingsBridge{model};
    WatchedAppsBridge apps{appsWatcher, model.words()};
};

} // namespace vigilo::testing
