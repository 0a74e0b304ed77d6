// A warning and nothing else: the check must still fail.
#import <Foundation/Foundation.h>

void unusedVariable() {
    NSString* unused = @"never read";
}
