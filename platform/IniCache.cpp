// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/IniCache.h"

#include "platform/IniText.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <sys/types.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace gw::ini {

namespace {

// Files larger than this are not settings files: readers get defaults, writers refuse.
constexpr off_t kMaxFileSize = 64 * 1024 * 1024;
// Parsed files kept in the cache.
constexpr std::size_t kCacheEntries = 8;
// A file modified less than this long before it was read may still change within the
// same tick of the file system's clock without its time stamp moving; such a cache
// entry is compared with the file's content on its next use.
constexpr std::int64_t kRacyWindowNs = 2'000'000'000;

std::int64_t toNs(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::int64_t nowNs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return toNs(t);
}

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtime = 0;
    bool operator==(const FileId&) const = default;
};

FileId idOf(const struct stat& st) { return FileId{st.st_dev, st.st_ino, st.st_size, toNs(st.st_mtim)}; }

// A parsed file as the cache keeps it: with the identity and time stamp of the file
// it was read from.
struct CachedFile : ParsedFile {
    FileId id;
    std::int64_t readAt = 0;
    std::uint64_t lastUse = 0;
};

class IniCache {
public:
    // Looks the key up; returns false when the file, section or key is missing or unreadable.
    bool lookup(const std::string& path, const char* section, const char* key, std::string& value) {
        std::lock_guard<std::mutex> lock(mutex_);
        CachedFile* file = current(path);
        if (file == nullptr) return false;
        return lookupIn(*file, section, key, value);
    }

    // Whether the file at path can be read, and (for a non-null section) has it.
    bool has(const std::string& path, const char* section) {
        std::lock_guard<std::mutex> lock(mutex_);
        CachedFile* file = current(path);
        if (file == nullptr) return false;
        if (section == nullptr) return true;
        return file->sections.count(lowerCopy(trim(section))) != 0;
    }

    // Records content just written to path.
    void store(const std::string& path, std::string&& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        struct stat st{};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            files_.erase(path);
            return;
        }
        CachedFile& file = slot(path);
        file.id = idOf(st);
        file.readAt = nowNs();
        file.text = std::move(text);
        file.parse();
    }

private:
    CachedFile& slot(const std::string& path) {
        auto it = files_.find(path);
        if (it == files_.end()) {
            if (files_.size() >= kCacheEntries) {
                auto oldest = files_.begin();
                for (auto i = files_.begin(); i != files_.end(); ++i)
                    if (i->second.lastUse < oldest->second.lastUse) oldest = i;
                files_.erase(oldest);
            }
            it = files_.emplace(path, CachedFile{}).first;
        }
        it->second.lastUse = ++useCounter_;
        return it->second;
    }

    // The parsed file at path, refreshed when it changed; null when it cannot be read.
    CachedFile* current(const std::string& path) {
        struct stat st{};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            files_.erase(path);
            return nullptr;
        }
        auto it = files_.find(path);
        if (it != files_.end() && it->second.id == idOf(st) &&
            it->second.id.mtime + kRacyWindowNs < it->second.readAt) {
            it->second.lastUse = ++useCounter_;
            return &it->second;
        }
        std::string text;
        struct stat opened{};
        std::int64_t readAt = nowNs();
        if (readFile(path, text, opened) != ReadResult::Ok) {
            files_.erase(path);
            return nullptr;
        }
        const bool cached = it != files_.end();
        CachedFile& file = slot(path);
        const bool same = cached && file.text == text;
        file.id = idOf(opened);
        file.readAt = readAt;
        if (!same) {
            file.text = std::move(text);
            file.parse();
        }
        return &file;
    }

    std::mutex mutex_;
    std::unordered_map<std::string, CachedFile> files_;
    std::uint64_t useCounter_ = 0;
};

IniCache& cache() {
    static IniCache* instance = new IniCache; // never destroyed: usable until the process ends
    return *instance;
}

} // namespace

ReadResult readFile(const std::string& path, std::string& out, struct stat& st) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Unreadable;
    ReadResult result = ReadResult::Ok;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
        result = ReadResult::Unreadable;
    } else {
        out.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (true) {
            if (got == out.size()) {
                if (out.size() >= static_cast<std::size_t>(kMaxFileSize)) break;
                out.resize(out.size() + 4096); // the file grew while we read it
            }
            ssize_t n = ::read(fd, out.data() + got, out.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                result = ReadResult::Unreadable;
                break;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        out.resize(got);
    }
    ::close(fd);
    if (result != ReadResult::Ok) out.clear();
    return result;
}

bool cacheLookup(const std::string& path, const char* section, const char* key, std::string& value) {
    return cache().lookup(path, section, key, value);
}

bool cacheHas(const std::string& path, const char* section) { return cache().has(path, section); }

void cacheStore(const std::string& path, std::string&& text) { cache().store(path, std::move(text)); }

} // namespace gw::ini
