// The 27 letter-tile pictures every board cell and word slot is drawn from: the built-in
// "classic" set drawn in code, or a tile set read from a bitmap strip.
#pragma once

#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>

class QPainter;

class TileImages {
public:
    static constexpr int kCount = 27; // image 0 (no letter) and A to Z
    static constexpr int kSize = 41;
    // Exactly this colour in a strip is transparent.
    static constexpr QRgb kTransparentKey = 0xFFFF00FF;

    // Starts with the built-in set drawn for screens of the given device pixel ratio.
    explicit TileImages(qreal dpr = 1.0);

    // Goes back to the built-in set (again after a strip was loaded, or for a new ratio).
    void useClassic(qreal dpr);
    bool isClassic() const { return classic; }

    // Replaces all 27 images from a strip of 41 x 41 cells, cell i at x = 41 i. Cells the
    // bitmap does not reach come out transparent. False, changing nothing, when the file
    // cannot be read as an image.
    bool loadStrip(const QString& bmpPath);

    // Image of a letter code; codes outside 0 to 26 give image 0, which shows nothing.
    // The built-in set is drawn at the first call, unless drawAhead() came first.
    const QPixmap& tile(int code) const;
    // Draws the built-in set now, so its first showing costs nothing.
    void drawAhead() const { tile(0); }

    // The points a letter is worth, as printed on the built-in tiles; 0 outside 1 to 26.
    static int letterValue(int code);
    static QChar letterOf(int code);

    // The ink of a built-in tile's letter (with its highlight) in the tile's logical square;
    // empty outside 1 to 26. Whatever else a cell shows keeps clear of it.
    static QRectF letterInk(int code);

    // Draws the built-in tile of a letter code into the 41 x 41 logical square at the
    // painter's origin.
    static void paintClassic(QPainter& painter, int code);

    // The built-in set's name; an empty name means it too.
    static constexpr const char* kBuiltInName = "classic";
    static bool isBuiltInName(const QString& name);

    // Names of the tile-set files ("*.bmp") in the folders, each the file name without its
    // ".bmp" (dots inside a name are part of it), in listing order (by name, first folder
    // first), each name once whatever its letter case; never the built-in set's name.
    static QStringList setNames(const QStringList& folders);
    // The first "<folder>/<name>.bmp" that exists, the name matched without regard to
    // case; empty when none does or the name could reach outside the folder.
    static QString setPath(const QStringList& folders, const QString& name);
    // The set name of a tile-set file, as the folder spells it.
    static QString setNameOf(const QString& path);

private:
    void drawClassic() const;

    mutable std::array<QPixmap, kCount> images;
    // The ratio the built-in set is still to be drawn for; 0 once drawn.
    mutable qreal classicDpr = 0;
    bool classic = true;
};
