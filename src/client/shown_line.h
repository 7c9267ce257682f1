// What the chat pane shows of a line: one paragraph of bounded length, with
// no text whose layout costs more than its length (stacks of marks, controls).
#pragma once

#include <QString>

namespace shownline {

// Characters (UTF-16 units) of a line the pane shows; a longer line is cut and
// ends in an ellipsis. A few sentences of chat fit; a 4 KiB message of one
// repeated character, which costs the text layout tens of milliseconds, does not.
constexpr qsizetype kMaxLength = 500;

// Combining marks and invisible joiners kept in a row after one character. The
// layout shapes a character with all its marks at once, at a cost that grows
// with the square of their number; no script stacks more than a few.
constexpr int kMaxMarksInARow = 4;

// The ellipsis that ends a cut line.
inline constexpr char16_t kEllipsis = 0x2026;

// The line as the pane shows it, in one pass: line breaks and tabs become
// blanks (a line stays one line), other control characters and broken
// surrogates become U+FFFD (nothing hides in a name), marks past
// kMaxMarksInARow are dropped, and the result is cut to kMaxLength plus the
// ellipsis. Direction controls are kept: the window's isolates must stay.
QString shownLine(const QString& line);

} // namespace shownline
