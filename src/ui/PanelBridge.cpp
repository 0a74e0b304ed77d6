#include "ui/PanelBridge.h"

#include "model/Donation.h"

#include <QDesktopServices>
#include <QPointF>
#include <QUrl>

namespace vigilo {

PanelBridge::PanelBridge(AwakeModel& model, QObject* parent)
    : Bridge(parent)
    , model_(model)
    , panel_(model.panelState()) {
    follow(panel_.willChange());
    follow(model.preferences().willChange());
    follow(model.donationQuestion().willChange());
}

QVariant PanelBridge::pointer() const {
    const auto point = panel_.pointer();
    return point ? QVariant(QPointF(point->x, point->y)) : QVariant();
}

void PanelBridge::setPanelTab(int tab) {
    switch (tab) {
    case static_cast<int>(PanelTab::General):
    case static_cast<int>(PanelTab::Apps):
    case static_cast<int>(PanelTab::About):
        panel_.setPanelTab(static_cast<PanelTab>(tab));
        break;
    default:
        break;
    }
}

void PanelBridge::openDonationPage() {
    // The model keeps its desktop services to itself; Qt opens addresses the same way on every
    // platform, so the page is opened here directly.
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(Donation::url)));
}

} // namespace vigilo
