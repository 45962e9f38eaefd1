// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Geodesy handles and batch conversions: every batch call against the one-point
// functions of the process-wide instance on random points of every projection type,
// lanes that end in each status, strides (interleaved, broadcast, in place), bad
// calls, threads on one handle, and the refusals of the two constructors.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "facade/BatchKernels.h"
#include "facade/GeodesyHandle.h"
#include "facade/Geodetics.h"
#include "gridwise/batch.h"
#include "gridwise/geodetics.h"
#include "numerics/Angles.h"
#include "platform/IniFile.h"
#include "projections/PolarStereo.h"
#include "projections/PolarStereoRules.h"
#include "support/SettingsFiles.h"
#include "support/SimdTiers.h"

namespace {

using gwtest::TempDir;
using gwtest::writeFile;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr ptrdiff_t kD = sizeof(double);

// A shifted datum on the international ellipsoid, for the datum conversions.
#define ED50_KEYS                                                                                            \
    "aAxis=6378388.\ninverseFlattening=297.\ndeltaX=-87\ndeltaY=-98\ndeltaZ=-121\nscalar=0.0000012\n"        \
    "rotX=0.0001\nrotY=-0.0002\nrotZ=0.00015\nellipseName=International\ndatumName=ED50\n"

#define QUARTER_TURN                                                                                       \
    "localToENorth=1\nlocalToEEast=0\nlocalToEConst=0\nlocalToNNorth=0\nlocalToNEast=-1\nlocalToNConst=0\n" \
    "eToLocalNorth=-1\neToLocalEast=0\neToLocalConst=0\nnToLocalNorth=0\nnToLocalEast=1\nnToLocalConst=0\n"

// A projection of every type, with a region of its domain to draw points from.
struct Case {
    const char* section;
    const char* keys;
    double latLo, latHi, lonLo, lonHi;
};

const Case kCases[] = {
    {"tm", "GeodesyType=0\noriginLon=E9\n" ED50_KEYS, -80, 84, 6, 12},
    {"tmNorthSea", "GeodesyType=0\noriginLon=E3\n" ED50_KEYS "datumName=ED50(N Sea)\n", 50, 62, -5, 10},
    {"lambert", "GeodesyType=1\n", 25, 45, -125, -105},
    {"lambertSouth",
     "GeodesyType=1\nfirstParallel=S30\nsecondParallel=S35\nlatOfOrigin=S32\nlonOfOrigin=E145\n"
     "falseNorth=10000000\nfalseEast=500000\n",
     -45, -20, 135, 155},
    {"polar", "GeodesyType=4\n", 81, 89.9, -180, 180},
    {"polarSouth", "GeodesyType=4\nlatOfOrigin=S90\n", -89.9, -81, -180, 180},
    {"rd", "GeodesyType=7\n", 50.75, 53.6, 3.3, 7.3},
    {"local", "GeodesyType=5\nlocalCenterLat=52\nlocalCenterLon=4\n", 51.5, 52.5, 3.5, 4.5},
    {"affine", "GeodesyType=3\n" QUARTER_TURN "localGeodesyType=0\noriginLon=E9\n", 40, 60, 7, 11},
    {"staOff",
     "GeodesyType=6\nlocalCenterLat=52\nlocalCenterLon=4\nlocalEndLat=52.1\nlocalEndLon=4.2\n"
     "localGeodesyType=0\noriginLon=E3\n",
     51.5, 52.5, 3.5, 4.5},
};

// The case of a section name (every name asked for is one of kCases).
const Case& caseNamed(const std::string& section) {
    for (const Case& k : kCases)
        if (section == k.section) return k;
    throw std::invalid_argument("no case " + section);
}

std::string settingsText() {
    std::string text;
    for (const Case& c : kCases) text += std::string("[") + c.section + "]\n" + c.keys;
    // A much flatter ellipsoid, on which the footpoint iteration converges slowly.
    text += "[tmFlat]\nGeodesyType=0\ninverseFlattening=100\n";
    return text;
}

bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a == b); }

using gw::batch::SimdTier;

using gwtest::TierScope;

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir.file("geo.ini");
        writeFile(file, settingsText());
        ASSERT_EQ(allocGeodetics(), 1);
    }
    void TearDown() override { deAllocGeodetics(); }

    // The handle and the process-wide instance, both loaded from one section.
    GwGeodesy* load(const Case& c) {
        loadGeoData(const_cast<char*>(c.section), file.data());
        return gwGeodesyFromSettings(file.c_str(), c.section);
    }

    TempDir dir;
    std::string file;
};

struct Points {
    std::vector<double> lat, lon, h, north, east, az, dist;
};

Points randomPoints(const Case& c, std::size_t n, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> la(c.latLo, c.latHi), lo(c.lonLo, c.lonHi), az(0, 360),
        d(0, 3e6), h(-100, 3000);
    Points p;
    for (std::size_t i = 0; i < n; ++i) {
        p.lat.push_back(la(rng));
        p.lon.push_back(lo(rng));
        p.h.push_back(h(rng));
        p.az.push_back(az(rng));
        // Short and long lines both: a quarter of the lines under 40 km.
        p.dist.push_back(i % 4 == 0 ? d(rng) / 100 : d(rng));
    }
    p.north.resize(n);
    p.east.resize(n);
    for (std::size_t i = 0; i < n; ++i) geoToGrid(p.lat[i], p.lon[i], &p.north[i], &p.east[i]);
    return p;
}

} // namespace

