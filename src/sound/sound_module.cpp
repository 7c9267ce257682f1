#include "sound_module.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace SoundModule {

QString fileName() { return QStringLiteral("lexmire-sound.so"); }

QStringList searchPaths()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return { programFolder + '/' + fileName(),
        programFolder + QStringLiteral("/" LEXMIRE_MODULES_FROM_PROGRAM "/") + fileName() };
}

namespace {

    SoundBackendFactory factoryOf(const QString& path)
    {
        if (!QFileInfo(path).isFile())
            return nullptr;
        QLibrary module(path);
        // Unloading Qt Multimedia while its threads may still run is not safe; it stays.
        module.setLoadHints(QLibrary::PreventUnloadHint);
        const auto factory
            = reinterpret_cast<SoundBackendFactory>(module.resolve(LEXMIRE_SOUND_BACKEND_FACTORY));
        if (!factory)
            qWarning("lexmire: sound module %s: %s", qPrintable(path), qPrintable(module.errorString()));
        return factory;
    }

} // namespace

QString locate(const QStringList& paths)
{
    for (const QString& path : paths)
        if (factoryOf(path))
            return path;
    return {};
}

std::unique_ptr<SoundBackend> load(const QStringList& paths)
{
    for (const QString& path : paths)
        if (const SoundBackendFactory factory = factoryOf(path))
            return std::unique_ptr<SoundBackend>(factory());
    return nullptr;
}

}
