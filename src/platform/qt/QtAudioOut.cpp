#include "platform/qt/QtAudioOut.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace vigilo {

namespace {

class SoundEffectClip final : public AudioClip {
public:
    explicit SoundEffectClip(const QUrl& source) { effect_.setSource(source); }
    void setVolume(float volume) override { effect_.setVolume(volume); }
    void playFromStart() override {
        effect_.stop();
        effect_.play();
    }
    void stop() override { effect_.stop(); }
    [[nodiscard]] bool isPlaying() const override { return effect_.isPlaying(); }

private:
    QSoundEffect effect_;
};

} // namespace

std::unique_ptr<AudioClip> QtAudioOut::prepare(const std::string& name) {
    const QString path = folder_ + u'/' + QString::fromStdString(name) + QStringLiteral(".wav");
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable()) {
        return nullptr;
    }
    const QUrl source =
        path.startsWith(u':') ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
    return std::make_unique<SoundEffectClip>(source);
}

} // namespace vigilo
