#include "platform/macos/apps/MacWorkspace.h"

#include "platform/macos/apps/ApplicationBundles.h"
#include "platform/macos/foundation/MainRunLoop.h"
#include "platform/macos/foundation/Strings.h"

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>
#include <system_error>
#include <utility>

namespace {

using vigilo::stringValue;
using vigilo::toNSString;

/// An Info.plist entry that says yes, as a boolean or as the text "1" or "YES".
bool says(NSBundle* bundle, NSString* key) {
    id value = [bundle objectForInfoDictionaryKey:key];
    if ([value isKindOfClass:[NSNumber class]]) {
        return static_cast<NSNumber*>(value).boolValue;
    }
    const auto text = stringValue(value);
    return text == "1" || text == "YES" || text == "true";
}

} // namespace

/// Hands each change of NSWorkspace's running applications to the main run loop, where it calls
/// the callback unless the observation has ended meanwhile.
@interface VigiloRunningApplicationsObserver : NSObject
- (instancetype)initWithChange:(std::function<void()>)onChange;
- (void)stop;
@end

@implementation VigiloRunningApplicationsObserver {
    std::function<void()> _onChange;
    BOOL _stopped;
}

- (instancetype)initWithChange:(std::function<void()>)onChange {
    self = [super init];
    if (self != nil) {
        _onChange = std::move(onChange);
    }
    return self;
}

- (void)stop {
    _stopped = YES;
}

- (void)observeValueForKeyPath:(NSString*)keyPath
                      ofObject:(id)object
                        change:(NSDictionary<NSKeyValueChangeKey, id>*)change
                       context:(void*)context {
    (void)keyPath;
    (void)object;
    (void)change;
    (void)context;
    __weak VigiloRunningApplicationsObserver* weakSelf = self;
    vigilo::onMainRunLoop(^{
        VigiloRunningApplicationsObserver* strongSelf = weakSelf;
        if (strongSelf != nil && !strongSelf->_stopped && strongSelf->_onChange) {
            strongSelf->_onChange();
        }
    });
}

@end

namespace vigilo {

namespace {

NSString* const runningApplicationsKey = @"runningApplications";

class RunningApplicationsObservation final : public Workspace::Observation {
public:
    explicit RunningApplicationsObservation(std::function<void()> onChange)
        : observer_(
              [[VigiloRunningApplicationsObserver alloc] initWithChange:std::move(onChange)]) {
        // No initial notice: the caller reads the state at the start itself.
        [NSWorkspace.sharedWorkspace addObserver:observer_
                                      forKeyPath:runningApplicationsKey
                                         options:0
                                         context:nullptr];
    }

    ~RunningApplicationsObservation() override {
        [observer_ stop];
        [NSWorkspace.sharedWorkspace removeObserver:observer_
                                         forKeyPath:runningApplicationsKey
                                            context:nullptr];
    }

    RunningApplicationsObservation(const RunningApplicationsObservation&) = delete;
    RunningApplicationsObservation& operator=(const RunningApplicationsObservation&) = delete;

private:
    VigiloRunningApplicationsObserver* observer_;
};

/// Draws NSWorkspace's icon of the application at `location` into a PNG file.
bool writeRenderedIcon(const std::string& location, const std::filesystem::path& file) {
    NSImage* icon = [NSWorkspace.sharedWorkspace iconForFile:toNSString(location)];
    // Large enough for the chooser's rows on a Retina screen, small enough to draw quickly.
    NSRect size = NSMakeRect(0, 0, 64, 64);
    CGImageRef image = [icon CGImageForProposedRect:&size context:nil hints:nil];
    if (image == nullptr) {
        return false;
    }
    NSBitmapImageRep* bitmap = [[NSBitmapImageRep alloc] initWithCGImage:image];
    NSData* png = [bitmap representationUsingType:NSBitmapImageFileTypePNG properties:@{}];
    return png != nil && [png writeToFile:toNSString(file.string()) atomically:YES];
}

} // namespace

struct MacWorkspace::Installed {
    std::vector<std::filesystem::file_time_type> stamp;
    std::vector<InstalledApplication> applications;
};

MacWorkspace::MacWorkspace(std::vector<std::filesystem::path> applicationFolders,
                           std::filesystem::path iconCacheFolder)
    : applicationFolders_(std::move(applicationFolders))
    , iconCacheFolder_(std::move(iconCacheFolder)) {}

MacWorkspace::~MacWorkspace() = default;

std::set<std::string> MacWorkspace::runningApplicationIDs() const {
    std::set<std::string> identifiers;
    for (NSRunningApplication* application in NSWorkspace.sharedWorkspace.runningApplications) {
        if (auto identifier = stringValue(application.bundleIdentifier)) {
            identifiers.insert(std::move(*identifier));
        }
    }
    return identifiers;
}

std::unique_ptr<Workspace::Observation>
MacWorkspace::observeRunningApplications(std::function<void()> onChange) {
    return std::make_unique<RunningApplicationsObservation>(std::move(onChange));
}

std::optional<std::string> MacWorkspace::applicationLocation(const std::string& identifier) const {
    if (identifier.empty() || identifier.starts_with(processNamePrefix)) {
        return std::nullopt;
    }
    NSURL* url =
        [NSWorkspace.sharedWorkspace URLForApplicationWithBundleIdentifier:toNSString(identifier)];
    return url != nil ? stringValue(url.path) : std::nullopt;
}

std::optional<Workspace::Bundle> MacWorkspace::readBundle(const std::string& location) const {
    NSBundle* bundle = [NSBundle bundleWithPath:toNSString(location)];
    if (bundle == nil) {
        return std::nullopt;
    }
    return Bundle{
        .identifier = stringValue(bundle.bundleIdentifier),
        .displayName = stringValue([bundle objectForInfoDictionaryKey:@"CFBundleDisplayName"]),
        .name = stringValue([bundle objectForInfoDictionaryKey:@"CFBundleName"]),
    };
}

std::optional<std::string> MacWorkspace::iconReference(const std::string& location) const {
    const std::filesystem::path file = renderedIconFile(iconCacheFolder_, location);
    if (hasFreshRenderedIcon(iconCacheFolder_, location)) {
        return file.string();
    }
    std::error_code error;
    std::filesystem::create_directories(iconCacheFolder_, error);
    if (error || !writeRenderedIcon(location, file)) {
        return std::nullopt;
    }
    return file.string();
}

std::vector<Workspace::InstalledApplication> MacWorkspace::installedApplications() const {
    auto stamp = foldersStamp(applicationFolders_);
    if (installed_ && installed_->stamp == stamp) {
        return installed_->applications;
    }
    auto applications = offeredApplications(
        findApplicationBundles(applicationFolders_),
        [](const std::filesystem::path& location) -> std::optional<BundleInfo> {
            NSBundle* bundle = [NSBundle bundleWithPath:toNSString(location.string())];
            if (bundle == nil) {
                return std::nullopt;
            }
            return BundleInfo{
                .identifier = stringValue(bundle.bundleIdentifier),
                .displayName =
                    stringValue([bundle objectForInfoDictionaryKey:@"CFBundleDisplayName"]),
                .name = stringValue([bundle objectForInfoDictionaryKey:@"CFBundleName"]),
                .isAgent = says(bundle, @"LSUIElement") || says(bundle, @"LSBackgroundOnly"),
            };
        },
        [this](const std::filesystem::path& location) { return iconReference(location.string()); });
    installed_ = std::make_unique<Installed>(Installed{std::move(stamp), applications});
    return applications;
}

} // namespace vigilo
