#include "platform/macos/admin/MacAdminScriptRunner.h"

#include "platform/macos/foundation/Strings.h"

#import <Foundation/Foundation.h>

namespace vigilo {

std::optional<std::string> MacAdminScriptRunner::run(const std::string& source) {
    NSAppleScript* script = [[NSAppleScript alloc] initWithSource:toNSString(source)];
    if (script == nil) {
        return std::nullopt;
    }
    NSDictionary<NSString*, id>* errorInfo = nil;
    if ([script executeAndReturnError:&errorInfo] != nil) {
        return std::nullopt;
    }
    // The user's cancelling the password dialog is a failure like any other.
    return stringValue(errorInfo[NSAppleScriptErrorMessage]).value_or("");
}

} // namespace vigilo
