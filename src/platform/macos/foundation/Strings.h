#pragma once

// Text between Foundation and the program: for Objective-C++ files only.

#import <Foundation/Foundation.h>
#include <optional>
#include <string>

namespace vigilo {

/// `text` as an NSString; text that is not UTF-8 becomes the empty string.
inline NSString* _Nonnull toNSString(const std::string& text) {
    NSString* string = [[NSString alloc] initWithBytes:text.data()
                                                length:text.size()
                                              encoding:NSUTF8StringEncoding];
    return string != nil ? string : @"";
}

/// `value` as UTF-8 when it is an NSString, else nothing.
inline std::optional<std::string> stringValue(id _Nullable value) {
    if (![value isKindOfClass:[NSString class]]) {
        return std::nullopt;
    }
    const char* utf8 = static_cast<NSString*>(value).UTF8String;
    return utf8 != nullptr ? std::optional<std::string>(utf8) : std::nullopt;
}

} // namespace vigilo
