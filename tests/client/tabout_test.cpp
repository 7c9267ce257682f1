// The about window shows the version the program logs in with.
#include "tabout.h"

#include "protocol.h"

#include <QLabel>

#include <gtest/gtest.h>

TEST(Tabout, VersionLabelIsTheLoginVersion)
{
    Tabout about;
    auto* version = about.findChild<QLabel*>(QStringLiteral("version"));
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text().toStdString(), std::string(wire::kVersionText));
}
