// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The floor of a line-oriented conversion filter: the cost of reading a file of
// numbers, parsing them and printing two numbers per line, with no conversion in
// between. bench/cli-speed.sh times it beside the gridwise command-line tool so the
// tool's own cost (conversion plus whatever its text handling adds) shows as a ratio.
//
//     cli_floor FIELDS IN OUT [DECIMALS]
//
// reads IN in large blocks (fread), parses FIELDS numbers per line (2 for "lat lon",
// 4 for "lat1 lon1 lat2 lon2") with std::from_chars, and writes the first two of them
// per line with std::to_chars in fixed notation to OUT in large blocks (fwrite).
// DECIMALS is one count for both columns or two separated by a comma ("8,3" for an
// azimuth in degrees beside a distance in metres); the default is 3. Fields are separated by blanks, tabs or commas; empty
// lines and lines starting with '#' are copied; a line whose numbers do not parse
// becomes "ERROR: bad number". It has its own main and does not use Google Benchmark.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 22; // 4 MiB read and write blocks

class Writer {
public:
    explicit Writer(std::FILE* f) : f_(f), buf_(kBlock + 4096) {}
    ~Writer() { flush(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Room for one output line (two numbers of at most a few hundred characters).
    char* reserve() {
        if (used_ > kBlock) flush();
        return buf_.data() + used_;
    }
    char* limit() { return buf_.data() + buf_.size(); }
    void commit(char* end) { used_ = static_cast<std::size_t>(end - buf_.data()); }
    void put(const char* s, std::size_t n) {
        if (used_ + n > buf_.size()) flush();
        if (n > buf_.size()) {
            ok_ = ok_ && std::fwrite(s, 1, n, f_) == n;
            return;
        }
        std::memcpy(buf_.data() + used_, s, n);
        used_ += n;
    }
    void flush() {
        if (used_ != 0) ok_ = ok_ && std::fwrite(buf_.data(), 1, used_, f_) == used_;
        used_ = 0;
    }
    bool ok() const { return ok_; }

private:
    std::FILE* f_;
    std::vector<char> buf_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }

// One line without its newline.
void convertLine(const char* p, const char* end, int fields, const int decimals[2], Writer& out) {
    if (p == end || *p == '#') {
        out.put(p, static_cast<std::size_t>(end - p));
        out.put("\n", 1);
        return;
    }
    double v[4] = {0, 0, 0, 0};
    for (int i = 0; i < fields; ++i) {
        while (p < end && isSeparator(*p)) ++p;
        auto [next, ec] = std::from_chars(p, end, v[i]);
        if (ec != std::errc()) {
            static const char kBad[] = "ERROR: bad number\n";
            out.put(kBad, sizeof kBad - 1);
            return;
        }
        p = next;
    }
    char* o = out.reserve();
    char* lim = out.limit();
    o = std::to_chars(o, lim, v[0], std::chars_format::fixed, decimals[0]).ptr;
    *o++ = ' ';
    o = std::to_chars(o, lim, v[1], std::chars_format::fixed, decimals[1]).ptr;
    *o++ = '\n';
    out.commit(o);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: %s FIELDS IN OUT [DECIMALS]\n", argv[0]);
        return 2;
    }
    const int fields = std::atoi(argv[1]);
    int decimals[2] = {3, 3};
    if (argc == 5) {
        const char* comma = std::strchr(argv[4], ',');
        decimals[0] = std::atoi(argv[4]);
        decimals[1] = comma ? std::atoi(comma + 1) : decimals[0];
    }
    if (fields < 2 || fields > 4 || decimals[0] < 0 || decimals[0] > 17 || decimals[1] < 0 || decimals[1] > 17) {
        std::fprintf(stderr, "FIELDS must be 2..4 and each of DECIMALS 0..17\n");
        return 2;
    }
    std::FILE* in = std::strcmp(argv[2], "-") == 0 ? stdin : std::fopen(argv[2], "rb");
    if (!in) {
        std::perror(argv[2]);
        return 2;
    }
    std::FILE* outFile = std::strcmp(argv[3], "-") == 0 ? stdout : std::fopen(argv[3], "wb");
    if (!outFile) {
        std::perror(argv[3]);
        return 2;
    }

    bool ok = true;
    {
        Writer out(outFile);
        std::vector<char> buf(2 * kBlock);
        std::size_t have = 0; // bytes of an unfinished line carried to the front
        for (;;) {
            if (have == buf.size()) buf.resize(buf.size() * 2); // a line longer than the buffer
            const std::size_t got = std::fread(buf.data() + have, 1, buf.size() - have, in);
            const std::size_t size = have + got;
            const char* p = buf.data();
            const char* end = p + size;
            for (;;) {
                const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
                if (!nl) break;
                convertLine(p, nl, fields, decimals, out);
                p = nl + 1;
            }
            have = static_cast<std::size_t>(end - p);
            if (got == 0) {
                if (have != 0) convertLine(p, end, fields, decimals, out); // last line without newline
                break;
            }
            std::memmove(buf.data(), p, have);
        }
        ok = !std::ferror(in);
        out.flush();
        ok = ok && out.ok();
    }
    if (in != stdin) std::fclose(in);
    if (outFile != stdout) ok = std::fclose(outFile) == 0 && ok;
    else ok = std::fflush(stdout) == 0 && ok;
    return ok ? 0 : 1;
}
