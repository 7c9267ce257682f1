// LZHUF coder: greedy LZSS matching found through hash chains, literals and
// match lengths sent through an adaptive Huffman tree that both sides update
// symbol by symbol in the same way, positions through a fixed prefix code.
#include "lzhuf.h"

#include <algorithm>
#include <array>
#include <vector>

namespace stats {

namespace {

    constexpr int kWindow = 4096;
    constexpr int kWindowMask = kWindow - 1;
    constexpr int kMaxMatch = 60;
    // Matches this long or shorter cost more than the literals they replace.
    constexpr int kThreshold = 2;
    // The window starts as this many spaces, so text opening with spaces (or
    // indented text) can match before anything has been sent.
    constexpr int kPrefill = kWindow - kMaxMatch;

    // Symbols 0..255 are literal bytes, 256.. are match lengths 3..60.
    constexpr int kSymbols = 256 - kThreshold + kMaxMatch;
    constexpr int kNodes = kSymbols * 2 - 1;
    constexpr int kRoot = kNodes - 1;
    // Counts are halved when the root reaches this, so recent text weighs more
    // and the counts stay small.
    constexpr unsigned kMaxFreq = 0x8000;

    constexpr std::size_t kSinkPiece = 32 * 1024;

    // The upper six bits of a position get a fixed prefix code, shorter for
    // recent positions; the lower six bits follow as they are.
    struct PositionCode {
        std::array<std::uint8_t, 64> length {};
        std::array<std::uint8_t, 64> code {}; // left-aligned in 8 bits
        std::array<std::uint8_t, 256> upperOfByte {}; // by the next 8 bits of the stream
        std::array<std::uint8_t, 256> lengthOfByte {};
    };

    constexpr PositionCode makePositionCode()
    {
        // How many of the 64 upper values get a code of each length (3 to 8 bits).
        constexpr int perLength[9] = { 0, 0, 0, 1, 3, 8, 12, 24, 16 };
        PositionCode table;
        int upper = 0;
        unsigned code = 0;
        for (int len = 3; len <= 8; ++len) {
            for (int i = 0; i < perLength[len]; ++i, ++upper, ++code) {
                const unsigned first = code << (8 - len);
                table.length[upper] = static_cast<std::uint8_t>(len);
                table.code[upper] = static_cast<std::uint8_t>(first);
                for (unsigned b = 0; b < (1u << (8 - len)); ++b) {
                    table.upperOfByte[first + b] = static_cast<std::uint8_t>(upper);
                    table.lengthOfByte[first + b] = static_cast<std::uint8_t>(len);
                }
            }
            code <<= 1;
        }
        return table;
    }

    constexpr PositionCode kPositionCode = makePositionCode();
    static_assert(kPositionCode.code[63] == 0xFF && kPositionCode.length[63] == 8,
        "the position code must fill all 8-bit patterns");

    // Huffman tree kept in frequency order, so that moving a node up after an
    // increment keeps it a Huffman tree. Nodes 2m and 2m+1 are always brothers;
    // a symbol's leaf is found through parent[kNodes + symbol].
    class AdaptiveTree {
    public:
        AdaptiveTree()
        {
            for (int i = 0; i < kSymbols; ++i) {
                freq_[i] = 1;
                son_[i] = i + kNodes;
                parent_[i + kNodes] = i;
            }
            for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
                freq_[j] = freq_[i] + freq_[i + 1];
                son_[j] = i;
                parent_[i] = parent_[i + 1] = j;
            }
            freq_[kNodes] = 0xFFFF; // stops the search for a node's new place
            parent_[kRoot] = 0;
        }

        int leafOf(int symbol) const { return parent_[kNodes + symbol]; }
        int parentOf(int node) const { return parent_[node]; }
        int sonOf(int node) const { return son_[node]; }

        void update(int symbol)
        {
            if (freq_[kRoot] == kMaxFreq)
                rebuild();
            int c = parent_[kNodes + symbol];
            do {
                const unsigned k = ++freq_[c];
                if (k > freq_[c + 1]) {
                    // Swap with the last node of the lower count, so the order holds.
                    int l = c + 1;
                    while (k > freq_[++l]) { }
                    --l;
                    freq_[c] = freq_[l];
                    freq_[l] = k;

                    const int i = son_[c];
                    parent_[i] = l;
                    if (i < kNodes)
                        parent_[i + 1] = l;
                    const int j = son_[l];
                    son_[l] = i;
                    parent_[j] = c;
                    if (j < kNodes)
                        parent_[j + 1] = c;
                    son_[c] = j;
                    c = l;
                }
                c = parent_[c];
            } while (c != 0); // the root's parent is 0, which is never an inner node
        }

