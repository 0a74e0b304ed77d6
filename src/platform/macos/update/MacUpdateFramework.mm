#include "platform/macos/update/MacUpdateFramework.h"

#include "platform/macos/foundation/MainRunLoop.h"
#include "platform/macos/foundation/Strings.h"
#include "platform/macos/update/SparkleErrors.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>
#import <Sparkle/Sparkle.h>
#include <string>

namespace {

vigilo::UpdateError updateError(NSError* error) {
    std::string description = vigilo::stringValue(error.localizedDescription).value_or("");
    const auto kind = vigilo::sparkleErrorKind(static_cast<std::int64_t>(error.code), description);
    return {.kind = kind, .description = std::move(description)};
}

} // namespace

/// Sparkle's user driver and updater delegate: turns each callback into the driver's call, in
/// the driver's own types. Once detached it answers nothing more, and Sparkle's replies that
/// are still held do nothing.
@interface VigiloSparkleBridge : NSObject <SPUUserDriver, SPUUpdaterDelegate>
- (instancetype)initWithDriver:(vigilo::UpdateDriver*)driver;
- (void)detach;
/// An `unconfigured` error with `description`, for a check of an updater that did not start.
- (void)reportStartFailure:(NSString*)description;
@end

@implementation VigiloSparkleBridge {
    vigilo::UpdateDriver* _driver;
}

- (instancetype)initWithDriver:(vigilo::UpdateDriver*)driver {
    self = [super init];
    if (self != nil) {
        _driver = driver;
    }
    return self;
}

- (void)detach {
    _driver = nullptr;
}

- (void)reportStartFailure:(NSString*)description {
    if (_driver != nullptr) {
        _driver->showUpdaterError({.kind = vigilo::UpdateErrorKind::unconfigured,
                                   .description = vigilo::stringValue(description).value_or("")},
                                  [] {});
    }
}

- (void)showUpdatePermissionRequest:(SPUUpdatePermissionRequest*)request
                              reply:(void (^)(SUUpdatePermissionResponse*))reply {
    (void)request;
    if (_driver == nullptr) {
        return;
    }
    void (^held)(SUUpdatePermissionResponse*) = [reply copy];
    _driver->showPermissionRequest([held](vigilo::UpdatePermission permission) {
        held([[SUUpdatePermissionResponse alloc]
            initWithAutomaticUpdateChecks:permission.automaticallyChecks
               automaticUpdateDownloading:@(permission.automaticallyDownloads)
                        sendSystemProfile:permission.sendsSystemProfile]);
    });
}

- (void)showUserInitiatedUpdateCheckWithCancellation:(void (^)(void))cancellation {
    (void)cancellation;
    if (_driver != nullptr) {
        _driver->showUserInitiatedCheck();
    }
}

- (void)showUpdateFoundWithAppcastItem:(SUAppcastItem*)appcastItem
                                 state:(SPUUserUpdateState*)state
                                 reply:(void (^)(SPUUserUpdateChoice))reply {
    (void)state;
    if (_driver == nullptr) {
        return;
    }
    void (^held)(SPUUserUpdateChoice) = [reply copy];
    _driver->showUpdateFound(vigilo::stringValue(appcastItem.displayVersionString).value_or(""),
                             [held] { held(SPUUserUpdateChoiceInstall); });
}

- (void)showUpdateReleaseNotesWithDownloadData:(SPUDownloadData*)downloadData {
    (void)downloadData;
}

- (void)showUpdateReleaseNotesFailedToDownloadWithError:(NSError*)error {
    (void)error;
}

- (void)showUpdateNotFoundWithError:(NSError*)error
                    acknowledgement:(void (^)(void))acknowledgement {
    if (_driver == nullptr) {
        return;
    }
    vigilo::UpdateNotFound outcome;
    id reason = error.userInfo[SPUNoUpdateFoundReasonKey];
    if ([reason isKindOfClass:[NSNumber class]]) {
        outcome.reason =
            static_cast<vigilo::NoUpdateReason>(static_cast<NSNumber*>(reason).intValue);
    }
    void (^held)(void) = [acknowledgement copy];
    _driver->showUpdateNotFound(outcome, [held] { held(); });
}

- (void)showUpdaterError:(NSError*)error acknowledgement:(void (^)(void))acknowledgement {
    if (_driver == nullptr) {
        return;
    }
    void (^held)(void) = [acknowledgement copy];
    _driver->showUpdaterError(updateError(error), [held] { held(); });
}

- (void)showDownloadInitiatedWithCancellation:(void (^)(void))cancellation {
    (void)cancellation;
    if (_driver != nullptr) {
        _driver->showDownloadStarted();
    }
}

