#pragma once

// Work for the main thread's next run-loop pass: for Objective-C++ files only.

#import <Foundation/Foundation.h>

namespace vigilo {

/// Runs `work` on the main run loop's next pass, in every common mode. Unlike the main
/// dispatch queue, whose blocks run one after the other, this also runs while a modal alert or
/// panel that an earlier block opened is up.
inline void onMainRunLoop(void (^_Nonnull work)(void)) {
    CFRunLoopRef main = CFRunLoopGetMain();
    CFRunLoopPerformBlock(main, kCFRunLoopCommonModes, work);
    CFRunLoopWakeUp(main);
}

} // namespace vigilo
