// The chat pane's line writing, scrolling and link handling.
#include "chat_pane.h"

#include "shown_line.h"
#include "window_style.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

namespace {

constexpr int defaultTextSize = 10;
constexpr qreal pagePadding = 6;

// Removals bring the pane this far under its bounds, so they come rarely.
constexpr int kLinesDroppedTogether = ChatPane::kMaxLines / 10;
constexpr qsizetype kCharactersDroppedTogether = ChatPane::kMaxCharacters / 10;

} // namespace

ChatPane::ChatPane(QWidget* parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    setAcceptRichText(false);
    setUndoRedoEnabled(false); // an undo stack would grow with every line and is never used
    setTextInteractionFlags(Qt::TextSelectableByMouse); // no caret in a pane nobody types into
    setLineWrapMode(QTextEdit::WidgetWidth);
    // A word wider than the pane breaks anywhere rather than widening the page.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(pagePadding);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::ArrowCursor);

    // White page, as the line colours (chosen by the players) are picked against white, in a
    // thin midnight rule. Only the scroll bar wears a style sheet: the slim blue bar of every page.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, windowpalette::white());
    colours.setColor(QPalette::Text, windowpalette::black());
    colours.setColor(QPalette::WindowText, windowpalette::midnight());
    colours.setColor(QPalette::Highlight, windowpalette::gold());
    colours.setColor(QPalette::HighlightedText, windowpalette::ink());
    setPalette(colours);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    verticalScrollBar()->setStyleSheet(windowstyle::scrollBar());
    setTextSize(defaultTextSize);
}

void ChatPane::setTextSize(int points)
{
    chosenSize = points;
    showTextSize();
}

int ChatPane::textSize() const { return chosenSize; }

void ChatPane::setScale(qreal scale)
{
    if (scale_ == scale)
        return;
    scale_ = scale;
    showTextSize();
}

void ChatPane::showTextSize()
{
    QFont f = document()->defaultFont();
    f.setPointSizeF(chosenSize * scale_);
    document()->setDefaultFont(f);
}

void ChatPane::addLine(const QString& line, QColor colour, bool scrollOff)
{
    // Many lines may arrive within one event-loop pass; paint once at the end.
    const bool wasUpdating = updatesEnabled();
    setUpdatesEnabled(false);

    const QString shown = shownline::shownLine(line);

    // Kept as numbers: a QTextCursor would move along with text inserted at it.
    int firstVisible = verticalScrollBar()->value();
    int keptAnchor = textCursor().anchor();
    int keptPosition = textCursor().position();
    // The lines that go take their height and characters with them.
    const Dropped dropped = dropOldestLines(shown.size() + 1);
    firstVisible = std::max(0, firstVisible - dropped.height);
    keptAnchor = std::max(0, keptAnchor - dropped.characters);
    keptPosition = std::max(0, keptPosition - dropped.characters);

    QTextCursor end(document());
    end.movePosition(QTextCursor::End);

    QTextCharFormat regular;
    regular.setForeground(colour);
    regular.setFontWeight(QFont::Normal);
    regular.setFontUnderline(false);
    QTextCharFormat bold = regular;
    bold.setFontWeight(QFont::Bold);

    // Runs cut where the bold part ends and where links start and end.
    const qsizetype boldEnd = shown.indexOf(u':') + 1;
    const std::vector<FoundLink> links = findLinks(shown);
    auto link = links.begin();
    qsizetype at = 0;
    while (at < shown.size()) {
        const bool inLink = link != links.end() && link->start <= at;
        qsizetype runEnd = shown.size();
        if (inLink)
            runEnd = link->start + link->length;
        else if (link != links.end())
            runEnd = link->start;
        if (at < boldEnd)
            runEnd = std::min(runEnd, boldEnd);
        QTextCharFormat format = at < boldEnd ? bold : regular;
        format.setFontUnderline(inLink);
        end.insertText(shown.mid(at, runEnd - at), format);
        at = runEnd;
        if (inLink && at == link->start + link->length)
            ++link;
    }
    end.insertBlock(QTextBlockFormat(), regular);

    if (scrollOff) {
        QTextCursor kept(document());
        kept.setPosition(keptAnchor);
        kept.setPosition(keptPosition, QTextCursor::KeepAnchor);
        setTextCursor(kept); // may scroll to the selection; the view is put back next
        verticalScrollBar()->setValue(firstVisible);
    } else {
        setTextCursor(end);
        ensureCursorVisible();
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }

    setUpdatesEnabled(wasUpdating);
    viewport()->update();
}

ChatPane::Dropped ChatPane::dropOldestLines(qsizetype incoming)
{
    QTextDocument* doc = document();
    // The last block is the empty one the next line is written into.
    int lines = doc->blockCount() - 1;
    qsizetype characters = doc->characterCount();
    if (lines < kMaxLines && characters + incoming <= kMaxCharacters)
        return {};

    const QTextBlock first = doc->begin();
    QTextBlock keep = first;
    while (keep.isValid() && keep != doc->lastBlock()
        && (lines > kMaxLines - kLinesDroppedTogether
            || characters + incoming > kMaxCharacters - kCharactersDroppedTogether)) {
        characters -= keep.length();
        --lines;
        keep = keep.next();
    }
    if (keep == first)
        return {};
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    const qreal height = layout->blockBoundingRect(keep).top() - layout->blockBoundingRect(first).top();
    const int removed = keep.position();
    QTextCursor c(doc);
    c.setPosition(removed, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    return { removed, std::max(0, qRound(height)) };
}

int ChatPane::characterAt(const QPoint& viewportPos) const
{
    const QPointF docPos
        = QPointF(viewportPos) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int hit = document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
    if (hit < 0)
        return -1;
    // The hit is the nearest gap between characters; the character under the
    // point is the one after that gap unless the point lies left of it.
    QTextCursor c(document());
    c.setPosition(hit);
    const int gapX = cursorRect(c).x();
    int ch = viewportPos.x() < gapX ? hit - 1 : hit;
    if (ch < 0 || ch >= document()->characterCount() - 1)
        return -1;
    return ch;
}

std::optional<FoundLink> ChatPane::linkAt(const QPoint& viewportPos) const
{
    const int ch = characterAt(viewportPos);
    if (ch < 0)
        return std::nullopt;
    // A link never crosses a line break, so its own paragraph is enough.
    const QTextBlock block = document()->findBlock(ch);
    auto link = findLinkAt(block.text(), ch - block.position());
    if (link)
        link->start += block.position();
    return link;
}

void ChatPane::mainchatMouseMove(const QPoint& viewportPos)
{
    viewport()->setCursor(linkAt(viewportPos) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool ChatPane::mainchatMouseDown(Qt::MouseButton button, const QPoint& viewportPos)
{
    if (button != Qt::LeftButton)
        return false;
    const auto link = linkAt(viewportPos);
    if (!link)
        return false;
    QTextCursor c(document());
    c.setPosition(link->start);
    c.setPosition(link->start + link->length, QTextCursor::KeepAnchor);
    setTextCursor(c);
    emit linkActivated(link->text);
    return true;
}

void ChatPane::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    mainchatMouseMove(event->position().toPoint());
}

void ChatPane::mousePressEvent(QMouseEvent* event)
{
    // A press on a link selects the link itself; the default press would
    // replace that selection with an empty one.
    if (mainchatMouseDown(event->button(), event->position().toPoint())) {
        event->accept();
        return;
    }
    QTextEdit::mousePressEvent(event);
}
