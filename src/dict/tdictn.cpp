// TDictn: writing the record file when needed, and the bisection over its
// mapping (or over reads of it when it has none).
#include "tdictn.h"

#include "atomic_write.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kNotFoundNotice = "English.dic dictionary not found!";
// Private to the user, like the folder it is written to.
constexpr mode_t kListFileMode = 0600;

// Creates the missing folders leading to a file, private to the user: the list
// lives in a per-user runtime folder that nobody else should be able to fill.
bool makeFolders(const std::filesystem::path& folder)
{
    if (folder.empty())
        return true;
    struct stat st { };
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (errno != ENOENT || folder == folder.parent_path())
        return false;
    if (!makeFolders(folder.parent_path()))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// A query and a record's value compare as fifteen bytes: the word field and
// a space, a to z in capitals. Each side is held as two numbers whose order is
// the order of those bytes, most significant first: bytes 0 to 7, then bytes 8
// to 14 and a zero byte.
struct RecordKey {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
};

std::uint64_t loadWord(const char* bytes)
{
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::little)
        word = __builtin_bswap64(word);
    return word;
}

// Each byte from 'a' to 'z' turned into its capital, every other byte of the
// 256 left as it is; the same in every byte of the word at once.
std::uint64_t capitals(std::uint64_t word)
{
    constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    constexpr std::uint64_t kEach = 0x0101010101010101ull;
    // Adding to the low seven bits never carries into the next byte; the high
    // bit of each sum says whether the byte reached 'a', or passed 'z'.
    const std::uint64_t low = word & kLowBits;
    const std::uint64_t fromA = low + (0x80 - 'a') * kEach;
    const std::uint64_t pastZ = low + (0x80 - 'z' - 1) * kEach;
    const std::uint64_t small = fromA & ~pastZ & ~word & kHighBits;
    // A small letter has the 0x20 bit its capital lacks.
    return word ^ (small >> 2);
}

// How a record's value (bytes 1 to 14, then the space both sides are padded
// with) compares with the key. The second half is only looked at when the
// first halves are equal, which is rare.
int compareRecord(const char* record, const RecordKey& key)
{
    const std::uint64_t head = capitals(loadWord(record + 1));
    if (head != key.head)
        return head < key.head ? -1 : 1;
    const std::uint64_t tail = capitals(loadWord(record + kRecordSize - 8)) << 16 | ' ' << 8;
    if (tail != key.tail)
        return tail < key.tail ? -1 : 1;
    return 0;
}

// The query as a record's value would hold it. False when no value can equal
// it: nothing is left once NULs count as spaces and the spaces around it are
// gone, or fifteen characters or more are, as a value has fourteen and a space.
bool keyOf(std::string_view query, RecordKey& key)
{
    const auto blank = [](char c) { return c == ' ' || c == '\0'; };
    std::size_t first = 0;
    std::size_t last = query.size();
    while (first < last && blank(query[first]))
        ++first;
    while (last > first && blank(query[last - 1]))
        --last;
    const std::size_t length = last - first;
    if (length == 0 || length >= kWordWidth)
        return false;
    std::array<char, 2 * 8> field;
    field.fill(' ');
    for (std::size_t i = 0; i < length; ++i)
        field[i] = query[first + i] == '\0' ? ' ' : query[first + i];
    key = { capitals(loadWord(field.data())), capitals(loadWord(field.data() + kWordWidth - 8)) << 8 };
    return true;
}

// The bisection over records 0 to lastIndex. recordAt(i) gives record i's 15
// bytes, or null when it cannot be had, which ends the search as not found.
// `reads` is kept up to date at every step, as a search through the mapping
// may be abandoned midway.
template <typename RecordAt>
bool bisect(std::int64_t lastIndex, const RecordKey& key, RecordAt recordAt, volatile int& reads)
{
    int count = 0;
    std::int64_t low = 0;
    std::int64_t high = lastIndex;
    while (low <= high) {
        const std::int64_t middle = low + (high - low) / 2;
        reads = ++count;
        const char* record = recordAt(middle);
        if (!record)
            return false;
        const int order = compareRecord(record, key);
        if (order == 0)
            return true;
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return false;
}

struct MappedSearch {
    const char* records = nullptr;
    std::int64_t lastIndex = -1;
    RecordKey key;
    volatile int reads = 0;
    bool found = false;
};

void searchMapping(void* context)
{
    auto& search = *static_cast<MappedSearch*>(context);
    search.found = bisect(
        search.lastIndex, search.key,
        [&](std::int64_t index) { return search.records + index * static_cast<std::int64_t>(kRecordSize); },
        search.reads);
}

} // namespace

