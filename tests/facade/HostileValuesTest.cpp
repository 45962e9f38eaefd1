// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Every conversion and solver fed NaN, infinities, +-1e308, denormals and signed
// zeros: each call returns (the test runner's timeout catches a loop without a
// cap), nothing is written outside the outputs (the sanitizer builds watch), and
// the batch conversions give status 1 and NaN outputs for non-finite inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "facade/GeodesyHandle.h"
#include "facade/Geodetics.h"
#include "gridwise/angleutil.h"
#include "gridwise/batch.h"
#include "gridwise/filters.h"
#include "gridwise/matrix.h"
#include "gridwise/timecal.h"
#include "support/SettingsFiles.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kHostile[] = {kNaN, kInf, -kInf, 1e308, -1e308, 5e-324, -5e-324, 0.0, -0.0, 90.0, -90.0, 180.0, 1e10};

// One section per projection type (the keys each reads; missing keys give defaults).
const char* const kSections[] = {
    "GeodesyType=0\n",
    "GeodesyType=1\nlatOfOrigin=N33 30.0000\nlonOfOrigin=W118 00.0000\nfirstParallel=N34 02.0000\n"
    "secondParallel=N35 28.0000\n",
    "GeodesyType=1\nlatOfOrigin=S33 30.0000\nfirstParallel=S34 02.0000\nsecondParallel=S35 28.0000\n",
    "GeodesyType=4\n",
    "GeodesyType=4\nlatOfOrigin=S90 00.0000\n",
    "GeodesyType=7\n",
    "GeodesyType=5\nlocalCenterLat=52.0\nlocalCenterLon=4.0\n",
    "GeodesyType=3\n",
    "GeodesyType=6\nlocalCenterLat=34.0102\nlocalCenterLon=-118.4956\nlocalEndLat=34.0059\n"
    "localEndLon=-118.5006\nlocalGeodesyType=0\noriginLon=W117 00.0000\n",
    // A datum with a seven-parameter shift.
    "GeodesyType=0\naAxis=6378388.0\ninverseFlattening=297.0\ndeltaX=-87\ndeltaY=-98\ndeltaZ=-121\n"
    "scalar=0.0000012\nrotX=0.0001\nrotY=-0.0002\nrotZ=0.0003\n",
};

class HostileValuesTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        std::string file = dir.file("hostile.ini");
        std::ofstream(file) << "[S]\n" << GetParam();
        char section[] = "S";
        geo.loadData(section, file.data());
        ASSERT_NE(geo.projection, nullptr);
    }

    gwtest::TempDir dir;
    Geodetics geo;
};

} // namespace

// Every call returns; a NaN in the datum shifts or the inverse problem gives NaN
// out, and a NaN start latitude of the direct problem a NaN end latitude.
TEST_P(HostileValuesTest, OnePointConversionsReturn) {
    double r1 = 0, r2 = 0, r3 = 0;
    for (double a : kHostile) {
        for (double b : kHostile) {
            const bool nan = std::isnan(a) || std::isnan(b);
            geo.geoToGrid(a, b, r1, r2);
            geo.gridToGeo(a, b, r1, r2);
            (void)geo.lineScale(a, b, b, a);
            (void)geo.converge(a, b);
            geo.wgs84ToWorking(a, b, a, r1, r2, r3);
            EXPECT_TRUE(!nan || (std::isnan(r1) && std::isnan(r2))) << "wgs84ToWorking " << a << " " << b;
            geo.workingToWgs84(a, b, b, r1, r2, r3);
            EXPECT_TRUE(!nan || (std::isnan(r1) && std::isnan(r2))) << "workingToWgs84 " << a << " " << b;
            geo.direct(a, b, a, b, r1, r2);
            EXPECT_TRUE(!std::isnan(a) || std::isnan(r1)) << "direct " << a << " " << b;
            geo.direct(45.0, 10.0, a, b, r1, r2);
            geo.inverse(a, b, 45.0, 10.0, r1, r2);
            EXPECT_TRUE(!nan || (std::isnan(r1) && std::isnan(r2))) << "inverse " << a << " " << b;
            geo.inverse(45.0, 10.0, a, b, r1, r2);
            EXPECT_TRUE(!nan || (std::isnan(r1) && std::isnan(r2))) << "inverse to " << a << " " << b;
        }
    }
}

