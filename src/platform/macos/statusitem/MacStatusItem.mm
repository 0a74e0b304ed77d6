#include "platform/macos/statusitem/MacStatusItem.h"

#include "platform/macos/foundation/Strings.h"
#include "platform/macos/statusitem/MenuBarClicks.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>
#include <QBuffer>
#include <QCursor>
#include <QMenu>

/// The button's target: hands each click to the item.
@interface VigiloStatusItemTarget : NSObject
@property(nonatomic, copy, nullable) void (^clicked)(NSEvent* _Nullable event);
- (void)click:(nullable id)sender;
@end

@implementation VigiloStatusItemTarget
- (void)click:(nullable id)sender {
    (void)sender;
    if (self.clicked != nil) {
        self.clicked(NSApp.currentEvent);
    }
}
@end

namespace vigilo {

namespace {

/// The menu bar's glass is 18 points high; the image carries twice as many pixels for Retina
/// screens.
constexpr int iconPoints = 18;

} // namespace

struct MacStatusItem::Item {
    NSStatusItem* statusItem = nil;
    VigiloStatusItemTarget* target = nil;
};

MacStatusItem::MacStatusItem(QObject* parent)
    : StatusItem(parent)
    , item_(std::make_unique<Item>()) {
    item_->statusItem =
        [NSStatusBar.systemStatusBar statusItemWithLength:NSVariableStatusItemLength];
    item_->statusItem.visible = NO;
    item_->target = [[VigiloStatusItemTarget alloc] init];
    item_->target.clicked = ^(NSEvent* _Nullable event) {
        const NSEventModifierFlags flags = event != nil ? event.modifierFlags : 0;
        clicked(event != nil && event.type == NSEventTypeRightMouseUp,
                (flags & NSEventModifierFlagControl) != 0,
                (flags & NSEventModifierFlagOption) != 0);
    };
    NSStatusBarButton* button = item_->statusItem.button;
    button.target = item_->target;
    button.action = @selector(click:);
    [button sendActionOn:NSEventMaskLeftMouseUp | NSEventMaskRightMouseUp];
}

MacStatusItem::~MacStatusItem() {
    item_->target.clicked = nil;
    [NSStatusBar.systemStatusBar removeStatusItem:item_->statusItem];
}

void MacStatusItem::setIcon(const QIcon& icon, bool isTemplate) {
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) ||
        !icon.pixmap(2 * iconPoints, 2 * iconPoints).save(&buffer, "PNG")) {
        return;
    }
    NSImage* image =
        [[NSImage alloc] initWithData:[NSData dataWithBytes:png.constData()
                                                     length:static_cast<NSUInteger>(png.size())]];
    if (image == nil) {
        return;
    }
    image.size = NSMakeSize(iconPoints, iconPoints);
    [image setTemplate:isTemplate ? YES : NO];
    item_->statusItem.button.image = image;
}

void MacStatusItem::setToolTip(const QString& text) {
    item_->statusItem.button.toolTip = toNSString(text.toStdString());
}

void MacStatusItem::setMenu(QMenu* menu) {
    menu_ = menu;
}

void MacStatusItem::show() {
    item_->statusItem.visible = YES;
}

QRect MacStatusItem::geometry() const {
    NSWindow* window = item_->statusItem.button.window;
    NSScreen* primary = NSScreen.screens.firstObject;
    if (window == nil || primary == nil) {
        return {};
    }
    // AppKit counts y upwards from the primary screen's bottom edge, Qt downwards from its top.
    const NSRect frame = window.frame;
    const double top = primary.frame.size.height - (frame.origin.y + frame.size.height);
    return QRect(qRound(frame.origin.x), qRound(top), qRound(frame.size.width),
                 qRound(frame.size.height));
}

void MacStatusItem::clicked(bool rightButton, bool control, bool option) {
    switch (menuBarClick(rightButton, control, option)) {
    case MenuBarClick::Menu:
        if (menu_ != nullptr) {
            menu_->popup(QCursor::pos());
        }
        break;
    case MenuBarClick::Toggle:
        Q_EMIT toggleClicked();
        break;
    case MenuBarClick::Panel:
        Q_EMIT panelClicked();
        break;
    }
}

} // namespace vigilo
