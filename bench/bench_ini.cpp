// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Settings-file reads: a section loaded key by key from a 1 MB file.
#include "platform/IniFile.h"

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kKeys = 30;

struct BigFile {
    std::string dir;
    std::string path;
    std::vector<std::string> keys;

    BigFile() {
        char tmpl[] = "/tmp/gw-bench-ini-XXXXXX";
        if (::mkdtemp(tmpl) == nullptr) std::abort();
        dir = tmpl;
        path = dir + "/big.ini";
        std::string text = "; a large settings file\n";
        int section = 0;
        // About 1 MB: many sections of the usual kind, the one we read in the middle.
        while (text.size() < 1'000'000) {
            text += "[Job" + std::to_string(section) + "]\n";
            if (section == 1000) {
                for (int k = 0; k < kKeys; ++k) {
                    keys.push_back("key" + std::to_string(k));
                    text += "key" + std::to_string(k) + "=" + std::to_string(k * 1.25) + "\n";
                }
            } else {
                for (int k = 0; k < 25; ++k) text += "falseEast" + std::to_string(k) + "=500000.000\n";
            }
            text += "\n";
            ++section;
        }
        std::ofstream(path, std::ios::binary) << text;
        age(3600);
    }
    ~BigFile() {
        std::string cmd = "rm -rf '" + dir + "'";
        if (std::system(cmd.c_str()) != 0) {
        }
    }
    // Sets the modification time some seconds back; a new value tells the reader the
    // file changed.
    void age(long seconds) const {
        timespec t[2];
        t[0].tv_sec = std::time(nullptr) - seconds;
        t[0].tv_nsec = 0;
        t[1] = t[0];
        ::utimensat(AT_FDCWD, path.c_str(), t, 0);
    }
};

BigFile& bigFile() {
    static BigFile file;
    return file;
}

void read30(const BigFile& f, benchmark::State& state) {
    for (const std::string& key : f.keys) {
        std::string v = gw::iniGetString("job1000", key.c_str(), "", f.path.c_str());
        if (v.empty()) state.SkipWithError("key not found");
        benchmark::DoNotOptimize(v);
    }
}

// The usual case: the file has not changed since it was last read.
void BM_Ini30Reads_Unchanged(benchmark::State& state) {
    BigFile& f = bigFile();
    read30(f, state);
    for (auto _ : state) read30(f, state);
    state.counters["file_bytes"] = 0;
    struct stat st{};
    if (::stat(f.path.c_str(), &st) == 0) state.counters["file_bytes"] = static_cast<double>(st.st_size);
}
BENCHMARK(BM_Ini30Reads_Unchanged)->Unit(benchmark::kMicrosecond);

// The file changed before the first of the 30 reads: one re-read and re-parse.
void BM_Ini30Reads_FileChanged(benchmark::State& state) {
    BigFile& f = bigFile();
    long age = 3600;
    for (auto _ : state) {
        state.PauseTiming();
        f.age(age = age == 3600 ? 3601 : 3600);
        state.ResumeTiming();
        read30(f, state);
    }
}
BENCHMARK(BM_Ini30Reads_FileChanged)->Unit(benchmark::kMicrosecond);

// One integer key read from an unchanged file.
void BM_IniGetInt(benchmark::State& state) {
    BigFile& f = bigFile();
    for (auto _ : state) benchmark::DoNotOptimize(gw::iniGetInt("job1000", "key7", 0, f.path.c_str()));
}
BENCHMARK(BM_IniGetInt);

} // namespace

int main(int argc, char** argv) { return gwbench::runWithRatios(argc, argv, {}); }
