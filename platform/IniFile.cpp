// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/IniFile.h"

#include "platform/CLocale.h"
#include "platform/IniText.h"
#include "platform/IniCache.h"
#include "platform/SettingsPath.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace gw {

namespace {

using namespace ini;

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Replaces path by content: temporary file in the same folder, fsync, rename.
bool replaceFile(const std::string& path, const std::string& content, const struct stat* old) {
    std::size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : path.substr(0, slash));
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    static std::atomic<unsigned> counter{0};
    std::string tmp;
    int fd = -1;
    mode_t mode = old != nullptr ? (old->st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = (dir == "/" ? std::string() : dir) + "/." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
              std::to_string(++counter);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode | S_IWUSR);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
    if (ok && old != nullptr) {
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            // keeping the owner is best effort; an ordinary user cannot give a file away
        }
        ok = ::fchmod(fd, mode) == 0;
    }
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

// An exclusive lock on the writes of one settings file, held while it lives: flock on
// "<path>.lock". The holder removes the lock file before it lets go, so a waiter may
// find that the file it locked is no longer the one of that name; it then starts over.
// A lock file left by a killed writer locks nothing (the lock went with the process)
// and is taken over and removed by the next writer.
class WriteLock {
public:
    explicit WriteLock(const std::string& path) : lockPath_(path + ".lock") {
        for (int attempt = 0; attempt < 100000; ++attempt) {
            int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
            // A lock file left by another user's killed writer may not be writable to us;
            // a lock needs no write access.
            if (fd < 0 && errno == EACCES) fd = ::open(lockPath_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR || errno == ENOENT) continue;
                return;
            }
            int rc;
            while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
            }
            if (rc != 0) {
                ::close(fd);
                return;
            }
            struct stat held{}, named{};
            if (::fstat(fd, &held) == 0 && ::lstat(lockPath_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
                held.st_ino == named.st_ino) {
                fd_ = fd;
                return;
            }
            ::close(fd); // removed or replaced while we waited: lock the new one
        }
    }
    ~WriteLock() {
        if (fd_ >= 0) {
            ::unlink(lockPath_.c_str());
            ::close(fd_);
        }
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    std::string lockPath_;
    int fd_ = -1;
};

// The file as read under the lock, for iniUpdate's callback.
class FreshReader final : public IniReader {
public:
    explicit FreshReader(const std::string& text) {
        file_.text = text;
        file_.parse();
    }
    std::string getString(const char* section, const char* key, const char* def) const override {
        std::string value;
        if (section != nullptr && key != nullptr && lookupIn(file_, section, key, value)) return value;
        return def != nullptr ? def : "";
    }
    int getInt(const char* section, const char* key, int def) const override {
        std::string value;
        if (section == nullptr || key == nullptr || !lookupIn(file_, section, key, value)) return def;
        return cAtoi(value.c_str());
    }

private:
    mutable ParsedFile file_; // indexes its sections on first use
};

using EditPlan = std::function<bool(const IniReader&, std::vector<IniEdit>&)>;

// The read-modify-write under the file's lock: reads path from disk, asks plan for
// the edits (when given; else writes `edits` as they are), applies them in order and
// replaces the file when its text changed. Edits from a plan are checked here; given
// edits are already normalised.
bool lockedWrite(const std::string& path, std::vector<IniEdit> edits, const EditPlan* plan) {
    WriteLock lock(path);
    if (!lock.held()) return false;
    std::string old;
    struct stat st{};
    ReadResult read = readFile(path, old, st);
    if (read == ReadResult::Unreadable) return false;
    const bool exists = read == ReadResult::Ok;
    if (plan != nullptr) {
        std::vector<IniEdit> planned;
        if (!(*plan)(FreshReader(old), planned)) return false;
        edits.clear();
        for (const IniEdit& e : planned) {
            IniEdit n;
            if (!normalizeEdit(e.section.c_str(), e.key.c_str(), e.value.c_str(), n)) return false;
            edits.push_back(std::move(n));
        }
    }
    if (edits.empty()) return true;
    if (exists && ::access(path.c_str(), W_OK) != 0) return false;
    std::string text = old;
    for (const IniEdit& e : edits) text = editText(text, e.section, e.key, e.value);
    if (!exists || text != old) {
        if (!replaceFile(path, text, exists ? &st : nullptr)) return false;
    }
    cacheStore(path, std::move(text));
    return true;
}

// The innermost batch of this thread.
thread_local IniBatch* t_batch = nullptr;

} // namespace

