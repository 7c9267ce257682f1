// The bounds the lobby download window keeps to, whatever the server sends.
#pragma once

#include <QtGlobal>

// The lobby's installer is a few megabytes; an answer far past that is not the
// installer, or never ends, and must not fill the disk.
inline constexpr qint64 kInstallerSizeLimit = qint64(64) * 1024 * 1024;

// The most the HTTP client holds between two chunks written to disk, so that
// a server faster than the disk cannot swell the program's memory.
inline constexpr qint64 kDownloadReadBuffer = 256 * 1024;

// An error page is a few hundred bytes; one longer than this is cut instead
// of read to its end.
inline constexpr qint64 kMaxIgnoredBody = 64 * 1024;

// A mirror hands the download on once or twice; more hops are a loop.
inline constexpr int kMaxRedirects = 5;

// How long the encrypted attempt may stay without an answer before the plain
// address is used: a port that drops packets would otherwise hold the
// download for the system's connect timeout, minutes.
inline constexpr int kSecureAttemptTimeoutMs = 10000;

// The longest file name the usual Linux file systems keep, in bytes.
inline constexpr int kMaxInstallerNameBytes = 255;
