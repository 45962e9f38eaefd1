// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Running median filter over a ring of time-stamped samples.
#include "gridwise/filters.h"
#include "numerics/Statistics.h"

#include <cmath>

namespace {

constexpr int kRingSize = 30;    // slots of the ring
constexpr int kMaxCollected = 20; // samples looked at for one median

} // namespace

FilterData::FilterData(int size, double maxAge)
    : index(0), count(0), output(0.0), spare(0.0), flag(0), size(size), maxAge(maxAge) {
    if (this->size > kRingSize) this->size = kRingSize;
    if (this->size < 1) this->size = 1; // the ring index is taken modulo size
    for (int i = 0; i < kRingSize; ++i) {
        values[i] = 0.0;
        times[i] = 0.0;
    }
}

int FilterData::addData(double value, double time, double tol, int maxSamples) {
    // Public fields may have been changed by the caller: keep the ring in bounds.
    if (size < 1 || size > kRingSize) size = size < 1 ? 1 : kRingSize;
    if (index < 0 || index >= size) index = 0;
    if (count < 0) count = 0;

    index = (index + 1) % size;
    values[index] = value;
    times[index] = time;
    if (++count > size) count = size;
    flag = 0;
    spare = 0.0;
    const double t0 = time;

    // Walk back from the newest sample over the stored ones.
    double collected[kMaxCollected];
    int n = 0;
    int slot = index;
    for (int visited = 0; visited < count; ++visited) {
        if (t0 - times[slot] > maxAge) break;
        if (values[slot] != 0.0) {
            collected[n++] = values[slot];
            if (n == kMaxCollected || n == maxSamples) break;
        }
        slot = slot == 0 ? size - 1 : slot - 1;
    }

    if (n < 3) {
        output = value;
        return 0;
    }
    gw::heapSort(collected, n);
    const double median =
        n % 2 == 1 ? collected[n / 2] : (collected[n / 2 - 1] + collected[n / 2]) / 2;

    if (n <= 4) {
        int close = 0;
        for (int i = 0; i < n; ++i)
            if (std::fabs(median - collected[i]) < tol) ++close;
        if (std::fabs(median - value) < tol && close >= 3) {
            output = median;
            flag = 1;
            return 1;
        }
    } else if (std::fabs(median - value) < tol) {
        output = median;
        flag = 2;
        return 1;
    }
    output = value;
    return 0;
}
