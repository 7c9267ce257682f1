// The start-game dialog: bounded up-downs, stored values and the Start order.
#include "tgamestartform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class StartFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        rounds = form.findChild<QLineEdit*>(QStringLiteral("edit_numrounds"));
        minutes = form.findChild<QLineEdit*>(QStringLiteral("edit_timeperround"));
        upDown1 = form.findChild<UpDown*>(QStringLiteral("UpDown1"));
        upDown2 = form.findChild<UpDown*>(QStringLiteral("UpDown2"));
        ASSERT_TRUE(rounds && minutes && upDown1 && upDown2);
    }

    // Presses an arrow n times and returns the edit's text after each press.
    static QStringList press(QAbstractButton* arrow, QLineEdit* edit, int n)
    {
        QStringList seen;
        for (int i = 0; i < n; ++i) {
            QTest::mouseClick(arrow, Qt::LeftButton);
            seen << edit->text();
        }
        return seen;
    }

    Tgamestartform form;
    QLineEdit* rounds = nullptr;
    QLineEdit* minutes = nullptr;
    UpDown* upDown1 = nullptr;
    UpDown* upDown2 = nullptr;
};

} // namespace

TEST_F(StartFormTest, ArrowsStopAtTheBoundsWithoutWrapping)
{
    EXPECT_EQ(form.roundsText(), QStringLiteral("3"));
    EXPECT_EQ(form.minutesText(), QStringLiteral("2"));
    EXPECT_TRUE(rounds->isReadOnly());
    EXPECT_TRUE(minutes->isReadOnly());

    EXPECT_EQ(press(upDown1->downButton(), rounds, 2), QStringList({ "3", "3" }));
    EXPECT_EQ(press(upDown1->upButton(), rounds, 8), QStringList({ "4", "5", "6", "7", "8", "9", "9", "9" }));
    EXPECT_EQ(upDown1->position(), 9);
    EXPECT_EQ(press(upDown1->downButton(), rounds, 1), QStringList({ "8" }));

    EXPECT_EQ(press(upDown2->upButton(), minutes, 5), QStringList({ "3", "4", "5", "5", "5" }));
    EXPECT_EQ(press(upDown2->downButton(), minutes, 6), QStringList({ "4", "3", "2", "1", "1", "1" }));
    EXPECT_EQ(upDown2->position(), 1);
    EXPECT_EQ(form.roundsText(), QStringLiteral("8"));
}

TEST_F(StartFormTest, StoredValuesShowAsStoredWhileTheUpDownsClamp)
{
    form.setStoredValues(QStringLiteral("12"), QStringLiteral("0"));
    EXPECT_EQ(form.roundsText(), QStringLiteral("12"));
    EXPECT_EQ(form.minutesText(), QStringLiteral("0"));
    EXPECT_EQ(upDown1->position(), 9);
    EXPECT_EQ(upDown2->position(), 1);

    // An arrow moves on from the clamped position.
    EXPECT_EQ(press(upDown1->downButton(), rounds, 1), QStringList({ "8" }));
    EXPECT_EQ(press(upDown2->upButton(), minutes, 1), QStringList({ "2" }));

    form.setStoredValues(QStringLiteral("7"), QStringLiteral("4"));
    EXPECT_EQ(upDown1->position(), 7);
    EXPECT_EQ(upDown2->position(), 4);
    EXPECT_EQ(press(upDown1->upButton(), rounds, 1), QStringList({ "8" }));
}

TEST_F(StartFormTest, StartAsksToStartThenToSaveThenHides)
{
    form.setStoredValues(QStringLiteral("5"), QStringLiteral("4"));
    auto* team = form.findChild<QCheckBox*>(QStringLiteral("checkbox_teamgame"));
    ASSERT_TRUE(team);
    EXPECT_FALSE(form.teamGame());
    QTest::mouseClick(team, Qt::LeftButton, {}, QPoint(8, team->height() / 2));
    EXPECT_TRUE(form.teamGame());

    QStringList order;
    bool visibleAtStart = false;
    QString roundsAtStart, minutesAtStart;
    bool teamAtStart = false;
    QObject::connect(&form, &Tgamestartform::startRequested, [&] {
        order << QStringLiteral("start");
        visibleAtStart = form.isVisible();
        roundsAtStart = form.roundsText();
        minutesAtStart = form.minutesText();
        teamAtStart = form.teamGame();
    });
    QObject::connect(&form, &Tgamestartform::saveRequested, [&] { order << QStringLiteral("save"); });

    auto* start = form.findChild<QAbstractButton*>(QStringLiteral("button_startthegame"));
    ASSERT_TRUE(start);
    QTest::mouseClick(start, Qt::LeftButton);

    EXPECT_EQ(order, QStringList({ "start", "save" }));
    EXPECT_TRUE(visibleAtStart);
    EXPECT_EQ(roundsAtStart, QStringLiteral("5"));
    EXPECT_EQ(minutesAtStart, QStringLiteral("4"));
    EXPECT_TRUE(teamAtStart);
    EXPECT_FALSE(form.isVisible());

    // Hidden, not reset: the next game starts with the same choices.
    EXPECT_EQ(form.roundsText(), QStringLiteral("5"));
    EXPECT_TRUE(form.teamGame());
}
