#include "platform/macos/panel/MacPanelWindowSystem.h"

#include "platform/macos/panel/CocoaGeometry.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

namespace vigilo {

struct MacPanelWindowSystem::Window {
    /// Qt's view; Qt owns it and its window.
    __weak NSView* view = nil;
    PanelRect clickable;
    id globalMonitor = nil;
    id localMonitor = nil;
    NSVisualEffectView* blur = nil;
};

namespace {

NSView* _Nullable viewOf(PanelWindowSystem::WindowId window) {
    return (__bridge NSView*)reinterpret_cast<void*>(window);
}

CocoaRect cocoaRect(NSRect rect) {
    return {.x = rect.origin.x,
            .y = rect.origin.y,
            .width = rect.size.width,
            .height = rect.size.height};
}

/// Lets the mouse through unless it is over the clickable area now.
void followMouse(NSView* _Nullable view, PanelRect clickable) {
    NSWindow* window = view.window;
    if (window == nil) {
        return;
    }
    const NSPoint mouse = NSEvent.mouseLocation;
    const PanelPoint point = pointInWindow(mouse.x, mouse.y, cocoaRect(window.frame));
    window.ignoresMouseEvents = clickable.contains(point) ? NO : YES;
}

/// A floating panel that never activates the program. Qt sets the level of its windows again
/// when it shows them, so this is applied before and after; only what differs is changed.
void applyPanelStyle(NSWindow* _Nullable window) {
    if (window == nil) {
        return;
    }
    const bool isPanel = [window isKindOfClass:[NSPanel class]];
    const NSWindowStyleMask style =
        isPanel ? NSWindowStyleMaskNonactivatingPanel : NSWindowStyleMaskBorderless;
    if (window.styleMask != style) {
        window.styleMask = style;
    }
    if (isPanel) {
        static_cast<NSPanel*>(window).floatingPanel = YES;
    }
    if (window.level != NSStatusWindowLevel) {
        window.level = NSStatusWindowLevel;
    }
    window.backgroundColor = NSColor.clearColor;
    window.opaque = NO;
    window.hasShadow = NO;
    window.acceptsMouseMovedEvents = YES;
    window.hidesOnDeactivate = NO;
    window.collectionBehavior =
        NSWindowCollectionBehaviorCanJoinAllSpaces | NSWindowCollectionBehaviorTransient |
        NSWindowCollectionBehaviorIgnoresCycle | NSWindowCollectionBehaviorFullScreenAuxiliary;
}

} // namespace

MacPanelWindowSystem::MacPanelWindowSystem() = default;

MacPanelWindowSystem::~MacPanelWindowSystem() {
    for (auto& [id, window] : windows_) {
        if (window->globalMonitor != nil) {
            [NSEvent removeMonitor:window->globalMonitor];
        }
        if (window->localMonitor != nil) {
            [NSEvent removeMonitor:window->localMonitor];
        }
        [window->blur removeFromSuperview];
    }
}

MacPanelWindowSystem::Window& MacPanelWindowSystem::state(WindowId window) {
    auto& entry = windows_[window];
    if (!entry) {
        entry = std::make_unique<Window>();
        entry->view = viewOf(window);
    }
    return *entry;
}

void MacPanelWindowSystem::keepOutOfTaskbars(WindowId id) {
    applyPanelStyle(viewOf(id).window);
}

void MacPanelWindowSystem::setClickableArea(WindowId id, PanelRect area) {
    Window& window = state(id);
    window.clickable = area;
    Window* const held = &window;
    if (window.globalMonitor == nil) {
        // The global monitor sees the mouse over other programs' windows, the local one over
        // this program's; neither takes or changes an event. `held` lives until the monitors
        // are removed.
        window.globalMonitor =
            [NSEvent addGlobalMonitorForEventsMatchingMask:NSEventMaskMouseMoved
                                                   handler:^(NSEvent* event) {
                                                       (void)event;
                                                       followMouse(held->view, held->clickable);
                                                   }];
    }
    if (window.localMonitor == nil) {
        window.localMonitor =
            [NSEvent addLocalMonitorForEventsMatchingMask:NSEventMaskMouseMoved
                                                  handler:^NSEvent* _Nullable(NSEvent* event) {
                                                      followMouse(held->view, held->clickable);
                                                      return event;
                                                  }];
    }
    applyPanelStyle(window.view.window);
    followMouse(window.view, area);
}

void MacPanelWindowSystem::blurBehind(WindowId id, PanelRect area, double cornerRadius) {
    Window& window = state(id);
    NSView* content = window.view;
    NSView* frameView = content.superview;
    if (content == nil || frameView == nil) {
        return;
    }
    if (window.blur == nil) {
        window.blur = [[NSVisualEffectView alloc] initWithFrame:NSMakeRect(0, 0, 0, 0)];
        window.blur.material = NSVisualEffectMaterialPopover;
        window.blur.blendingMode = NSVisualEffectBlendingModeBehindWindow;
        window.blur.state = NSVisualEffectStateActive;
        // Below Qt's view, which draws the panel over it and is transparent around it.
        [frameView addSubview:window.blur positioned:NSWindowBelow relativeTo:content];
    }
    const NSRect contentFrame = content.frame;
    const CocoaRect rect = flippedIntoWindow(area, contentFrame.size.height);
    window.blur.frame = NSMakeRect(contentFrame.origin.x + rect.x, contentFrame.origin.y + rect.y,
                                   rect.width, rect.height);
    const CGFloat radius = cornerRadius;
    window.blur.maskImage = [NSImage imageWithSize:NSMakeSize(rect.width, rect.height)
                                           flipped:NO
                                    drawingHandler:^BOOL(NSRect bounds) {
                                        [NSColor.blackColor set];
                                        [[NSBezierPath bezierPathWithRoundedRect:bounds
                                                                         xRadius:radius
                                                                         yRadius:radius] fill];
                                        return YES;
                                    }];
}

} // namespace vigilo
