// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Settings files in the INI format.
//
// Our reader and writer of the classic private-profile format: "[section]" lines,
// "key=value" lines, ';' comment lines. Section and key names compare without
// regard to ASCII case; whitespace around keys and values is ignored on reading;
// LF and CRLF files are both read. A missing file, section or key gives the
// caller's default. A bare file name (no '/') resolves in the settings folder:
// $GRIDWISE_SETTINGS_DIR if set, else $XDG_CONFIG_HOME/gridwise, else
// ~/.config/gridwise (created on the first write). Within that folder a bare name
// matches without regard to ASCII case, as file names do on the platform the
// settings files come from: a file whose name equals the given one exactly is used;
// failing that, an existing file whose name differs only in case (the first in byte
// order when there are several); failing that, the name as given, so a new file
// gets the spelling of the write that creates it. "PROJLIST2.INI" and
// "projlist2.ini" are one file. Names with a folder are taken as they are.
//
// Writes keep every other byte of the file (comments, other sections, unknown
// keys, line endings), replace a key's value in place or append the key at the
// end of its section, create the file and the section when missing, and replace
// the file atomically (temporary file in the same folder, then rename), so a
// crash leaves the old or the new file, never a broken one.
//
// Reads of one file are served from a cache (a few files, keyed by path) that is
// refreshed when the file's size, modification time (with nanoseconds), inode or
// device changes, so loading a section key by key does not re-read and re-parse the
// file for every key. A file modified less than two seconds before it was read is
// compared with its cached text on every use until then, since a second change within
// one tick of the file system's clock may leave its time stamp as it was. Writes
// through this module update the cache.
//
// Robustness: only regular files of at most 64 MiB are read; anything else (a folder,
// a device, a pipe, a larger file) reads as missing, and a write to it fails. Lines
// without '=', '[' lines without ']', NUL bytes and binary garbage never stop a reader
// (a value ends at a NUL byte). Lines before the first section belong to no section;
// a section that appears more than once reads as one section (the first occurrence of
// a key wins), and a write changes that occurrence or, for a new key, appends it to
// the first occurrence of the section. A write through a symbolic link changes the
// file it names; the file's permission bits are kept.
//
// Concurrent writers, in one process or in several, lose nothing: every write takes
// an exclusive advisory lock (flock) on a lock file beside the settings file, named
// like it with ".lock" appended, re-reads the file from disk under that lock (never
// from the cache), changes only the keys it writes and replaces the file before the
// lock is released. A settings file is replaced by rename, so the lock cannot live on
// the file itself; the lock file is removed by the writer that holds it, before it
// lets go, and a writer that finds the lock file it waited on removed or replaced
// starts over on the new one. A writer killed while it holds the lock may leave the
// lock file behind, never a lock: the next writer takes it over and removes it.
// The lock file needs the folder to be writable, as the temporary file does; where it
// cannot be made, the write fails and the old file stays.
#ifndef GRIDWISE_PLATFORM_INIFILE_H
#define GRIDWISE_PLATFORM_INIFILE_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "gridwise/export.h"

namespace gw {

// The path a settings file name stands for (see above): for a bare name, the file of
// the settings folder it matches. Empty for a null or empty name. Exported for
// the Python module, which names the settings file it read.
GW_EXPORT std::string resolveSettingsPath(const char* file);

// The value of key in section of file, or def (null counts as "") when the file,
// section or key is missing. Surrounding whitespace of the value is removed.
std::string iniGetString(const char* section, const char* key, const char* def, const char* file);

// The same into a caller's buffer of cap bytes: copies at most cap - 1 characters,
// terminates, returns the number of characters copied. Nothing is written when cap is 0.
std::size_t iniGetString(const char* section, const char* key, const char* def, char* out,
                         std::size_t cap, const char* file);

// An integer value read like the platform's integer reader: leading blanks, an
// optional sign and decimal digits (0 when there are no digits); def only when the
// key (or the section or the file) is missing.
int iniGetInt(const char* section, const char* key, int def, const char* file);

// Whether file can be read as a settings file (a regular file of at most 64 MiB that
// opens), and whether it has section (a "[section]" line, matched without regard
// to case). Both false for a null or empty name; iniHasSection is false for a file
// that cannot be read. Callers that must not fall back to defaults silently check
// these first. Exported for the gridwise tool, which checks its --settings and
// --units files with them.
GW_EXPORT bool iniFileReadable(const char* file);
GW_EXPORT bool iniHasSection(const char* section, const char* file);

// Writes key=value into section of file. A value is cut at its first line break; a
// null value writes an empty one. New lines get the line ending of the file's first
// line (LF for a new file); a new section is appended after a blank line. Returns
// false, leaving the old file untouched, when the write cannot be done: null or empty
// names, a key holding '=' or a line break or starting with '[' or ';', a section name
// holding ']' or a line break, a missing folder, a read-only file or folder, a file
// that cannot be read.
bool iniWriteString(const char* section, const char* key, const char* value, const char* file);

// One key to write: section, key and value as iniWriteString takes them.
struct IniEdit {
    std::string section;
    std::string key;
    std::string value;
};

// Writes all edits into file, in their order, as one locked replacement of the file:
// other writers see either none of them or all. Returns false, writing nothing, when
// one of them could not be written by iniWriteString (invalid names included) or the
// file cannot be written. No edits: true, and the file is not touched.
bool iniWriteStrings(const char* file, const std::vector<IniEdit>& edits);

// The keys of a settings file as they are on disk while iniUpdate holds its lock.
// Reads follow the rules of iniGetString and iniGetInt.
class IniReader {
public:
    virtual std::string getString(const char* section, const char* key, const char* def) const = 0;
    virtual int getInt(const char* section, const char* key, int def) const = 0;

protected:
    ~IniReader() = default;
};

// A read-modify-write of file under its lock: change is given the file as it is on
// disk (a missing file reads as empty) and fills edits; when it returns true the edits
// are written as by iniWriteStrings, still under the lock. Returns false, writing
// nothing, when change returns false or throws, or when the edits cannot be written.
bool iniUpdate(const char* file, const std::function<bool(const IniReader& current, std::vector<IniEdit>& edits)>& change);

// Collects the iniWriteString calls of this thread that go to file while it lives
// and writes them as one locked replacement of the file (iniWriteStrings) on commit
// or, when commit was not called, when it ends. Saves that write many keys hold one,
// so a save is seen by others whole or not at all, and takes one lock and one
// replacement instead of one per key. Inside the scope iniWriteString checks the names
// and returns true for a write it collected; whether the file could be written is
// told by commit. Reads inside the scope see the file without the collected writes.
// Writes to other files, and writes of other threads, are not collected. A batch on a
// file that an enclosing batch of this thread already collects for joins it: the
// outermost batch writes. Null or empty file: collects nothing.
class IniBatch {
public:
    explicit IniBatch(const char* file);
    ~IniBatch();
    IniBatch(const IniBatch&) = delete;
    IniBatch& operator=(const IniBatch&) = delete;

    // Writes what was collected so far (if this batch is the one that writes) and stops
    // collecting. True when there was nothing to write or all of it was written.
    bool commit();

private:
    friend struct IniBatchAccess;
    std::string file_;
    std::string path_;
    std::vector<IniEdit> edits_;
    IniBatch* previous_ = nullptr;
    bool active_ = false;
};

} // namespace gw

#endif
