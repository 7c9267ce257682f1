// Framing and field reading against a plain model of the message format: bytes
// arrive in pieces of any size, every complete message is split into command
// and fields every way a handler reads them, and the inbound queue keeps order.
#include "fuzz_check.h"
#include "fuzz_input.h"

#include "protocol.h"
#include "wire_limits.h"

#include <algorithm>
#include <charconv>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// The documented contract, written out plainly: an optional "-", then 1 to 10
// decimal digits, within 32 bits.
std::optional<int32_t> referenceToInt(std::string_view text)
{
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '-')
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 10)
        return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    FUZZ_CHECK(error == std::errc() && end == text.data() + text.size());
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

void checkToInt(std::string_view text) { FUZZ_CHECK(wire::strictToInt(text) == referenceToInt(text)); }

std::size_t countOf(std::string_view text, char c)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

// Reads one argument text the ways handlers do, in the order plan picks.
void readFields(std::string_view args, uint8_t plan)
{
    // Field by field: the fields and the "+" between them give back the text.
    {
        wire::FieldReader reader(args);
        std::string rebuilt;
        std::string_view field;
        std::size_t fields = 0;
        while (reader.next(field)) {
            FUZZ_CHECK(field.find('+') == std::string_view::npos);
            checkToInt(field);
            rebuilt.append(field).append("+");
            ++fields;
        }
        FUZZ_CHECK(fields == countOf(args, '+'));
        FUZZ_CHECK(reader.rest().find('+') == std::string_view::npos);
        rebuilt.append(reader.rest());
        FUZZ_CHECK(rebuilt == args);
    }
    // A handler's mix: some integers or plain fields, then a list or the rest.
    wire::FieldReader reader(args);
    for (int i = 0; i < (plan & 3); ++i) {
        const std::string_view before = reader.rest();
        int32_t value = 0;
        const bool ok = reader.nextInt(value);
        const std::size_t plus = before.find('+');
        if (plus == std::string_view::npos) {
            FUZZ_CHECK(!ok);
            FUZZ_CHECK(reader.rest() == before);
            break;
        }
        // A field is used up whether or not it was a number.
        FUZZ_CHECK(reader.rest() == before.substr(plus + 1));
        const auto expected = referenceToInt(before.substr(0, plus));
        FUZZ_CHECK(ok == expected.has_value());
        if (ok)
            FUZZ_CHECK(value == *expected);
    }
    const std::string_view before = reader.rest();
    if (plan & 4) {
        const std::size_t maxItems
            = (plan >> 3) % 14; // 0 to 13: around the 4, 12 and 13 that handlers ask for
        const auto items = reader.list(maxItems);
        const std::size_t pieces = countOf(before, '+') + 1;
        if (pieces > maxItems) {
            FUZZ_CHECK(!items);
            FUZZ_CHECK(reader.rest() == before);
        } else {
            FUZZ_CHECK(items && items->size() == pieces);
            std::string joined;
            for (std::size_t i = 0; i < items->size(); ++i) {
                FUZZ_CHECK((*items)[i].find('+') == std::string_view::npos);
                // Every item is a view into the message itself, never a copy.
                FUZZ_CHECK((*items)[i].data() >= before.data()
                    && (*items)[i].data() + (*items)[i].size() <= before.data() + before.size());
                if (i > 0)
                    joined += '+';
                joined.append((*items)[i]);
                checkToInt((*items)[i]);
            }
            FUZZ_CHECK(joined == before);
            FUZZ_CHECK(reader.rest().empty());
        }
    } else {
        FUZZ_CHECK(reader.rest() == before);
    }
}

