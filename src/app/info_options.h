// What the desktop program answers on its command line without opening a window: its
// version, its usage, and the tile sets and sounds it finds (a check of an installation).
#pragma once

#include <QStringList>

#include <iosfwd>

namespace InfoOptions {

enum class Request { None, Version, Help, ListTileSets, ListSounds, Unknown };

// The request of a command line (program name excluded). An option counts only as the sole
// argument: the game's own command line is positional (name, host, role), and with one
// argument the game takes no role, so no game start is ever mistaken for an option. A sole
// argument starting with "--" that names no option is Unknown; anything else is None.
Request requestOf(const QStringList& arguments);
// The same for main's arguments, read before any application object exists.
Request requestOf(int argc, char** argv);

extern const char* const kUsage;

// "lexmire <version>"
void printVersion(std::ostream& out);

// Prints "Classic" (drawn in code), then each tile-set file found in the folders, first
// folder first, as "<name>\t<path>". A set that cannot be read as a picture is reported on
// `err`. Returns 0 when every listed set reads, else 1.
int listTileSets(const QStringList& folders, std::ostream& out, std::ostream& err);

// Prints each sound clip the game plays, as "<name>\t<bytes>", opening its embedded
// resource, then "sound module\t<path>" (or "none") for the module that plays them. A clip
// that is missing or empty, or no module among modulePaths, is reported on `err`. Returns 0
// when all is there.
int listSounds(std::ostream& out, std::ostream& err, const QStringList& modulePaths);

// Answers a request that is not None, creating the application object the answer needs
// (none for the version and the usage), and returns the program's exit status.
int answer(Request request, int argc, char** argv);

} // namespace InfoOptions
