// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Navigation numerics beside their peers: the matrix inverters, the WGS 84
// conversion (GeographicLib's Geocentric), the spike filter, Gaussian deviates
// (std::normal_distribution), the calendar (std::chrono) and the date text
// (strftime / strptime).
#include "gridwise/datetext.h"
#include "gridwise/filters.h"
#include "gridwise/matrix.h"
#include "gridwise/timecal.h"

#include <GeographicLib/Geocentric.hpp>
#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

namespace {

// A well-conditioned n by n matrix (diagonally dominant, symmetric positive
// definite) stored from index `base`.
std::vector<std::vector<double>> sample(int n) {
    std::mt19937 rng(n);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<std::vector<double>> m(n, std::vector<double>(n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) m[i][j] = m[j][i] = u(rng) + (i == j ? n + 1.0 : 0.0);
    return m;
}

// Each iteration copies the matrix back (n^2) and inverts it (n^3).
template <typename Invert>
void invertBench(benchmark::State& state, int base, Invert invert) {
    const int n = int(state.range(0));
    const auto src = sample(n);
    double** a = dMatrix(n + base, n + base);
    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) a[i + base][j + base] = src[i][j];
        invert(a, n);
        benchmark::DoNotOptimize(a[base][base]);
    }
    freeDMatrix(a, n + base);
}

void BM_dInvert(benchmark::State& s) { invertBench(s, 1, [](double** a, int n) { dInvert(a, n); }); }
void BM_gaussj(benchmark::State& s) { invertBench(s, 0, [](double** a, int n) { gaussj(a, n); }); }
void BM_spdinv(benchmark::State& s) { invertBench(s, 0, [](double** a, int n) { spdinv(a, n); }); }
BENCHMARK(BM_dInvert)->Arg(4)->Arg(8)->Arg(16)->Arg(64);
BENCHMARK(BM_gaussj)->Arg(4)->Arg(8)->Arg(16)->Arg(64);
BENCHMARK(BM_spdinv)->Arg(4)->Arg(8)->Arg(16)->Arg(64);

// The copy alone, to take out of the figures above.
void BM_matrixCopyOnly(benchmark::State& state) {
    invertBench(state, 0, [](double**, int) {});
}
BENCHMARK(BM_matrixCopyOnly)->Arg(4)->Arg(8)->Arg(16)->Arg(64);

void BM_conv_toCartesian(benchmark::State& state) {
    double lat = 0.9, lon = 0.1, h = 100, x, y, z;
    for (auto _ : state) {
        conv(&lat, &lon, &h, &x, &y, &z, 2);
        benchmark::DoNotOptimize(x);
        lat += 1e-9;
    }
}
void BM_conv_toGeographic(benchmark::State& state) {
    double lat, lon, h, x = 3.9e6, y = 3e5, z = 5.0e6;
    for (auto _ : state) {
        conv(&lat, &lon, &h, &x, &y, &z, 1);
        benchmark::DoNotOptimize(lat);
        z += 1e-3;
    }
}
void BM_peer_Geocentric_Forward(benchmark::State& state) {
    const auto& g = GeographicLib::Geocentric::WGS84();
    double lat = 51.5, x, y, z;
    for (auto _ : state) {
        g.Forward(lat, 5.7, 100, x, y, z);
        benchmark::DoNotOptimize(x);
        lat += 1e-9;
    }
}
void BM_peer_Geocentric_Reverse(benchmark::State& state) {
    const auto& g = GeographicLib::Geocentric::WGS84();
    double lat, lon, h, z = 5.0e6;
    for (auto _ : state) {
        g.Reverse(3.9e6, 3e5, z, lat, lon, h);
        benchmark::DoNotOptimize(lat);
        z += 1e-3;
    }
}
BENCHMARK(BM_conv_toCartesian);
BENCHMARK(BM_peer_Geocentric_Forward);
BENCHMARK(BM_conv_toGeographic);
BENCHMARK(BM_peer_Geocentric_Reverse);

// addData with a full ring of 20 samples (20 collected, heapsort, median).
void BM_FilterData_addData(benchmark::State& state) {
    FilterData f(20, 1e12);
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(9, 11);
    double t = 0;
    for (int k = 0; k < 20; ++k) f.addData(u(rng), t++, 1.0, 20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.addData(u(rng), t++, 1.0, 20));
    }
}
BENCHMARK(BM_FilterData_addData);

