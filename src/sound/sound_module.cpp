#include "sound_module.h"

#include "program_module.h"

namespace SoundModule {

QString fileName() { return QStringLiteral("lexmire-sound.so"); }

QStringList searchPaths() { return ProgramModule::searchPaths(fileName()); }

QString locate(const QStringList& paths)
{
    return ProgramModule::find(paths, LEXMIRE_SOUND_BACKEND_FACTORY).path;
}

std::unique_ptr<SoundBackend> load(const QStringList& paths)
{
    const auto factory = reinterpret_cast<SoundBackendFactory>(
        ProgramModule::find(paths, LEXMIRE_SOUND_BACKEND_FACTORY).entry);
    return factory ? std::unique_ptr<SoundBackend>(factory()) : nullptr;
}

}
