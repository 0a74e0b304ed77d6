// A misspelt selector: the check must name it.
#import <AppKit/AppKit.h>

void clearPasteboard() {
    [NSPasteboard.generalPasteboard clearContent];
}
