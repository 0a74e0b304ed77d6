// AVFoundation (its AVFAudio part), as far as the adapters use it.
#pragma once

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface AVAudioPlayer : NSObject
- (nullable instancetype)initWithContentsOfURL:(NSURL*)url error:(NSError**)outError;
- (BOOL)prepareToPlay;
- (BOOL)play;
- (void)stop;
@property(readonly, getter=isPlaying) BOOL playing;
@property float volume;
@property NSTimeInterval currentTime;
@end

NS_ASSUME_NONNULL_END
