// The tally: the player's own record (row 0) and one row per tallied
// opponent, ten text cells each, with the operations play performs on it.
// No widgets: the tally window shows it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TallyModel {
public:
    static constexpr int kColumns = 10;
    using Row = std::array<std::string, kColumns>;

    // Own-record columns of row 0.
    enum OwnColumn { Games = 1, Wins = 2, LongestWord = 3, BestWord = 5, TotalWords = 7, BestRound = 8 };
    // Opponent-row columns: totals 1-4, this session 5-8.
    enum OpponentColumn { Together = 1, TheyWon = 2, YouWon = 3, NeitherWon = 4, SessionOffset = 4 };

    TallyModel();

    // Rows as stored: row 0 is the own record.
    const std::vector<Row>& rows() const { return rows_; }
    int rowCount() const { return int(rows_.size()); }
    const std::string& cell(int row, int column) const
    {
        return rows_.at(std::size_t(row))[std::size_t(column)];
    }
    // A cell read as a number; a damaged or hand-edited cell counts as 0.
    int64_t number(int row, int column) const;

    // Replaces everything with rows read from the tally file, then prepares
    // them as at start-up: thresholds from the records, session figures 0.
    void loadtally(std::vector<Row> rows);

    // The operations of play.
    int64_t addit(int column, int row);
    void addtomine(int column) { addit(column, 0); }
    void anotherword(int column) { addit(column, 0); }
    void addword(const std::string& text, int64_t number, int column);
    void addgame(const std::string& result, const std::vector<std::string>& playersInGame);

    // Opponents being tallied, in row order (entry k-1 belongs to row k).
    std::vector<std::string> talliedNames() const;
    int talliedIndex(const std::string& name) const; // -1 when not tallied; ignores letter case
    void startTallying(const std::string& name);
    void moverow(int row);
    void reset();

    // Record thresholds: longest word length, best word points, best round score.
    int64_t threshold(int column) const;

    // What the own-record labels show.
    std::string ownLabel(int column) const;

private:
    std::vector<Row> rows_;
    enum class Shown { None, Value, NotAvailable };
    Shown& shown(int column);
    Shown shownOf(int column) const;

    int64_t longest_ = 0, best_ = 0, round_ = 0;
    // What each record label shows: "None" before any record, "N/A" after a reset.
    Shown longestShown_ = Shown::None, bestShown_ = Shown::None, roundShown_ = Shown::None;
};
