#include "ui/PanelBridge.h"

#include <QPointF>

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

} // namespace vigilo