// Every batch call gives the one-point results bit for bit on points of the domain
// (the scalar kernels; the vector ones are compared with them below).
TEST_F(BatchTest, EveryCallMatchesTheOnePointFunctionsInEveryProjection) {
    TierScope scalar(SimdTier::scalar);
    constexpr std::size_t n = 1500;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.section);
        GwGeodesy* g = load(c);
        ASSERT_NE(g, nullptr) << gwLastError();
        const Points p = randomPoints(c, n, 7);
        std::vector<double> o1(n), o2(n), o3(n);
        std::vector<int> st(n, -1);

        auto expectAll = [&](size_t converted, const char* what) {
            SCOPED_TRACE(what);
            std::size_t bad = 0;
            for (int s : st) bad += s != 0;
            // The Transverse Mercator footpoint may reach its cap in rare lanes.
            EXPECT_LE(bad, n / 1000) << what;
            EXPECT_EQ(converted, n - bad);
        };

        expectAll(gwGeoToGrid(g, n, p.lat.data(), kD, p.lon.data(), kD, o1.data(), kD, o2.data(), kD, st.data()),
                  "geoToGrid");
        for (std::size_t i = 0; i < n; ++i) {
            if (st[i] != 0) continue;
            EXPECT_TRUE(same(o1[i], p.north[i]) && same(o2[i], p.east[i])) << i;
        }

        expectAll(gwGridToGeo(g, n, p.north.data(), kD, p.east.data(), kD, o1.data(), kD, o2.data(), kD, st.data()),
                  "gridToGeo");
        for (std::size_t i = 0; i < n; ++i) {
            double la = 0, lo = 0;
            gridToGeo(p.north[i], p.east[i], &la, &lo);
            if (st[i] == 0)
                EXPECT_TRUE(same(o1[i], la) && same(o2[i], lo)) << i << " " << o1[i] << " " << la;
            else
                EXPECT_TRUE(std::isnan(o1[i]) && std::isnan(o2[i]));
        }

        expectAll(gwConvergence(g, n, p.north.data(), kD, p.east.data(), kD, o1.data(), kD, st.data()),
                  "convergence");
        expectAll(gwPointScale(g, n, p.north.data(), kD, p.east.data(), kD, o2.data(), kD, st.data()),
                  "point scale");
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_TRUE(same(o1[i], converge(p.north[i], p.east[i]))) << i;
            EXPECT_TRUE(same(o2[i], lineScale(p.north[i], p.east[i], p.north[i], p.east[i]))) << i;
        }

        expectAll(gwWorkingToWgs84(g, n, p.lat.data(), kD, p.lon.data(), kD, p.h.data(), kD, o1.data(), kD,
                                   o2.data(), kD, o3.data(), kD, st.data()),
                  "workingToWgs84");
        for (std::size_t i = 0; i < n; ++i) {
            double la = 0, lo = 0, hh = 0;
            workingToWgs84(p.lat[i], p.lon[i], p.h[i], &la, &lo, &hh);
            EXPECT_TRUE(same(o1[i], la) && same(o2[i], lo) && same(o3[i], hh)) << i;
        }
        expectAll(gwWgs84ToWorking(g, n, p.lat.data(), kD, p.lon.data(), kD, p.h.data(), kD, o1.data(), kD,
                                   o2.data(), kD, o3.data(), kD, st.data()),
                  "wgs84ToWorking");
        for (std::size_t i = 0; i < n; ++i) {
            double la = 0, lo = 0, hh = 0;
            wgs84ToWorking(p.lat[i], p.lon[i], p.h[i], &la, &lo, &hh);
            EXPECT_TRUE(same(o1[i], la) && same(o2[i], lo)) << i;
            // The height the one-point conversion drops: the reverse shift's.
            EXPECT_LT(std::fabs(o3[i]), 500.0);
        }

        // Geodesics from each point to the next one, and along random azimuths.
        std::vector<double> lat2(p.lat.begin() + 1, p.lat.end()), lon2(p.lon.begin() + 1, p.lon.end());
        lat2.push_back(p.lat[0]);
        lon2.push_back(p.lon[0]);
        expectAll(gwGeodesicInverse(g, n, p.lat.data(), kD, p.lon.data(), kD, lat2.data(), kD, lon2.data(), kD,
                                    o1.data(), kD, o2.data(), kD, st.data()),
                  "inverse");
        for (std::size_t i = 0; i < n; ++i) {
            double az = 0, d = 0;
            inverse(p.lat[i], p.lon[i], lat2[i], lon2[i], &az, &d);
            EXPECT_TRUE(same(o1[i], az) && same(o2[i], d)) << i;
        }
        expectAll(gwGeodesicDirect(g, n, p.lat.data(), kD, p.lon.data(), kD, p.az.data(), kD, p.dist.data(), kD,
                                   o1.data(), kD, o2.data(), kD, st.data()),
                  "direct");
        for (std::size_t i = 0; i < n; ++i) {
            double la = 0, lo = 0;
            direct(p.lat[i], p.lon[i], p.az[i], p.dist[i], &la, &lo);
            EXPECT_TRUE(same(o1[i], la) && same(o2[i], lo)) << i;
        }
        gwGeodesyFree(g);
    }
}

