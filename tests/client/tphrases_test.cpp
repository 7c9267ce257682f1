// The phrase editor: nine texts in, nine texts out, 50 characters at most.
#include "tphrases.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QLineEdit* phraseEdit(const Tphrases& editor, int n)
{
    return editor.findChild<QLineEdit*>(QStringLiteral("phrase") + QString::number(n));
}

} // namespace

TEST(Tphrases, DoneHandsOnTheNineTextsInOrderAndHides)
{
    Tphrases editor;
    editor.setPhrases({ "Way To Go!", "Good One!", "Nice Try!", "Excellent!", "Brilliant!", "Wow, WTG!",
        "Thanks!", "Way To Go Teamie!", "Good Game Everyone!" });
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    for (int n = 1; n <= 9; ++n)
        ASSERT_TRUE(phraseEdit(editor, n)) << n;
    EXPECT_EQ(phraseEdit(editor, 8)->text(), QStringLiteral("Way To Go Teamie!"));

    phraseEdit(editor, 2)->clear();
    QTest::keyClicks(phraseEdit(editor, 2), QStringLiteral("/me waves"));
    phraseEdit(editor, 9)->clear();

    QSignalSpy spy(&editor, &Tphrases::phrasesDone);
    QTest::mouseClick(editor.findChild<QAbstractButton*>(QStringLiteral("SelButton8")), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    const QStringList out = spy.at(0).at(0).toStringList();
    EXPECT_EQ(out,
        QStringList({ "Way To Go!", "/me waves", "Nice Try!", "Excellent!", "Brilliant!", "Wow, WTG!",
            "Thanks!", "Way To Go Teamie!", "" }));
    EXPECT_FALSE(editor.isVisible());
}

TEST(Tphrases, TypingStopsAtFiftyCharacters)
{
    Tphrases editor;
    editor.setPhrases({});
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    QLineEdit* edit = phraseEdit(editor, 5);
    ASSERT_TRUE(edit);
    const QString sixty = QString(60, u'x');
    QTest::keyClicks(edit, sixty);
    EXPECT_EQ(edit->text(), QString(50, u'x'));

    QSignalSpy spy(&editor, &Tphrases::phrasesDone);
    editor.SelButton8Click();
    ASSERT_EQ(spy.count(), 1);
    const QStringList out = spy.at(0).at(0).toStringList();
    ASSERT_EQ(out.size(), 9);
    EXPECT_EQ(out[4].size(), 50);
    EXPECT_TRUE(out[0].isEmpty());
}
