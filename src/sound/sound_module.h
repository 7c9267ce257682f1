// Finds and loads the lexmire-sound module. It is looked for beside the program (the build
// tree), then in the installed layout's library folder; a module that is missing, or that
// does not offer the backend's entry point, gives no backend, and the game plays silently.
#pragma once

#include "sound_backend.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace SoundModule {

// The module file's name, and where the program looks for it, in order.
QString fileName();
QStringList searchPaths();

// The first of paths that loads as a module offering the backend's entry point; empty if
// none. A loaded module stays loaded until the program ends.
QString locate(const QStringList& paths = searchPaths());

// The backend of the module locate() finds; null if none.
std::unique_ptr<SoundBackend> load(const QStringList& paths = searchPaths());

}
