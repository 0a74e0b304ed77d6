#pragma once

#include "model/LidMode.h"
#include "ports/PlatformWords.h"
#include "ui/Bridge.h"

namespace vigilo {

/// The closed-lid mode as the hero, the consent card and the about tab show it.
class LidBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    Q_PROPERTY(bool active READ isLidActive NOTIFY changed)
    Q_PROPERTY(QString error READ lidError NOTIFY changed)
    Q_PROPERTY(bool needsConsent READ needsLidConsent NOTIFY changed)
    Q_PROPERTY(bool helperInstalled READ isLidHelperInstalled NOTIFY changed)
    Q_PROPERTY(bool available READ canKeepAwakeWithLidClosed NOTIFY changed)
    /// The consent card's explanation in this platform's words.
    Q_PROPERTY(QString consentExplanation READ consentExplanation CONSTANT)
    /// The revoke confirmation's explanation in this platform's words.
    Q_PROPERTY(QString revokeExplanation READ revokeExplanation CONSTANT)

public:
    /// `lidMode` must outlive the bridge.
    explicit LidBridge(LidMode& lidMode, const PlatformWords& words = {},
                       QObject* parent = nullptr);

    [[nodiscard]] bool isLidActive() const { return lidMode_.isLidActive(); }
    /// Empty when there is none.
    [[nodiscard]] QString lidError() const;
    [[nodiscard]] bool needsLidConsent() const { return lidMode_.needsLidConsent(); }
    [[nodiscard]] bool isLidHelperInstalled() const { return lidMode_.isLidHelperInstalled(); }
    [[nodiscard]] bool canKeepAwakeWithLidClosed() const {
        return lidMode_.canKeepAwakeWithLidClosed();
    }
    [[nodiscard]] QString consentExplanation() const { return consentExplanation_; }
    [[nodiscard]] QString revokeExplanation() const { return revokeExplanation_; }

    Q_INVOKABLE void grantLidPermission() { lidMode_.grantLidPermission(); }
    Q_INVOKABLE void declineLidPermission() { lidMode_.declineLidPermission(); }
    Q_INVOKABLE void removeLidHelper() { lidMode_.removeLidHelper(); }
    /// Asks in an application-modal dialog whether to revoke the permission, and revokes it only
    /// on "Отозвать доступ". Returns at once: the panel's timers keep running while it is up.
    Q_INVOKABLE void confirmRemoveLidHelper();

private:
    LidMode& lidMode_;
    QString consentExplanation_;
    QString revokeExplanation_;
};

} // namespace vigilo
