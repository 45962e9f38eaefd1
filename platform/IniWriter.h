// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The writer of settings files: one locked, atomic read-modify-write of a file.
//
// A write takes an exclusive advisory lock (flock) on "<path>.lock" beside the file,
// re-reads the file from disk under it (never from the cache), applies its edits in
// order and, when the text changed or the file is new, replaces the file: a temporary
// file in the same folder (".<name>.tmp-<pid>-<n>") is written, synced, given the old
// file's owner (best effort) and permission bits, and renamed over the file, and the
// folder is synced. A crash leaves the old or the new file, never a broken one. The
// lock file is removed by the writer that holds it, before it lets go; a writer that
// finds the lock file it waited on removed or replaced starts over on the new one, and
// a lock file left by a killed writer is taken over. The folder must be writable for
// the lock file and the temporary file; where it is not, the write fails and the old
// file stays. What was written is recorded in the cache (platform/IniCache.h).
//
// Threads: any number of threads and processes may write one file at once; each
// write is seen whole. The lock is held while a plan runs, so a plan must not write
// the same file (it would wait for itself).
#ifndef GRIDWISE_PLATFORM_INIWRITER_H
#define GRIDWISE_PLATFORM_INIWRITER_H

#include "platform/IniFile.h"

#include <functional>
#include <string>
#include <vector>

namespace gw::ini {

// Fills the edits of a read-modify-write from the file as it is on disk; false cancels.
using EditPlan = std::function<bool(const IniReader&, std::vector<IniEdit>&)>;

// The read-modify-write under the file's lock: reads path from disk, asks plan for
// the edits (when given; else writes `edits` as they are), applies them in order and
// replaces the file when its text changed. Edits from a plan are checked here; given
// edits must already be normalised (normalizeEdit). False, writing nothing, when the
// lock cannot be taken, the file cannot be read or written, or the plan returns false
// or gives an edit that cannot be written. No edits: true, and the file is not touched.
bool lockedWrite(const std::string& path, std::vector<IniEdit> edits, const EditPlan* plan);

// Why this thread's last lockedWrite failed, as a sentence part ("cannot make a file
// in the folder '/x': Permission denied"); "" when it succeeded. The savers of the
// geodesy and unit settings put it into the reason they report.
std::string lastWriteFailure();

} // namespace gw::ini

namespace gw {

// Records (platform/LastError.h, class kErrorFileUnwritable) that a save of the
// settings file `file` did not reach the disk, naming the file, what was saved
// (`what`, "geodesy settings") and lastWriteFailure().
void reportUnsaved(const char* what, const char* file) noexcept;

} // namespace gw::ini

#endif
