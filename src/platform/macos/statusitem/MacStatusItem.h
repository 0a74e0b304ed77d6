#pragma once

#include "platform/StatusItem.h"

#include <memory>

namespace vigilo {

/// The glass as an item of the menu bar (NSStatusItem): the empty glass as a template image in
/// the bar's own colour, the filled one in colour. Its button reports left and right mouse-ups;
/// the click's button and modifier keys choose the panel, the toggle or the menu
/// (`menuBarClick`). Qt's own tray icon cannot tell those clicks apart on a Mac.
class MacStatusItem final : public StatusItem {
    Q_OBJECT

public:
    explicit MacStatusItem(QObject* parent = nullptr);
    ~MacStatusItem() override;
    MacStatusItem(const MacStatusItem&) = delete;
    MacStatusItem& operator=(const MacStatusItem&) = delete;

    void setIcon(const QIcon& icon, bool isTemplate) override;
    void setToolTip(const QString& text) override;
    void setMenu(QMenu* menu) override;
    void show() override;
    [[nodiscard]] QRect geometry() const override;

private:
    struct Item;
    void clicked(bool rightButton, bool control, bool option);

    std::unique_ptr<Item> item_;
    QMenu* menu_ = nullptr;
};

} // namespace vigilo
