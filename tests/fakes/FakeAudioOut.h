#pragma once

#include "ports/AudioOut.h"

#include <map>
#include <set>
#include <vector>

namespace vigilo::fakes {

/// Records what is played; a clip keeps playing until stopped.
class FakeAudioOut final : public AudioOut {
public:
    struct Play {
        std::string name;
        float volume;
    };

    [[nodiscard]] std::unique_ptr<AudioClip> prepare(const std::string& name) override {
        ++prepareCalls[name];
        if (missing.contains(name)) {
            return nullptr;
        }
        return std::make_unique<Clip>(*this, name);
    }

    [[nodiscard]] bool isPlaying(const std::string& name) const { return playing.contains(name); }

    std::set<std::string> missing;
    std::set<std::string> playing;
    std::vector<Play> plays;
    std::map<std::string, int> prepareCalls;

private:
    class Clip final : public AudioClip {
    public:
        Clip(FakeAudioOut& out, std::string name)
            : out_(out)
            , name_(std::move(name)) {}
        void setVolume(float volume) override { volume_ = volume; }
        void playFromStart() override {
            out_.plays.push_back({name_, volume_});
            out_.playing.insert(name_);
        }
        void stop() override { out_.playing.erase(name_); }
        [[nodiscard]] bool isPlaying() const override { return out_.playing.contains(name_); }

    private:
        FakeAudioOut& out_;
        std::string name_;
        float volume_ = 1;
    };
};

} // namespace vigilo::fakes
