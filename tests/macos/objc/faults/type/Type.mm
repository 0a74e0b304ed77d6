// A result of the wrong type: the check must refuse the conversion.
#import <Foundation/Foundation.h>

bool hasIdentifier(NSBundle* bundle) {
    const char* identifier = bundle.bundleIdentifier;
    return identifier != nullptr;
}
