#pragma once

#include "model/AwakeModel.h"
#include "ui/Bridge.h"

#include <QVariant>

namespace vigilo {

/// The panel's frame: which screen is up, the settings tab, the published pointer for hover
/// highlights, and what decides the main screen's height.
class PanelBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    Q_PROPERTY(bool visible READ isPanelVisible NOTIFY changed)
    /// A QPointF in the panel's coordinates (origin at the window's top-left corner), or
    /// undefined when there is none.
    Q_PROPERTY(QVariant pointer READ pointer NOTIFY changed)
    Q_PROPERTY(bool showsSettings READ showsSettings WRITE setShowsSettings NOTIFY changed)
    Q_PROPERTY(SettingsTab panelTab READ panelTab WRITE setPanelTab NOTIFY changed)
    Q_PROPERTY(bool hidesMetrics READ hidesMetrics NOTIFY changed)
    Q_PROPERTY(bool askingForDonation READ isAskingForDonation NOTIFY changed)
    /// The desktop asks for less motion: no hover nudges, a still glass.
    Q_PROPERTY(bool reducesMotion READ reducesMotion NOTIFY changed)
    /// Who brings new versions of a program that does not update itself.
    Q_PROPERTY(QString updatedByOthers READ updatedByOthers CONSTANT)

public:
    /// The settings screen's tabs; `PanelTab` of the model, for QML.
    enum class SettingsTab { GeneralTab, AppsTab, AboutTab };
    Q_ENUM(SettingsTab)

    /// `model` must outlive the bridge.
    explicit PanelBridge(AwakeModel& model, QObject* parent = nullptr);

    [[nodiscard]] bool isPanelVisible() const { return panel_.isPanelVisible(); }
    [[nodiscard]] QVariant pointer() const;
    [[nodiscard]] bool showsSettings() const { return panel_.showsSettings(); }
    void setShowsSettings(bool shows) { panel_.setShowsSettings(shows); }
    [[nodiscard]] SettingsTab panelTab() const;
    /// A number QML assigns that is no tab is ignored.
    void setPanelTab(SettingsTab tab);
    [[nodiscard]] bool hidesMetrics() const { return model_.preferences().hidesMetrics(); }
    [[nodiscard]] bool reducesMotion() const { return panel_.reducesMotion(); }
    [[nodiscard]] QString updatedByOthers() const {
        return QString::fromStdString(model_.words().updatedByOthers);
    }
    [[nodiscard]] bool isAskingForDonation() const {
        return model_.donationQuestion().isAskingForDonation();
    }

    /// The donation bar's two answers.
    Q_INVOKABLE void buyCoffee() { model_.donationQuestion().answerDonationQuestion(true); }
    Q_INVOKABLE void postponeDonation() { model_.donationQuestion().postponeDonationQuestion(); }
    /// The about tab's "Купить автору кофе": the donation page in the default browser, whatever
    /// the donation question's state.
    Q_INVOKABLE void openDonationPage() { model_.openDonationPage(); }

private:
    AwakeModel& model_;
    PanelState& panel_;
};

} // namespace vigilo