TDictn::TDictn(std::string filePath, Notice notice, std::string_view records)
    : path_(std::move(filePath))
    , notice_(std::move(notice))
    , records_(records.substr(0, records.find('\0')))
{
    OpenDictionary();
}

TDictn::~TDictn() { CloseDictionary(); }

void TDictn::OpenDictionary()
{
    if (open_)
        return;
    writeFileWhenStale();

    file_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat st { };
    if (file_ < 0 || ::fstat(file_, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (file_ >= 0)
            ::close(file_);
        file_ = -1;
        if (notice_)
            notice_(kNotFoundNotice);
        return;
    }
    device_ = st.st_dev;
    inode_ = st.st_ino;
    lastIndex_ = static_cast<std::int64_t>(st.st_size) / static_cast<std::int64_t>(kRecordSize) - 1;
    // Only the whole records the file had at open are mapped and searched,
    // whatever it grows to later.
    auto mapping
        = std::make_unique<MappedFile>(file_, static_cast<std::size_t>(lastIndex_ + 1) * kRecordSize);
    if (mapping->isMapped())
        mapping_ = std::move(mapping);
    open_ = true;
}

// A file left by a crash is reused only when it could be this list; one of
// another size comes from another version or was damaged, and is replaced.
// With nothing to write, whatever is there is used as it is.
void TDictn::writeFileWhenStale()
{
    if (records_.empty())
        return;
    struct stat st { };
    if (::lstat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)
        && static_cast<std::size_t>(st.st_size) % kRecordSize == 0
        && static_cast<std::size_t>(st.st_size) == records_.size())
        return;
    writeFile();
}

// Written whole under a temporary name and renamed into place, so a crash or a
// full disk never leaves a short list that would later be trusted. It is not
// flushed: the file lives as long as the program, and a start finding it missing
// or of the wrong size writes it again.
void TDictn::writeFile()
{
    const std::string cannotCreate = "Cannot create file " + path_;
    if (!makeFolders(std::filesystem::path(path_).parent_path()))
        throw std::runtime_error(cannotCreate);
    try {
        fileio::writeFileAtomically(path_, records_, kListFileMode, fileio::Durability::Transient);
    } catch (const fileio::FileError&) {
        throw std::runtime_error(cannotCreate);
    }
}

bool TDictn::readRecord(std::int64_t index)
{
    const auto offset = static_cast<off_t>(index * static_cast<std::int64_t>(kRecordSize));
    std::size_t got = 0;
    while (got < kRecordSize) {
        const ssize_t n
            = ::pread(file_, recordBuffer_.data() + got, kRecordSize - got, offset + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool TDictn::CheckWord(std::string_view query)
{
    recordReads_ = 0;
    if (!open_)
        return false;
    RecordKey key;
    if (!keyOf(query, key))
        return false;

    if (mapping_) {
        MappedSearch search;
        search.records = mapping_->data();
        search.lastIndex = lastIndex_;
        search.key = key;
        const bool completed = mapping_->guardedRead(searchMapping, &search);
        recordReads_ = search.reads;
        if (completed)
            return search.found;
        // The file was cut short under the mapping. This lookup ends as a short
        // read would have; later ones read what is left of the file.
        mapping_.reset();
        return false;
    }

    volatile int reads = 0;
    const bool found = bisect(
        lastIndex_, key,
        [this](std::int64_t index) { return readRecord(index) ? recordBuffer_.data() : nullptr; }, reads);
    recordReads_ = reads;
    return found;
}

void TDictn::CloseDictionary()
{
    open_ = false;
    mapping_.reset();
    if (file_ < 0)
        return;
    ::close(file_);
    file_ = -1;
    struct stat st { };
    if (::lstat(path_.c_str(), &st) == 0 && static_cast<std::uint64_t>(st.st_dev) == device_
        && static_cast<std::uint64_t>(st.st_ino) == inode_)
        ::unlink(path_.c_str());
}