- (void)showDownloadDidReceiveExpectedContentLength:(uint64_t)expectedContentLength {
    if (_driver != nullptr) {
        _driver->showDownloadExpectedLength(expectedContentLength);
    }
}

- (void)showDownloadDidReceiveDataOfLength:(uint64_t)length {
    if (_driver != nullptr) {
        _driver->showDownloadReceived(length);
    }
}

- (void)showDownloadDidStartExtractingUpdate {
    if (_driver != nullptr) {
        _driver->showExtractionStarted();
    }
}

- (void)showExtractionReceivedProgress:(double)progress {
    if (_driver != nullptr) {
        _driver->showExtractionProgress(progress);
    }
}

- (void)showReadyToInstallAndRelaunch:(void (^)(SPUUserUpdateChoice))reply {
    if (_driver == nullptr) {
        return;
    }
    void (^held)(SPUUserUpdateChoice) = [reply copy];
    _driver->showReadyToInstall([held] { held(SPUUserUpdateChoiceInstall); });
}

- (void)showInstallingUpdateWithApplicationTerminated:(BOOL)applicationTerminated
                          retryTerminatingApplication:(void (^)(void))retryTerminatingApplication {
    (void)applicationTerminated;
    (void)retryTerminatingApplication;
    if (_driver != nullptr) {
        _driver->showInstalling();
    }
}

- (void)showUpdateInstalledAndRelaunched:(BOOL)relaunched
                         acknowledgement:(void (^)(void))acknowledgement {
    (void)relaunched;
    if (_driver == nullptr) {
        return;
    }
    void (^held)(void) = [acknowledgement copy];
    _driver->showInstalledAndRelaunched([held] { held(); });
}

- (void)showUpdateInFocus {
    [NSApp activate];
}

- (void)dismissUpdateInstallation {
    if (_driver != nullptr) {
        _driver->dismissUpdateInstallation();
    }
}

- (BOOL)updater:(SPUUpdater*)updater
       willInstallUpdateOnQuit:(SUAppcastItem*)item
    immediateInstallationBlock:(void (^)(void))immediateInstallHandler {
    (void)updater;
    (void)item;
    if (_driver == nullptr) {
        return NO;
    }
    void (^held)(void) = [immediateInstallHandler copy];
    return _driver->willInstallOnQuit([held] { held(); }) ? YES : NO;
}

@end

namespace vigilo {

struct MacUpdateFramework::Sparkle {
    VigiloSparkleBridge* bridge = nil;
    SPUUpdater* updater = nil;
    /// Why the updater did not start; empty once it runs.
    std::string startFailure;
};

MacUpdateFramework::MacUpdateFramework()
    : sparkle_(std::make_unique<Sparkle>()) {}

MacUpdateFramework::~MacUpdateFramework() {
    [sparkle_->bridge detach];
}

void MacUpdateFramework::start(UpdateDriver& driver) {
    if (sparkle_->bridge != nil) {
        return;
    }
    sparkle_->bridge = [[VigiloSparkleBridge alloc] initWithDriver:&driver];
    NSBundle* bundle = NSBundle.mainBundle;
    sparkle_->updater = [[SPUUpdater alloc] initWithHostBundle:bundle
                                             applicationBundle:bundle
                                                    userDriver:sparkle_->bridge
                                                      delegate:sparkle_->bridge];
    sparkle_->updater.automaticallyChecksForUpdates = YES;
    sparkle_->updater.automaticallyDownloadsUpdates = YES;
    NSError* error = nil;
    if (![sparkle_->updater startUpdater:&error]) {
        NSString* description = error != nil ? error.localizedDescription : @"";
        NSLog(@"Sparkle не запустился: %@", description);
        sparkle_->startFailure = stringValue(description).value_or("");
        if (sparkle_->startFailure.empty()) {
            sparkle_->startFailure = "Sparkle did not start";
        }
    }
}

void MacUpdateFramework::checkForUpdates() {
    if (sparkle_->updater == nil) {
        return;
    }
    if (sparkle_->startFailure.empty()) {
        [sparkle_->updater checkForUpdates];
        return;
    }
    // Reported from the event loop, as Sparkle reports its own errors, not from inside the
    // driver's own call; a detached bridge reports nothing.
    VigiloSparkleBridge* bridge = sparkle_->bridge;
    NSString* description = toNSString(sparkle_->startFailure);
    onMainRunLoop(^{
        [bridge reportStartFailure:description];
    });
}

} // namespace vigilo
