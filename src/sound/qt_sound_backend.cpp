// The lexmire-sound module: SoundBackend on Qt Multimedia, one QSoundEffect per clip.
#include "sound_backend.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

namespace {

class QtSoundClip final : public SoundClip {
public:
    explicit QtSoundClip(const QUrl& source) { effect_.setSource(source); }
    ~QtSoundClip() override { effect_.stop(); }

    void play() override { effect_.play(); }
    void stop() override { effect_.stop(); }
    bool isPlaying() const override { return effect_.isPlaying(); }
    bool isDead() const override
    {
        return effect_.status() == QSoundEffect::Error || effect_.status() == QSoundEffect::Null;
    }

private:
    QSoundEffect effect_;
};

class QtSoundBackend final : public SoundBackend {
public:
    bool hasOutput() const override { return !QMediaDevices::defaultAudioOutput().isNull(); }
    std::unique_ptr<SoundClip> makeClip(const QUrl& source) override
    {
        return std::make_unique<QtSoundClip>(source);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT SoundBackend* lexmire_make_sound_backend() { return new QtSoundBackend; }
