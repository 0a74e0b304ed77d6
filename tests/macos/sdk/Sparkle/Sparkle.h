// Sparkle 2, as far as the adapters use it: declarations as in Sparkle's public headers
// (SPUUpdater.h, SPUUserDriver.h, SPUUpdaterDelegate.h, SPUUserUpdateState.h, SUAppcastItem.h,
// SUUpdatePermissionResponse.h, SUErrors.h).
#pragma once

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@class SPUUpdatePermissionRequest, SPUDownloadData;

extern NSString* const SPUNoUpdateFoundReasonKey;

typedef NS_ENUM(NSInteger, SPUUserUpdateChoice) {
    SPUUserUpdateChoiceSkip,
    SPUUserUpdateChoiceInstall,
    SPUUserUpdateChoiceDismiss,
};

@interface SPUUserUpdateState : NSObject
- (instancetype)init NS_UNAVAILABLE;
@end

@interface SUAppcastItem : NSObject <NSSecureCoding>
@property(nonatomic, copy, readonly) NSString* displayVersionString;
@end

@interface SUUpdatePermissionResponse : NSObject <NSSecureCoding>
- (instancetype)initWithAutomaticUpdateChecks:(BOOL)automaticUpdateChecks
                   automaticUpdateDownloading:(NSNumber* _Nullable)automaticUpdateDownloading
                            sendSystemProfile:(BOOL)sendSystemProfile;
- (instancetype)init NS_UNAVAILABLE;
@end

@protocol SPUUserDriver <NSObject>
- (void)showUpdatePermissionRequest:(SPUUpdatePermissionRequest*)request
                              reply:(void (^)(SUUpdatePermissionResponse*))reply;
- (void)showUserInitiatedUpdateCheckWithCancellation:(void (^)(void))cancellation;
- (void)showUpdateFoundWithAppcastItem:(SUAppcastItem*)appcastItem
                                 state:(SPUUserUpdateState*)state
                                 reply:(void (^)(SPUUserUpdateChoice))reply;
- (void)showUpdateReleaseNotesWithDownloadData:(SPUDownloadData*)downloadData;
- (void)showUpdateReleaseNotesFailedToDownloadWithError:(NSError*)error;
- (void)showUpdateNotFoundWithError:(NSError*)error acknowledgement:(void (^)(void))acknowledgement;
- (void)showUpdaterError:(NSError*)error acknowledgement:(void (^)(void))acknowledgement;
- (void)showDownloadInitiatedWithCancellation:(void (^)(void))cancellation;
- (void)showDownloadDidReceiveExpectedContentLength:(uint64_t)expectedContentLength;
- (void)showDownloadDidReceiveDataOfLength:(uint64_t)length;
- (void)showDownloadDidStartExtractingUpdate;
- (void)showExtractionReceivedProgress:(double)progress;
- (void)showReadyToInstallAndRelaunch:(void (^)(SPUUserUpdateChoice))reply;
- (void)showInstallingUpdateWithApplicationTerminated:(BOOL)applicationTerminated
                          retryTerminatingApplication:(void (^)(void))retryTerminatingApplication;
- (void)showUpdateInstalledAndRelaunched:(BOOL)relaunched
                         acknowledgement:(void (^)(void))acknowledgement;
- (void)showUpdateInFocus;
- (void)dismissUpdateInstallation;
@end

@class SPUUpdater;

@protocol SPUUpdaterDelegate <NSObject>
@optional
- (BOOL)updater:(SPUUpdater*)updater
       willInstallUpdateOnQuit:(SUAppcastItem*)item
    immediateInstallationBlock:(void (^)(void))immediateInstallHandler;
@end

@interface SPUUpdater : NSObject
- (instancetype)initWithHostBundle:(NSBundle*)hostBundle
                 applicationBundle:(NSBundle*)applicationBundle
                        userDriver:(id<SPUUserDriver>)userDriver
                          delegate:(nullable id<SPUUpdaterDelegate>)delegate;
- (instancetype)init NS_UNAVAILABLE;
- (BOOL)startUpdater:(NSError* __autoreleasing*)error;
- (void)checkForUpdates;
@property(nonatomic) BOOL automaticallyChecksForUpdates;
@property(nonatomic) BOOL automaticallyDownloadsUpdates;
@end

NS_ASSUME_NONNULL_END
