// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The gridwise tool's line reader on any line: LineTokens::split keeps every token
// inside the line, and readAngle (each kind), readGrid (each grid format, both
// axes) and readDistance read from every token without a fault, moving forward.
// The number helpers agree with the C library: plainValue with strtod on every
// plain number, appendFixed with snprintf "%.*f".
#include <cerrno>
#include <string_view>

#include "FuzzSupport.h"
#include "cli/LineFields.h"
#include "gridwise/projection.h"
#include "gridwise/units.h"

namespace {

Projection& projectionFor(int format) {
    static Projection tm(const_cast<char*>("0,n,E003 00.0000,0.00,0.00,1.000000,N00 00.0000,1"));
    static Projection local(const_cast<char*>("5,Local,0,0,"));
    static Projection staOff(const_cast<char*>(
        "6,StaOff,0,0,0,0,0,UTM Zone 11,W117 00.0000,0.00,500000.00,0.999600,N00 00.0000,0"));
    return format == 0 ? tm : (format == 1 ? local : staOff);
}

void readAll(const gwcli::LineTokens& tokens, int control) {
    static Units units;
    const std::size_t n = tokens.count();
    for (std::size_t start = 0; start < n; ++start) {
        for (int kind = 0; kind < 3; ++kind) {
            std::size_t next = start;
            double value = 0;
            std::string error;
            gwcli::readAngle(tokens, next, static_cast<gwcli::AngleKind>(kind), value, error);
            fz::check(next >= start && next <= n, "readAngle position");
            // Without a letter, each length of its run.
            const std::size_t run = gwcli::angleRun(tokens, start, static_cast<gwcli::AngleKind>(kind));
            fz::check(run <= 3 && start + run <= n, "angleRun length");
            for (std::size_t parts = 2; parts <= run; ++parts) {
                next = start;
                if (gwcli::readAngle(tokens, next, static_cast<gwcli::AngleKind>(kind), value, error, parts))
                    fz::check(next == start + parts, "readAngle parts");
            }
        }
        for (int axis = 0; axis < 2; ++axis) {
            std::size_t next = start;
            double meters = 0;
            std::string error;
            gwcli::readGrid(tokens, next, axis == 0, control % 6, projectionFor(control % 3), units, meters, error);
            fz::check(next >= start && next <= n, "readGrid position");
        }
        std::size_t next = start;
        double meters = 0;
        std::string error;
        gwcli::readDistance(tokens, next, control % 6, units, meters, error);
        fz::check(next >= start && next <= n, "readDistance position");
    }
    // Every command's fields from the first token: the ends rise within the line.
    using gwcli::Field;
    static constexpr Field jobs[4][4] = {
        {Field::latitude, Field::longitude},
        {Field::northing, Field::easting},
        {Field::latitude, Field::longitude, Field::latitude, Field::longitude},
        {Field::latitude, Field::longitude, Field::azimuth, Field::distance},
    };
    if (n == 0) return;
    const int job = (control / 6) % 4;
    const std::size_t count = job < 2 ? 2 : 4;
    gwcli::FieldUnits fieldUnits{control % 6, control % 5, control % 3, control % 4, &projectionFor(control % 3),
                                 &units};
    double values[gwcli::kMaxFields];
    std::size_t ends[gwcli::kMaxFields];
    std::string error;
    if (gwcli::readFields(tokens, jobs[job], count, fieldUnits, values, ends, error)) {
        for (std::size_t f = 0; f < count; ++f)
            fz::check(ends[f] > (f == 0 ? 0 : ends[f - 1]) && ends[f] <= n, "readFields ends");
    } else {
        fz::check(!error.empty(), "readFields error");
    }
}

// A plain number (optional sign, digits, at most one point) made of the bytes.
std::string plainNumber(const std::string& bytes) {
    std::string s;
    bool point = false;
    for (std::size_t i = 0; i < bytes.size() && s.size() < 400; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (i == 0 && (c % 5) == 0) {
            s += c & 1 ? '-' : '+';
        } else if (c % 23 == 0 && !point) {
            s += '.';
            point = true;
        } else {
            s += static_cast<char>('0' + c % 10);
        }
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int control = data[0];
    // The line in a heap block of exactly its size, with no terminator.
    std::unique_ptr<char[]> line(new char[size - 1 ? size - 1 : 1]);
    if (size > 1) std::memcpy(line.get(), data + 1, size - 1);
    const std::string_view view(line.get(), size - 1);

    gwcli::LineTokens tokens;
    tokens.split(view);
    for (std::size_t i = 0; i < tokens.count(); ++i) {
        fz::check(tokens.begin(i) <= tokens.end(i) && tokens.end(i) <= view.size(), "token outside the line");
        fz::check(tokens.text(i).data() >= view.data(), "token before the line");
    }
    readAll(tokens, control);

    // plainValue against strtod on a plain number made of the same bytes.
    const std::string number = plainNumber(std::string(view));
    if (!number.empty() && number.find_first_of("0123456789") != std::string::npos) {
        const double mine = gwcli::plainValue(number);
        fz::ExactText text(number);
        const double libc = std::strtod(text.get(), nullptr);
        if (!(mine == libc && std::signbit(mine) == std::signbit(libc))) {
            char detail[64];
            std::snprintf(detail, sizeof detail, " %.17g vs strtod %.17g", mine, libc);
            fz::fail("plainValue", number + detail);
        }
    }

    // appendFixed against snprintf.
    if (size >= 10) {
        fz::Bytes in(data + 1, size - 1);
        const int decimals = in.byte() % 40;
        const double value = in.real();
        std::string mine = "x";
        gwcli::appendFixed(mine, value, decimals);
        const int need = std::snprintf(nullptr, 0, "%.*f", decimals, value);
        std::string libc(static_cast<std::size_t>(need) + 1, '\0');
        std::snprintf(libc.data(), libc.size(), "%.*f", decimals, value);
        libc.resize(static_cast<std::size_t>(need));
        // Every NaN is written "nan", whatever its sign bit; a value that shows as
        // zero has no minus.
        if (std::isnan(value)) libc = "nan";
        if (libc[0] == '-' && libc.find_first_of("123456789") == std::string::npos) libc.erase(0, 1);
        if (mine != "x" + libc) {
            char detail[400];
            std::snprintf(detail, sizeof detail, "%a d=%d: %s vs snprintf %s", value, decimals, mine.c_str() + 1,
                          libc.c_str());
            fz::fail("appendFixed", detail);
        }
    }
    return 0;
}
