// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Sorting, medians and the robust straight-line fit.
#include "gridwise/filters.h"
#include "numerics/Statistics.h"

#include <cmath>
#include <new>
#include <vector>

namespace gw {

void heapSort(double* a, int n) {
    if (!a || n < 2) return;
    // The heap is numbered 1 to n: element k lives in a[k - 1].
    auto ra = [a](long long k) -> double& { return a[k - 1]; };
    int l = (n >> 1) + 1;
    int ir = n;
    for (;;) {
        double rra;
        if (l > 1) {
            rra = ra(--l);
        } else {
            rra = ra(ir);
            ra(ir) = ra(1);
            if (--ir == 1) {
                ra(1) = rra;
                return;
            }
        }
        long long i = l;
        long long j = 2LL * l;
        while (j <= ir) {
            if (j < ir && ra(j) < ra(j + 1)) ++j;
            if (rra < ra(j)) {
                ra(i) = ra(j);
                i = j;
                j += j;
            } else {
                j = ir + 1;
            }
        }
        ra(i) = rra;
    }
}

} // namespace gw

void centTend(double* a, int n, double* median) {
    if (!median) return;
    if (!a || n <= 0) {
        *median = 0.0;
        return;
    }
    gw::heapSort(a, n);
    if (n % 2 == 1)
        *median = a[n / 2];
    else
        *median = (a[n / 2 - 1] + a[n / 2]) / 2;
}

namespace {

// State of the line fit in progress, shared with the slope balance function.
int g_fitN = 0;
const double* g_fitX = nullptr;
const double* g_fitY = nullptr;
double g_fitA = 0.0;     // intercept of the last balance evaluation
double g_fitAbdev = 0.0; // sum of absolute deviations of the last evaluation

// The bracketing and the bisection of the slope stop after these many steps.
constexpr int kMaxBracketSteps = 1000;
constexpr int kMaxBisectionSteps = 2000;

// Slope balance: with slope beta the intercept is the median of y - beta x; the
// result is the sum of x over points above the line minus that over the others.
double slopeBalance(double beta, std::vector<double>& r) {
    const int n = g_fitN;
    for (int j = 0; j < n; ++j) r[j] = g_fitY[j] - beta * g_fitX[j];
    gw::heapSort(r.data(), n);
    const int lo = (n - 1) / 2;
    const int hi = (n - 1) - (n - 1) / 2;
    g_fitA = 0.5 * (r[lo] + r[hi]);
    double sum = 0.0;
    g_fitAbdev = 0.0;
    for (int j = 0; j < n; ++j) {
        const double d = g_fitY[j] - (beta * g_fitX[j] + g_fitA);
        g_fitAbdev += std::fabs(d);
        sum += d > 0.0 ? g_fitX[j] : -g_fitX[j];
    }
    return sum;
}

} // namespace

void centTendFit(double* x, double* y, int n, double* a, double* b, double* abdev) {
    double outA = 0.0, outB = 0.0, outAbdev = 0.0;
    if (x && y && n > 0) {
        g_fitN = n;
        g_fitX = x;
        g_fitY = y;
        double sx = 0.0, sy = 0.0, sxy = 0.0, sxx = 0.0;
        for (int j = 0; j < n; ++j) {
            sx += x[j];
            sy += y[j];
            sxy += x[j] * y[j];
            sxx += x[j] * x[j];
        }
        const double del = n * sxx - sx * sx;
        if (std::fabs(del) < 1e-8) {
            // The x values do not vary: no slope can be fitted; the level of the
            // points is the mean of their y values. (The mean of the x values, the
            // other reading, is a position along x and no level of the points.)
            outA = sy / n;
        } else {
            double aa = (sxx * sy - sx * sxy) / del;
            double bb = (n * sxy - sx * sy) / del;
            double chisq = 0.0;
            for (int j = 0; j < n; ++j) {
                const double temp = y[j] - (aa + bb * x[j]);
                chisq += temp * temp;
            }
            double sigb = std::sqrt(chisq / del);
            outA = aa;
            outB = bb;
            if (!(sigb < 1e-7)) {
                try {
                    std::vector<double> r(static_cast<std::size_t>(n));
                    double b1 = bb;
                    double f1 = slopeBalance(b1, r);
                    double b2 = bb + (f1 > 0.0 ? std::fabs(3.0 * sigb) : -std::fabs(3.0 * sigb));
                    double f2 = slopeBalance(b2, r);
                    for (int step = 0; f1 * f2 > 0.0 && step < kMaxBracketSteps; ++step) {
                        bb = 2.0 * b2 - b1;
                        b1 = b2;
                        f1 = f2;
                        b2 = bb;
                        f2 = slopeBalance(b2, r);
                    }
                    sigb = 0.01 * sigb;
                    for (int step = 0; std::fabs(b2 - b1) > sigb && step < kMaxBisectionSteps; ++step) {
                        bb = (b1 + b2) / 2;
                        if (bb == b1 || bb == b2) break;
                        const double f = slopeBalance(bb, r);
                        if (f * f1 >= 0.0) {
                            f1 = f;
                            b1 = bb;
                        } else {
                            f2 = f;
                            b2 = bb;
                        }
                    }
                    outA = g_fitA;
                    outB = bb;
                    outAbdev = g_fitAbdev / n;
                } catch (const std::bad_alloc&) {
                    // No room for the residuals: the least-squares line stands.
                }
            }
        }
    }
    if (a) *a = outA;
    if (b) *b = outB;
    if (abdev) *abdev = outAbdev;
}
