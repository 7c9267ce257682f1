// The message format: composing, framing, the inbound queue and field reading.
#include "protocol.h"

#include "wire_limits.h"

namespace wire {

std::optional<int32_t> strictToInt(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<int64_t> strictToInt64(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + uint64_t(c - '0');
    }
    // Nineteen digits fit 64 unsigned bits; the signed range is checked here.
    const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
    if (value > limit)
        return std::nullopt;
    return negative ? int64_t(0 - value) : int64_t(value);
}

MessageFramer::Result MessageFramer::feed(
    std::string_view bytes, const std::function<void(std::string&&)>& sink)
{
    while (!bytes.empty()) {
        std::size_t end = bytes.find(kEndByte);
        if (end == std::string_view::npos) {
            partial_.append(bytes);
            if (partial_.size() > kMaxUnterminatedBytes) {
                partial_.clear();
                partial_.shrink_to_fit();
                return Result::Overflow;
            }
            return Result::Ok;
        }
        partial_.append(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
        std::string message;
        message.swap(partial_);
        // The queue is line-based on every side: a line break could never
        // have been sent by an honest peer, and an over-long message is junk.
        if (message.size() <= kMaxMessageBytes && message.find_first_of("\r\n") == std::string::npos)
            sink(std::move(message));
    }
    return Result::Ok;
}

void InboundQueue::push(uint64_t origin, std::string line)
{
    ++perOrigin_[origin];
    messages_.push_back(QueuedMessage { origin, std::move(line) });
}

QueuedMessage InboundQueue::take()
{
    if (messages_.empty())
        return {};
    QueuedMessage message = std::move(messages_.front());
    messages_.pop_front();
    auto it = perOrigin_.find(message.origin);
    if (it != perOrigin_.end() && --it->second == 0)
        perOrigin_.erase(it);
    return message;
}

std::size_t InboundQueue::countFrom(uint64_t origin) const
{
    auto it = perOrigin_.find(origin);
    return it == perOrigin_.end() ? 0 : it->second;
}

void InboundQueue::clear()
{
    messages_.clear();
    perOrigin_.clear();
}

SplitLine splitCommand(std::string_view line)
{
    std::size_t plus = line.find('+');
    if (plus == std::string_view::npos)
        return {};
    return SplitLine { line.substr(0, plus), line.substr(plus + 1) };
}

bool FieldReader::next(std::string_view& field)
{
    std::size_t plus = rest_.find('+');
    if (plus == std::string_view::npos)
        return false;
    field = rest_.substr(0, plus);
    rest_.remove_prefix(plus + 1);
    return true;
}

bool FieldReader::nextInt(int32_t& value)
{
    std::string_view field;
    if (!next(field))
        return false;
    std::optional<int32_t> parsed = strictToInt(field);
    if (!parsed)
        return false;
    value = *parsed;
    return true;
}

bool FieldReader::nextInt64(int64_t& value)
{
    std::string_view field;
    if (!next(field))
        return false;
    std::optional<int64_t> parsed = strictToInt64(field);
    if (!parsed)
        return false;
    value = *parsed;
    return true;
}

std::optional<std::vector<std::string_view>> FieldReader::list(std::size_t maxItems)
{
    // Same result as appending "+@" and reading fields until "@" is left:
    // every "+"-separated piece of the rest is one item.
    std::vector<std::string_view> items;
    std::string_view text = rest_;
    while (true) {
        if (items.size() == maxItems)
            return std::nullopt;
        std::size_t plus = text.find('+');
        items.push_back(text.substr(0, plus));
        if (plus == std::string_view::npos)
            break;
        text.remove_prefix(plus + 1);
    }
    rest_ = {};
    return items;
}

} // namespace wire