// One lane per status, in several projections; the outputs of a bad lane are NaN.
TEST_F(BatchTest, LanesEndInTheirStatus) {
    struct Lane {
        const char* section;
        int call; // 0 geoToGrid, 1 gridToGeo, 2 convergence, 3 point scale, 4 inverse, 5 workingToWgs84
        double a, b;
        int status;
    };
    const Lane lanes[] = {
        {"tm", 0, 45, 9, 0},
        {"tm", 0, kNaN, 9, 1},
        {"tm", 0, 45, kInf, 1},
        {"tm", 0, -kInf, 9, 1},
        {"tm", 0, 90.5, 9, 2},
        {"tm", 0, 1e308, 9, 2},
        {"tm", 0, 0, 9 + 89, 2},          // beyond the grid frame
        {"tm", 1, kNaN, 500000, 1},
        {"tm", 1, 1e308, 500000, 2},
        {"tm", 1, 0, -1.1e7, 2},          // beyond the grid frame the forward clamps to
        {"tm", 1, 1e7, 500000, 2},        // beyond the pole
        {"tm", 5, 45, 9, 0},
        {"tm", 5, -91, 9, 2},
        {"tm", 4, 90, 9, 2},              // the geodesic formulas fail at the pole
        {"lambert", 0, 90, -116, 2},      // the formula folds the pole onto the equator
        {"lambert", 0, -90, -116, 2},
        {"lambert", 1, 1e7, 0, 2},        // beyond the apex of the cone
        {"lambert", 2, 1e7, 0, 2},
        {"lambert", 3, 1e7, 0, 2},
        {"lambertSouth", 1, 0, 500000, 0},
        {"polar", 0, -45, 10, 2},         // the other hemisphere
        {"polar", 0, 0, 10, 2},           // the equator, which the formula maps onto the pole
        {"polar", 0, 45, 10, 2},          // beyond the grid frame
        {"polar", 0, 90, 10, 0},
        {"polarSouth", 0, 45, 10, 2},
        {"polar", 2, 2000000, 2000000, 2},  // no convergence at the pole
        {"polar", 3, 2000000, 2000000, 2},
        {"polar", 2, 2100000, 2000000, 0},
    };
    for (const Lane& l : lanes) {
        SCOPED_TRACE(std::string(l.section) + " call " + std::to_string(l.call) + " a=" + std::to_string(l.a) +
                     " b=" + std::to_string(l.b));
        const Case* c = &caseNamed(l.section);
        GwGeodesy* g = load(*c);
        ASSERT_NE(g, nullptr);
        double o[3] = {-1, -1, -1};
        int st = -1;
        const double zero = 0, ten = 10;
        size_t r = 0;
        switch (l.call) {
        case 0: r = gwGeoToGrid(g, 1, &l.a, 0, &l.b, 0, &o[0], 0, &o[1], 0, &st); break;
        case 1: r = gwGridToGeo(g, 1, &l.a, 0, &l.b, 0, &o[0], 0, &o[1], 0, &st); break;
        case 2: r = gwConvergence(g, 1, &l.a, 0, &l.b, 0, &o[0], 0, &st), o[1] = o[0]; break;
        case 3: r = gwPointScale(g, 1, &l.a, 0, &l.b, 0, &o[0], 0, &st), o[1] = o[0]; break;
        case 4: r = gwGeodesicInverse(g, 1, &l.a, 0, &l.b, 0, &ten, 0, &zero, 0, &o[0], 0, &o[1], 0, &st); break;
        case 5: r = gwWorkingToWgs84(g, 1, &l.a, 0, &l.b, 0, &zero, 0, &o[0], 0, &o[1], 0, &o[2], 0, &st); break;
        }
        EXPECT_EQ(st, l.status);
        EXPECT_EQ(r, l.status == 0 ? 1u : 0u);
        if (l.status != 0)
            EXPECT_TRUE(std::isnan(o[0]) && std::isnan(o[1]));
        else
            EXPECT_TRUE(std::isfinite(o[0]) && std::isfinite(o[1]));
        gwGeodesyFree(g);
    }
}

// On a flat ellipsoid (1/f = 100) the footpoint iteration of the Transverse
// Mercator reaches its cap in many lanes; such lanes come out as 3 and NaN, the
// others match the one-point conversion.
TEST_F(BatchTest, FootpointIterationAtItsCapIsStatusThree) {
    TierScope scalar(SimdTier::scalar);
    loadGeoData(const_cast<char*>("tmFlat"), file.data());
    GwGeodesy* g = gwGeodesyFromSettings(file.c_str(), "tmFlat");
    ASSERT_NE(g, nullptr);
    constexpr std::size_t n = 20000;
    std::vector<double> north(n), lat(n), lon(n);
    for (std::size_t i = 0; i < n; ++i) north[i] = -9.9e6 + 19.8e6 * static_cast<double>(i) / n;
    const double east = 700000;
    std::vector<int> st(n);
    const size_t ok = gwGridToGeo(g, n, north.data(), kD, &east, 0, lat.data(), kD, lon.data(), kD, st.data());
    std::size_t capped = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ASSERT_TRUE(st[i] == 0 || st[i] == 3) << st[i];
        if (st[i] == 3) {
            ++capped;
            EXPECT_TRUE(std::isnan(lat[i]) && std::isnan(lon[i]));
        } else {
            double la = 0, lo = 0;
            gridToGeo(north[i], east, &la, &lo);
            EXPECT_TRUE(same(lat[i], la) && same(lon[i], lo)) << i;
        }
    }
    EXPECT_EQ(ok, n - capped);
    EXPECT_GT(capped, n / 10);
    EXPECT_LT(capped, n - n / 10);
    gwGeodesyFree(g);
}

