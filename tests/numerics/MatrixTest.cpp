// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Allocators, views, the three inverters and the WGS 84 conversion.
#include "gridwise/matrix.h"

#include <GeographicLib/Geocentric.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define GW_TEST_ASAN 1
#else
#define GW_TEST_ASAN 0
#endif

namespace {

constexpr double kPi = 3.141592653589793;

// A matrix of n by n addressed from `base` (0 or 1), filled from rows.
struct Square {
    double** m;
    int n, base;
    Square(int n_, int base_) : m(dMatrix(n_ + base_, n_ + base_)), n(n_), base(base_) {}
    ~Square() { freeDMatrix(m, n + base); }
    Square(const Square&) = delete;
    Square& operator=(const Square&) = delete;
    double& at(int i, int j) { return m[i + base][j + base]; }
    void set(const std::vector<std::vector<double>>& rows) {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) at(i, j) = rows[i][j];
    }
    void copyFrom(Square& o) {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) at(i, j) = o.at(i, j);
    }
    void expect(const std::vector<std::vector<double>>& rows, double tol) {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) EXPECT_NEAR(at(i, j), rows[i][j], tol) << i << ',' << j;
    }
};

// Largest |A * X - I|.
double identityError(Square& a, Square& x) {
    double worst = 0;
    for (int i = 0; i < a.n; ++i)
        for (int j = 0; j < a.n; ++j) {
            double s = 0;
            for (int k = 0; k < a.n; ++k) s += a.at(i, k) * x.at(k, j);
            worst = std::max(worst, std::fabs(s - (i == j ? 1.0 : 0.0)));
        }
    return worst;
}

TEST(Allocators, VectorsAndMatrices) {
    EXPECT_EQ(fvector(-1), nullptr);
    EXPECT_EQ(dMatrix(-1, 3), nullptr);
    EXPECT_EQ(iMatrix(2, -1), nullptr);
    int* iv = iVector(0);
    ASSERT_NE(iv, nullptr);
    iv[0] = 7;
    freeIVector(iv);
    double* dv = dVector(5);
    dv[5] = 1.0;
    freeDVector(dv);

    double** d = dMatrix(3, 4);
    ASSERT_NE(d, nullptr);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(d[i][j], 0.0);
    d[3][4] = 1.0; // last row and column exist
    freeDMatrix(d, 3);

    int** im = iMatrix(2, 2);
    im[2][2] = -5;
    freeIMatrix(im, 2);
    freeMatrix(nullptr, 3);
    freeVector(nullptr);
}

TEST(Allocators, Views) {
    float** a = matrix(4, 5);
    ASSERT_NE(a, nullptr);
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 5; ++j) a[i][j] = float(10 * i + j);
    // Rows 1 to 3 from column 2, addressed from row 1 column 1.
    float** s = subMatrix(a, 1, 3, 2, 1, 1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s[1][1], 12.0f);
    EXPECT_EQ(s[3][4], 35.0f);
    s[2][2] = -1.0f;
    EXPECT_EQ(a[2][3], -1.0f);
    freeSubMatrix(s, 1);
    float** z = subMatrix(a, 0, 4, 0, 0, 0);
    EXPECT_EQ(z[4][5], 45.0f);
    freeSubMatrix(z, 0);
    EXPECT_EQ(subMatrix(a, 3, 2, 0, 0, 0), nullptr);
    freeMatrix(a, 4);

    float storage[12];
    for (int k = 0; k < 12; ++k) storage[k] = float(k);
    float** c = convertMatrix(storage, 1, 3, 1, 4); // 3 rows of 4, from (1, 1)
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c[1][1], 0.0f);
    EXPECT_EQ(c[2][1], 4.0f);
    EXPECT_EQ(c[3][4], 11.0f);
    freeConvertMatrix(c, 1);
    float** c0 = convertMatrix(storage, 0, 1, 0, 5); // 2 rows of 6
    EXPECT_EQ(c0[1][0], 6.0f);
    freeConvertMatrix(c0, 0);
}

