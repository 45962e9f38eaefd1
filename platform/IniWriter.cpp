// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/IniWriter.h"

#include "platform/CLocale.h"
#include "platform/IniCache.h"
#include "platform/IniText.h"
#include "platform/LastError.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace gw::ini {

namespace {

thread_local std::string t_writeFailure;

// Records why the write failed: what could not be done, and the system's reason.
void failed(const std::string& what, int error) {
    try {
        t_writeFailure = error != 0 ? what + ": " + std::strerror(error) : what;
    } catch (...) {
        t_writeFailure.clear();
    }
}

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
        if (fd < 0 && errno != EEXIST) {
            failed("cannot make a file in the folder '" + dir + "'", errno);
            return false;
        }
    }
    if (fd < 0) {
        failed("cannot make a temporary file in the folder '" + dir + "'", EEXIST);
        return false;
    }
    bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
    if (!ok) failed("cannot write '" + tmp + "'", errno);
    if (ok && old != nullptr) {
        if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
            // keeping the owner is best effort; an ordinary user cannot give a file away
        }
        ok = ::fchmod(fd, mode) == 0;
        if (!ok) failed("cannot set the permissions of '" + tmp + "'", errno);
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        failed("cannot write '" + tmp + "'", errno);
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
        ok = false;
        failed("cannot put the new file in place of '" + path + "'", errno);
    }
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
                if (errno == EINTR) continue;
                // ENOENT: the lock file was removed between our open's lookup and
                // its creation (try again), or the folder is missing (give up).
                const int error = errno;
                if (error == ENOENT && folderExists()) continue;
                error_ = error;
                return;
            }
            int rc;
            while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
            }
            if (rc != 0) {
                error_ = errno;
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
    // Why the lock was not taken (an errno value; 0 when it was, or when the lock
    // file kept changing under us).
    int error() const { return error_; }
    const std::string& path() const { return lockPath_; }

private:
    bool folderExists() const {
        const std::size_t slash = lockPath_.rfind('/');
        const std::string dir = slash == std::string::npos ? std::string(".") : lockPath_.substr(0, slash == 0 ? 1 : slash);
        struct stat st{};
        return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    std::string lockPath_;
    int fd_ = -1;
    int error_ = 0;
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

} // namespace

std::string lastWriteFailure() { return t_writeFailure; }

bool lockedWrite(const std::string& path, std::vector<IniEdit> edits, const EditPlan* plan) {
    t_writeFailure.clear();
    WriteLock lock(path);
    if (!lock.held()) {
        failed("its lock file '" + lock.path() + "' cannot be made", lock.error());
        return false;
    }
    std::string old;
    struct stat st{};
    ReadResult read = readFile(path, old, st);
    if (read == ReadResult::Unreadable) {
        failed("it is not a settings file that can be read (a folder, a device, a file beyond 64 MiB or one without "
               "read permission)", 0);
        return false;
    }
    const bool exists = read == ReadResult::Ok;
    if (plan != nullptr) {
        std::vector<IniEdit> planned;
        if (!(*plan)(FreshReader(old), planned)) {
            failed("the change was given up", 0);
            return false;
        }
        edits.clear();
        for (const IniEdit& e : planned) {
            IniEdit n;
            if (!normalizeEdit(e.section.c_str(), e.key.c_str(), e.value.c_str(), n)) {
                failed("a section or key name cannot be written: '" + e.section + "', '" + e.key + "'", 0);
                return false;
            }
            edits.push_back(std::move(n));
        }
    }
    if (edits.empty()) return true;
    if (exists && ::access(path.c_str(), W_OK) != 0) {
        failed("it cannot be written", errno);
        return false;
    }
    std::string text = old;
    for (const IniEdit& e : edits) text = editText(text, e.section, e.key, e.value);
    if (!exists || text != old) {
        if (!replaceFile(path, text, exists ? &st : nullptr)) return false;
    }
    cacheStore(path, std::move(text));
    return true;
}

} // namespace gw::ini

namespace gw {

void reportUnsaved(const char* what, const char* file) noexcept {
    try {
        std::string text = std::string(what != nullptr ? what : "settings") + " not saved: ";
        if (file == nullptr || *file == '\0') {
            text += "no settings file named";
        } else {
            text += "settings file '" + std::string(file) + "'";
            const std::string path = resolveSettingsPath(file);
            if (path != file) text += " ('" + path + "')";
            const std::string reason = ini::lastWriteFailure();
            text += reason.empty() ? std::string(" cannot be written") : ": " + reason;
        }
        setLastError(kErrorFileUnwritable, text);
    } catch (...) {
        setLastError(kErrorFileUnwritable, "settings not saved");
    }
}

} // namespace gw
