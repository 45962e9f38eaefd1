// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Streams lines from an input through converters to an output, in input order.
//
// The input is read in blocks and cut into lines at '\n'; a '\r' before the
// '\n' is dropped, and a UTF-8 byte-order mark at the very start of the input is
// skipped. A last line without '\n' counts as a line. Lines are handed out in
// batches of a few thousand: with one thread the calling thread converts them;
// with N, N - 1 worker threads convert whole batches, each with its own
// converter, and the calling thread reads, writes the results in input order and
// converts waiting batches itself while the oldest is not done: N threads in all. At most two batches per
// thread are in flight, so memory stays the same whatever the size of the input.
//
// A line longer than kLineMax bytes is not kept: it is handed on as too long
// (the converter writes an error in its place) and reading goes on after its '\n'.
//
// Progress: when enabled, a line "N points, R points/s, P%" is refreshed on
// standard error about twice a second (P: the share of the input read, when its
// size is known), and finished with a line break.
#ifndef GRIDWISE_CLI_LINESTREAM_H
#define GRIDWISE_CLI_LINESTREAM_H

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gwcli {

constexpr std::size_t kLineMax = 65536;

// One input line without its line break; tooLong marks a line that was not kept.
struct InputLine {
    std::string_view text;
    bool tooLong = false;
};

// Converts a batch of lines: appends one output line (ending in '\n') per input
// line to out, in order, and returns how many of them are errors.
class LineConverter {
public:
    virtual ~LineConverter() = default;
    virtual std::size_t convertLines(const std::vector<InputLine>& lines, std::string& out) = 0;
};

struct StreamResult {
    std::uint64_t lines = 0;
    std::uint64_t failed = 0;
    bool readError = false;   // the input could not be read to its end
    bool writeError = false;  // the output could not be written
};

struct StreamOptions {
    int threads = 1;
    bool progress = false;
    std::uint64_t inputSize = 0; // bytes, 0 when unknown
};

// Reads fd to its end, converting every line with converters made by
// makeConverter (one per thread), and writes the output lines to out.
StreamResult streamLines(int fd, std::FILE* out, const StreamOptions& options,
                         const std::function<std::unique_ptr<LineConverter>()>& makeConverter);

} // namespace gwcli

#endif
