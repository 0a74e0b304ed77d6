// A value that may be nil handed where none may be: the check must say so.
#import <Foundation/Foundation.h>

NSBundle* _Nullable bundleAt(NSURL* url) {
    return [NSBundle bundleWithPath:url.path];
}
