// UserNotifications, as far as the adapters use it.
#pragma once

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

typedef NS_OPTIONS(NSUInteger, UNAuthorizationOptions) {
    UNAuthorizationOptionBadge = (1 << 0),
    UNAuthorizationOptionSound = (1 << 1),
    UNAuthorizationOptionAlert = (1 << 2),
};

@interface UNNotificationSound : NSObject <NSCopying, NSSecureCoding>
@property(class, copy, readonly) UNNotificationSound* defaultSound;
@end

@interface UNNotificationContent : NSObject <NSCopying, NSSecureCoding>
@property(readonly, copy) NSString* title;
@property(readonly, copy) NSString* body;
@property(readonly, copy, nullable) UNNotificationSound* sound;
@end

@interface UNMutableNotificationContent : UNNotificationContent
@property(copy) NSString* title;
@property(copy) NSString* body;
@property(copy, nullable) UNNotificationSound* sound;
@end

@interface UNNotificationTrigger : NSObject <NSCopying, NSSecureCoding>
@end

@interface UNNotificationRequest : NSObject <NSCopying, NSSecureCoding>
+ (instancetype)requestWithIdentifier:(NSString*)identifier
                              content:(UNNotificationContent*)content
                              trigger:(nullable UNNotificationTrigger*)trigger;
@end

@interface UNUserNotificationCenter : NSObject
+ (UNUserNotificationCenter*)currentNotificationCenter;
- (void)requestAuthorizationWithOptions:(UNAuthorizationOptions)options
                      completionHandler:
                          (void (^)(BOOL granted, NSError* _Nullable error))completionHandler;
- (void)addNotificationRequest:(UNNotificationRequest*)request
         withCompletionHandler:(nullable void (^)(NSError* _Nullable error))completionHandler;
@end

NS_ASSUME_NONNULL_END
