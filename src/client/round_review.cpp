// The round review: the finder's words for the ended board against what each seat found.
#include "round_review.h"

#include "lexicon.h"
#include "typed_chains.h"
#include "word_finder.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

std::vector<QPoint> pointsOf(const CellPath& path)
{
    std::vector<QPoint> points;
    for (const TileRef& tile : path.tiles())
        points.emplace_back(tile.x, tile.y);
    return points;
}

// Best first; equal scores alphabetically, so the order never depends on the list's.
bool better(const ReviewWord& a, const ReviewWord& b)
{
    return a.score != b.score ? a.score > b.score : a.word < b.word;
}

} // namespace

RoundReview RoundReview::of(const client::ClientState& state, const Lexicon& lexicon)
{
    RoundReview review;
    if (!state.hasEndedBoard)
        return review;
    review.bookKind = state.bookKind;
    const Board board = state.endedScoringBoard();
    WordFinder finder(lexicon);
    const std::vector<FoundWord>& words = finder.solve(board);

    std::map<QString, const FoundWord*> onBoard;
    for (const FoundWord& word : words) {
        const std::string_view letters = word.word();
        onBoard.emplace(QString::fromLatin1(letters.data(), qsizetype(letters.size())).toUpper(), &word);
        review.boardPoints += word.score;
    }
    review.boardWords = int(words.size());

    std::set<QString> foundByAnyone;
    for (int n = 1; n <= kSeats; ++n) {
        const client::Seat& seat = state.seat(n);
        ReviewTotals& totals = review.totals[std::size_t(n)];
        totals.taken = seat.taken;
        totals.name = seat.name;
        std::vector<ReviewWord>& list = review.found[std::size_t(n)];
        for (const client::FiledWord& filed : seat.words) {
            foundByAnyone.insert(filed.word);
            ++totals.words;
            totals.points += filed.score;
            if (int(list.size()) >= kListed) {
                ++review.foundMore[std::size_t(n)];
                continue;
            }
            ReviewWord entry { filed.word, filed.score, {} };
            if (const auto it = onBoard.find(filed.word); it != onBoard.end()) {
                entry.path = pointsOf(it->second->path);
            } else {
                // A word the window's list lacks: any chain that spells it still shows where it lay.
                const QByteArray letters = filed.word.toLower().toLatin1();
                if (const auto chains
                    = findTypedChains(board, std::string_view(letters.data(), letters.size()), 1))
                    entry.path = pointsOf(chains->best().path);
            }
            list.push_back(std::move(entry));
        }
    }

    std::vector<ReviewWord> missed;
    for (const auto& [word, found] : onBoard)
        if (!foundByAnyone.count(word))
            missed.push_back(ReviewWord { word, found->score, pointsOf(found->path) });
    const std::size_t listed = std::min<std::size_t>(missed.size(), kListed);
    std::partial_sort(missed.begin(), missed.begin() + std::ptrdiff_t(listed), missed.end(), better);
    review.missedMore = int(missed.size() - listed);
    missed.resize(listed);
    review.missed = std::move(missed);
    return review;
}
