#include "platform/macos/desktop/MacReducedMotion.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

namespace vigilo {

MacReducedMotion::MacReducedMotion(QObject* parent)
    : ReducedMotion(parent) {
    reduced_ = NSWorkspace.sharedWorkspace.accessibilityDisplayShouldReduceMotion == YES;
    // The workspace posts this on its own notification centre, on the main thread.
    id observer = [NSWorkspace.sharedWorkspace.notificationCenter
        addObserverForName:NSWorkspaceAccessibilityDisplayOptionsDidChangeNotification
                    object:nil
                     queue:NSOperationQueue.mainQueue
                usingBlock:^(NSNotification* _Nonnull notification) {
                    (void)notification;
                    refresh();
                }];
    observer_ = (__bridge_retained void*)observer;
}

MacReducedMotion::~MacReducedMotion() {
    id observer = (__bridge_transfer id)observer_;
    [NSWorkspace.sharedWorkspace.notificationCenter removeObserver:observer];
}

void MacReducedMotion::refresh() {
    const bool reduced = NSWorkspace.sharedWorkspace.accessibilityDisplayShouldReduceMotion == YES;
    if (reduced != reduced_) {
        reduced_ = reduced;
        Q_EMIT changed();
    }
}

} // namespace vigilo
