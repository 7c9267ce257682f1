// Links in chat text: at every position of any text, a found link lies inside
// the text, inside one word, starts with a web prefix, opens an http or https
// address and is what the pane underlines; every position of a found link
// finds that same link; the finder's work stays linear in the text.
#include "fuzz_check.h"

#include "link_finder.h"

#include <QString>

#include <array>

namespace {

bool isDelimiter(QChar c)
{
    return c == u' ' || c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator
        || c == QChar::LineSeparator;
}

bool startsWithPrefix(const QString& link)
{
    static const std::array<QLatin1StringView, 3> prefixes
        = { QLatin1StringView("http://"), QLatin1StringView("https://"), QLatin1StringView("www.") };
    for (const QLatin1StringView prefix : prefixes)
        if (link.startsWith(prefix, Qt::CaseInsensitive))
            return link.size() > prefix.size();
    return false;
}

} // namespace

// Input: UTF-16 text, two bytes a character, so any code unit (paragraph
// separators, lone surrogates) can occur.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(data[2 * i] | data[2 * i + 1] << 8));

    FUZZ_CHECK(!findLinkAt(text, -1) && !findLinkAt(text, int(text.size())));
    LinkSearchSteps steps;
    const std::vector<FoundLink> all = findLinks(text, &steps);
    FUZZ_CHECK(steps.count <= kMaxLinkStepsPerCharacter * text.size());
    std::size_t nextOfAll = 0;
    int checkedStart = -1;
    for (int position = 0; position < text.size(); ++position) {
        const std::optional<FoundLink> link = findLinkAt(text, position);
        if (!link)
            continue;
        FUZZ_CHECK(!isDelimiter(text[position]));
        FUZZ_CHECK(link->start >= 0 && link->length > 0 && link->start + link->length <= text.size());
        FUZZ_CHECK(link->text == text.mid(link->start, link->length));
        FUZZ_CHECK(startsWithPrefix(link->text));
        FUZZ_CHECK(link->address.isValid() && link->address == webAddressOf(link->text));
        FUZZ_CHECK(link->address.scheme() == "http" || link->address.scheme() == "https");
        // Inside one word, and in the word around the position asked about.
        const int low = std::min(position, link->start),
                  high = std::max(position, link->start + link->length - 1);
        for (int i = low; i <= high; ++i)
            FUZZ_CHECK(!isDelimiter(text[i]));
        // Ends on a letter, a digit or "/".
        const char16_t last = link->text.back().unicode();
        FUZZ_CHECK(last == u'/' || (last >= u'0' && last <= u'9') || (last >= u'a' && last <= u'z')
            || (last >= u'A' && last <= u'Z'));
        // The same link is found from each of its own characters.
        if (link->start == checkedStart)
            continue;
        checkedStart = link->start;
        // The line's links, in order, are the links found at positions.
        FUZZ_CHECK(nextOfAll < all.size() && all[nextOfAll].start == link->start
            && all[nextOfAll].length == link->length);
        ++nextOfAll;
        for (int i = link->start; i < link->start + link->length; ++i) {
            const std::optional<FoundLink> again = findLinkAt(text, i);
            FUZZ_CHECK(again && again->start == link->start && again->length == link->length);
        }
    }
    FUZZ_CHECK(nextOfAll == all.size());
    return 0;
}
