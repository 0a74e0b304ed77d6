#pragma once

#include "app/PanelSource.h"
#include "panel/Panel.h"
#include "ports/Desktop.h"

#include <functional>
#include <memory>
#include <optional>

namespace vigilo {

/// The panel, made from its source when it is first wanted. Until it exists it is closed: the
/// requests to show it wait for it, the latest one winning, and a toggle or a dismissal while it
/// is being made takes the waiting request back. When it cannot be made the user is told why
/// and the next request tries again. Main thread only.
class LazyPanel final : public Panel {
public:
    /// `services` gives what the panel is made over when it is made. Everything must outlive
    /// this.
    LazyPanel(PanelSource& source, std::function<Services()> services, Desktop& desktop);

    void setWindowed(bool windowed) override;
    [[nodiscard]] bool isWindowed() const { return windowed_; }
    void togglePanel(const PanelAnchor& anchor) override;
    void showAbout(const PanelAnchor& anchor) override;
    void showPanel(const PanelAnchor& anchor) override;
    void dismiss() override;
    [[nodiscard]] bool isOpen() const override;

private:
    using Request = std::function<void(Panel&)>;

    /// Carries out `request` on the panel, once it exists.
    void whenMade(Request request);
    void made(std::unique_ptr<Panel> panel, const QString& problem);

    PanelSource& source_;
    std::function<Services()> services_;
    Desktop& desktop_;
    std::unique_ptr<Panel> panel_;
    bool windowed_ = false;
    bool making_ = false;
    std::optional<Request> waiting_;
    /// A panel made after this is gone finds this expired.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace vigilo