// Polar stereographic: the false origin is the pole of the projection's hemisphere.
TEST_F(BatchTest, PolarStereographicFalseOriginIsThePole) {
    for (const char* section : {"polar", "polarSouth"}) {
        GwGeodesy* g = gwGeodesyFromSettings(file.c_str(), section);
        ASSERT_NE(g, nullptr);
        const double n = 2000000, e = 2000000;
        double lat = 0, lon = 1;
        int st = -1;
        EXPECT_EQ(gwGridToGeo(g, 1, &n, kD, &e, kD, &lat, kD, &lon, kD, &st), 1u);
        EXPECT_EQ(lat, std::string(section) == "polar" ? 90.0 : -90.0);
        EXPECT_EQ(lon, 0.0);
        gwGeodesyFree(g);
    }
}

// The polar kernel's reverse takes the whole polar cap, both aspects: points from
// 60 degrees to the pole, points millimetres to a kilometre from it and the pole
// itself. The kernel leaves none of them to the one-point steps, takes the steps
// they take and gives their latitude and longitude within 1e-13 degrees; the
// batch call, whose false origin is the pole, agrees with the scalar kernels.
TEST_F(BatchTest, PolarReverseKernelTakesThePolarCap) {
    for (const char* section : {"polar", "polarSouth"}) {
        SCOPED_TRACE(section);
        const Case* c = &caseNamed(section);
        GwGeodesy* g = load(*c);
        ASSERT_NE(g, nullptr);
        const bool south = std::string(section) == "polarSouth";
        PolarStereo& p = dynamic_cast<PolarStereo&>(*g->geo.projection->inner);
        const gw::batch::PolarConstants k = gw::batch::polarConstants(p);
        std::mt19937_64 rng(41);
        std::uniform_real_distribution<double> lat(60, 90), lon(-180, 180), logRho(-3, 3), turn(0, 2 * gw::kPi);
        std::vector<double> north, east;
        for (int i = 0; i < 9000; ++i) { // latitudes 60..90
            double no = 0, ea = 0;
            p.geoToGrid(south ? -lat(rng) : lat(rng), lon(rng), no, ea);
            north.push_back(no);
            east.push_back(ea);
        }
        for (int i = 0; i < 6000; ++i) { // 1 mm to 1 km from the pole
            const double rho = std::pow(10.0, logRho(rng)), a = turn(rng);
            north.push_back(k.falseNorth + rho * std::cos(a));
            east.push_back(k.falseEast + rho * std::sin(a));
        }
        const double axes[][2] = {{0, 0}, {1e-3, 0}, {-1e-3, 0}, {0, 1e-3}, {0, -1e-3}, {1e-9, 1e-9}, {0.05, 0}};
        for (const auto& a : axes) {
            north.push_back(k.falseNorth + a[0]);
            east.push_back(k.falseEast + a[1]);
        }
        const std::size_t n = north.size();
        const std::size_t lanes = gw::batch::simdBlockLanes();
        const std::size_t padded = (n + lanes - 1) / lanes * lanes;
        north.resize(padded, k.falseNorth + 1);
        east.resize(padded, k.falseEast);

        std::vector<double> refLat(n), refLon(n);
        std::vector<int> refSteps(n);
        for (std::size_t i = 0; i < n; ++i) {
            p.gridToGeo(north[i], east[i], refLat[i], refLon[i]);
            const double dN = north[i] - k.falseNorth, dE = east[i] - k.falseEast;
            const double psi = std::log(k.C) + std::log(k.k0) - std::log(std::sqrt(dN * dN + dE * dE));
            double phi = 0;
            refSteps[i] = gw::batch::latitudeFromIsometricSteps(psi, k.e, k.e2, phi);
        }
        std::vector<double> batchRef[2] = {std::vector<double>(n), std::vector<double>(n)};
        {
            TierScope scalar(SimdTier::scalar);
            gwGridToGeo(g, n, north.data(), kD, east.data(), kD, batchRef[0].data(), kD, batchRef[1].data(), kD,
                        nullptr);
        }
        gwtest::forEachTier(SimdTier::sse2, [&](SimdTier tier) {
            std::vector<double> la(padded), lo(padded);
            std::vector<int> steps(padded);
            gw::batch::polarReverseBlock(tier, k, padded, north.data(), east.data(), la.data(), lo.data(),
                                         steps.data());
            std::size_t redone = 0, otherSteps = 0;
            double worstLat = 0, worstLon = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (steps[i] & gw::batch::kRedo) {
                    ++redone;
                    continue;
                }
                if (gw::polar::atOrigin(north[i] - k.falseNorth, east[i] - k.falseEast)) {
                    // The one-point steps give the false origin latitude 0; the kernel the pole.
                    EXPECT_EQ(la[i], south ? -90.0 : 90.0);
                    continue;
                }
                otherSteps += steps[i] != refSteps[i];
                worstLat = std::max(worstLat, std::fabs(la[i] - refLat[i]));
                worstLon = std::max(worstLon, std::fabs(lo[i] - refLon[i]));
            }
            EXPECT_EQ(redone, 0u);
            EXPECT_EQ(otherSteps, 0u);
            EXPECT_LE(worstLat, 1e-13);
            EXPECT_LE(worstLon, 1e-13);

            std::vector<double> got[2] = {std::vector<double>(n), std::vector<double>(n)};
            std::vector<int> st(n);
            EXPECT_EQ(gwGridToGeo(g, n, north.data(), kD, east.data(), kD, got[0].data(), kD, got[1].data(), kD,
                                  st.data()),
                      n);
            double worst = 0;
            for (std::size_t i = 0; i < n; ++i)
                worst = std::max({worst, std::fabs(got[0][i] - batchRef[0][i]), std::fabs(got[1][i] - batchRef[1][i])});
            EXPECT_LE(worst, 1e-13);
        });
        gwGeodesyFree(g);
    }
}

