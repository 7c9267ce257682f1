// Where the program's files live. Nothing else computes these paths.
#pragma once

#include <string>

class AppPaths {
public:
    // The dictionary's record file, in a private per-user runtime folder
    // (mode 0700) so that no other user can plant or read it and a file of the
    // same name in the working folder is never touched. Throws
    // std::runtime_error when no private folder can be had.
    static std::string dictionaryFile();

    // The private runtime folder itself: $XDG_RUNTIME_DIR/lexmire, or
    // <temp>/lexmire-<uid> when the session has no runtime folder.
    static std::string runtimeFolder();
};
