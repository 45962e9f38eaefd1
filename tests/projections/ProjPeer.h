// Independent references for the conic, polar and RD projection tests: a PROJ
// operation given as a "+proj=..." string, and a scratch folder for settings files.
#ifndef GRIDWISE_TESTS_PROJECTIONS_PROJPEER_H
#define GRIDWISE_TESTS_PROJECTIONS_PROJPEER_H

#include <proj.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace gwpeer {

// A PROJ operation between geographic degrees and grid metres (north = y, east = x).
class ProjOp {
public:
    explicit ProjOp(const std::string& definition)
        : ctx_(proj_context_create()), op_(proj_create(ctx_, definition.c_str())) {}
    ~ProjOp() {
        if (op_ != nullptr) proj_destroy(op_);
        proj_context_destroy(ctx_);
    }
    ProjOp(const ProjOp&) = delete;
    ProjOp& operator=(const ProjOp&) = delete;

    bool valid() const { return op_ != nullptr; }

    void forward(double lat, double lon, double& north, double& east) const {
        PJ_COORD c = proj_coord(proj_torad(lon), proj_torad(lat), 0, 0);
        c = proj_trans(op_, PJ_FWD, c);
        east = c.xy.x;
        north = c.xy.y;
    }

    void inverse(double north, double east, double& lat, double& lon) const {
        PJ_COORD c = proj_coord(east, north, 0, 0);
        c = proj_trans(op_, PJ_INV, c);
        lon = proj_todeg(c.lp.lam);
        lat = proj_todeg(c.lp.phi);
    }

private:
    PJ_CONTEXT* ctx_;
    PJ* op_;
};

// A fresh folder for settings files, removed with its files at the end.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/gw-h7-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made != nullptr ? made : "";
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The key=value lines of one section of a settings file, in file order.
inline std::vector<std::pair<std::string, std::string>> sectionLines(const std::string& path,
                                                                     const std::string& section) {
    std::vector<std::pair<std::string, std::string>> out;
    std::ifstream in(path);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (inside && eq != std::string::npos) out.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return out;
}

} // namespace gwpeer

#endif