// Interleaved records, broadcast inputs and conversion in place; nothing is written
// beside the outputs.
TEST_F(BatchTest, StridesBroadcastAndInPlace) {
    TierScope scalar(SimdTier::scalar);
    GwGeodesy* g = load(kCases[0]);
    ASSERT_NE(g, nullptr);
    struct Record {
        double lat, lon, north, east;
        int status;
        int guard;
    };
    constexpr std::size_t n = 64;
    std::vector<Record> rec(n);
    for (std::size_t i = 0; i < n; ++i) rec[i] = {40.0 + 0.1 * i, 8.0 + 0.05 * i, -7, -7, -7, 0x5a5a5a5a};
    // Status array is separate; the records carry their own field for it below.
    std::vector<int> st(n, -1);
    EXPECT_EQ(gwGeoToGrid(g, n, &rec[0].lat, sizeof(Record), &rec[0].lon, sizeof(Record), &rec[0].north,
                          sizeof(Record), &rec[0].east, sizeof(Record), st.data()),
              n);
    for (std::size_t i = 0; i < n; ++i) {
        double N = 0, E = 0;
        geoToGrid(rec[i].lat, rec[i].lon, &N, &E);
        EXPECT_EQ(rec[i].north, N);
        EXPECT_EQ(rec[i].east, E);
        EXPECT_EQ(rec[i].status, -7);
        EXPECT_EQ(rec[i].guard, 0x5a5a5a5a);
    }

    // In place: grid values replace the latitudes and longitudes they came from.
    std::vector<double> a(n), b(n);
    for (std::size_t i = 0; i < n; ++i) a[i] = rec[i].lat, b[i] = rec[i].lon;
    EXPECT_EQ(gwGeoToGrid(g, n, a.data(), kD, b.data(), kD, a.data(), kD, b.data(), kD, nullptr), n);
    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_EQ(a[i], rec[i].north);
        EXPECT_EQ(b[i], rec[i].east);
    }
    // Crossed in place: the outputs swap the arrays they read.
    EXPECT_EQ(gwGridToGeo(g, n, a.data(), kD, b.data(), kD, b.data(), kD, a.data(), kD, nullptr), n);
    for (std::size_t i = 0; i < n; ++i) {
        double la = 0, lo = 0;
        gridToGeo(rec[i].north, rec[i].east, &la, &lo);
        EXPECT_EQ(b[i], la);
        EXPECT_EQ(a[i], lo);
    }

    // One start point broadcast to many azimuths.
    const double lat0 = 45, lon0 = 9, dist = 10000;
    std::vector<double> az(n), la2(n), lo2(n);
    for (std::size_t i = 0; i < n; ++i) az[i] = 360.0 * i / n;
    EXPECT_EQ(gwGeodesicDirect(g, n, &lat0, 0, &lon0, 0, az.data(), kD, &dist, 0, la2.data(), kD, lo2.data(), kD,
                               nullptr),
              n);
    for (std::size_t i = 0; i < n; ++i) {
        double la = 0, lo = 0;
        direct(lat0, lon0, az[i], dist, &la, &lo);
        EXPECT_EQ(la2[i], la);
        EXPECT_EQ(lo2[i], lo);
    }

    // A negative stride walks the array backwards.
    std::vector<double> rev(n);
    EXPECT_EQ(gwGeoToGrid(g, n, &rec[n - 1].lat, -static_cast<ptrdiff_t>(sizeof(Record)), &rec[n - 1].lon,
                          -static_cast<ptrdiff_t>(sizeof(Record)), rev.data(), kD, b.data(), kD, nullptr),
              n);
    for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(rev[i], rec[n - 1 - i].north);
    gwGeodesyFree(g);
}

// Bad calls return 0 and write nothing.
TEST_F(BatchTest, BadCallsWriteNothing) {
    GwGeodesy* g = load(kCases[0]);
    ASSERT_NE(g, nullptr);
    double in[2] = {45, 9};
    double out[2] = {-7, -7};
    int st[2] = {-7, -7};
    struct Call {
        const char* what;
        const GwGeodesy* g;
        size_t n;
        const double* in;
        double* out;
        size_t expected;
    };
    const Call calls[] = {
        {"null handle", nullptr, 2, in, out, 0},
        {"null input", g, 2, nullptr, out, 0},
        {"null output", g, 2, in, nullptr, 0},
        {"count 0", g, 0, in, out, 0},
    };
    for (const Call& c : calls) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(gwGeoToGrid(c.g, c.n, c.in, kD, in + 1, kD, c.out, kD, out + 1, kD, st), c.expected);
        EXPECT_EQ(gwGeodesicInverse(c.g, c.n, c.in, kD, in, kD, in, kD, in, kD, c.out, kD, out, kD, st), c.expected);
        EXPECT_EQ(gwWgs84ToWorking(c.g, c.n, c.in, kD, in, kD, in, kD, c.out, kD, out, kD, nullptr, 0, st),
                  c.expected);
        EXPECT_EQ(out[0], -7);
        EXPECT_EQ(out[1], -7);
        EXPECT_EQ(st[0], -7);
        EXPECT_EQ(st[1], -7);
        if (c.n != 0) {
            EXPECT_STRNE(gwLastError(), "");
        }
    }
    gwGeodesyFree(g);
    gwGeodesyFree(nullptr);
}

