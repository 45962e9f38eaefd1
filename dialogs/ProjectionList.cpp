#include "dialogs/ProjectionList.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "geodesy/Datum.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"

namespace gw::dlg {

namespace {

// A name as it goes into an entry line: a comma would split the field.
std::string withoutCommas(const char* text) {
    std::string out = text != nullptr ? text : "";
    for (char& c : out)
        if (c == ',') c = ' ';
    return out;
}

std::string entryKey(const char* prefix, int index) { return cFormatString("%s%d", prefix, index); }

// An exclusive advisory lock on a file beside the projection list, held while it
// lives. Without a lock file (an unwritable folder) it holds nothing, and the
// write that follows reports its own failure.
class ListLock {
public:
    explicit ListLock(const std::string& listPath) {
        if (listPath.empty()) return;
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(listPath).parent_path(), ec);
        const std::string lockPath = listPath + ".lock";
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
        }
    }
    ~ListLock() {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_UN);
            ::close(fd_);
        }
    }
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace

const char* initStringOf(const ProjDataStruct& entry) {
    const char* p = entry.params.c_str();
    for (int i = 0; i < 11; ++i) {
        p = std::strchr(p, ',');
        if (p == nullptr) return nullptr;
        ++p;
    }
    return p;
}

ProjDataStruct parseProjectionEntry(const std::string& line) {
    ProjDataStruct entry;
    const std::size_t first = line.find(',');
    if (first == std::string::npos) return entry;
    copyBounded(entry.general, line.substr(0, first).c_str(), sizeof entry.general);
    const std::size_t second = line.find(',', first + 1);
    const std::size_t specificEnd = second == std::string::npos ? line.size() : second;
    copyBounded(entry.specific, line.substr(first + 1, specificEnd - first - 1).c_str(), sizeof entry.specific);
    if (second != std::string::npos) entry.params = line.substr(second + 1);
    return entry;
}

std::vector<std::unique_ptr<ProjDataStruct>> readProjectionList() {
    std::vector<std::unique_ptr<ProjDataStruct>> entries;
    int count = iniGetInt(kProjectionSection, "NumberProjections", 0, kProjectionListFile);
    if (count > kMaxProjEntries) count = kMaxProjEntries;
    for (int i = 1; i <= count; ++i) {
        const std::string line = iniGetString(kProjectionSection, entryKey("Proj", i).c_str(), "", kProjectionListFile);
        entries.push_back(std::make_unique<ProjDataStruct>(parseProjectionEntry(line)));
    }
    return entries;
}

std::string datumEntryText(const Datum& d) {
    return cFormatString("%s,%2.2f,%f,%s,%f,%f,%f,%f,%f,%f,%f", withoutCommas(d.ellipseName).c_str(), d.aAxis,
                         d.inverseFlattening, withoutCommas(d.datumName).c_str(), d.deltaX, d.deltaY, d.deltaZ,
                         d.scalar, d.rotX, d.rotY, d.rotZ);
}

std::string projectionEntryLine(const char* general, const char* specific, const Datum& datum,
                                const char* initString) {
    return cFormatString("%s,%s,%s,%s", withoutCommas(general).c_str(), specific != nullptr ? specific : "",
                         datumEntryText(datum).c_str(), initString != nullptr ? initString : "");
}

bool appendProjectionEntry(const std::string& line) {
    ListLock lock(resolveSettingsPath(kProjectionListFile));
    int count = iniGetInt(kProjectionSection, "NumberProjections", 0, kProjectionListFile);
    if (count < 0) count = 0;
    if (count == INT_MAX) return false;
    if (!iniWriteString(kProjectionSection, entryKey("proj", count + 1).c_str(), line.c_str(), kProjectionListFile))
        return false;
    return iniWriteString(kProjectionSection, "NumberProjections", cFormatString("%d", count + 1).c_str(),
                          kProjectionListFile);
}

} // namespace gw::dlg
