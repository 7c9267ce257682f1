// Finds and loads the program's modules: libraries it loads only when a feature is first
// used, so that what they link (Qt Multimedia, Qt Network) costs nothing at start. A module
// is looked for beside the program (the build tree), then in the installed layout's library
// folder, and offers one entry point, looked up by name.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace ProgramModule {

// Where the program looks for the module file of this name, in order.
QStringList searchPaths(const QString& fileName);

// The entry point `symbol` of the first of paths that loads as a module offering it,
// and that path; null and empty if none. A loaded module stays loaded until the program
// ends: the libraries it brings may run threads of their own.
struct Found {
    QString path;
    QFunctionPointer entry = nullptr;
};
Found find(const QStringList& paths, const char* symbol);

// For a module used once: calls use with the entry point `symbol` of the first of paths
// that loads as a module offering it, then unloads the module again (with the libraries
// only it needed). Says whether one was found.
bool useOnce(const QStringList& paths, const char* symbol, const std::function<void(QFunctionPointer)>& use);

}
