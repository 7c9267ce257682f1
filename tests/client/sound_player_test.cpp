// SoundPlayer's switches and one-clip-at-a-time rule, and the embedded clips checked
// from their WAV headers. Runs without any audio output: nothing is heard, nothing waits.
#include "sound_player.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

namespace {

const QStringList kEffects { "start", "turnnew", "place", "clear", "goodword", "badword", "roundover",
    "gameover", "entered" };

QStringList chatterClips()
{
    QStringList names;
    for (int n = 1; n <= 20; ++n)
        names << QStringLiteral("wave%1").arg(n);
    return names;
}

} // namespace

TEST(SoundPlayer, EachSwitchGatesOnlyItsOwnClips)
{
    SoundPlayer player;
    EXPECT_TRUE(player.effectsOn());
    EXPECT_TRUE(player.chatterOn());

    player.setEffectsOn(false);
    player.playsounds("goodword");
    player.playChatter("wave3");
    EXPECT_EQ(player.played(), QStringList { "wave3" });

    player.setEffectsOn(true);
    player.setChatterOn(false);
    player.playChatter("wave4");
    player.playsounds("place");
    EXPECT_EQ(player.played(), (QStringList { "wave3", "place" }));

    player.clearPlayed();
    EXPECT_TRUE(player.played().isEmpty());
}

TEST(SoundPlayer, NamesMatchWithoutRegardToCase)
{
    SoundPlayer player;
    player.playsounds("GoodWord");
    player.playChatter("WAVE12");
    EXPECT_EQ(player.played(), (QStringList { "goodword", "wave12" }));
    EXPECT_EQ(player.current(), "wave12");
    EXPECT_EQ(SoundPlayer::resourcePath("TurnNew"), ":/sounds/turnnew.wav");
}

TEST(SoundPlayer, ANewClipCutsTheOnePlaying)
{
    SoundPlayer player;
    player.play("start");
    player.play("badword");
    EXPECT_EQ(player.played(), (QStringList { "start", "badword" }));
    EXPECT_EQ(player.current(), "badword");
    EXPECT_LE(player.soundingCount(), 1);

    for (const QString& name : kEffects + chatterClips())
        player.play(name);
    EXPECT_EQ(player.current(), "wave20");
    EXPECT_LE(player.soundingCount(), 1);
}

TEST(SoundPlayer, NamesWithoutAClipAreRecordedButPlayNothing)
{
    SoundPlayer player;
    player.play("start");
    for (const char* name :
        { "wave21", "wave0", "", "../sounds/start", ":/sounds/start.wav", "start.wav", "st art" })
        player.play(name);
    EXPECT_EQ(player.current(), "start") << "a name with no clip must not cut the clip playing";
    EXPECT_EQ(player.played().size(), 8);
    EXPECT_LE(player.soundingCount(), 1);

    EXPECT_TRUE(SoundPlayer::resourcePath("../pictures/x").isEmpty());
    EXPECT_TRUE(SoundPlayer::resourcePath("").isEmpty());
    EXPECT_TRUE(SoundPlayer::resourcePath("start.wav").isEmpty());
}

TEST(SoundPlayer, KeepsOnlyTheNewestRecords)
{
    SoundPlayer player;
    player.play("wave1");
    for (int i = 0; i < SoundPlayer::kMaxPlayed; ++i)
        player.play("place");
    EXPECT_EQ(player.played().size(), SoundPlayer::kMaxPlayed);
    EXPECT_FALSE(player.played().contains("wave1"));
}

TEST(SoundPlayer, PreloadingThenPlayingAllClipsIsHarmless)
{
    SoundPlayer player;
    player.preload(SoundPlayer::effectNames() + SoundPlayer::chatterNames() + QStringList { "nonsense" });
    for (const QString& name : kEffects)
        player.playsounds(name);
    EXPECT_EQ(player.played(), kEffects);
    EXPECT_EQ(player.current(), "entered");
    EXPECT_LE(player.soundingCount(), 1);
}

TEST(SoundPlayer, WithoutAnAudioOutputNoClipIsEverLoaded)
{
    if (!QMediaDevices::defaultAudioOutput().isNull())
        GTEST_SKIP() << "this machine has an audio output";
    // A clip loading in Qt's sample cache when the program ends can hang its exit;
    // where nothing can be heard nothing is loaded, so nothing can hang.
    SoundPlayer player;
    player.preload(SoundPlayer::effectNames());
    for (const QString& name : kEffects + chatterClips())
        player.play(name);
    EXPECT_EQ(player.loadedClips(), 0);
    EXPECT_EQ(player.current(), "wave20");
}