// Address space the process holds now, in bytes.
std::size_t addressSpaceInUse() {
    unsigned long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Run in a child process with room for six and a half rows of 64 MiB above what it
// holds: a matrix of 20 such rows fails part-way and comes back null, three times;
// rows it kept would still hold their address space, so five rows allocated
// afterwards show that everything was given back. Exits 0 on success.
void allocateUnderLimit() {
    constexpr std::size_t kRow = std::size_t(64) << 20;
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = addressSpaceInUse() + 6 * kRow + kRow / 2;
    if (setrlimit(RLIMIT_AS, &limit) != 0) std::exit(2);
    for (int attempt = 0; attempt < 3; ++attempt)
        if (dMatrix(20, 8 << 20) != nullptr) std::exit(3);
    void* rows[5];
    for (void*& row : rows)
        if ((row = std::malloc(kRow)) == nullptr) std::exit(1);
    std::exit(0);
}

TEST(Allocators, FailedRowReleasesEverything) {
    if (GW_TEST_ASAN) GTEST_SKIP() << "address-space limit conflicts with AddressSanitizer";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(allocateUnderLimit(), testing::ExitedWithCode(0), "");
}

TEST(DInvert, Examples) {
    Square a(2, 1);
    a.set({{1, 2}, {3, 4}}); // needs a row interchange
    dInvert(a.m, 2);
    a.expect({{-2, 1}, {1.5, -0.5}}, 1e-15);

    Square z(3, 1);
    z.set({{1, 2, 3}, {0, 0, 0}, {4, 5, 7}});
    dInvert(z.m, 3);
    z.expect({{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}, 0); // zero row: unchanged

    Square s(2, 1);
    s.set({{1, 2}, {2, 4}}); // singular without a zero row: huge elements
    dInvert(s.m, 2);
    EXPECT_GT(std::fabs(s.at(1, 1)), 1e15);

    Square one(1, 1);
    one.set({{4}});
    dInvert(one.m, 1);
    EXPECT_EQ(one.at(0, 0), 0.25);
}

TEST(Gaussj, Examples) {
    Square a(2, 0);
    a.set({{0, 1}, {1, 0}});
    EXPECT_EQ(gaussj(a.m, 2), 1);
    a.expect({{0, 1}, {1, 0}}, 0);

    Square s(2, 0);
    s.set({{1, 2}, {2, 4}});
    EXPECT_EQ(gaussj(s.m, 2), 0);

    Square r(3, 0); // rank 2
    r.set({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    EXPECT_EQ(gaussj(r.m, 3), 0);

    Square e(2, 0);
    e.set({{1, 2}, {3, 4}});
    EXPECT_EQ(gaussj(e.m, 2), 1);
    e.expect({{-2, 1}, {1.5, -0.5}}, 1e-15);

    Square nan(2, 0);
    nan.set({{std::nan(""), std::nan("")}, {std::nan(""), std::nan("")}});
    EXPECT_EQ(gaussj(nan.m, 2), 0);
}

TEST(Spdinv, Examples) {
    Square a(2, 0);
    a.set({{4, 2}, {99, 3}}); // the lower triangle is not read
    EXPECT_EQ(spdinv(a.m, 2), 1);
    a.expect({{0.375, -0.25}, {-0.25, 0.5}}, 1e-15);

    Square z(2, 0);
    z.set({{0, 0}, {0, 3}});
    EXPECT_EQ(spdinv(z.m, 2), 0);
    Square z2(3, 0);
    z2.set({{2, 0, 0}, {0, 0, 0}, {0, 0, 5}});
    EXPECT_EQ(spdinv(z2.m, 3), 0);
    Square psd(2, 0); // positive semi-definite, singular
    psd.set({{1, 1}, {1, 1}});
    EXPECT_EQ(spdinv(psd.m, 2), 0);
}

TEST(Inverters, NonPositiveSizeDoesNothing) {
    Square a(2, 1);
    a.set({{1, 2}, {3, 4}});
    for (int n : {0, -1, -100}) {
        dInvert(a.m, n);
        EXPECT_EQ(gaussj(a.m, n), n == 0 ? 1 : 0);
        EXPECT_EQ(spdinv(a.m, n), n == 0 ? 1 : 0);
    }
    a.expect({{1, 2}, {3, 4}}, 0);
    dInvert(nullptr, 3);
    EXPECT_EQ(gaussj(nullptr, 3), 0);
    EXPECT_EQ(spdinv(nullptr, 3), 0);
}

// Random well-conditioned matrices: rows of a diagonally dominant matrix in a
// shuffled order (so that pivoting is needed), and B^T B + n I for spdinv.
TEST(Inverters, RandomWellConditioned) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n : {1, 2, 3, 5, 8, 16, 33, 64}) {
        for (int trial = 0; trial < 3; ++trial) {
            std::vector<std::vector<double>> rows(n, std::vector<double>(n));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) rows[i][j] = u(rng) + (i == j ? n + 1.0 : 0.0);
            std::shuffle(rows.begin(), rows.end(), rng);

            Square a(n, 1), x(n, 1);
            a.set(rows);
            x.set(rows);
            dInvert(x.m, n);
            EXPECT_LT(identityError(a, x), 1e-10) << "dInvert n=" << n;

            Square a0(n, 0), g(n, 0);
            a0.set(rows);
            g.set(rows);
            ASSERT_EQ(gaussj(g.m, n), 1);
            EXPECT_LT(identityError(a0, g), 1e-10) << "gaussj n=" << n;

            Square spd(n, 0), p(n, 0);
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    double s = i == j ? n : 0.0;
                    for (int k = 0; k < n; ++k) s += rows[k][i] * rows[k][j];
                    spd.at(i, j) = s;
                }
            p.copyFrom(spd);
            ASSERT_EQ(spdinv(p.m, n), 1);
            EXPECT_LT(identityError(spd, p), 1e-10) << "spdinv n=" << n;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < i; ++j) ASSERT_EQ(p.at(i, j), p.at(j, i)); // both triangles
        }
    }
}