    private:
        void rebuild()
        {
            // Leaves to the front, counts halved (never to 0).
            int j = 0;
            for (int i = 0; i < kNodes; ++i) {
                if (son_[i] >= kNodes) {
                    freq_[j] = (freq_[i] + 1) / 2;
                    son_[j] = son_[i];
                    ++j;
                }
            }
            // Join brothers pairwise, inserting each new node in count order.
            for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
                const unsigned f = freq_[i] + freq_[i + 1];
                int k = n - 1;
                while (f < freq_[k])
                    --k;
                ++k;
                std::copy_backward(freq_.begin() + k, freq_.begin() + n, freq_.begin() + n + 1);
                std::copy_backward(son_.begin() + k, son_.begin() + n, son_.begin() + n + 1);
                freq_[k] = f;
                son_[k] = i;
            }
            for (int i = 0; i < kNodes; ++i) {
                const int k = son_[i];
                if (k >= kNodes) {
                    parent_[k] = i;
                } else {
                    parent_[k] = i;
                    parent_[k + 1] = i;
                }
            }
        }

        std::array<unsigned, kNodes + 1> freq_ {};
        std::array<int, kNodes + kSymbols> parent_ {};
        std::array<int, kNodes> son_ {};
    };

    class BitWriter {
    public:
        // count is at most 24.
        void put(std::uint32_t bits, int count)
        {
            acc_ = (acc_ << count) | bits;
            pending_ += count;
            while (pending_ >= 8) {
                pending_ -= 8;
                out_.push_back(static_cast<char>(acc_ >> pending_));
            }
            acc_ &= (1u << pending_) - 1;
        }
        std::string finish()
        {
            if (pending_ > 0)
                out_.push_back(static_cast<char>(acc_ << (8 - pending_)));
            pending_ = 0;
            return std::move(out_);
        }

    private:
        std::string out_;
        std::uint32_t acc_ = 0;
        int pending_ = 0;
    };

    // Past the end it reads zero bits and remembers the overrun, so the caller
    // checks once per symbol instead of once per bit.
    class BitReader {
    public:
        explicit BitReader(std::string_view stream)
            : data_(reinterpret_cast<const unsigned char*>(stream.data()))
            , bits_(stream.size() * 8)
        {
        }
        unsigned bit()
        {
            if (pos_ >= bits_) {
                overrun_ = true;
                return 0;
            }
            const unsigned b = (data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1u;
            ++pos_;
            return b;
        }
        unsigned bits(int count)
        {
            unsigned v = 0;
            for (int i = 0; i < count; ++i)
                v = (v << 1) | bit();
            return v;
        }
        bool overrun() const { return overrun_; }

    private:
        const unsigned char* data_;
        std::size_t bits_;
        std::size_t pos_ = 0;
        bool overrun_ = false;
    };

    void encodeSymbol(AdaptiveTree& tree, BitWriter& out, int symbol)
    {
        // The path is known from the leaf upwards but is sent from the root down.
        std::array<std::uint8_t, kNodes> path;
        int depth = 0;
        for (int node = tree.leafOf(symbol); node != kRoot; node = tree.parentOf(node))
            path[depth++] = static_cast<std::uint8_t>(node & 1);
        while (depth > 0)
            out.put(path[--depth], 1);
        tree.update(symbol);
    }

    int decodeSymbol(AdaptiveTree& tree, BitReader& in)
    {
        int node = tree.sonOf(kRoot);
        while (node < kNodes)
            node = tree.sonOf(node + static_cast<int>(in.bit()));
        const int symbol = node - kNodes;
        tree.update(symbol);
        return symbol;
    }

    void encodePosition(BitWriter& out, unsigned position)
    {
        const unsigned upper = position >> 6;
        const int len = kPositionCode.length[upper];
        out.put(kPositionCode.code[upper] >> (8 - len), len);
        out.put(position & 63u, 6);
    }

    unsigned decodePosition(BitReader& in)
    {
        // Eight bits always hold the whole prefix code; the rest of the six
        // low bits follow.
        unsigned first = in.bits(8);
        const unsigned upper = kPositionCode.upperOfByte[first];
        const int len = kPositionCode.lengthOfByte[first];
        first = (first << (len - 2)) | in.bits(len - 2);
        return upper << 6 | (first & 63u);
    }

    // Hash chains over three-byte groups; chains run from newest to oldest.
    class MatchFinder {
    public:
        explicit MatchFinder(std::string_view buffer)
            : buf_(reinterpret_cast<const unsigned char*>(buffer.data()))
            , end_(buffer.size())
            , head_(std::size_t { 1 } << kHashBits, -1)
        {
            prev_.fill(-1);
        }

        void insert(std::size_t pos)
        {
            if (pos + 2 >= end_)
                return;
            const std::uint32_t h = hashAt(pos);
            prev_[pos & kWindowMask] = head_[h];
            head_[h] = static_cast<std::int32_t>(pos);
        }

        // Longest match for the bytes at pos of at most maxLength, nearest first
        // among equals; returns its length and sets distance.
        int find(std::size_t pos, int maxLength, std::size_t& distance) const
        {
            int best = 0;
            int chain = kMaxChain;
            std::int32_t candidate = head_[hashAt(pos)];
            while (candidate >= 0 && chain-- > 0) {
                const std::size_t dist = pos - static_cast<std::size_t>(candidate);
                if (dist > kMaxDistance)
                    break;
                const unsigned char* a = buf_ + candidate;
                const unsigned char* b = buf_ + pos;
                if (a[best] == b[best]) {
                    int len = 0;
                    while (len < maxLength && a[len] == b[len])
                        ++len;
                    if (len > best) {
                        best = len;
                        distance = dist;
                        if (len == maxLength)
                            break;
                    }
                }
                const std::int32_t next = prev_[candidate & kWindowMask];
                if (next >= candidate)
                    break;
                candidate = next;
            }
            return best;
        }

    private:
        static constexpr int kHashBits = 14;
        // Deeper searches gain little on text and cost time on long chains of
        // equal groups (the spaces the window starts with, for one).
        static constexpr int kMaxChain = 128;
        // Sent as distance - 1 in twelve bits.
        static constexpr std::size_t kMaxDistance = kWindow - 1;

        std::uint32_t hashAt(std::size_t pos) const
        {
            const std::uint32_t v
                = std::uint32_t { buf_[pos] } << 16 | std::uint32_t { buf_[pos + 1] } << 8 | buf_[pos + 2];
            return (v * 2654435761u) >> (32 - kHashBits);
        }

        const unsigned char* buf_;
        std::size_t end_;
        std::vector<std::int32_t> head_;
        std::array<std::int32_t, kWindow> prev_;
    };

} // namespace