TEST_P(HostileValuesTest, BatchConversionsMarkNonFiniteInputs) {
    std::vector<double> lat, lon;
    for (double a : kHostile)
        for (double b : kHostile) {
            lat.push_back(a);
            lon.push_back(b);
        }
    const std::size_t n = lat.size();
    const GwGeodesy handle{geo, Units()};
    std::vector<double> o1(n), o2(n), o3(n);
    std::vector<int> status(n, -1);
    const std::ptrdiff_t d = sizeof(double);
    auto check = [&](const char* what) {
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_GE(status[i], 0) << what << " " << i;
            ASSERT_LE(status[i], 3) << what << " " << i;
            if (!std::isfinite(lat[i]) || !std::isfinite(lon[i])) {
                EXPECT_EQ(status[i], GW_STATUS_NOT_FINITE) << what << " " << lat[i] << " " << lon[i];
            }
            if (status[i] != 0) {
                EXPECT_TRUE(std::isnan(o1[i]) && std::isnan(o2[i])) << what << " " << lat[i] << " " << lon[i];
            }
        }
    };
    gwGeoToGrid(&handle, n, lat.data(), d, lon.data(), d, o1.data(), d, o2.data(), d, status.data());
    check("gwGeoToGrid");
    gwGridToGeo(&handle, n, lat.data(), d, lon.data(), d, o1.data(), d, o2.data(), d, status.data());
    check("gwGridToGeo");
    gwWgs84ToWorking(&handle, n, lat.data(), d, lon.data(), d, lat.data(), d, o1.data(), d, o2.data(), d, o3.data(),
                     d, status.data());
    check("gwWgs84ToWorking");
    gwWorkingToWgs84(&handle, n, lat.data(), d, lon.data(), d, lon.data(), d, o1.data(), d, o2.data(), d, nullptr, 0,
                     status.data());
    check("gwWorkingToWgs84");
    gwGeodesicInverse(&handle, n, lat.data(), d, lon.data(), d, lon.data(), d, lat.data(), d, o1.data(), d,
                      o2.data(), d, status.data());
    check("gwGeodesicInverse");
    gwGeodesicDirect(&handle, n, lat.data(), d, lon.data(), d, lat.data(), d, lon.data(), d, o1.data(), d, o2.data(),
                     d, status.data());
    check("gwGeodesicDirect");
    gwConvergence(&handle, n, lat.data(), d, lon.data(), d, o1.data(), d, status.data());
    o2 = o1;
    check("gwConvergence");
    gwPointScale(&handle, n, lat.data(), d, lon.data(), d, o1.data(), d, status.data());
    o2 = o1;
    check("gwPointScale");
}

INSTANTIATE_TEST_SUITE_P(EveryProjectionType, HostileValuesTest, ::testing::ValuesIn(kSections));

TEST(HostileValues, SolversAndNumericsReturn) {
    for (double v : kHostile) {
        // Cartesian to geographic: the latitude iteration has a cap.
        double lat = 0, lon = 0, h = 0, x = v, y = v, z = v;
        conv(&lat, &lon, &h, &x, &y, &z, 1);
        const bool geographicNaN = std::isnan(lat) && std::isnan(lon) && std::isnan(h);
        lat = v, lon = v, h = v;
        conv(&lat, &lon, &h, &x, &y, &z, 2);

        double** m = dMatrix(3, 3);
        ASSERT_NE(m, nullptr);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) m[i][j] = (i == j) ? v : 1.0;
        (void)gaussj(m, 3);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) m[i][j] = (i == j) ? 4.0 : v;
        (void)spdinv(m, 3);
        dInvert(m, 3);
        freeDMatrix(m, 3);

        double xs[7] = {1, 2, v, 4, 5, v, 7};
        double ys[7] = {v, 2, 3, v, 5, 6, 7};
        double median = 0, a = 0, b = 0, abdev = 0;
        centTend(xs, 7, &median);
        centTendFit(xs, ys, 7, &a, &b, &abdev);

        FilterData filter(5, v);
        for (int i = 0; i < 12; ++i) (void)filter.addData(i % 3 ? v : 1.0, i % 2 ? v : i, v, 5);

        int year = 0, day = 0, month = 0, hour = 0, minute = 0;
        double second = 0;
        dosToYearMonthDay(v, &year, &month, &day, &hour, &minute, &second);
        dosToYearJulDay(v, &year, &day, &hour, &minute, &second);
        (void)gpsToDos(v, v);
        (void)gpsTime(v);

        const double atn = arctan(v, v);
        const double d1 = deltaAngle(v, 10.0), d2 = deltaAngle(10.0, v), d3 = deltaAngle(v, v, v);
        (void)curveDirection(v, 10.0);
        if (std::isnan(v)) {
            // NaN in gives NaN out.
            EXPECT_TRUE(geographicNaN) << "cartesian to geographic";
            EXPECT_TRUE(std::isnan(x) && std::isnan(y) && std::isnan(z)) << "geographic to cartesian";
            EXPECT_TRUE(std::isnan(gpsToDos(v, v)) && std::isnan(gpsTime(v)));
            EXPECT_TRUE(std::isnan(atn) && std::isnan(d1) && std::isnan(d2) && std::isnan(d3));
        }
    }
}