void checkMessage(const std::string& line, uint8_t plan)
{
    FUZZ_CHECK(line.size() <= wire::kMaxMessageBytes);
    FUZZ_CHECK(line.find(wire::kEndByte) == std::string::npos);
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    const wire::SplitLine split = wire::splitCommand(line);
    const std::size_t plus = line.find('+');
    if (plus == std::string::npos) {
        FUZZ_CHECK(split.command.empty() && split.args.empty());
        return;
    }
    FUZZ_CHECK(split.command == std::string_view(line).substr(0, plus));
    FUZZ_CHECK(split.args == std::string_view(line).substr(plus + 1));
    readFields(split.args, plan);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    wire::MessageFramer framer;
    wire::InboundQueue queue;
    std::deque<wire::QueuedMessage> queueModel;
    std::map<uint64_t, std::size_t> countModel;
    std::string partialModel;
    std::vector<std::string> delivered;
    uint64_t origin = 0;

    // Each piece: a header byte, then its bytes. The low six bits give the
    // length. A header of 0xFF repeats a piece without an end byte 1024 times
    // (a few times per input at most), so over-long messages and the limit on
    // unterminated bytes are reachable from a small input.
    int repeats = 0;
    while (!input.empty()) {
        const uint8_t header = input.byte();
        const std::size_t length = (header & 0x3F) + 1u;
        const std::string_view bytes = input.bytes(length);
        std::string piece(bytes);
        if (header == 0xFF && repeats < 4 && bytes.find(wire::kEndByte) == std::string_view::npos) {
            ++repeats;
            piece.reserve(bytes.size() * 1024);
            for (int i = 1; i < 1024; ++i)
                piece.append(bytes);
        }

        std::vector<std::string> expected;
        for (char c : piece) {
            if (c != wire::kEndByte) {
                partialModel += c;
                continue;
            }
            if (partialModel.size() <= wire::kMaxMessageBytes
                && partialModel.find_first_of("\r\n") == std::string::npos)
                expected.push_back(partialModel);
            partialModel.clear();
        }
        const bool overflowExpected = partialModel.size() > wire::kMaxUnterminatedBytes;
        if (overflowExpected)
            partialModel.clear();

        std::vector<std::string> got;
        const auto result
            = framer.feed(piece, [&](std::string&& message) { got.push_back(std::move(message)); });
        FUZZ_CHECK((result == wire::MessageFramer::Result::Overflow) == overflowExpected);
        FUZZ_CHECK(got == expected);
        FUZZ_CHECK(framer.pendingBytes() == partialModel.size());

        origin = (origin + header) % 4;
        for (std::string& message : got) {
            queue.push(origin, message);
            queueModel.push_back({ origin, message });
            ++countModel[origin];
            delivered.push_back(std::move(message));
        }
        // Now and then the dispatcher takes one, as a timer tick does.
        if (header & 0x40 && !queueModel.empty()) {
            const wire::QueuedMessage taken = queue.take();
            FUZZ_CHECK(taken.origin == queueModel.front().origin && taken.line == queueModel.front().line);
            --countModel[taken.origin];
            queueModel.pop_front();
        }
        FUZZ_CHECK(queue.size() == queueModel.size());
        for (uint64_t o = 0; o < 4; ++o)
            FUZZ_CHECK(queue.countFrom(o) == countModel[o]);
    }

    // The rest of the queue comes out in order, then only empty messages.
    while (!queueModel.empty()) {
        const wire::QueuedMessage taken = queue.take();
        FUZZ_CHECK(taken.origin == queueModel.front().origin && taken.line == queueModel.front().line);
        queueModel.pop_front();
    }
    FUZZ_CHECK(queue.empty());
    const wire::QueuedMessage none = queue.take();
    FUZZ_CHECK(none.origin == 0 && none.line.empty());

    // How a message is read depends on the message itself (its last byte and
    // length), so the engine can steer it and the same input reads the same way.
    for (const std::string& line : delivered) {
        const auto plan = static_cast<uint8_t>((line.empty() ? 0 : uint8_t(line.back())) ^ line.size());
        checkMessage(line, plan);
        checkToInt(line);
    }
    return 0;
}
