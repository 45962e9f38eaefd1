// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Helpers shared by the fuzz programs.
#ifndef GRIDWISE_TESTS_FUZZ_FUZZSUPPORT_H
#define GRIDWISE_TESTS_FUZZ_FUZZSUPPORT_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

namespace fz {

// A copy of bytes in a heap block of exactly their size plus a terminator, so that
// AddressSanitizer reports any read or write beyond the terminator. The text ends
// at the first NUL byte of the input, as a C caller's would.
class ExactText {
public:
    ExactText(const std::uint8_t* data, std::size_t size) : size_(size), bytes_(new char[size + 1]) {
        if (size) std::memcpy(bytes_.get(), data, size);
        bytes_[size] = '\0';
    }
    explicit ExactText(const std::string& s)
        : ExactText(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()) {}
    char* get() { return bytes_.get(); }
    std::size_t size() const { return size_; } // bytes before the added terminator
    std::size_t length() const { return std::strlen(bytes_.get()); }

private:
    std::size_t size_;
    std::unique_ptr<char[]> bytes_;
};

// Reads values off the front of the input (zero when it is used up).
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() {
        if (!size_) return 0;
        --size_;
        return *data_++;
    }
    double real() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = bits << 8 | byte();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(data_), size_);
        data_ += size_;
        size_ = 0;
        return s;
    }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

[[noreturn]] inline void fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz check failed: %s %s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void check(bool ok, const char* what, const std::string& detail = {}) {
    if (!ok) fail(what, detail);
}

// A private scratch folder for this process, in memory when /dev/shm exists; it is
// also the settings folder for bare file names. Removed at exit.
inline const std::string& scratchDir() {
    static const std::string dir = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/gridwise-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) fail("mkdtemp");
        setenv("GRIDWISE_SETTINGS_DIR", pattern.c_str(), 1);
        static std::string keep = pattern;
        std::atexit([] { std::string cmd = "rm -rf '" + keep + "'"; (void)std::system(cmd.c_str()); });
        return pattern;
    }();
    return dir;
}

inline std::string writeFile(const std::string& name, const std::string& content) {
    const std::string path = scratchDir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) fail("cannot write", path);
    return path;
}

inline std::string hex(const std::string& s) {
    std::string out;
    char b[4];
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(b, sizeof b, "\\%02x", c);
            out += b;
        }
    }
    return out;
}

} // namespace fz

#endif