// Several threads convert on one handle at once and get the serial results.
TEST_F(BatchTest, ThreadsShareOneHandle) {
    TierScope scalar(SimdTier::scalar);
    GwGeodesy* g = load(kCases[0]);
    ASSERT_NE(g, nullptr);
    const Points p = randomPoints(kCases[0], 20000, 3);
    const std::size_t n = p.lat.size();
    std::vector<double> serialLat(n), serialLon(n);
    gwGridToGeo(g, n, p.north.data(), kD, p.east.data(), kD, serialLat.data(), kD, serialLon.data(), kD, nullptr);
    std::vector<double> lat(n), lon(n), az(n), dist(n);
    std::vector<std::thread> threads;
    constexpr int kThreads = 4;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const std::size_t from = n * t / kThreads, to = n * (t + 1) / kThreads;
            for (int round = 0; round < 3; ++round) {
                gwGridToGeo(g, to - from, &p.north[from], kD, &p.east[from], kD, &lat[from], kD, &lon[from], kD,
                            nullptr);
                gwGeodesicInverse(g, to - from, &p.lat[from], kD, &p.lon[from], kD, &lat[from], kD, &lon[from], kD,
                                  &az[from], kD, &dist[from], kD, nullptr);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_TRUE(same(lat[i], serialLat[i]) && same(lon[i], serialLon[i])) << i;
        EXPECT_LT(dist[i], 0.01) << i; // the round trip comes back to within millimetres
    }
    gwGeodesyFree(g);
}

// Settings: a missing file or section is refused with a reason; a bare name is a
// file of the settings folder; copies are independent.
TEST_F(BatchTest, FromSettingsRefusesWhatIsNotThereAndCopiesStandAlone) {
    EXPECT_EQ(gwGeodesyFromSettings(dir.file("none.ini").c_str(), "tm"), nullptr);
    EXPECT_NE(std::string(gwLastError()).find("none.ini"), std::string::npos);
    EXPECT_EQ(gwGeodesyFromSettings(file.c_str(), "nowhere"), nullptr);
    EXPECT_NE(std::string(gwLastError()).find("nowhere"), std::string::npos);
    EXPECT_EQ(gwGeodesyFromSettings(nullptr, "tm"), nullptr);
    EXPECT_EQ(gwGeodesyFromSettings(file.c_str(), nullptr), nullptr);
    EXPECT_EQ(gwGeodesyFromSettings(dir.file("").c_str(), "tm"), nullptr); // a folder

    const std::string bare = gw::resolveSettingsPath("batch-test.ini");
    std::filesystem::create_directories(std::filesystem::path(bare).parent_path());
    writeFile(bare, "[Job]\nGeodesyType=7\n");
    GwGeodesy* rd = gwGeodesyFromSettings("batch-test.ini", "JOB"); // sections match without regard to case
    ASSERT_NE(rd, nullptr) << gwLastError();
    std::filesystem::remove(bare);

    GwGeodesy* copy = gwGeodesyCopy(rd);
    ASSERT_NE(copy, nullptr);
    gwGeodesyFree(rd);
    const double lat = 52, lon = 5;
    double north = 0, east = 0;
    EXPECT_EQ(gwGeoToGrid(copy, 1, &lat, kD, &lon, kD, &north, kD, &east, kD, nullptr), 1u);
    EXPECT_NEAR(north, 445698.80, 0.01);
    EXPECT_NEAR(east, 128383.47, 0.01);
    gwGeodesyFree(copy);
    EXPECT_EQ(gwGeodesyCopy(nullptr), nullptr);
}

