// Clean-up after writers that died: a save killed between creating its
// temporary file and renaming it leaves "<file>.tmp-<pid>-<n>" behind for ever.
#pragma once

#include <string>

#include <sys/types.h>

namespace fileio {

// Removes the temporary files of `path` whose writer no longer runs: regular
// files of our own user named by temporaryPrefix(path), a process id and a
// serial number. A live process's file, anything of another user and any
// other name are left alone. Returns how many were removed.
int removeStaleTemporaries(const std::string& path);

// True when a process of that id exists (ours or not); false for ids that no
// process can have.
bool processRuns(pid_t pid);

} // namespace fileio
