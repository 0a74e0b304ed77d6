#include "ui/PanelBridge.h"

#include <QPointF>

namespace vigilo {

PanelBridge::PanelBridge(AwakeModel& model, QObject* parent)
    : Bridge(parent)
    , model_(model)
    , panel_(model.panelState()) {
    follow(panel_.changed());
    follow(model.preferences().changed());
    follow(model.donationQuestion().changed());
}

QVariant PanelBridge::pointer() const {
    const auto point = panel_.pointer();
    return point ? QVariant(QPointF(point->x, point->y)) : QVariant();
}

PanelBridge::SettingsTab PanelBridge::panelTab() const {
    switch (panel_.panelTab()) {
    case PanelTab::General:
        return SettingsTab::GeneralTab;
    case PanelTab::Apps:
        return SettingsTab::AppsTab;
    case PanelTab::About:
        return SettingsTab::AboutTab;
    }
    return SettingsTab::GeneralTab;
}

void PanelBridge::setPanelTab(SettingsTab tab) {
    switch (tab) {
    case SettingsTab::GeneralTab:
        panel_.setPanelTab(PanelTab::General);
        return;
    case SettingsTab::AppsTab:
        panel_.setPanelTab(PanelTab::Apps);
        return;
    case SettingsTab::AboutTab:
        panel_.setPanelTab(PanelTab::About);
        return;
    }
}

} // namespace vigilo
