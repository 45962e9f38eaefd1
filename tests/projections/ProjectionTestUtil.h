// Shared fixtures of the projection tests.
#ifndef GRIDWISE_TESTS_PROJECTIONS_UTIL_H
#define GRIDWISE_TESTS_PROJECTIONS_UTIL_H

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "geodesy/Datum.h"

namespace gwtest {

// The WGS 84 ellipsoid with its defining inverse flattening.
inline Datum wgs84() {
    Datum d;
    d.aAxis = 6378137.0;
    d.inverseFlattening = 298.257223563;
    d.update();
    return d;
}

// A fresh folder for settings files, removed with its files at the end.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/gw-proj-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made != nullptr ? made : "/tmp";
    }
    ~TempDir() {
        std::error_code ec;
        if (path_ != "/tmp") std::filesystem::remove_all(path_, ec);
    }
    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace gwtest

#endif
