// The program's window icon, from the pictures embedded beside the installed ones.
#include "desktop_identity.h"

QString DesktopIdentity::iconResource(int size)
{
    return QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(kDesktopId));
}

QIcon DesktopIdentity::windowIcon()
{
    // Each size is its own drawing (the small ones simpler), so the window manager picks
    // the nearest instead of shrinking one large picture into a blur.
    QIcon icon;
    for (int size : kIconSizes)
        icon.addFile(iconResource(size), QSize(size, size));
    return icon;
}
