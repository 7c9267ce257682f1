// The tally's grid and the operations play performs on it.
#include "tally_model.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

namespace {

TallyModel::Row zeroRow()
{
    TallyModel::Row row;
    row.fill("0");
    return row;
}

bool equalIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

} // namespace

TallyModel::TallyModel()
    : rows_ { zeroRow() }
{
}

int64_t TallyModel::number(int row, int column) const
{
    const std::string& text = cell(row, column);
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return 0;
    return value;
}

void TallyModel::loadtally(std::vector<Row> rows)
{
    if (rows.empty())
        rows.push_back(zeroRow());
    rows_ = std::move(rows);
    longest_ = best_ = round_ = 0;
    // A record counts only when its number cell holds something.
    for (int column : { LongestWord, BestRound, BestWord }) {
        shown(column) = Shown::None;
        if (!cell(0, column + 1).empty()) {
            shown(column) = Shown::Value;
            (column == LongestWord ? longest_ : column == BestWord ? best_ : round_) = number(0, column + 1);
        }
    }
    for (std::size_t r = 1; r < rows_.size(); ++r)
        for (int c = Together + SessionOffset; c <= NeitherWon + SessionOffset; ++c)
            rows_[r][std::size_t(c)] = "0";
}

int64_t TallyModel::addit(int column, int row)
{
    // A count from a damaged or hand-edited file may already be the largest
    // there is; it stays there rather than wrapping round.
    const int64_t current = number(row, column);
    const int64_t value = current < std::numeric_limits<int64_t>::max() ? current + 1 : current;
    rows_.at(std::size_t(row))[std::size_t(column)] = std::to_string(value);
    return value;
}

void TallyModel::addword(const std::string& text, int64_t value, int column)
{
    rows_[0][std::size_t(column)] = text;
    rows_[0][std::size_t(column + 1)] = std::to_string(value);
    if (column == LongestWord)
        longest_ = value;
    else if (column == BestWord)
        best_ = value;
    else if (column == BestRound)
        round_ = value;
    if (column == LongestWord || column == BestWord || column == BestRound)
        shown(column) = Shown::Value;
}

TallyModel::Shown& TallyModel::shown(int column)
{
    return column == LongestWord ? longestShown_ : column == BestWord ? bestShown_ : roundShown_;
}

TallyModel::Shown TallyModel::shownOf(int column) const
{
    return column == LongestWord ? longestShown_ : column == BestWord ? bestShown_ : roundShown_;
}

void TallyModel::addgame(const std::string& result, const std::vector<std::string>& playersInGame)
{
    addtomine(Games);
    if (result == "addtomine")
        addtomine(Wins);
    for (const std::string& name : playersInGame) {
        const int index = talliedIndex(name);
        if (index < 0)
            continue;
        Row& row = rows_[std::size_t(index + 1)];
        for (int c = 1; c <= 8; ++c)
            if (row[std::size_t(c)].empty())
                row[std::size_t(c)] = "0";
        const int r = index + 1;
        addit(Together, r);
        addit(Together + SessionOffset, r);
        if (row[0] == result) {
            addit(TheyWon, r);
            addit(TheyWon + SessionOffset, r);
        } else if (result == "addtomine") {
            addit(YouWon, r);
            addit(YouWon + SessionOffset, r);
        } else {
            addit(NeitherWon, r);
            addit(NeitherWon + SessionOffset, r);
        }
    }
}

std::vector<std::string> TallyModel::talliedNames() const
{
    std::vector<std::string> names;
    for (std::size_t r = 1; r < rows_.size(); ++r)
        names.push_back(rows_[r][0]);
    return names;
}

int TallyModel::talliedIndex(const std::string& name) const
{
    for (std::size_t r = 1; r < rows_.size(); ++r)
        if (equalIgnoringCase(rows_[r][0], name))
            return int(r) - 1;
    return -1;
}

void TallyModel::startTallying(const std::string& name)
{
    if (talliedIndex(name) >= 0)
        return;
    Row row = zeroRow();
    row[0] = name;
    rows_.push_back(row);
}

void TallyModel::moverow(int row)
{
    if (row >= 1 && row < rowCount())
        rows_.erase(rows_.begin() + row);
}

void TallyModel::reset()
{
    Row& own = rows_[0];
    for (int c : { 1, 2, 7, 8, 9, 4, 6 })
        own[std::size_t(c)] = "0";
    own[3].clear();
    own[5].clear();
    longest_ = best_ = round_ = 0;
    if (rows_.size() > 1)
        for (Row& row : rows_)
            row.fill("0");
    rows_.resize(1);
    longestShown_ = bestShown_ = roundShown_ = Shown::NotAvailable;
}

int64_t TallyModel::threshold(int column) const
{
    if (column == LongestWord)
        return longest_;
    if (column == BestWord)
        return best_;
    if (column == BestRound)
        return round_;
    return 0;
}

std::string TallyModel::ownLabel(int column) const
{
    if (column == LongestWord || column == BestWord || column == BestRound) {
        switch (shownOf(column)) {
        case Shown::None:
            // The best round reads "0" until one is recorded, as it did at start.
            return column == BestRound ? "0" : "None";
        case Shown::NotAvailable:
            return "N/A";
        case Shown::Value:
            return cell(0, column) + " (" + cell(0, column + 1) + ")";
        }
    }
    return cell(0, column);
}
