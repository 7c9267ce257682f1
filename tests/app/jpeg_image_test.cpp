// JPEG decoding through libjpeg: the embedded illustration, colours and
// grey levels against Qt's own codec, and damaged or hostile input.
#include "jpeg_image.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

QByteArray lobbyPicture()
{
    QFile file(LEXMIRE_SOURCE_DIR "/resources/pictures/lobby.jpg");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Encodes with Qt's JPEG writer, an encoder independent of the code under test.
QByteArray encodeWithQt(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max(
        { std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)) });
}

// Offset of the frame header's height field (after FF Cn, length and precision).
qsizetype frameSizeOffset(const QByteArray& jpeg)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2)
            return i + 5;
    }
    return -1;
}

} // namespace

TEST(JpegImage, EmbeddedIllustrationDecodesLikeQtsOwnReader)
{
    const QByteArray bytes = lobbyPicture();
    const QImage mine = decodeJpeg(bytes);
    ASSERT_FALSE(mine.isNull());
    EXPECT_EQ(mine.size(), QSize(200, 150));

    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "jpeg");
    const QImage reference = reader.read();
    ASSERT_FALSE(reference.isNull()) << reader.errorString().toStdString();
    ASSERT_EQ(reference.size(), mine.size());
    // Both sit on libjpeg but may upsample chroma differently; a swapped
    // channel or shifted row would be far beyond this.
    long long total = 0;
    int worst = 0;
    for (int y = 0; y < mine.height(); ++y)
        for (int x = 0; x < mine.width(); ++x) {
            const int d = channelDistance(mine.pixel(x, y), reference.pixel(x, y));
            total += d;
            worst = std::max(worst, d);
        }
    EXPECT_LT(double(total) / (mine.width() * mine.height()), 2.0);
    EXPECT_LE(worst, 24);
}

TEST(JpegImage, ColoursAndGreyLevelsComeBackInPlace)
{
    QImage colours(64, 64, QImage::Format_RGB32);
    {
        QPainter p(&colours);
        p.fillRect(0, 0, 32, 32, QColor(220, 30, 30));
        p.fillRect(32, 0, 32, 32, QColor(30, 200, 40));
        p.fillRect(0, 32, 32, 32, QColor(30, 40, 210));
        p.fillRect(32, 32, 32, 32, QColor(250, 250, 250));
    }
    const QImage decoded = decodeJpeg(encodeWithQt(colours, 100));
    ASSERT_EQ(decoded.size(), colours.size());
    for (const QPoint at : { QPoint(16, 16), QPoint(48, 16), QPoint(16, 48), QPoint(48, 48) })
        EXPECT_LE(channelDistance(decoded.pixel(at), colours.pixel(at)), 6)
            << "at " << at.x() << "," << at.y();

    // A one-channel file is widened to grey RGB.
    QImage grey(40, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = static_cast<uchar>(x < 20 ? 40 : 200);
    const QImage widened = decodeJpeg(encodeWithQt(grey, 100));
    ASSERT_EQ(widened.size(), grey.size());
    EXPECT_LE(channelDistance(widened.pixel(5, 15), qRgb(40, 40, 40)), 4);
    EXPECT_LE(channelDistance(widened.pixel(35, 15), qRgb(200, 200, 200)), 4);
}

TEST(JpegImage, DamagedInputGivesANullImage)
{
    EXPECT_TRUE(decodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray("GIF89a this is not a jpeg at all")).isNull());

    QByteArray garbage(4096, '\0');
    std::srand(7);
    for (char& c : garbage)
        c = static_cast<char>(std::rand());
    EXPECT_TRUE(decodeJpeg(garbage).isNull());

    const QByteArray whole = lobbyPicture();
    // A start-of-image marker and nothing after it.
    EXPECT_TRUE(decodeJpeg(whole.left(2)).isNull());
    // Headers complete but the picture cut in half.
    EXPECT_TRUE(decodeJpeg(whole.left(whole.size() / 2)).isNull());
}

TEST(JpegImage, HostileSizesAndScrambledDataNeverEndTheProcess)
{
    QByteArray huge = lobbyPicture();
    const qsizetype at = frameSizeOffset(huge);
    ASSERT_GT(at, 0);
    // 65000 x 65000 pixels claimed: refused before any pixel memory is taken.
    for (int i = 0; i < 2; ++i) {
        huge[at + 2 * i] = static_cast<char>(0xFD);
        huge[at + 2 * i + 1] = static_cast<char>(0xE8);
    }
    EXPECT_TRUE(decodeJpeg(huge).isNull());

    QByteArray zero = lobbyPicture();
    zero[at] = zero[at + 1] = 0;
    EXPECT_TRUE(decodeJpeg(zero).isNull());

    // Scrambled entropy-coded data may decode to noise or fail; either way the
    // result is well formed.
    QByteArray scrambled = lobbyPicture();
    std::srand(11);
    for (qsizetype i = scrambled.size() / 3; i < scrambled.size() - 2; i += 7)
        scrambled[i] = static_cast<char>(std::rand());
    const QImage noise = decodeJpeg(scrambled);
    EXPECT_TRUE(noise.isNull() || noise.size() == QSize(200, 150));
}
