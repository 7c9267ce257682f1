// Reads a fuzz input from the front: small numbers that steer a target, and
// byte strings it feeds to the code under test. Running out is never an error:
// numbers read as 0 and strings come back short.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size)
    {
    }

    bool empty() const { return rest_.empty(); }
    std::size_t remaining() const { return rest_.size(); }

    uint8_t byte()
    {
        if (rest_.empty())
            return 0;
        const auto value = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }

    uint32_t u32()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }

    std::string_view bytes(std::size_t count)
    {
        const std::string_view taken = rest_.substr(0, std::min(count, rest_.size()));
        rest_.remove_prefix(taken.size());
        return taken;
    }

    // The text up to the next separator (not included), which is consumed too.
    std::string_view until(char separator)
    {
        const std::size_t at = rest_.find(separator);
        const std::string_view taken = rest_.substr(0, at);
        rest_.remove_prefix(at == std::string_view::npos ? rest_.size() : at + 1);
        return taken;
    }

    std::string_view all() { return bytes(rest_.size()); }

private:
    std::string_view rest_;
};
