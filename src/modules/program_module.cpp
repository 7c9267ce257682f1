#include "program_module.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace ProgramModule {

QStringList searchPaths(const QString& fileName)
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return { programFolder + '/' + fileName,
        programFolder + QStringLiteral("/" LEXMIRE_MODULES_FROM_PROGRAM "/") + fileName };
}

Found find(const QStringList& paths, const char* symbol)
{
    for (const QString& path : paths) {
        if (!QFileInfo(path).isFile())
            continue;
        QLibrary module(path);
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (const QFunctionPointer entry = module.resolve(symbol))
            return { path, entry };
        qWarning("lexmire: module %s: %s", qPrintable(path), qPrintable(module.errorString()));
    }
    return {};
}

bool useOnce(const QStringList& paths, const char* symbol, const std::function<void(QFunctionPointer)>& use)
{
    for (const QString& path : paths) {
        if (!QFileInfo(path).isFile())
            continue;
        QLibrary module(path);
        if (const QFunctionPointer entry = module.resolve(symbol)) {
            use(entry);
            module.unload();
            return true;
        }
        qWarning("lexmire: module %s: %s", qPrintable(path), qPrintable(module.errorString()));
    }
    return false;
}

}
