// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Projection(char*) on any text behind any type code (the first byte picks the
// code: 0 to 7 and a few others), from a buffer of exactly its size. The
// projection so made answers every operation without a fault, and its
// initialisation string is stable: read back and written again, it is the same.
#include "FuzzSupport.h"
#include "geodesy/Datum.h"
#include "gridwise/projection.h"

namespace {

std::string initOf(Projection& p) {
    std::unique_ptr<char[]> buffer(new char[GW_INIT_STR_MAX]);
    p.getInitStr(buffer.get());
    fz::check(std::memchr(buffer.get(), '\0', GW_INIT_STR_MAX) != nullptr, "init string not terminated");
    return buffer.get();
}

void exercise(Projection& p) {
    static Datum datum;
    p.geoparm(&datum);
    std::unique_ptr<char[][50]> lines(new char[6][50]);
    for (int i = 0; i < 6; ++i) std::memset(lines[i], 'x', 50), lines[i][49] = '\0';
    p.getLines(lines.get());
    for (int i = 0; i < 6; ++i) fz::check(std::memchr(lines[i], '\0', 50) != nullptr, "line not terminated");
    std::unique_ptr<char[]> general(new char[30]), specific(new char[30]);
    p.getTypeStr(general.get(), specific.get());
    double n, e, lat, lon;
    p.geoToGrid(40.0, -3.0, n, e);
    p.gridToGeo(n, e, lat, lon);
    p.gridToGeo(5000000.0, 500000.0, lat, lon);
    p.lineScale(5000000.0, 500000.0, 5001000.0, 500500.0);
    p.converge(5000000.0, 500000.0);
    p.getUnits();
    p.getFormat();
}

// Whether a number of the string is longer than the 19 characters a field of the
// reader holds: "%.12f" of an absurd value (1e7 and more) is read cut, losing
// decimals (all of them from 1e17 on) and, from 1e18 on, the value itself.
bool hasLongNumber(const std::string& init) {
    std::size_t start = 0;
    while (start <= init.size()) {
        std::size_t end = init.find(',', start);
        if (end == std::string::npos) end = init.size();
        const std::string field = init.substr(start, end - start);
        if (field.size() > 19 && field.find_first_not_of("0123456789.-+") == std::string::npos) return true;
        start = end + 1;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* codes[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "-1", "99", " 3", "6x", ""};
    std::string text = codes[data[0] % (sizeof codes / sizeof *codes)];
    if (data[0] < 0xf0) text += ',';
    text.append(reinterpret_cast<const char*>(data + 1), size - 1);
    fz::ExactText init(text);

    Projection p(init.get());
    exercise(p);
    const std::string first = initOf(p);

    // A copy and a clone write the same string.
    Projection copy(p);
    fz::check(initOf(copy) == first, "copy writes another string");
    std::unique_ptr<Projection> clone(p.clone());
    fz::check(initOf(*clone) == first, "clone writes another string");

    // Read back once (and its constants derived, which moves an equal second
    // Lambert parallel one degree north), the string settles: reading and writing
    // again changes nothing.
    fz::ExactText again(first);
    Projection q(again.get());
    exercise(q);
    const std::string second = initOf(q);
    fz::ExactText third(second);
    Projection r(third.get());
    exercise(r);
    if (initOf(r) != second && !hasLongNumber(second))
        fz::fail("init string not stable", fz::hex(second) + " -> " + fz::hex(initOf(r)));

    // The sized writer cuts to the size it is given.
    const std::size_t cut = data[0] % 40;
    std::unique_ptr<char[]> small(new char[cut + 1]);
    p.getInitStr(small.get(), cut + 1);
    fz::check(std::strlen(small.get()) <= cut && first.compare(0, std::strlen(small.get()), small.get()) == 0,
              "sized init string");
    return 0;
}
