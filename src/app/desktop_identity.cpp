// The program's window icon, from the pictures embedded beside the installed ones.
#include "desktop_identity.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <utility>

QString DesktopIdentity::iconResource(int size)
{
    return QStringLiteral(":/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(QLatin1String(kDesktopId));
}

namespace {

// Reads the embedded picture of a size when it is asked for, and keeps none: the window
// system takes the icon once when it is set (on some platforms never), so held pixmaps
// would be memory the program carries for nothing. The pictures are read as the PNGs they
// are: a reader left to guess loads every image-format plugin installed to ask each whether
// it knows the file.
class EmbeddedIconEngine : public QIconEngine {
public:
    explicit EmbeddedIconEngine(QList<int> sizes)
        : sizes_(std::move(sizes))
    {
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        if (sizes_.isEmpty() || size.isEmpty())
            return {};
        QImageReader reader(DesktopIdentity::iconResource(drawingFor(size)), "png");
        reader.setAutoDetectImageFormat(false);
        QImage picture = reader.read();
        if (picture.isNull())
            return {};
        if (picture.width() > size.width() || picture.height() > size.height())
            picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return QPixmap::fromImage(std::move(picture));
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        painter->drawPixmap(rect, picture);
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (sizes_.isEmpty() || size.isEmpty())
            return {};
        const int drawn = drawingFor(size);
        return QSize(drawn, drawn).scaled(size.boundedTo(QSize(drawn, drawn)), Qt::KeepAspectRatio);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int drawn : sizes_)
            sizes.append(QSize(drawn, drawn));
        return sizes;
    }

    QIconEngine* clone() const override { return new EmbeddedIconEngine(sizes_); }
    QString key() const override { return QStringLiteral("lexmire-embedded"); }

private:
    // The smallest drawing that fills the size, else the largest there is; it is never
    // shown larger than asked.
    int drawingFor(const QSize& size) const
    {
        for (int drawn : sizes_)
            if (drawn >= std::max(size.width(), size.height()))
                return drawn;
        return sizes_.back();
    }

    QList<int> sizes_; // smallest first
};

} // namespace

QIcon DesktopIdentity::windowIcon(int largestSize)
{
    // Each size is its own drawing (the small ones simpler), so the window manager picks
    // the nearest instead of shrinking one large picture into a blur.
    QList<int> sizes;
    for (int size : kIconSizes)
        if (size <= largestSize)
            sizes.append(size);
    return QIcon(new EmbeddedIconEngine(std::move(sizes)));
}
