// SoundPlayer's switches and one-clip-at-a-time rule, and the embedded clips checked
// from their WAV headers. Runs without any audio output: nothing is heard, nothing waits.
#include "sound_backend.h"
#include "sound_module.h"
#include "sound_player.h"

#include <QFile>
#include <QTemporaryDir>

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
    // A clip loading in Qt's sample cache when the program ends can hang its exit;
    // where nothing can be heard nothing is loaded, so nothing can hang.
    std::unique_ptr<SoundBackend> probe = SoundModule::load({ LEXMIRE_SOUND_MODULE });
    ASSERT_NE(probe, nullptr);
    if (probe->hasOutput())
        GTEST_SKIP() << "this machine has an audio output";
    SoundPlayer player([] { return SoundModule::load({ LEXMIRE_SOUND_MODULE }); });
    player.preload(SoundPlayer::effectNames());
    for (const QString& name : kEffects + chatterClips())
        player.play(name);
    EXPECT_TRUE(player.hasBackend());
    EXPECT_EQ(player.loadedClips(), 0);
    EXPECT_EQ(player.current(), "wave20");
}

// A backend that plays nothing but remembers what its clips were told.
struct FakeSound {
    bool output = true;
    int backendsMade = 0;
    int sourceCalls = 0;
    std::vector<QUrl> sources;
    std::map<QString, bool> playing; // by clip source
    std::map<QString, bool> dead;
};

class FakeClip final : public SoundClip {
public:
    FakeClip(FakeSound& sound, QString source)
        : sound_(sound)
        , source_(std::move(source))
    {
    }
    ~FakeClip() override { sound_.playing.erase(source_); }
    void play() override { sound_.playing[source_] = true; }
    void stop() override { sound_.playing[source_] = false; }
    bool isPlaying() const override { return sound_.playing[source_]; }
    bool isDead() const override { return sound_.dead[source_]; }

private:
    FakeSound& sound_;
    QString source_;
};

class FakeBackend final : public SoundBackend {
public:
    explicit FakeBackend(FakeSound& sound)
        : sound_(sound)
    {
    }
    bool hasOutput() const override { return sound_.output; }
    std::unique_ptr<SoundClip> makeClip(const QUrl& source) override
    {
        sound_.sources.push_back(source);
        return std::make_unique<FakeClip>(sound_, source.toString());
    }

private:
    FakeSound& sound_;
};

SoundPlayer::BackendSource fakeSource(FakeSound& sound, bool gives = true)
{
    return [&sound, gives]() -> std::unique_ptr<SoundBackend> {
        ++sound.sourceCalls;
        if (!gives)
            return nullptr;
        ++sound.backendsMade;
        return std::make_unique<FakeBackend>(sound);
    };
}

int soundingClips(const FakeSound& sound)
{
    int count = 0;
    for (const auto& [source, on] : sound.playing)
        count += on ? 1 : 0;
    return count;
}

TEST(SoundPlayerClips, TheBackendIsMadeAtTheFirstClipNotBefore)
{
    FakeSound sound;
    SoundPlayer player(fakeSource(sound));
    EXPECT_EQ(sound.sourceCalls, 0);
    player.setEffectsOn(false);
    player.playsounds("start");
    player.play("nonsense");
    EXPECT_EQ(sound.sourceCalls, 0) << "neither a switched-off clip nor a name without one needs sound";
    EXPECT_FALSE(player.hasBackend());

    player.play("start");
    player.play("place");
    EXPECT_EQ(sound.backendsMade, 1);
    EXPECT_TRUE(player.hasBackend());
    ASSERT_EQ(sound.sources.size(), 2u);
    EXPECT_EQ(sound.sources[0], QUrl("qrc:/sounds/start.wav"));
}

TEST(SoundPlayerClips, OneClipSoundsAtATimeAndEachLoadsOnce)
{
    FakeSound sound;
    SoundPlayer player(fakeSource(sound));
    for (const QString& name : kEffects + chatterClips() + kEffects) {
        player.play(name);
        EXPECT_EQ(soundingClips(sound), 1) << name.toStdString();
        EXPECT_TRUE(sound.playing["qrc:/sounds/" + name + ".wav"]) << name.toStdString();
    }
    EXPECT_EQ(player.loadedClips(), kEffects.size() + 20);
    EXPECT_EQ(int(sound.sources.size()), player.loadedClips());

    player.play("wave99");
    EXPECT_TRUE(sound.playing["qrc:/sounds/entered.wav"]) << "a name without a clip cuts nothing";
}

TEST(SoundPlayerClips, ADeadClipIsMadeAfreshAndNoOutputLoadsNothing)
{
    FakeSound sound;
    sound.output = false;
    SoundPlayer player(fakeSource(sound));
    player.play("goodword");
    EXPECT_EQ(player.loadedClips(), 0);

    sound.output = true; // a headset plugged in
    player.play("goodword");
    EXPECT_EQ(player.loadedClips(), 1);
    sound.dead["qrc:/sounds/goodword.wav"] = true;
    player.play("goodword");
    EXPECT_EQ(sound.sources.size(), 2u) << "the dead clip is made again";
    EXPECT_EQ(sound.backendsMade, 1);
}

TEST(SoundPlayerClips, ASourceThatGivesNothingIsAskedAgainAtTheNextClip)
{
    FakeSound sound;
    SoundPlayer player(fakeSource(sound, false));
    player.play("start");
    player.play("place");
    EXPECT_EQ(sound.sourceCalls, 2);
    EXPECT_FALSE(player.hasBackend());
    EXPECT_EQ(player.current(), "place");
}

TEST(SoundModuleLoading, OnlyAModuleWithTheEntryPointLoads)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile notAModule(folder.filePath("lexmire-sound.so"));
    ASSERT_TRUE(notAModule.open(QIODevice::WriteOnly));
    notAModule.write("not a shared object");
    notAModule.close();

    EXPECT_EQ(
        SoundModule::locate({ folder.filePath("missing.so"), notAModule.fileName(), folder.path() }), "");
    EXPECT_EQ(SoundModule::load({ notAModule.fileName() }), nullptr);
    EXPECT_EQ(SoundModule::locate({ notAModule.fileName(), LEXMIRE_SOUND_MODULE }), LEXMIRE_SOUND_MODULE);
    EXPECT_TRUE(SoundModule::searchPaths().front().endsWith("/lexmire-sound.so"));
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

// The clips are embedded in the sound module; loading it brings them in.
void loadTheClips() { ASSERT_EQ(SoundModule::locate({ LEXMIRE_SOUND_MODULE }), LEXMIRE_SOUND_MODULE); }

void expectClip(const QString& name, double minSeconds, double maxSeconds)
{
    SCOPED_TRACE(name.toStdString());
    loadTheClips();
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
    loadTheClips();
    for (const QString& name : SoundPlayer::effectNames() + SoundPlayer::chatterNames())
        EXPECT_TRUE(QFile::exists(SoundPlayer::resourcePath(name))) << name.toStdString();
}
