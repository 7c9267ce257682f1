// SoundPlayer: plays the game's clips (embedded in the sound module) by name, one at a time, behind the
// "Play Sounds" and "Play Chatter Sounds" switches, and remembers what it was asked to play.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class SoundBackend;
class SoundClip;

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    // Where the sound comes from: made when the first clip is to be loaded, and asked again
    // after that for as long as it gives none. The default loads the lexmire-sound module,
    // and only while a sound server may answer.
    using BackendSource = std::function<std::unique_ptr<SoundBackend>()>;
    explicit SoundPlayer(QObject* parent = nullptr);
    explicit SoundPlayer(BackendSource source, QObject* parent = nullptr);
    ~SoundPlayer() override;
    static BackendSource moduleBackend();

    // The two menu switches; both start on.
    void setEffectsOn(bool on) { effectsOn_ = on; }
    bool effectsOn() const { return effectsOn_; }
    void setChatterOn(bool on) { chatterOn_ = on; }
    bool chatterOn() const { return chatterOn_; }

    // An effect clip ("start", "place", ...), played only while effects are on.
    void playsounds(const QString& name);
    // A chatter clip ("wave1" ... "wave20"), played only while chatter is on.
    void playChatter(const QString& name);
    // Any clip, whatever the switches say. Names match without regard to case; a name
    // with no clip is recorded but plays nothing and leaves the current clip sounding.
    // Returns at once: the clip loads and plays in the background, or silently not at
    // all on a machine without audio output.
    void play(const QString& name);

    // Every name play was asked for (lower-cased), in order, once the switches let it
    // through; the newest kMaxPlayed are kept.
    static constexpr int kMaxPlayed = 1000;
    QStringList played() const { return played_; }
    void clearPlayed() { played_.clear(); }

    // The clip started last (names with no clip do not count); empty before any.
    QString current() const { return current_; }
    // How many of the loaded clips report that they are playing; never more than one.
    int soundingCount() const;
    // Clips loaded so far; none on a machine without audio output.
    int loadedClips() const { return int(clips_.size()); }
    // Whether the sound backend has been made (the module loaded); not before the first clip.
    bool hasBackend() const { return backend_ != nullptr; }

    // Loads the named clips ahead of their first use (say, once the window is shown).
    void preload(const QStringList& names);

    // ":/sounds/<name>.wav" for a name of letters and digits, else empty, so a name that
    // came over the network cannot reach any other resource.
    static QString resourcePath(const QString& name);
    static QStringList effectNames();
    static QStringList chatterNames();

private:
    // Whether a lower-case name is one of the game's clips.
    static bool isClipName(const QString& key);
    // The loaded clip of that lower-case name, loading it on first use; null if none.
    SoundClip* clipFor(const QString& name);

    bool effectsOn_ = true;
    bool chatterOn_ = true;
    QStringList played_;
    QString current_;
    BackendSource source_;
    std::unique_ptr<SoundBackend> backend_;
    std::map<QString, std::unique_ptr<SoundClip>> clips_;
};
