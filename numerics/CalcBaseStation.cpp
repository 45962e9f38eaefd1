// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// A plain record kept for the hosts.
#include "gridwise/filters.h"

CalcBaseStation::CalcBaseStation()
    : d1(0.0), d2(0.0), d3(0.0), i1(0), i2(0), d4(0.0), d5(0.0), d6(0.0) {}

CalcBaseStation::CalcBaseStation(const CalcBaseStation& other) = default;

CalcBaseStation& CalcBaseStation::operator=(const CalcBaseStation& other) = default;
