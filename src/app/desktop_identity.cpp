// The program's window icon, from the pictures embedded beside the installed ones.
#include "desktop_identity.h"

#include <QImageReader>
#include <QPixmap>

#include <utility>

QString DesktopIdentity::iconResource(int size)
{
    return QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(kDesktopId));
}

QIcon DesktopIdentity::windowIcon(int largestSize)
{
    // Each size is its own drawing (the small ones simpler), so the window manager picks
    // the nearest instead of shrinking one large picture into a blur. The pictures are
    // read as the PNGs they are: a reader left to guess loads every image-format plugin
    // installed to ask each whether it knows the file.
    QIcon icon;
    for (int size : kIconSizes) {
        if (size > largestSize)
            break;
        QImageReader reader(iconResource(size), "png");
        reader.setAutoDetectImageFormat(false);
        QImage picture = reader.read();
        if (!picture.isNull())
            icon.addPixmap(QPixmap::fromImage(std::move(picture)));
    }
    return icon;
}