// Text: the parts of a projection-list entry; garbage is refused with a reason,
// and the reason is kept per thread.
TEST_F(BatchTest, FromTextBuildsEveryTypeAndRefusesGarbage) {
    const char* ed50 = "International,6378388,297,ED50,-87,-98,-121,0.0000012,0.0001,-0.0002,0.00015";
    struct Good {
        const char* init;
        const char* datum;
        const char* section; // the same projection in the settings
    };
    const Good good[] = {
        {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", ed50, "tm"},
        {"1,California 6,N32 47,N33 53,W116 15,N32 10,0,0,0", nullptr, "lambert"},
        {"4,Universal Polar Stereo,E000 00,N90 00,0.994000,2000000.000,2000000.000,0", "", "polar"},
        {"7,RD Projection", nullptr, "rd"},
        {"5,Flat,52,4,", nullptr, "local"},
    };
    for (const Good& t : good) {
        SCOPED_TRACE(t.init);
        GwGeodesy* g = gwGeodesyFromText(t.init, t.datum);
        ASSERT_NE(g, nullptr) << gwLastError();
        const Case* c = &caseNamed(t.section);
        GwGeodesy* ref = load(*c);
        const Points p = randomPoints(*c, 50, 11);
        std::vector<double> n1(50), e1(50), n2(50), e2(50);
        EXPECT_EQ(gwGeoToGrid(g, 50, p.lat.data(), kD, p.lon.data(), kD, n1.data(), kD, e1.data(), kD, nullptr), 50u);
        gwGeoToGrid(ref, 50, p.lat.data(), kD, p.lon.data(), kD, n2.data(), kD, e2.data(), kD, nullptr);
        for (int i = 0; i < 50; ++i) {
            EXPECT_NEAR(n1[i], n2[i], 1e-6);
            EXPECT_NEAR(e1[i], e2[i], 1e-6);
        }
        if (t.datum == ed50) {
            double la = 0, lo = 0;
            gwWorkingToWgs84(g, 1, &p.lat[0], kD, &p.lon[0], kD, &p.lat[0], kD, &la, kD, &lo, kD, nullptr, 0,
                             nullptr);
            double la2 = 0, lo2 = 0;
            gwWorkingToWgs84(ref, 1, &p.lat[0], kD, &p.lon[0], kD, &p.lat[0], kD, &la2, kD, &lo2, kD, nullptr, 0,
                             nullptr);
            EXPECT_NEAR(la, la2, 1e-12);
            EXPECT_NEAR(lo, lo2, 1e-12);
        }
        gwGeodesyFree(ref);
        gwGeodesyFree(g);
    }

    struct Bad {
        const char* init;
        const char* datum;
        const char* reason; // part of the reason
    };
    const Bad bad[] = {
        {nullptr, nullptr, "initialisation"},
        {"", nullptr, "initialisation"},
        {"hello world", nullptr, "type code"},
        {"2,UTM,E9,0,500000,0.9996,0,0", nullptr, "names no projection"},
        {"0x1,UTM,E9,0,500000,0.9996,0,0", nullptr, "type code"},
        {"0,UTM,E9,0,500000", nullptr, "fields"},
        {"0,UTM,E9,0,500000,0.9996,0,0,7,8", nullptr, "fields"},
        {"5,Flat,52", nullptr, "fields"},
        {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", "WGS 84,6378137", "11"},
        {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", "WGS 84,abc,298.257223563,WGS 84,0,0,0,0,0,0,0", "semi-major"},
        {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", "WGS 84,6378137,0,WGS 84,0,0,0,0,0,0,0", "flattening"},
        {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", "WGS 84,6378137,298.257223563,WGS 84,1e400,0,0,0,0,0,0", "dX"},
        {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", "WGS 84,6378137,298.257223563,WGS 84,0,0,0,5,0,0,0", "scale"},
        {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", "WGS 84,6378137,298.257223563,WGS 84,0,0,0,0,x,0,0", "rX"},
    };
    for (const Bad& t : bad) {
        SCOPED_TRACE(std::string(t.init ? t.init : "(null)") + " / " + (t.datum ? t.datum : "(null)"));
        EXPECT_EQ(gwGeodesyFromText(t.init, t.datum), nullptr);
        EXPECT_NE(std::string(gwLastError()).find(t.reason), std::string::npos) << gwLastError();
    }

    // Another thread has its own reason.
    std::string other = "unset";
    std::thread([&] { other = gwLastError(); }).join();
    EXPECT_EQ(other, "");
}

// Each vector instruction set the processor has gives the scalar kernels' results
// to within 1e-8 m and 1e-13 degree, with the same statuses, on random points of
// the zone and six degrees beyond, also on a flat ellipsoid where the footpoint
// iteration runs to its cap.
TEST_F(BatchTest, VectorKernelsAgreeWithTheScalarSteps) {
    constexpr std::size_t n = 100003; // not a whole number of vectors
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> lat(-80, 84), dlon(-6, 6), noise(-50, 50);
    for (const char* section : {"tm", "tmFlat"}) {
        SCOPED_TRACE(section);
        loadGeoData(const_cast<char*>(section), file.data());
        GwGeodesy* g = gwGeodesyFromSettings(file.c_str(), section);
        ASSERT_NE(g, nullptr);
        std::vector<double> la(n), lo(n), no(n), ea(n);
        for (std::size_t i = 0; i < n; ++i) {
            la[i] = lat(rng);
            lo[i] = (std::string(section) == "tm" ? 9 : -117) + dlon(rng);
            // Grid points of the same region, a little off the converted ones.
            geoToGrid(la[i], lo[i], &no[i], &ea[i]);
            no[i] += noise(rng);
            ea[i] += noise(rng);
        }
        auto runAll = [&](std::vector<double>* out, std::vector<int>* st) {
            gwGeoToGrid(g, n, la.data(), kD, lo.data(), kD, out[0].data(), kD, out[1].data(), kD, st[0].data());
            gwGridToGeo(g, n, no.data(), kD, ea.data(), kD, out[2].data(), kD, out[3].data(), kD, st[1].data());
        };
        std::vector<double> ref[4], got[4];
        std::vector<int> refSt[2], gotSt[2];
        for (auto* v : {ref, got})
            for (int k = 0; k < 4; ++k) v[k].resize(n);
        for (auto* v : {refSt, gotSt})
            for (int k = 0; k < 2; ++k) v[k].resize(n);
        {
            TierScope scalar(SimdTier::scalar);
            runAll(ref, refSt);
        }
        gwtest::forEachTier(SimdTier::sse2, [&](SimdTier) {
            runAll(got, gotSt);
            std::size_t statusDiffers = 0;
            double worst[4] = {0, 0, 0, 0};
            for (std::size_t i = 0; i < n; ++i) {
                for (int c = 0; c < 2; ++c) {
                    if (gotSt[c][i] != refSt[c][i]) {
                        ++statusDiffers;
                        continue;
                    }
                    if (refSt[c][i] != 0) continue;
                    for (int k = 2 * c; k < 2 * c + 2; ++k)
                        worst[k] = std::max(worst[k], std::fabs(got[k][i] - ref[k][i]));
                }
            }
            EXPECT_LE(statusDiffers, n / 10000);
            EXPECT_LE(worst[0], 1e-8);
            EXPECT_LE(worst[1], 1e-8);
            EXPECT_LE(worst[2], 1e-13);
            EXPECT_LE(worst[3], 1e-13);
        });
        gwGeodesyFree(g);
    }
}

// The RD series on vectors are the one-point results bit for bit, in every
// instruction set the processor has.
TEST_F(BatchTest, VectorRdSeriesAreTheOnePointResults) {
    const Case& rd = kCases[6];
    ASSERT_STREQ(rd.section, "rd");
    GwGeodesy* g = load(rd);
    ASSERT_NE(g, nullptr);
    constexpr std::size_t n = 10007;
    const Points p = randomPoints(rd, n, 13);
    std::vector<double> back[2];
    for (auto& v : back) {
        v.resize(n);
    }
    for (std::size_t i = 0; i < n; ++i) gridToGeo(p.north[i], p.east[i], &back[0][i], &back[1][i]);
    gwtest::forEachTier(SimdTier::scalar, [&](SimdTier) {
        std::vector<double> a(n), b(n);
        EXPECT_EQ(gwGeoToGrid(g, n, p.lat.data(), kD, p.lon.data(), kD, a.data(), kD, b.data(), kD, nullptr), n);
        for (std::size_t i = 0; i < n; ++i) ASSERT_TRUE(same(a[i], p.north[i]) && same(b[i], p.east[i])) << i;
        EXPECT_EQ(gwGridToGeo(g, n, p.north.data(), kD, p.east.data(), kD, a.data(), kD, b.data(), kD, nullptr), n);
        for (std::size_t i = 0; i < n; ++i) ASSERT_TRUE(same(a[i], back[0][i]) && same(b[i], back[1][i])) << i;
    });
    gwGeodesyFree(g);
}

// The conformal projections and the datum shift on vectors agree with the scalar
// kernels (the one-point conversions) in every instruction set: the same statuses,
// grid within 1e-8 m, angles within 1e-13 degrees, heights within 1e-8 m. The grid
// points are those of the region, a little off, and some far beyond the frame and
// the apex; the geographic ones include the poles, the other hemisphere and
// longitudes of many turns.
TEST_F(BatchTest, ConformalAndShiftKernelsAgreeWithTheOnePointSteps) {
    constexpr std::size_t n = 40009;
    for (const char* section : {"lambert", "lambertSouth", "polar", "polarSouth", "tm"}) {
        SCOPED_TRACE(section);
        const Case* c = &caseNamed(section);
        GwGeodesy* g = load(*c);
        ASSERT_NE(g, nullptr);
        Points p = randomPoints(*c, n, 29);
        std::mt19937_64 rng(31);
        std::uniform_real_distribution<double> noise(-50, 50), far(-2e7, 2e7);
        for (std::size_t i = 0; i < n; ++i) {
            p.north[i] += noise(rng);
            p.east[i] += noise(rng);
            if (i % 97 == 0) p.north[i] = far(rng);
            if (i % 89 == 0) p.east[i] = far(rng);
        }
        const double edgeLats[] = {90, -90, 0, 89.999999, -89.999999, 45, -45};
        for (std::size_t i = 0; i < 7; ++i) p.lat[i * 13] = edgeLats[i];
        p.lon[5] = 7200.5;
        p.lon[6] = -1e6;
        const double zero = 0;
        auto runAll = [&](std::vector<double>* out, std::vector<int>* st) {
            gwGeoToGrid(g, n, p.lat.data(), kD, p.lon.data(), kD, out[0].data(), kD, out[1].data(), kD, st[0].data());
            gwGridToGeo(g, n, p.north.data(), kD, p.east.data(), kD, out[2].data(), kD, out[3].data(), kD,
                        st[1].data());
            gwWorkingToWgs84(g, n, p.lat.data(), kD, p.lon.data(), kD, &zero, 0, out[4].data(), kD, out[5].data(), kD,
                             out[6].data(), kD, st[2].data());
            gwWgs84ToWorking(g, n, p.lat.data(), kD, p.lon.data(), kD, &zero, 0, out[7].data(), kD, out[8].data(), kD,
                             out[9].data(), kD, st[3].data());
        };
        // Which outputs each status covers, and the bound of each output.
        const int call[10] = {0, 0, 1, 1, 2, 2, 2, 3, 3, 3};
        const double bound[10] = {1e-8, 1e-8, 1e-13, 1e-13, 1e-13, 1e-13, 1e-8, 1e-13, 1e-13, 1e-8};
        std::vector<double> ref[10], got[10];
        std::vector<int> refSt[4], gotSt[4];
        for (auto* v : {ref, got})
            for (int k = 0; k < 10; ++k) v[k].resize(n);
        for (auto* v : {refSt, gotSt})
            for (int k = 0; k < 4; ++k) v[k].resize(n);
        {
            TierScope scalar(SimdTier::scalar);
            runAll(ref, refSt);
        }
        gwtest::forEachTier(SimdTier::sse2, [&](SimdTier) {
            runAll(got, gotSt);
            for (int c2 = 0; c2 < 4; ++c2)
                for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(gotSt[c2][i], refSt[c2][i]) << "call " << c2 << " point " << i;
            // (The Transverse Mercator's own kernels are compared above.)
            for (int k = std::string(section) == "tm" ? 4 : 0; k < 10; ++k) {
                double worst = 0;
                std::size_t worstAt = 0;
                for (std::size_t i = 0; i < n; ++i) {
                    if (refSt[call[k]][i] != 0) {
                        EXPECT_TRUE(std::isnan(got[k][i]));
                        continue;
                    }
                    // Longitudes near the +-180 meridian may come out a whole turn apart.
                    double diff = std::fabs(got[k][i] - ref[k][i]);
                    if ((k == 5 || k == 8) && std::fabs(diff - 360) < 1e-9) diff = std::fabs(diff - 360);
                    if (diff > worst) {
                        worst = diff;
                        worstAt = i;
                    }
                }
                EXPECT_LE(worst, bound[k]) << "output " << k << " point " << worstAt << ": " << ref[k][worstAt];
            }
        });
        gwGeodesyFree(g);
    }
}
