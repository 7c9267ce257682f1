// The spy list: line tracking under the pointer and the host's remove item.
#include "tspylist.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SpyListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        box = list.findChild<QListWidget*>(QStringLiteral("listbox_spys"));
        menu = list.findChild<QMenu*>(QStringLiteral("popup_kick"));
        kick = list.findChild<QAction*>(QStringLiteral("popup_kickhim"));
        ASSERT_TRUE(box && menu && kick);
    }

    void TearDown() override { menu->hide(); }

    QPoint lineCentre(int row) { return box->visualItemRect(box->item(row)).center(); }
    QPoint belowLastLine() { return { 20, box->visualItemRect(box->item(box->count() - 1)).bottom() + 20 }; }

    // Right-click at a point of the list, then choose "Remove From Game".
    void removeAt(const QPoint& p)
    {
        QTest::mouseMove(box->viewport(), p);
        QTest::mouseClick(box->viewport(), Qt::RightButton, {}, p);
        // What the window system makes of a right press; QTest sends only the press.
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, p, box->viewport()->mapToGlobal(p));
        QApplication::sendEvent(box->viewport(), &menuEvent);
        kick->trigger();
        menu->hide();
    }

    Tspylist list;
    QListWidget* box = nullptr;
    QMenu* menu = nullptr;
    QAction* kick = nullptr;
};

} // namespace

TEST_F(SpyListTest, RemoveIsDisabledUntilHosting)
{
    list.addSpyLine(QStringLiteral("7: Bob"));
    QSignalSpy spy(&list, &Tspylist::kickRequested);
    EXPECT_FALSE(list.kickEnabled());
    EXPECT_FALSE(kick->isEnabled());
    removeAt(lineCentre(0));
    EXPECT_EQ(spy.count(), 0);

    list.setKickEnabled(true);
    EXPECT_TRUE(kick->isEnabled());
}

TEST_F(SpyListTest, RemoveReadsTheNumberOfTheLineUnderThePointer)
{
    list.setKickEnabled(true);
    list.addSpyLine(QStringLiteral("5: Ann"));
    list.addSpyLine(QStringLiteral("7: Bob"));
    list.addSpyLine(QStringLiteral("Eve: 9"));
    list.addSpyLine(QStringLiteral("no colon"));
    QSignalSpy spy(&list, &Tspylist::kickRequested);

    removeAt(lineCentre(1));
    EXPECT_EQ(list.listTag(), 1);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 7);

    // Not a number before the colon, or no colon at all: nothing.
    removeAt(lineCentre(2));
    removeAt(lineCentre(3));
    EXPECT_EQ(spy.count(), 1);

    // No line under the pointer: the tag is -1 and nothing is asked.
    removeAt(belowLastLine());
    EXPECT_EQ(list.listTag(), -1);
    EXPECT_EQ(spy.count(), 1);

    removeAt(lineCentre(0));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 5);
}

TEST_F(SpyListTest, ATagLeftStaleByAShrinkingListAsksNothing)
{
    list.setKickEnabled(true);
    list.addSpyLine(QStringLiteral("5: Ann"));
    list.addSpyLine(QStringLiteral("6: Cid"));
    QSignalSpy spy(&list, &Tspylist::kickRequested);

    list.listbox_spysMouseMove(lineCentre(1));
    ASSERT_EQ(list.listTag(), 1);
    EXPECT_TRUE(list.removeSpyLine(QStringLiteral("6: Cid")));
    list.popup_kickhimClick();
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(SpyListTest, LinesAreAddedAndRemovedExactly)
{
    list.addSpyLine(QStringLiteral("5: Ann"));
    list.addSpyLine(QStringLiteral("6: Ann"));
    list.addSpyLine(QStringLiteral("5: Ann"));
    EXPECT_FALSE(list.removeSpyLine(QStringLiteral("5: ann")));
    EXPECT_FALSE(list.removeSpyLine(QStringLiteral("5:Ann")));
    EXPECT_TRUE(list.removeSpyLine(QStringLiteral("5: Ann")));
    EXPECT_EQ(list.lines(), QStringList({ "6: Ann", "5: Ann" }));
}

TEST_F(SpyListTest, OkClosesTheWindow)
{
    QTest::mouseClick(list.findChild<QAbstractButton*>(QStringLiteral("button_ok")), Qt::LeftButton);
    EXPECT_FALSE(list.isVisible());
}
