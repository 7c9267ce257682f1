// Reading the lobby's download address: the installer's file name, the
// encrypted form of a plain address, and which server an address reaches.
#pragma once

#include <QString>
#include <QUrl>

namespace DownloadAddress {

// Whether the window fetches from this address: http or https, with a host.
bool isWebAddress(const QUrl& address);

// The installer's file name: the last segment of the address's path, decoded.
// The query and the fragment never count. Empty when that segment cannot name
// a plain file in the download folder: empty, hidden or a parent folder
// (a leading dot), holding a separator or a control character, or too long.
QString installerName(const QUrl& address);

// The https form of a plain http address: same host, path and query, on
// securePort (-1 for https's default port). Invalid for any other address.
QUrl secureForm(const QUrl& address, int securePort = -1);

// Whether two addresses reach the same server: scheme, host and port, with
// each scheme's default port filled in.
bool sameServer(const QUrl& a, const QUrl& b);

// A server as the player is shown it: the host in its ASCII form, so that a
// look-alike letter cannot pass for another, and the port unless it is the
// scheme's default.
QString serverLabel(const QUrl& address);

// An address as the player is shown it: every byte that is not plain ASCII
// stays percent-encoded, for the same reason.
QString shownAddress(const QUrl& address);

} // namespace DownloadAddress
