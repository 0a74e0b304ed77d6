#include "platform/macos/desktop/MacDesktop.h"

#include "platform/macos/desktop/LoginItemMessage.h"
#include "platform/macos/foundation/MainRunLoop.h"
#include "platform/macos/foundation/Strings.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>
#import <ServiceManagement/ServiceManagement.h>
#import <UserNotifications/UserNotifications.h>

namespace vigilo {

namespace {

/// The notification centre serves applications only: asked from a program outside a bundle (a
/// test, a build run from the terminal) it throws.
bool hasNotificationCentre() {
    return NSBundle.mainBundle.bundleIdentifier != nil;
}

} // namespace

void MacDesktop::copyText(const std::string& text) {
    NSPasteboard* pasteboard = NSPasteboard.generalPasteboard;
    [pasteboard clearContents];
    [pasteboard setString:toNSString(text) forType:NSPasteboardTypeString];
}

void MacDesktop::requestNotificationAccess() {
    if (!hasNotificationCentre()) {
        return;
    }
    [UNUserNotificationCenter.currentNotificationCenter
        requestAuthorizationWithOptions:UNAuthorizationOptionAlert | UNAuthorizationOptionSound
                      completionHandler:^(BOOL granted, NSError* _Nullable error) {
                          // The answer changes nothing: a refused notification is simply not
                          // shown.
                          (void)granted;
                          (void)error;
                      }];
}

void MacDesktop::notify(const std::string& title, const std::string& body) {
    if (!hasNotificationCentre()) {
        return;
    }
    UNMutableNotificationContent* content = [[UNMutableNotificationContent alloc] init];
    content.title = toNSString(title);
    content.body = toNSString(body);
    content.sound = UNNotificationSound.defaultSound;
    // No trigger: delivered at once.
    UNNotificationRequest* request =
        [UNNotificationRequest requestWithIdentifier:NSUUID.UUID.UUIDString
                                             content:content
                                             trigger:nil];
    [UNUserNotificationCenter.currentNotificationCenter addNotificationRequest:request
                                                         withCompletionHandler:nil];
}

void MacDesktop::playAlertSound() {
    [[NSSound soundNamed:@"Glass"] play];
}

void MacDesktop::openUrl(const std::string& url) {
    if (NSURL* address = [NSURL URLWithString:toNSString(url)]) {
        [NSWorkspace.sharedWorkspace openURL:address];
    }
}

bool MacDesktop::launchesAtLogin() const {
    return SMAppService.mainAppService.status == SMAppServiceStatusEnabled;
}

std::optional<std::string> MacDesktop::setLaunchesAtLogin(bool launches) {
    SMAppService* service = SMAppService.mainAppService;
    NSError* error = nil;
    const BOOL done = launches ? [service registerAndReturnError:&error]
                               : [service unregisterAndReturnError:&error];
    if (done) {
        return std::nullopt;
    }
    return macLoginItemFailure(error != nil ? stringValue(error.localizedDescription).value_or("")
                                            : std::string());
}

void MacDesktop::showAlert(const std::string& title, const std::string& message) {
    NSString* messageText = toNSString(title);
    NSString* informativeText = toNSString(message);
    onMainRunLoop(^{
        NSAlert* alert = [[NSAlert alloc] init];
        alert.alertStyle = NSAlertStyleWarning;
        alert.messageText = messageText;
        alert.informativeText = informativeText;
        // A menu-bar program is not the active application: without this the alert would open
        // behind the others.
        [NSApp activate];
        [alert runModal];
    });
}

void MacDesktop::performHapticFeedback() {
    [NSHapticFeedbackManager.defaultPerformer
        performFeedbackPattern:NSHapticFeedbackPatternLevelChange
               performanceTime:NSHapticFeedbackPerformanceTimeNow];
}

} // namespace vigilo
