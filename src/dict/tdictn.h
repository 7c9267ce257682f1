// TDictn: the English word list written out as a record file and searched by
// bisection through a read-only mapping of it; the list is never copied into memory.
#pragma once

#include "dict_limits.h"
#include "mapped_file.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TDictn {
public:
    using Notice = std::function<void(const std::string& text)>;

    // Opens the record file at filePath, writing it first when it is missing
    // or does not match `records` in size. `records` is the list to write:
    // embeddedWordList() in the programs, a small list in tests; it must outlive
    // the instance, since a later OpenDictionary may write it again. Throws
    // std::runtime_error("Cannot create file <path>") when the file cannot be written.
    TDictn(std::string filePath, Notice notice, std::string_view records);
    ~TDictn();

    TDictn(const TDictn&) = delete;
    TDictn& operator=(const TDictn&) = delete;

    void OpenDictionary();
    // True when the query, letter case aside, is a word of the list.
    bool CheckWord(std::string_view query);
    // Closes the file and deletes it, if it is still the one this instance opened.
    void CloseDictionary();

    bool isOpen() const { return open_; }
    // Records of the file looked at by the last CheckWord.
    int lastRecordReads() const { return recordReads_; }
    // True while lookups go through the mapping rather than reading records.
    bool isMapped() const { return mapping_ != nullptr; }
    const std::string& filePath() const { return path_; }

private:
    void writeFileWhenStale();
    void writeFile();
    bool readRecord(std::int64_t index);

    std::string path_;
    Notice notice_;
    std::string_view records_;

    int file_ = -1;
    bool open_ = false;
    std::int64_t lastIndex_ = -1;
    // Identity of the open file, so closing never deletes a file someone else
    // has since put at the same path.
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    int recordReads_ = 0;
    // The whole records the file had at open, mapped read-only and shared, so
    // the lookups see the file as reads of it would. Without it (a file system
    // that cannot map files, or a file cut short under the mapping) lookups
    // read the records one by one, and a record the file no longer has ends
    // the lookup as not found. The one difference a cut makes while still
    // mapped: the rest of the page it falls in reads as zeros, so a record cut
    // in two is compared, zero-padded, where a read would have failed; the
    // answer may then differ from a read's, but nothing crashes.
    std::unique_ptr<MappedFile> mapping_;
    std::array<char, kRecordSize> recordBuffer_ {};
};
