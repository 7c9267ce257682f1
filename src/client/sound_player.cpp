// SoundPlayer: one QSoundEffect per clip, made on first use and kept for the next.
#include "sound_player.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <utility>

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

// A clip that failed to load, or was asked to play after that, can never play again.
bool isDead(const QSoundEffect* effect)
{
    return effect->status() == QSoundEffect::Error || effect->status() == QSoundEffect::Null;
}

} // namespace

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
{
}

SoundPlayer::~SoundPlayer() = default;

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
    QSoundEffect* effect = effectFor(key);
    if (!effect)
        return;
    // One clip at a time: whatever sounds now is cut, including a clip still loading
    // whose start is only queued. The same clip asked again starts over.
    for (QSoundEffect* other : std::as_const(effects_))
        other->stop();
    effect->play();
    current_ = key;
}

int SoundPlayer::soundingCount() const
{
    int count = 0;
    for (const QSoundEffect* effect : effects_)
        if (effect->isPlaying())
            ++count;
    return count;
}

void SoundPlayer::preload(const QStringList& names)
{
    for (const QString& name : names)
        effectFor(name.toLower());
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

QSoundEffect* SoundPlayer::effectFor(const QString& name)
{
    QSoundEffect* effect = effects_.value(name);
    // Without an audio output a clip goes dead once loaded. If an output has appeared
    // since (a headset plugged in, the sound server started late), it gets a fresh start.
    if (effect && isDead(effect) && !QMediaDevices::defaultAudioOutput().isNull()) {
        effects_.remove(name);
        delete effect;
        effect = nullptr;
    }
    if (effect)
        return effect;
    const QString path = resourcePath(name);
    if (path.isEmpty() || !QFile::exists(path))
        return nullptr;
    effect = new QSoundEffect(this);
    effect->setSource(QUrl(QStringLiteral("qrc") + path));
    effects_.insert(name, effect);
    return effect;
}
