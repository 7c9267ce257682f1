// The help window's text: rules, connecting and scoring, in the game's own terms.
#include "thelp.h"

#include "window_style.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

QString Thelp::helpText()
{
    return QStringLiteral(R"(
<h2>The game</h2>
<p>Lexmire is a word game for up to four players. At the start of every round all players see the
same board of 13 columns by 9 rows of letter tiles, and everybody hunts for words at the same time.</p>
<p>A word is a chain of tiles in which each tile touches the one before it, across an edge or a corner.
A tile may come back later in the same word, but not twice in a row. A word has at most 12 letters
(and at least two).</p>
<p><b>Building a word.</b> Press on the first tile, drag over the others and let go to send the word.
If you prefer clicking, tick Options &rarr; <i>Click Letters</i>: click tile after tile, then send with
the <i>Enter</i> button or a right click. Clicking the last letter of the word row takes it back;
<i>Clear</i> empties the row.</p>
<p>The host checks every word against its dictionary and against the words you already found in the
round, scores it and tells everybody. A word that is not in the dictionary, or that you already found
this round, is refused.</p>
<p><b>Rounds.</b> A game has 3 to 9 rounds of 1 to 5 minutes each, chosen by the host before the start.
Every round brings a new board; after each round there is a short pause before the next one.</p>
<p><b>Teams.</b> In a team game seats 1 and 3 play together against seats 2 and 4. Every word adds its
points to both partners, so partners always share one game score.</p>
<p><b>Winning.</b> After the last round the highest game score wins. If two players are level at the top,
or nobody has scored at all, tie-break rounds are played until one player leads alone. In a team game
only a game without any score goes on; when the teams are level, seats 1 and 3 win.</p>

<h2>Connecting</h2>
<p><b>Solo.</b> Started on its own, Lexmire hosts a game for you alone, and offers to download the lobby
where you can meet other players.</p>
<p><b>Hosting and joining.</b> For a game with others the lobby starts Lexmire for you. By hand the
command line is <tt>lexmire NAME HOST true</tt> to host (HOST is then ignored) or
<tt>lexmire NAME HOST false</tt> to join the host at address HOST.</p>
<p>The host's copy runs the game itself and takes connections on <b>TCP port 7772</b>; players who join
must be able to reach that port on the host's computer. Only the host can start a game (the
<i>Start Game</i> button or File &rarr; <i>Start Game</i>) and remove players. When the host leaves, the
game ends for everybody.</p>
<p><b>Spies.</b> The first four to connect take the seats; up to five more may watch as spies. Spies see
the game and chat but cannot play or send chatter sounds. View &rarr; <i>Spy List</i> shows them, and
the host can right-click a spy there and choose <i>Remove From Game</i>.</p>

<h2>Scoring</h2>
<p>A word scores the sum of the values of its letters:</p>
<table cellspacing="0" cellpadding="4" border="1" style="border-color:%1; border-style:solid;">
<tr style="background-color:%2; color:%3;"><th>Points</th><th align="left">Letters</th></tr>
<tr><td align="center">1</td><td>A D E I L N O R S T U</td></tr>
<tr style="background-color:%4;"><td align="center">3</td><td>B C G H M P Y</td></tr>
<tr><td align="center">5</td><td>F J K W</td></tr>
<tr style="background-color:%4;"><td align="center">7</td><td>V</td></tr>
<tr><td align="center">10</td><td>Q X Z</td></tr>
</table>
<p>Bonus tiles change the score:</p>
<ul>
<li><b>Yellow potion</b> (marked 2x, four tiles around the middle): doubles the whole word.</li>
<li><b>Red potion</b> (marked 3x, the four corners): triples the whole word.</li>
<li><b>Spell book</b> (the centre tile): each round it secretly gives one of double letter, triple letter,
double word or triple word. Only the scores tell you which.</li>
</ul>
<p>A double or triple letter counts that letter two or three times. Word bonuses multiply together: a word
through a yellow and a red potion scores six times its letters. A tile used twice in a word counts its
letter and its bonus twice.</p>
<p>For example, C-A-T scores 3 + 1 + 1 = 5; with its C on a double letter 8; with its A on a yellow
potion 10; through one yellow and one red potion 30.</p>
<p>You score a word only once per round; other players may score the same word, and you may score it
again in a later round.</p>

<h2>Chat</h2>
<p>Type in the box under the chat and press Enter. A line beginning with <tt>/me</tt> becomes an action.
The phrase buttons send their phrase at a click (View &rarr; <i>Phrase List</i> changes them); they can
be used once every 2 seconds. The <i>Chatter Sounds</i> button plays a short sound to everybody. Click a web or mail
address in the chat to open it.</p>
)")
        .arg(windowstyle::css(windowpalette::scrollHandle()), windowstyle::css(windowpalette::navy()),
            windowstyle::css(windowpalette::gold()), windowstyle::css(windowpalette::listHover()));
}

Thelp::Thelp(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Thelp"));
    setWindowTitle(QStringLiteral("Lexmire - Help"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(520, 600);
    setMinimumSize(380, 320);

    namespace pal = windowpalette;
    setStyleSheet(
        QStringLiteral(
            "Thelp { background: %1; }"
            "QLabel#label_title { color: %2; background: transparent; font-size: 15pt;"
            " font-weight: bold; }"
            "QTextBrowser { background: %3; color: %4; border: 2px solid %5; border-radius: 3px; }")
            .arg(windowstyle::css(pal::navy()), windowstyle::css(pal::gold()), windowstyle::css(pal::white()),
                windowstyle::css(pal::ink()), windowstyle::css(pal::goldRule()))
        + windowstyle::focusRing() + windowstyle::scrollBar() + windowstyle::goldButtons("4px 26px"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setSpacing(8);

    auto* title = new QLabel(QStringLiteral("How to Play Lexmire"), this);
    title->setObjectName(QStringLiteral("label_title"));
    layout->addWidget(title);

    auto* text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("helptext"));
    text->setOpenLinks(false);
    // Tab leaves the page for the Ok button; the arrows and Page keys scroll it.
    text->setTabChangesFocus(true);
    text->document()->setDocumentMargin(12);
    text->document()->setDefaultStyleSheet(
        QStringLiteral("h2 { color: %1; font-size: 13pt; margin-top: 14px; margin-bottom: 4px; }"
                       "p { margin-top: 3px; margin-bottom: 6px; }"
                       "tt { color: %1; }"
                       "li { margin-bottom: 3px; }")
            .arg(windowstyle::css(pal::navy())));
    QFont f = text->document()->defaultFont();
    f.setPointSize(10);
    text->document()->setDefaultFont(f);
    text->setHtml(helpText());
    layout->addWidget(text, 1);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("button_ok"));
    ok->setDefault(true);
    ok->setCursor(Qt::PointingHandCursor);
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
}
