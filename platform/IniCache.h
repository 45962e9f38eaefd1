// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Reading settings files from disk, and the cache of parsed ones.
//
// Only regular files of at most 64 MiB are read; anything else (a folder, a device,
// a pipe, a larger file) is unreadable, and a file that grows while it is read is
// read up to about 64 MiB. The cache keeps the eight files used last, keyed by path,
// and refreshes an entry when the file's size, modification time (with nanoseconds),
// inode or device changes. A file modified less than two seconds before it was read
// is compared with its cached text on every use until then, since a second change
// within one tick of the file system's clock may leave its time stamp as it was.
// Writers record what they wrote with cacheStore.
//
// Threads: readFile is reentrant; the cache functions may be called from any thread
// (one lock serialises them). The cache lives until the process ends.
#ifndef GRIDWISE_PLATFORM_INICACHE_H
#define GRIDWISE_PLATFORM_INICACHE_H

#include <string>
#include <sys/stat.h>

namespace gw::ini {

enum class ReadResult { Ok, Missing, Unreadable };

// Reads a whole regular file into out and its status into st. Missing: the file does
// not exist. Unreadable: it exists but is not a regular file, is too large or cannot
// be read. out is empty unless the result is Ok.
ReadResult readFile(const std::string& path, std::string& out, struct stat& st);

// The value of key in section of the file at path, through the cache; false when the
// file, section or key is missing or the file is unreadable.
bool cacheLookup(const std::string& path, const char* section, const char* key, std::string& value);

// Whether the file at path can be read, and (for a non-null section) has it.
bool cacheHas(const std::string& path, const char* section);

// Records text as the content just written to path.
void cacheStore(const std::string& path, std::string&& text);

} // namespace gw::ini

#endif
