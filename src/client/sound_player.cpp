// SoundPlayer: one clip per name, made on first use and kept for the next.
#include "sound_player.h"

#include "sound_backend.h"
#include "sound_module.h"
#include "sound_server.h"

#include <QSet>
#include <QUrl>

namespace {

bool isPlainName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name)
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

} // namespace

SoundPlayer::SoundPlayer(QObject* parent)
    : SoundPlayer(moduleBackend(), parent)
{
}

SoundPlayer::SoundPlayer(BackendSource source, QObject* parent)
    : QObject(parent)
    , source_(std::move(source))
{
}

SoundPlayer::~SoundPlayer()
{
    // Stopped and deleted here, with the player, and so always before the
    // application object goes; the clips before the backend that made them.
    for (auto& [name, clip] : clips_)
        clip->stop();
    clips_.clear();
    backend_.reset();
}

SoundPlayer::BackendSource SoundPlayer::moduleBackend()
{
    return [moduleFailed = false]() mutable -> std::unique_ptr<SoundBackend> {
        // Without a sound server nothing can be heard: the module and Qt Multimedia are
        // not loaded at all. The look is made again at the next clip, so a server started
        // later is found. A module that would not load is not tried again.
        if (moduleFailed || !soundServerMayAnswer(SoundServerHints::fromEnvironment()))
            return nullptr;
        std::unique_ptr<SoundBackend> backend = SoundModule::load();
        moduleFailed = backend == nullptr;
        return backend;
    };
}

void SoundPlayer::playsounds(const QString& name)
{
    if (effectsOn_)
        play(name);
}

void SoundPlayer::playChatter(const QString& name)
{
    if (chatterOn_)
        play(name);
}

void SoundPlayer::play(const QString& name)
{
    const QString key = name.toLower();
    played_.append(key);
    if (played_.size() > kMaxPlayed)
        played_.removeFirst();
    if (!isClipName(key))
        return; // no such clip: whatever sounds goes on
    current_ = key;
    SoundClip* clip = clipFor(key);
    if (!clip)
        return;
    // One clip at a time: whatever sounds now is cut, including a clip still loading
    // whose start is only queued. The same clip asked again starts over.
    for (auto& [other, loaded] : clips_)
        loaded->stop();
    clip->play();
}

int SoundPlayer::soundingCount() const
{
    int count = 0;
    for (const auto& [name, clip] : clips_)
        if (clip->isPlaying())
            ++count;
    return count;
}

void SoundPlayer::preload(const QStringList& names)
{
    for (const QString& name : names)
        clipFor(name.toLower());
}

QString SoundPlayer::resourcePath(const QString& name)
{
    const QString key = name.toLower();
    if (!isPlainName(key))
        return {};
    return QStringLiteral(":/sounds/%1.wav").arg(key);
}

QStringList SoundPlayer::effectNames()
{
    return { QStringLiteral("start"), QStringLiteral("turnnew"), QStringLiteral("place"),
        QStringLiteral("clear"), QStringLiteral("goodword"), QStringLiteral("badword"),
        QStringLiteral("roundover"), QStringLiteral("gameover"), QStringLiteral("entered") };
}

QStringList SoundPlayer::chatterNames()
{
    QStringList names;
    for (int n = 1; n <= 20; ++n)
        names.append(QStringLiteral("wave%1").arg(n));
    return names;
}

// The clips themselves are embedded in the sound module, so the names are known
// here without it.
bool SoundPlayer::isClipName(const QString& key)
{
    static const QSet<QString> names = [] {
        const QStringList all = effectNames() + chatterNames();
        return QSet<QString>(all.begin(), all.end());
    }();
    return names.contains(key);
}

SoundClip* SoundPlayer::clipFor(const QString& name)
{
    if (!backend_ && source_)
        backend_ = source_();
    // Nothing can be heard without an audio output, so no clip is loaded: Qt's
    // sample cache loads clips on a thread of its own, and one still loading
    // when the program ends can hang the program's exit.
    if (!backend_ || !backend_->hasOutput())
        return nullptr;
    auto found = clips_.find(name);
    // A clip loaded while there was no output went dead. Now that an output has
    // appeared (a headset plugged in, the sound server started late), it gets a
    // fresh start.
    if (found != clips_.end() && found->second->isDead()) {
        clips_.erase(found);
        found = clips_.end();
    }
    if (found != clips_.end())
        return found->second.get();
    if (!isClipName(name))
        return nullptr;
    std::unique_ptr<SoundClip>& clip = clips_[name];
    clip = backend_->makeClip(QUrl(QStringLiteral("qrc") + resourcePath(name)));
    return clip.get();
}
