// Finding web links in the chat pane's text: the one at a character position
// (under the pointer) and every one of a line (what the pane underlines).
#pragma once

#include <QString>
#include <QUrl>

#include <optional>
#include <vector>

struct FoundLink {
    QString text; // as the pane shows it, letter case kept
    int start = 0; // position of its first character in the searched text
    int length = 0;
    QUrl address; // what a click opens: a "www." link as an http address
};

// The finder's work, counted for tests: one step per character it looks at
// or compares. Hostile text must never make this grow faster than the text.
struct LinkSearchSteps {
    qsizetype count = 0;
};

// The most steps the finder takes per character of the text it searches: up
// to two to find the word's ends, the prefixes' lengths together (each start
// compares at most a prefix's length), one from the word's end back and one to
// check the link.
constexpr qsizetype kMaxLinkStepsPerCharacter = 66;

// The link in the word around `position`, or nothing. Words are delimited by
// blanks and line breaks; the first link prefix (in a fixed order) found
// anywhere in the word starts the candidate, which runs to the end of the
// word less any trailing characters other than letters, digits and "/". Only
// web addresses are links: when that first prefix is not "http://",
// "https://" or "www." (mail, files, news and the like), when the candidate
// is the prefix alone, or when it is no plain web address (webAddressOf),
// the word is plain text. A position on a delimiter or past the end finds nothing.
std::optional<FoundLink> findLinkAt(const QString& text, int position, LinkSearchSteps* steps = nullptr);

// Every link of the text by the same rule, in order, each word looked at once.
std::vector<FoundLink> findLinks(const QString& text, LinkSearchSteps* steps = nullptr);

// The http or https address a link opens, or an invalid address when it opens
// none: another scheme, no host or one too long to exist, a user name before
// the host (which makes "http://bank.example@elsewhere" look like the bank),
// or a control, invisible or unassigned character, which could make the
// address read as another.
QUrl webAddressOf(const QString& link);