// Angular difference in degrees, across the date line.
double lonDiff(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

// Difference of two longitudes in radians, across the date line.
double lonDiffRad(double a, double b) {
    const double d = std::fabs(a - b);
    return d > kPi ? 2 * kPi - d : d;
}

// WGS 84 conversion against GeographicLib's Geocentric, and our own round trip.
// Heights agree to 1e-8 m near the surface at moderate latitudes; the height
// p / cos(lat) - N loses accuracy as r / cos(lat) (2e-6 m at 89.99 degrees). Above
// about 76 degrees tan(lat) is so large that its last bit exceeds the 1e-15 step
// tolerance: the iteration may then run to its cap and say so.
TEST(Conv, AgainstGeocentric) {
    const GeographicLib::Geocentric& wgs = GeographicLib::Geocentric::WGS84();
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> lonD(-180, 180), hD(-10000, 1e7);
    for (const bool polar : {false, true}) {
        std::uniform_real_distribution<double> latD(polar ? 75.0 : -75.0, polar ? 89.999 : 75.0);
        double errXyz = 0, errLat = 0, errLon = 0, errH = 0, errTripLat = 0, errTripLon = 0;
        testing::internal::CaptureStdout();
        for (int k = 0; k < 20000; ++k) {
            double latDeg = latD(rng), lonDeg = lonD(rng), h = k % 4 == 0 ? hD(rng) / 1000 : hD(rng);
            if (k < 7 && !polar) latDeg = (k - 3) * 25.0; // equator and round latitudes
            if (polar && k % 2) latDeg = -latDeg;
            double X, Y, Z;
            wgs.Forward(latDeg, lonDeg, h, X, Y, Z);
            double lat = latDeg * kPi / 180, lon = lonDeg * kPi / 180, hh = h, x = 0, y = 0, z = 0;
            conv(&lat, &lon, &hh, &x, &y, &z, 2);
            errXyz = std::max({errXyz, std::fabs(x - X), std::fabs(y - Y), std::fabs(z - Z)});

            double refLat, refLon, refH;
            wgs.Reverse(X, Y, Z, refLat, refLon, refH);
            double lat1 = 0, lon1 = 0, h1 = 0;
            conv(&lat1, &lon1, &h1, &X, &Y, &Z, 1);
            errLat = std::max(errLat, std::fabs(lat1 * 180 / kPi - refLat));
            errLon = std::max(errLon, lonDiff(lon1 * 180 / kPi, refLon));
            // Height error relative to what the formula can give at this latitude.
            const double tol = 1e-8 + 2e-9 * std::hypot(X, Y, Z) / 6378137.0 / std::cos(lat);
            errH = std::max(errH, std::fabs(h1 - refH) / tol);
            errH = std::max(errH, std::fabs(h1 - h) / tol);
            errTripLat = std::max(errTripLat, std::fabs(lat1 - lat));
            errTripLon = std::max(errTripLon, lonDiffRad(lon1, lon));
        }
        const std::string printed = testing::internal::GetCapturedStdout();
        if (!polar) {
            EXPECT_EQ(printed, "");
        }
        for (size_t at = 0; at < printed.size(); at += 39)
            ASSERT_EQ(printed.substr(at, 39), "(xyz) --> (phi, lam, h) not convergent\n");
        EXPECT_LT(errXyz, 1e-8) << polar;
        EXPECT_LT(errLat, 1e-13) << polar;
        EXPECT_LT(errLon, 1e-13) << polar;
        EXPECT_LT(errH, 1.0) << polar;
        EXPECT_LE(errTripLat, 1e-15) << polar;
        EXPECT_LE(errTripLon, 1e-15) << polar;
    }
}

TEST(Conv, PolarAxisNonConvergenceAndOtherModes) {
    const double b = 6356752.314245179;
    struct Case {
        double z, lat, h;
    };
    const Case cases[] = {{b + 100, kPi / 2, 100}, {-(b + 2500), -kPi / 2, 2500}, {b - 10, kPi / 2, -10}};
    for (const Case& c : cases) {
        double lat = 0, lon = 0, h = 0, x = 0, y = 0, z = c.z;
        conv(&lat, &lon, &h, &x, &y, &z, 1);
        EXPECT_EQ(lat, c.lat);
        EXPECT_NEAR(h, c.h, 1e-8);
    }

    double lat = 0.5, lon = 0.5, h = 10, x = 1, y = 2, z = 3;
    EXPECT_EQ(conv(&lat, &lon, &h, &x, &y, &z, 3), 0);
    EXPECT_EQ(lat, 0.5);
    EXPECT_EQ(x, 1.0);

    x = std::nan("");
    testing::internal::CaptureStdout();
    conv(&lat, &lon, &h, &x, &y, &z, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "(xyz) --> (phi, lam, h) not convergent\n");
}

} // namespace
