// The picture's module: it decodes the download window's illustration and is let go of
// again, libjpeg with it; without it, or with damaged data, there is no picture.
#include "jpeg_module.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray lobbyPicture()
{
    QFile picture(":/pictures/lobby.jpg");
    return picture.open(QIODevice::ReadOnly) ? picture.readAll() : QByteArray();
}

bool mapped(const char* library)
{
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

TEST(JpegModule, DecodesTheIllustrationThenLetsGoOfLibjpeg)
{
    ASSERT_FALSE(mapped("libjpeg")) << "nothing else in this test program may bring libjpeg";
    const QImage picture
        = JpegModule::decode(lobbyPicture(), { "/nonexistent/lexmire-jpeg.so", LEXMIRE_JPEG_MODULE });
    EXPECT_EQ(picture.size(), QSize(200, 150));
    EXPECT_FALSE(picture.isNull());
    EXPECT_FALSE(mapped("lexmire-jpeg"));
    EXPECT_FALSE(mapped("libjpeg"));
    // Loaded afresh, it decodes again.
    EXPECT_EQ(JpegModule::decode(lobbyPicture(), { LEXMIRE_JPEG_MODULE }), picture);
}

TEST(JpegModule, WithoutTheModuleOrWithDamagedDataThereIsNoPicture)
{
    ASSERT_FALSE(lobbyPicture().isEmpty());
    EXPECT_TRUE(JpegModule::decode(lobbyPicture(), { "/nonexistent/lexmire-jpeg.so" }).isNull());
    EXPECT_TRUE(JpegModule::decode(lobbyPicture().left(600), { LEXMIRE_JPEG_MODULE }).isNull());
    EXPECT_TRUE(JpegModule::decode(QByteArray("not a picture"), { LEXMIRE_JPEG_MODULE }).isNull());
}

} // namespace
