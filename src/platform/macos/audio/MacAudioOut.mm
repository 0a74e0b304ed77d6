#include "platform/macos/audio/MacAudioOut.h"

#include "platform/macos/foundation/Strings.h"

#import <AVFoundation/AVFoundation.h>
#import <Foundation/Foundation.h>
#include <algorithm>
#include <system_error>
#include <utility>

namespace vigilo {

namespace {

class MacAudioClip final : public AudioClip {
public:
    explicit MacAudioClip(AVAudioPlayer* player)
        : player_(player) {}

    void setVolume(float volume) override { player_.volume = std::clamp(volume, 0.0F, 1.0F); }

    void playFromStart() override {
        player_.currentTime = 0;
        [player_ play];
    }

    void stop() override { [player_ stop]; }

    [[nodiscard]] bool isPlaying() const override { return player_.playing; }

private:
    AVAudioPlayer* player_;
};

} // namespace

MacAudioOut::MacAudioOut(std::filesystem::path resourceFolder)
    : resourceFolder_(std::move(resourceFolder)) {}

std::unique_ptr<AudioClip> MacAudioOut::prepare(const std::string& name) {
    NSString* path = nil;
    if (resourceFolder_.empty()) {
        path = [NSBundle.mainBundle pathForResource:toNSString(name) ofType:@"wav"];
    } else {
        const std::filesystem::path file = resourceFolder_ / (name + ".wav");
        std::error_code error;
        if (std::filesystem::is_regular_file(file, error)) {
            path = toNSString(file.string());
        }
    }
    if (path == nil) {
        return nullptr;
    }
    NSError* error = nil;
    AVAudioPlayer* player =
        [[AVAudioPlayer alloc] initWithContentsOfURL:[NSURL fileURLWithPath:path] error:&error];
    if (player == nil) {
        return nullptr;
    }
    [player prepareToPlay];
    return std::make_unique<MacAudioClip>(player);
}

} // namespace vigilo
