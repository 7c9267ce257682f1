// Link finding for the chat pane: a plain function so the rule can be tested
// without a widget.
#include "link_finder.h"

#include <array>

namespace {

// Searched in this order; the first that occurs anywhere in the word wins,
// even if a later one occurs earlier in the word.
constexpr std::array<const char*, 8> linkPrefixes
    = { "http://", "ftp://", "file://", "gopher://", "telnet://", "news:", "mailto:", "www." };

bool isWordDelimiter(QChar c)
{
    // The pane stores line breaks as paragraph and line separators; its plain
    // text shows them as line feeds. Either way they end a word.
    return c == u' ' || c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator
        || c == QChar::LineSeparator;
}

bool mayEndLink(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'/' || (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// Only ASCII letters are folded: the prefixes are ASCII, and a fold that
// changed the length of other characters would shift every position after it.
QString asciiLower(QStringView s)
{
    QString out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        out[i] = (u >= u'A' && u <= u'Z') ? QChar(char16_t(u + (u'a' - u'A'))) : s[i];
    }
    return out;
}

} // namespace

std::optional<FoundLink> findLinkAt(const QString& text, int position)
{
    if (position < 0 || position >= text.size() || isWordDelimiter(text[position]))
        return std::nullopt;

    qsizetype wordStart = position;
    while (wordStart > 0 && !isWordDelimiter(text[wordStart - 1]))
        --wordStart;
    qsizetype wordEnd = position + 1;
    while (wordEnd < text.size() && !isWordDelimiter(text[wordEnd]))
        ++wordEnd;

    const QString word = asciiLower(QStringView(text).sliced(wordStart, wordEnd - wordStart));
    for (const char* prefix : linkPrefixes) {
        const QLatin1StringView p(prefix);
        const qsizetype at = word.indexOf(p);
        if (at < 0)
            continue;
        qsizetype end = word.size();
        while (end > at && !mayEndLink(word[end - 1]))
            --end;
        if (end - at <= p.size())
            return std::nullopt;
        const qsizetype start = wordStart + at;
        const qsizetype length = end - at;
        return FoundLink { text.mid(start, length), int(start), int(length) };
    }
    return std::nullopt;
}
