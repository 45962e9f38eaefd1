// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Independent reference for the conic, polar and RD projection tests: a PROJ
// operation given as a "+proj=..." string.
#ifndef GRIDWISE_TESTS_PROJECTIONS_PROJPEER_H
#define GRIDWISE_TESTS_PROJECTIONS_PROJPEER_H

#include <proj.h>

#include <string>

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

} // namespace gwpeer

#endif
