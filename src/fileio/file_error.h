// The one error the file layer raises: a text fit to show the player, and
// whether the file could not be started or could not be finished.
#pragma once

#include <stdexcept>
#include <string>

namespace fileio {

class FileError : public std::runtime_error {
public:
    enum class Stage {
        Open, // nothing was written: the temporary file could not be made
        Write, // writing, flushing or renaming failed; the old file is as it was
    };

    FileError(Stage stage, const std::string& text, int error = 0)
        : std::runtime_error(text)
        , stage_(stage)
        , error_(error)
    {
    }

    Stage stage() const { return stage_; }
    // The errno value behind the failure, or 0.
    int error() const { return error_; }

private:
    Stage stage_;
    int error_;
};

} // namespace fileio
