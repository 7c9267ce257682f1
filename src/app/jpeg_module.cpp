#include "jpeg_module.h"

#include "program_module.h"

namespace JpegModule {

QString fileName() { return QStringLiteral("lexmire-jpeg.so"); }

QImage decode(const QByteArray& data, const QStringList& paths)
{
    QImage image;
    ProgramModule::useOnce(paths, LEXMIRE_JPEG_DECODER,
        [&](QFunctionPointer entry) { reinterpret_cast<JpegDecoderEntry>(entry)(&data, &image); });
    return image;
}

QImage decode(const QByteArray& data) { return decode(data, ProgramModule::searchPaths(fileName())); }

}
