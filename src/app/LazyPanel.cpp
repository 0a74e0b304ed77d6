#include "app/LazyPanel.h"

#include <utility>

namespace vigilo {

LazyPanel::LazyPanel(PanelSource& source, std::function<Services()> services, Desktop& desktop)
    : source_(source)
    , services_(std::move(services))
    , desktop_(desktop) {}

void LazyPanel::setWindowed(bool windowed) {
    windowed_ = windowed;
    if (panel_) {
        panel_->setWindowed(windowed);
    }
}

void LazyPanel::togglePanel(const PanelAnchor& anchor) {
    if (panel_) {
        panel_->togglePanel(anchor);
    } else if (waiting_) {
        waiting_.reset();
    } else {
        whenMade([anchor](Panel& panel) { panel.togglePanel(anchor); });
    }
}

void LazyPanel::showAbout(const PanelAnchor& anchor) {
    whenMade([anchor](Panel& panel) { panel.showAbout(anchor); });
}

void LazyPanel::showPanel(const PanelAnchor& anchor) {
    whenMade([anchor](Panel& panel) { panel.showPanel(anchor); });
}

void LazyPanel::dismiss() {
    waiting_.reset();
    if (panel_) {
        panel_->dismiss();
    }
}

bool LazyPanel::isOpen() const {
    return panel_ && panel_->isOpen();
}

void LazyPanel::whenMade(Request request) {
    if (panel_) {
        request(*panel_);
        return;
    }
    waiting_ = std::move(request);
    if (making_) {
        return;
    }
    making_ = true;
    source_.make(services_(), [this, alive = std::weak_ptr(lifetime_)](std::unique_ptr<Panel> panel,
                                                                       const QString& problem) {
        if (!alive.expired()) {
            made(std::move(panel), problem);
        }
    });
}

void LazyPanel::made(std::unique_ptr<Panel> panel, const QString& problem) {
    making_ = false;
    if (!panel) {
        waiting_.reset();
        qWarning("vigilo: панель не открылась: %s", qUtf8Printable(problem));
        desktop_.notify("Панель Vigilo не открылась", problem.toStdString());
        return;
    }
    panel_ = std::move(panel);
    panel_->setWindowed(windowed_);
    if (auto request = std::exchange(waiting_, std::nullopt)) {
        (*request)(*panel_);
    }
}

} // namespace vigilo
