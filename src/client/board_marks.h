// What the board draws over its tiles, as plain data: the word being built, the cells lit for
// typed letters, words sent and not yet answered, the answer's flash, the cue for a refused key,
// and a word shown in the round review. Animations advance one step per tick().
#pragma once

#include <QPoint>
#include <QString>

#include <deque>
#include <vector>

class QPainter;

class BoardMarks {
public:
    // One step of every animation; the board's timer calls tick() at this pace.
    static constexpr int kStepMs = 30;
    // A found word glows green and its score rises for about 0.7 s.
    static constexpr int kFoundSteps = 24;
    // A refused word shakes red for about half a second.
    static constexpr int kRefusedSteps = 16;
    // A key that makes no chain lights the board's edge for about a quarter second.
    static constexpr int kKeyCueSteps = 8;
    // The review lays a word tile by tile, about eight tiles a second.
    static constexpr int kReviewStepsPerTile = 4;
    // Words in flight: far more than anyone sends before the first answer comes back; older
    // ones are forgotten rather than held without bound.
    static constexpr std::size_t kMaxPending = 8;
    // Answers shown at once; a burst of answers drops the oldest flashes.
    static constexpr std::size_t kMaxFlashes = 4;

    enum class Answer { Found, Refused };
    struct Flash {
        std::vector<QPoint> cells;
        Answer answer = Answer::Found;
        QString caption; // the score rising from a found word
        int step = 0;
    };

    // The word being built, first tile first; cells may repeat (a tile visited twice).
    void setPath(std::vector<QPoint> cells) { path_ = std::move(cells); }
    const std::vector<QPoint>& path() const { return path_; }
    // The cells lit for typed letters.
    void setLit(std::vector<QPoint> cells) { lit_ = std::move(cells); }
    const std::vector<QPoint>& lit() const { return lit_; }

    // A word went to the server: it stays drawn faintly until its answer.
    void holdSent(std::vector<QPoint> cells);
    const std::deque<std::vector<QPoint>>& pending() const { return pending_; }
    // The oldest word in flight got its answer: it flashes, then goes. False when no word was
    // waiting (an answer to a word sent before the marks were cleared).
    bool answer(Answer answer, const QString& caption);
    const std::vector<Flash>& flashes() const { return flashes_; }

    void refuseKey() { keyCue_ = kKeyCueSteps; }
    int keyCue() const { return keyCue_; }

    // A word of the review: laid out one tile per kReviewStepsPerTile ticks.
    void showReview(std::vector<QPoint> cells);
    const std::vector<QPoint>& review() const { return review_; }
    // How many of the review word's tiles are shown so far.
    int reviewShown() const { return reviewShown_; }
    void clearReview();

    // Everything the round had: path, lit cells, words in flight, flashes, key cue.
    void clearRound();

    // One animation step; false once nothing moves any more.
    bool tick();
    bool animating() const;

    // The visit numbers (1 = first letter) of a cell in a path.
    static std::vector<int> visitsOf(const std::vector<QPoint>& cells, QPoint cell);
    // The tiles of a path's first count cells, each once in the order first reached, with the
    // numbers of all its visits: what each tile's label says.
    struct TileVisits {
        QPoint cell;
        std::vector<int> visits;
    };
    static std::vector<TileVisits> tileVisits(const std::vector<QPoint>& cells, std::size_t count);
    // A tile's label: its visit numbers in order, "1·5·7".
    static QString visitCaption(const std::vector<int>& visits);

private:
    std::vector<QPoint> path_;
    std::vector<QPoint> lit_;
    std::deque<std::vector<QPoint>> pending_;
    std::vector<Flash> flashes_;
    int keyCue_ = 0;
    std::vector<QPoint> review_;
    int reviewShown_ = 0;
    int reviewStep_ = 0;
};

// Draws the marks in board pixels, cell (c, r) at (40c, 40r), in two layers: the washes, rings
// and links of chosen tiles over the tiles and under the bonus markers, so a marker's caption
// keeps its own colours on a lit tile and no link hides it; then over everything the visit
// labels, the rising score and the key cue.
void paintBoardMarksUnderBonuses(QPainter& painter, const BoardMarks& marks);
void paintBoardMarks(QPainter& painter, const BoardMarks& marks);