namespace {

uint32_t le32(const QByteArray& b, qsizetype at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16
        | uint32_t(uint8_t(b[at + 3])) << 24;
}

uint16_t le16(const QByteArray& b, qsizetype at)
{
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

struct Wave {
    bool valid = false;
    QString problem;
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    QByteArray samples;
    double seconds() const { return rate && channels ? double(samples.size()) / (rate * channels * 2.0) : 0; }
    int sampleAt(qsizetype i) const { return int16_t(le16(samples, 2 * i)); }
    qsizetype count() const { return samples.size() / 2; }
};

Wave parseWave(const QByteArray& file)
{
    Wave wave;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") {
        wave.problem = "not RIFF/WAVE";
        return wave;
    }
    if (le32(file, 4) != uint32_t(file.size() - 8)) {
        wave.problem = "RIFF size does not match the file";
        return wave;
    }
    bool haveFormat = false, haveData = false;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = le32(file, at + 4);
        if (at + 8 + size > file.size()) {
            wave.problem = "chunk runs past the end";
            return wave;
        }
        if (id == "fmt " && size >= 16) {
            wave.format = le16(file, at + 8);
            wave.channels = le16(file, at + 10);
            wave.rate = le32(file, at + 12);
            const uint32_t byteRate = le32(file, at + 16);
            const uint16_t blockAlign = le16(file, at + 20);
            wave.bits = le16(file, at + 22);
            if (byteRate != wave.rate * blockAlign || blockAlign != wave.channels * wave.bits / 8) {
                wave.problem = "inconsistent format chunk";
                return wave;
            }
            haveFormat = true;
        } else if (id == "data") {
            wave.samples = file.mid(at + 8, size);
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    wave.valid = haveFormat && haveData;
    if (!wave.valid)
        wave.problem = "missing fmt or data chunk";
    return wave;
}

void expectClip(const QString& name, double minSeconds, double maxSeconds)
{
    SCOPED_TRACE(name.toStdString());
    QFile file(SoundPlayer::resourcePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no embedded clip";
    const Wave wave = parseWave(file.readAll());
    ASSERT_TRUE(wave.valid) << wave.problem.toStdString();
    EXPECT_EQ(wave.format, 1) << "PCM";
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.bits, 16);
    EXPECT_GE(wave.rate, 11025u);
    EXPECT_LE(wave.rate, 44100u);
    EXPECT_GE(wave.seconds(), minSeconds);
    EXPECT_LE(wave.seconds(), maxSeconds);

    // Audible, and ending in the silence that the player's lost last moments fall into.
    int peak = 0;
    for (qsizetype i = 0; i < wave.count(); ++i)
        peak = std::max(peak, std::abs(wave.sampleAt(i)));
    EXPECT_GT(peak, 32768 / 4) << "too quiet";
    const qsizetype tail = qsizetype(wave.rate * 0.3);
    int tailPeak = 0;
    for (qsizetype i = std::max<qsizetype>(0, wave.count() - tail); i < wave.count(); ++i)
        tailPeak = std::max(tailPeak, std::abs(wave.sampleAt(i)));
    EXPECT_EQ(tailPeak, 0) << "the last 0.3 s should be silence";
}

} // namespace

TEST(SoundClips, EffectsAreShortMonoPcmClips)
{
    for (const QString& name : kEffects)
        expectClip(name, 0.2, 1.25);
}

TEST(SoundClips, ChatterClipsAreMonoPcmOfAtMostFiveSeconds)
{
    for (const QString& name : chatterClips())
        expectClip(name, 0.2, 5.0);
}

TEST(SoundClips, TheListsNameEveryClipOnce)
{
    EXPECT_EQ(SoundPlayer::effectNames(), kEffects);
    EXPECT_EQ(SoundPlayer::chatterNames(), chatterClips());
    for (const QString& name : SoundPlayer::effectNames() + SoundPlayer::chatterNames())
        EXPECT_TRUE(QFile::exists(SoundPlayer::resourcePath(name))) << name.toStdString();
}