struct IniBatchAccess {
    // The batch of this thread that collects the writes to path, or null.
    static IniBatch* collecting(const std::string& path) {
        for (IniBatch* b = t_batch; b != nullptr; b = b->previous_)
            if (b->active_ && b->path_ == path) return b;
        return nullptr;
    }
    static void add(IniBatch& batch, IniEdit&& edit) { batch.edits_.push_back(std::move(edit)); }
};

bool iniFileReadable(const char* file) {
    try {
        std::string path = resolveSettingsPath(file);
        return !path.empty() && ini::cacheHas(path, nullptr);
    } catch (...) {
        return false;
    }
}

bool iniHasSection(const char* section, const char* file) {
    if (section == nullptr) return false;
    try {
        std::string path = resolveSettingsPath(file);
        return !path.empty() && ini::cacheHas(path, section);
    } catch (...) {
        return false;
    }
}

std::string iniGetString(const char* section, const char* key, const char* def, const char* file) {
    const char* fallback = def != nullptr ? def : "";
    try {
        std::string path = resolveSettingsPath(file);
        std::string value;
        if (section != nullptr && key != nullptr && !path.empty() && ini::cacheLookup(path, section, key, value))
            return value;
        return fallback;
    } catch (...) {
        return fallback;
    }
}

std::size_t iniGetString(const char* section, const char* key, const char* def, char* out, std::size_t cap,
                         const char* file) {
    if (out == nullptr || cap == 0) return 0;
    try {
        std::string value = iniGetString(section, key, def, file);
        std::size_t n = value.size() < cap - 1 ? value.size() : cap - 1;
        std::memcpy(out, value.data(), n);
        out[n] = '\0';
        return n;
    } catch (...) {
        copyBounded(out, def, cap);
        return std::strlen(out);
    }
}

int iniGetInt(const char* section, const char* key, int def, const char* file) {
    try {
        std::string path = resolveSettingsPath(file);
        std::string value;
        if (section == nullptr || key == nullptr || path.empty() || !ini::cacheLookup(path, section, key, value))
            return def;
        return cAtoi(value.c_str());
    } catch (...) {
        return def;
    }
}

bool iniWriteString(const char* section, const char* key, const char* value, const char* file) {
    if (section == nullptr || key == nullptr || file == nullptr) return false;
    try {
        IniEdit edit;
        if (!normalizeEdit(section, key, value, edit)) return false;
        std::string path = prepareWrite(file);
        if (path.empty()) return false;
        if (IniBatch* batch = IniBatchAccess::collecting(path)) {
            IniBatchAccess::add(*batch, std::move(edit));
            return true;
        }
        std::vector<IniEdit> edits;
        edits.push_back(std::move(edit));
        return lockedWrite(path, std::move(edits), nullptr);
    } catch (...) {
        return false;
    }
}

bool iniWriteStrings(const char* file, const std::vector<IniEdit>& edits) {
    try {
        std::vector<IniEdit> normalized;
        normalized.reserve(edits.size());
        for (const IniEdit& e : edits) {
            IniEdit n;
            if (!normalizeEdit(e.section.c_str(), e.key.c_str(), e.value.c_str(), n)) return false;
            normalized.push_back(std::move(n));
        }
        std::string path = prepareWrite(file);
        if (path.empty()) return false;
        return lockedWrite(path, std::move(normalized), nullptr);
    } catch (...) {
        return false;
    }
}

bool iniUpdate(const char* file, const std::function<bool(const IniReader& current, std::vector<IniEdit>& edits)>& change) {
    if (!change) return false;
    try {
        std::string path = prepareWrite(file);
        if (path.empty()) return false;
        const EditPlan plan = change;
        return lockedWrite(path, {}, &plan);
    } catch (...) {
        return false;
    }
}

IniBatch::IniBatch(const char* file) {
    try {
        if (file == nullptr || *file == '\0') return;
        file_ = file;
        path_ = writeTarget(file);
        if (path_.empty() || IniBatchAccess::collecting(path_) != nullptr) return; // an outer batch writes
        active_ = true;
        previous_ = t_batch;
        t_batch = this;
    } catch (...) {
        active_ = false;
    }
}

IniBatch::~IniBatch() { commit(); }

bool IniBatch::commit() {
    if (!active_) return true;
    active_ = false;
    // Batches end in the reverse order of their making; unlink this one wherever it is.
    for (IniBatch** link = &t_batch; *link != nullptr; link = &(*link)->previous_) {
        if (*link == this) {
            *link = previous_;
            break;
        }
    }
    if (edits_.empty()) return true;
    const bool ok = iniWriteStrings(file_.c_str(), edits_);
    edits_.clear();
    return ok;
}

} // namespace gw
