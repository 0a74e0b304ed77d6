#include "model/PanelState.h"

namespace vigilo {

template <typename T> void PanelState::publish(T& field, T value) {
    if (field != value) {
        field = value;
        changed_.notify();
    }
}

void PanelState::setPanelVisible(bool visible) {
    publish(isPanelVisible_, visible);
}

void PanelState::setPointer(std::optional<PanelPoint> pointer) {
    publish(pointer_, pointer);
}

void PanelState::setShowsSettings(bool shows) {
    publish(showsSettings_, shows);
}

void PanelState::setPanelTab(PanelTab tab) {
    publish(panelTab_, tab);
}

void PanelState::setReducesMotion(bool reduces) {
    publish(reducesMotion_, reduces);
}

void PanelState::resetAfterDismiss() {
    setShowsSettings(false);
    setPanelTab(PanelTab::General);
    setPanelVisible(false);
    setPointer(std::nullopt);
}

} // namespace vigilo
