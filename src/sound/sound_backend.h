// The interface between the window's SoundPlayer and the library that makes the sound.
// Qt Multimedia and the sound server's client libraries cost several milliseconds of the program's
// start-up and over a megabyte of its memory, and most of a session may pass before the
// first clip plays (or none ever can, on a machine with no sound server), so they live in
// a module of their own, lexmire-sound, loaded when the first clip is asked for.
#pragma once

#include <QUrl>

#include <memory>

// One loaded clip.
class SoundClip {
public:
    virtual ~SoundClip() = default;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    // Failed to load, or found no output when asked to play: it can never play again.
    virtual bool isDead() const = 0;
};

class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    // Whether an audio output is there now (one may come and go while the program runs).
    virtual bool hasOutput() const = 0;
    // A clip of a WAV file; it loads in the background.
    virtual std::unique_ptr<SoundClip> makeClip(const QUrl& source) = 0;
};

// The module's one entry point, looked up by name after the module is loaded.
#define LEXMIRE_SOUND_BACKEND_FACTORY "lexmire_make_sound_backend"
using SoundBackendFactory = SoundBackend* (*)();