void BM_gasdev(benchmark::State& state) {
    int seed = -1;
    for (auto _ : state) benchmark::DoNotOptimize(gasdev(&seed));
    state.SetItemsProcessed(state.iterations());
}
void BM_peer_std_normal_mt19937(benchmark::State& state) {
    std::mt19937 rng(1);
    std::normal_distribution<double> nd;
    for (auto _ : state) benchmark::DoNotOptimize(nd(rng));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_gasdev);
BENCHMARK(BM_peer_std_normal_mt19937);

void BM_yearMonthDayToDos(benchmark::State& state) {
    int d = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(yearMonthDayToDos(2014, 1, d, 13, 5, 7.4));
        d = d % 28 + 1;
    }
}
void BM_peer_chrono_civil_to_seconds(benchmark::State& state) {
    using namespace std::chrono;
    unsigned d = 1;
    for (auto _ : state) {
        const sys_days sd = year{2014} / January / day{d};
        benchmark::DoNotOptimize(double((sd.time_since_epoch().count())) * 86400 + 3600 * 13 + 60 * 5 + 7.4);
        d = d % 28 + 1;
    }
}
void BM_dosToYearMonthDay(benchmark::State& state) {
    double t = 1390655107.4;
    int y, mo, d, h, mi;
    double s;
    for (auto _ : state) {
        dosToYearMonthDay(t, &y, &mo, &d, &h, &mi, &s);
        benchmark::DoNotOptimize(d);
        t += 86400.5;
    }
}
void BM_peer_chrono_seconds_to_civil(benchmark::State& state) {
    using namespace std::chrono;
    long long t = 1390655107;
    for (auto _ : state) {
        const sys_seconds ss{seconds{t}};
        const sys_days sd = floor<days>(ss);
        const year_month_day ymd{sd};
        const hh_mm_ss hms{ss - sd};
        benchmark::DoNotOptimize(ymd);
        benchmark::DoNotOptimize(hms);
        t += 86401;
    }
}
BENCHMARK(BM_yearMonthDayToDos);
BENCHMARK(BM_peer_chrono_civil_to_seconds);
BENCHMARK(BM_dosToYearMonthDay);
BENCHMARK(BM_peer_chrono_seconds_to_civil);

void BM_timeToStr(benchmark::State& state) {
    char buf[20];
    double t = 1390655107.4;
    for (auto _ : state) {
        timeToStr(buf, t);
        benchmark::DoNotOptimize(buf);
        t += 3661.1;
    }
}
void BM_peer_strftime(benchmark::State& state) {
    char buf[32];
    time_t t = 1390655107;
    for (auto _ : state) {
        struct tm tmv;
        gmtime_r(&t, &tmv);
        strftime(buf, sizeof buf, "%m-%d-%y %H:%M:%S", &tmv);
        benchmark::DoNotOptimize(buf);
        t += 3661;
    }
}
void BM_strToTime(benchmark::State& state) {
    const char* text = "01-25-14 13:05:07.4";
    for (auto _ : state) benchmark::DoNotOptimize(strToTime(text));
}
void BM_peer_strptime_timegm(benchmark::State& state) {
    const char* text = "01-25-14 13:05:07";
    for (auto _ : state) {
        struct tm tmv;
        std::memset(&tmv, 0, sizeof tmv);
        strptime(text, "%m-%d-%y %H:%M:%S", &tmv);
        benchmark::DoNotOptimize(timegm(&tmv));
    }
}
BENCHMARK(BM_timeToStr);
BENCHMARK(BM_peer_strftime);
BENCHMARK(BM_strToTime);
BENCHMARK(BM_peer_strptime_timegm);

} // namespace

int main(int argc, char** argv) {
    return gwbench::runWithRatios(argc, argv, {
        {"BM_conv_toCartesian", "BM_peer_Geocentric_Forward"},
        {"BM_conv_toGeographic", "BM_peer_Geocentric_Reverse"},
        {"BM_gasdev", "BM_peer_std_normal_mt19937"},
        {"BM_yearMonthDayToDos", "BM_peer_chrono_civil_to_seconds"},
        {"BM_dosToYearMonthDay", "BM_peer_chrono_seconds_to_civil"},
        {"BM_timeToStr", "BM_peer_strftime"},
        {"BM_strToTime", "BM_peer_strptime_timegm"}
    });
}
