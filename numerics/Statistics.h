// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Internal helpers of the filters and statistics.
#ifndef GRIDWISE_NUMERICS_STATISTICS_H
#define GRIDWISE_NUMERICS_STATISTICS_H

namespace gw {

// Heapsort of a[0..n-1] in place, ascending; fewer than 2 values are left as they
// are. O(n log n), no extra storage.
void heapSort(double* a, int n);

// Uniform deviate from three linear congruential sequences and a 97-entry shuffle
// table (process-wide state). A negative *seed, or the first call, re-seeds the
// table and sets *seed to 1. Results lie in [0, 1) for seeds from -2^31 to 54773;
// a larger first seed makes the sequences negative for a while (then results are
// negative or 0.0).
double uniformDeviate(int* seed);

} // namespace gw

#endif