std::string lzhufEncode(std::string_view text)
{
    if (text.empty())
        return {};

    // The window's opening spaces and the text as one buffer, so that a match
    // may start in the spaces and run on into the text.
    std::string buffer(kPrefill, ' ');
    buffer.append(text);
    const std::size_t end = buffer.size();

    AdaptiveTree tree;
    BitWriter out;
    MatchFinder finder(buffer);
    for (std::size_t p = 0; p < kPrefill; ++p)
        finder.insert(p);

    std::size_t r = kPrefill;
    while (r < end) {
        const int maxLength = static_cast<int>(std::min<std::size_t>(kMaxMatch, end - r));
        std::size_t distance = 0;
        const int length = maxLength > kThreshold ? finder.find(r, maxLength, distance) : 0;
        if (length > kThreshold) {
            encodeSymbol(tree, out, 255 - kThreshold + length);
            encodePosition(out, static_cast<unsigned>(distance - 1));
            for (int k = 0; k < length; ++k)
                finder.insert(r + k);
            r += length;
        } else {
            encodeSymbol(tree, out, static_cast<unsigned char>(buffer[r]));
            finder.insert(r);
            ++r;
        }
    }
    return out.finish();
}

bool lzhufDecode(std::string_view stream, std::uint32_t size, const ByteSink& sink)
{
    if (size == 0)
        return true;

    AdaptiveTree tree;
    BitReader in(stream);
    std::array<unsigned char, kWindow> window {};
    std::fill(window.begin(), window.begin() + kPrefill, static_cast<unsigned char>(' '));
    int r = kPrefill;

    std::string piece;
    piece.reserve(kSinkPiece);
    const auto emit = [&](unsigned char c) {
        window[r] = c;
        r = (r + 1) & kWindowMask;
        piece.push_back(static_cast<char>(c));
        if (piece.size() == kSinkPiece) {
            sink(piece);
            piece.clear();
        }
    };

    std::uint32_t produced = 0;
    while (produced < size) {
        const int symbol = decodeSymbol(tree, in);
        if (in.overrun())
            return false;
        if (symbol < 256) {
            emit(static_cast<unsigned char>(symbol));
            ++produced;
            continue;
        }
        const unsigned position = decodePosition(in);
        if (in.overrun())
            return false;
        const std::uint32_t length = static_cast<std::uint32_t>(symbol - 255 + kThreshold);
        if (length > size - produced)
            return false;
        const int from = (r - static_cast<int>(position) - 1) & kWindowMask;
        // One byte at a time: a match may overlap the bytes it produces.
        for (std::uint32_t k = 0; k < length; ++k)
            emit(window[(from + static_cast<int>(k)) & kWindowMask]);
        produced += length;
    }
    if (!piece.empty())
        sink(piece);
    return true;
}

} // namespace stats
