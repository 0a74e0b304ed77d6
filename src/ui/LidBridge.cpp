#include "ui/LidBridge.h"

#include "art/AppIcon.h"

#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

namespace vigilo {

LidBridge::LidBridge(LidMode& lidMode, const PlatformWords& words, QObject* parent)
    : Bridge(parent)
    , lidMode_(lidMode)
    , consentExplanation_(QString::fromStdString(words.lidConsentExplanation))
    , revokeExplanation_(QString::fromStdString(words.lidRevokeExplanation)) {
    follow(lidMode.changed());
}

QString LidBridge::lidError() const {
    const auto& error = lidMode_.lidError();
    return error ? QString::fromStdString(*error) : QString();
}

void LidBridge::confirmRemoveLidHelper() {
    // Shown, not exec'd: a nested event loop would stall the panel behind it. Application-modal,
    // so the panel takes no clicks meanwhile and stays open (it ignores the loss of focus while
    // a modal window is up).
    auto* dialog = new QMessageBox();
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setIconPixmap(QPixmap::fromImage(AppIcon::image(48, dialog->devicePixelRatioF())));
    dialog->setText(QStringLiteral("Отозвать доступ к крышке?"));
    dialog->setInformativeText(revokeExplanation_);
    QPushButton* revoke =
        dialog->addButton(QStringLiteral("Отозвать доступ"), QMessageBox::AcceptRole);
    QPushButton* cancel = dialog->addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    dialog->setDefaultButton(revoke);
    // Escape and the window's close button answer "Отмена".
    dialog->setEscapeButton(cancel);
    connect(dialog, &QMessageBox::buttonClicked, this, [this, revoke](QAbstractButton* chosen) {
        if (chosen == revoke) {
            removeLidHelper();
        }
    });
    dialog->show();
}

} // namespace vigilo
