// How a computer player is named so nobody takes it for a person: the name it
// logs in with carries a marker every window shows, and any window can tell
// such a name from a person's.
#pragma once

#include <QString>

namespace computername {

// What every computer player's name ends with.
inline constexpr const char* kMarker = " (computer)";

// The name to log in with: the given name (blank: "Computer") cut so that it
// and the marker fit the server's limit on names, then the marker. A name that
// already ends with the marker keeps it once.
QString withMarker(const QString& name);

// True for a name with the marker at its end, also when the server numbered it
// because another player holds the same name ("Ada (computer) (2)").
bool isComputerName(const QString& name);

// A computer player's name without the marker, the server's number kept
// ("Ada (computer) (2)" reads "Ada (2)"); any other name as it is.
QString withoutMarker(const QString& name);

} // namespace computername
