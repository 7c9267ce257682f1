// Link finding for the chat pane: plain functions so the rule can be tested
// without a widget, and bounded so that no text makes them slow.
#include "link_finder.h"

#include <array>
#include <string_view>

namespace {

struct Prefix {
    std::u16string_view text;
    bool web; // a link with this prefix can be opened
};

// Searched in this order; the first that occurs anywhere in the word wins,
// even if a later one occurs earlier in the word. The prefixes of other
// schemes stay in the list so that a word such as "ftp://www.example.org"
// stays plain text instead of opening the web address inside it.
constexpr std::array<Prefix, 9> linkPrefixes { {
    { u"http://", true },
    { u"https://", true },
    { u"ftp://", false },
    { u"file://", false },
    { u"gopher://", false },
    { u"telnet://", false },
    { u"news:", false },
    { u"mailto:", false },
    { u"www.", true },
} };

// The longest host name the name system can look up; a longer one reaches no site.
constexpr qsizetype kMaxHostLength = 253;

constexpr qsizetype prefixLengths()
{
    qsizetype sum = 0;
    for (const Prefix& p : linkPrefixes)
        sum += qsizetype(p.text.size());
    return sum;
}
static_assert(
    prefixLengths() + 4 <= kMaxLinkStepsPerCharacter, "the finder's bound counts every pass over a word");

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
char16_t asciiLower(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? char16_t(u + (u'a' - u'A')) : u;
}

void step(LinkSearchSteps* steps, qsizetype n = 1)
{
    if (steps)
        steps->count += n;
}

// The first place of `prefix` in text[from, to), or -1. Each start compares at
// most the prefix's length, so the search costs the word times the prefix.
qsizetype find(
    const QString& text, qsizetype from, qsizetype to, std::u16string_view prefix, LinkSearchSteps* steps)
{
    const qsizetype length = qsizetype(prefix.size());
    for (qsizetype at = from; at + length <= to; ++at) {
        qsizetype matched = 0;
        while (matched < length) {
            step(steps);
            if (asciiLower(text[at + matched]) != prefix[std::size_t(matched)])
                break;
            ++matched;
        }
        if (matched == length)
            return at;
    }
    return -1;
}

// The link of the word text[wordStart, wordEnd), by the rule of findLinkAt.
std::optional<FoundLink> linkInWord(
    const QString& text, qsizetype wordStart, qsizetype wordEnd, LinkSearchSteps* steps)
{
    for (const Prefix& prefix : linkPrefixes) {
        const qsizetype at = find(text, wordStart, wordEnd, prefix.text, steps);
        if (at < 0)
            continue;
        qsizetype end = wordEnd;
        while (end > at && !mayEndLink(text[end - 1])) {
            step(steps);
            --end;
        }
        if (!prefix.web || end - at <= qsizetype(prefix.text.size()))
            return std::nullopt;
        step(steps, end - at);
        const QString link = text.mid(at, end - at);
        QUrl address = webAddressOf(link);
        if (!address.isValid())
            return std::nullopt;
        return FoundLink { link, int(at), int(end - at), std::move(address) };
    }
    return std::nullopt;
}

// Characters that must not be part of an address one is asked to trust:
// controls, direction controls and other invisible ones, private and
// unassigned code points, and halves of broken surrogate pairs.
bool hasHiddenCharacter(const QString& link)
{
    for (qsizetype i = 0; i < link.size(); ++i) {
        char32_t c = link[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < link.size() && link[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(link[i], link[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            return true;
        }
        switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
        case QChar::Other_Surrogate:
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace

std::optional<FoundLink> findLinkAt(const QString& text, int position, LinkSearchSteps* steps)
{
    if (position < 0 || position >= text.size() || isWordDelimiter(text[position]))
        return std::nullopt;

    qsizetype wordStart = position;
    while (wordStart > 0 && !isWordDelimiter(text[wordStart - 1])) {
        step(steps);
        --wordStart;
    }
    qsizetype wordEnd = position + 1;
    while (wordEnd < text.size() && !isWordDelimiter(text[wordEnd])) {
        step(steps);
        ++wordEnd;
    }
    step(steps);
    return linkInWord(text, wordStart, wordEnd, steps);
}

std::vector<FoundLink> findLinks(const QString& text, LinkSearchSteps* steps)
{
    std::vector<FoundLink> links;
    qsizetype at = 0;
    while (at < text.size()) {
        step(steps);
        if (isWordDelimiter(text[at])) {
            ++at;
            continue;
        }
        const qsizetype wordStart = at;
        while (at < text.size() && !isWordDelimiter(text[at])) {
            step(steps);
            ++at;
        }
        if (auto link = linkInWord(text, wordStart, at, steps))
            links.push_back(std::move(*link));
    }
    return links;
}

QUrl webAddressOf(const QString& link)
{
    if (hasHiddenCharacter(link))
        return {};
    const bool bare = link.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive);
    QUrl address(bare ? QStringLiteral("http://") + link : link);
    const QString scheme = address.scheme();
    const QString host = address.host(QUrl::FullyEncoded);
    if (!address.isValid() || (scheme != u"http" && scheme != u"https") || host.isEmpty()
        || host.size() > kMaxHostLength || !address.userInfo().isEmpty())
        return {};
    return address;
}
