// The message format: composing, cutting a byte stream at the end byte,
// the inbound queue and reading fields.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wire {

constexpr char kEndByte = '\xFF';
constexpr std::string_view kVersionText = "2.0.5";

// Strict integer reading of a field: an optional "-" and 1 to 10 decimal
// digits within 32 bits. Anything else (blanks, "+", hex, empty) is refused.
std::optional<int32_t> strictToInt(std::string_view text);
// The same for 64 bits: an optional "-" and 1 to 19 decimal digits.
std::optional<int64_t> strictToInt64(std::string_view text);

// Cuts the bytes of one connection into messages. A message split over
// several reads is put back together; limits come from wire_limits.h.
class MessageFramer {
public:
    enum class Result { Ok, Overflow };

    // Appends bytes and passes every complete message (without its end byte)
    // to sink. Over-long messages, and messages holding a line break, are
    // dropped. Overflow means the peer sent too much without an end byte.
    Result feed(std::string_view bytes, const std::function<void(std::string&&)>& sink);
    std::size_t pendingBytes() const { return partial_.size(); }

private:
    std::string partial_;
};

// One received message and the connection it came from.
struct QueuedMessage {
    uint64_t origin = 0;
    std::string line;
};

// First-in, first-out queue of received messages, counting per origin so that
// a flooding connection can be recognised.
class InboundQueue {
public:
    void push(uint64_t origin, std::string line);
    // The oldest message, or an empty one when the queue is empty.
    QueuedMessage take();
    bool empty() const { return messages_.empty(); }
    std::size_t size() const { return messages_.size(); }
    std::size_t countFrom(uint64_t origin) const;
    void clear();

private:
    std::deque<QueuedMessage> messages_;
    std::unordered_map<uint64_t, std::size_t> perOrigin_;
};

// A line split into its command (text before the first "+") and the argument
// text after it. A line without "+" has an empty command.
struct SplitLine {
    std::string_view command;
    std::string_view args;
};
SplitLine splitCommand(std::string_view line);

// Reads "+"-separated fields off the front of an argument text.
class FieldReader {
public:
    explicit FieldReader(std::string_view text)
        : rest_(text)
    {
    }

    // The text before the next "+"; false when no "+" is left (a missing field).
    bool next(std::string_view& field);
    bool nextInt(int32_t& value);
    bool nextInt64(int64_t& value);
    // Everything not yet read: free text such as names and chat lines.
    std::string_view rest() const { return rest_; }
    // Reads a list of variable length the way every receiver does: append
    // "+@" and take fields until exactly "@" is left. At most maxItems are
    // taken; more gives nullopt.
    std::optional<std::vector<std::string_view>> list(std::size_t maxItems);

private:
    std::string_view rest_;
};

} // namespace wire
