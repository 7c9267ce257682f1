// The board's marks: words in flight and their answers, and the steps of each animation.
#include "board_marks.h"

#include <QStringList>

#include <algorithm>

void BoardMarks::holdSent(std::vector<QPoint> cells)
{
    if (cells.empty())
        return;
    if (pending_.size() >= kMaxPending)
        pending_.pop_front();
    pending_.push_back(std::move(cells));
}

bool BoardMarks::answer(Answer kind, const QString& caption)
{
    if (pending_.empty())
        return false;
    Flash flash;
    flash.cells = std::move(pending_.front());
    pending_.pop_front();
    flash.answer = kind;
    flash.caption = caption;
    if (flashes_.size() >= kMaxFlashes)
        flashes_.erase(flashes_.begin());
    flashes_.push_back(std::move(flash));
    return true;
}

void BoardMarks::showReview(std::vector<QPoint> cells)
{
    review_ = std::move(cells);
    reviewShown_ = review_.empty() ? 0 : 1;
    reviewStep_ = 0;
}

void BoardMarks::clearReview()
{
    review_.clear();
    reviewShown_ = 0;
    reviewStep_ = 0;
}

void BoardMarks::clearRound()
{
    path_.clear();
    lit_.clear();
    pending_.clear();
    flashes_.clear();
    keyCue_ = 0;
}

bool BoardMarks::tick()
{
    for (Flash& flash : flashes_)
        ++flash.step;
    flashes_.erase(std::remove_if(flashes_.begin(), flashes_.end(),
                       [](const Flash& flash) {
                           return flash.step >= (flash.answer == Answer::Found ? kFoundSteps : kRefusedSteps);
                       }),
        flashes_.end());
    if (keyCue_ > 0)
        --keyCue_;
    if (reviewShown_ < int(review_.size()) && ++reviewStep_ >= kReviewStepsPerTile) {
        reviewStep_ = 0;
        ++reviewShown_;
    }
    return animating();
}

bool BoardMarks::animating() const
{
    return !flashes_.empty() || keyCue_ > 0 || reviewShown_ < int(review_.size());
}

std::vector<int> BoardMarks::visitsOf(const std::vector<QPoint>& cells, QPoint cell)
{
    std::vector<int> visits;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i] == cell)
            visits.push_back(int(i) + 1);
    return visits;
}

std::vector<BoardMarks::TileVisits> BoardMarks::tileVisits(
    const std::vector<QPoint>& cells, std::size_t count)
{
    std::vector<TileVisits> tiles;
    count = std::min(count, cells.size());
    for (std::size_t i = 0; i < count; ++i) {
        const auto same = std::find_if(
            tiles.begin(), tiles.end(), [&](const TileVisits& tile) { return tile.cell == cells[i]; });
        if (same == tiles.end())
            tiles.push_back({ cells[i], { int(i) + 1 } });
        else
            same->visits.push_back(int(i) + 1);
    }
    return tiles;
}

QString BoardMarks::visitCaption(const std::vector<int>& visits)
{
    QStringList numbers;
    for (int visit : visits)
        numbers << QString::number(visit);
    return numbers.join(QChar(0x00B7)); // a middle dot
}
