// The lexmire-jpeg module's entry point.
#include "jpeg_image.h"
#include "jpeg_module.h"

extern "C" Q_DECL_EXPORT void lexmire_decode_jpeg(const QByteArray* data, QImage* image)
{
    *image = decodeJpeg(*data);
}
