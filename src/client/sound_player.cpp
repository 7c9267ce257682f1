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

SoundPlayer::~SoundPlayer()
{
    // Stopped and deleted here, with the player, and so always before the
    // application object goes.
    for (QSoundEffect* effect : std::as_const(effects_))
        effect->stop();
    qDeleteAll(effects_);
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
    const QString path = resourcePath(key);
    if (path.isEmpty() || !QFile::exists(path))
        return; // no such clip: whatever sounds goes on
    current_ = key;
    QSoundEffect* effect = effectFor(key);
    if (!effect)
        return;
    // One clip at a time: whatever sounds now is cut, including a clip still loading
    // whose start is only queued. The same clip asked again starts over.
    for (QSoundEffect* other : std::as_const(effects_))
        other->stop();
    effect->play();
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
    // Nothing can be heard without an audio output, so no clip is loaded: Qt's
    // sample cache loads clips on a thread of its own, and one still loading
    // when the program ends can hang the program's exit.
    const bool canSound = !QMediaDevices::defaultAudioOutput().isNull();
    if (!canSound)
        return nullptr;
    QSoundEffect* effect = effects_.value(name);
    // A clip loaded while there was no output went dead. Now that an output has
    // appeared (a headset plugged in, the sound server started late), it gets a
    // fresh start.
    if (effect && isDead(effect)) {
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
