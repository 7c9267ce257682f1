// Finding a web or mail link in the chat pane's text at a character position.
#pragma once

#include <QString>

#include <optional>

struct FoundLink {
    QString text; // as the pane shows it, letter case kept
    int start = 0; // position of its first character in the searched text
    int length = 0;
};

// The link in the word around `position`, or nothing. Words are delimited by
// blanks and line breaks; the first link prefix (in a fixed order) found
// anywhere in the word starts the link, which runs to the end of the word
// less any trailing characters other than letters, digits and "/". A prefix
// on its own is no link. A position on a delimiter or past the end finds nothing.
std::optional<FoundLink> findLinkAt(const QString& text, int position);
