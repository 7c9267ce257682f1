// TDictn: the English word list written out as a record file and searched on
// disk by bisection, one record at a time; the list is never held in memory.
#pragma once

#include "dict_limits.h"

#include <array>
#include <cstdint>
#include <functional>
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
    // Records read from disk by the last CheckWord.
    int lastRecordReads() const { return recordReads_; }
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
    std::array<char, kRecordSize> recordBuffer_ {};
};
