// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The public functions of the settings files tie the four parts together: names are
// resolved by SettingsPath, reads go through IniCache, edits are checked by IniText and
// written by IniWriter, and this file keeps the batches of each thread.
#include "platform/IniFile.h"

#include "platform/CLocale.h"
#include "platform/IniCache.h"
#include "platform/IniText.h"
#include "platform/IniWriter.h"
#include "platform/SettingsPath.h"

#include <cstring>
#include <utility>
#include <vector>

namespace gw {

namespace {

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
        if (!ini::normalizeEdit(section, key, value, edit)) return false;
        std::string path = ini::prepareWrite(file);
        if (path.empty()) return false;
        if (IniBatch* batch = IniBatchAccess::collecting(path)) {
            IniBatchAccess::add(*batch, std::move(edit));
            return true;
        }
        std::vector<IniEdit> edits;
        edits.push_back(std::move(edit));
        return ini::lockedWrite(path, std::move(edits), nullptr);
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
            if (!ini::normalizeEdit(e.section.c_str(), e.key.c_str(), e.value.c_str(), n)) return false;
            normalized.push_back(std::move(n));
        }
        std::string path = ini::prepareWrite(file);
        if (path.empty()) return false;
        return ini::lockedWrite(path, std::move(normalized), nullptr);
    } catch (...) {
        return false;
    }
}

bool iniUpdate(const char* file, const std::function<bool(const IniReader& current, std::vector<IniEdit>& edits)>& change) {
    if (!change) return false;
    try {
        std::string path = ini::prepareWrite(file);
        if (path.empty()) return false;
        const ini::EditPlan plan = change;
        return ini::lockedWrite(path, {}, &plan);
    } catch (...) {
        return false;
    }
}

IniBatch::IniBatch(const char* file) {
    try {
        if (file == nullptr || *file == '\0') return;
        file_ = file;
        path_ = ini::writeTarget(file);
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
