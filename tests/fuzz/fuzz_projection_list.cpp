// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The projection list's entry reader: parseProjectionEntry on any line keeps its
// names within their fields, and an entry written back with projectionEntryLine
// (its datum set from the entry's datum text) reads as the same entry. One input
// in eight is also a whole projection list file, read with readProjectionList.
#include <cmath>

#include "FuzzSupport.h"
#include "dialogs/ProjectionList.h"
#include "geodesy/Datum.h"

namespace {

void checkEntry(const ProjDataStruct& e) {
    fz::check(std::memchr(e.general, '\0', sizeof e.general) != nullptr, "general name not terminated");
    fz::check(std::memchr(e.specific, '\0', sizeof e.specific) != nullptr, "specific name not terminated");
    const char* init = gw::dlg::initStringOf(e);
    if (init) fz::check(init >= e.params.c_str() && init <= e.params.c_str() + e.params.size(), "init string outside");
}

Datum datumOf(const ProjDataStruct& e) {
    Datum d;
    fz::ExactText text(e.params);
    d.setData(text.get());
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const ProjDataStruct e = gw::dlg::parseProjectionEntry(line);
    checkEntry(e);

    const char* init = gw::dlg::initStringOf(e);
    // Rotations are written "%f" and read back as angle text, whose runs hold 12
    // characters: rotations of 1e4 degrees and more (absurd; real ones are
    // arc-seconds) do not read back.
    const Datum d0 = init ? datumOf(e) : Datum();
    const bool sensible = std::fabs(d0.rotX) < 1e4 && std::fabs(d0.rotY) < 1e4 && std::fabs(d0.rotZ) < 1e4;
    if (init && sensible && std::strchr(e.general, ',') == nullptr && std::strchr(e.specific, ',') == nullptr) {
        const Datum d = datumOf(e);
        const std::string line2 = gw::dlg::projectionEntryLine(e.general, e.specific, d, init);
        const ProjDataStruct e2 = gw::dlg::parseProjectionEntry(line2);
        checkEntry(e2);
        const char* init2 = gw::dlg::initStringOf(e2);
        if (std::strcmp(e2.general, e.general) != 0 || std::strcmp(e2.specific, e.specific) != 0 || !init2 ||
            std::strcmp(init2, init) != 0)
            fz::fail("entry written back reads differently", fz::hex(line) + "\n  -> " + fz::hex(line2));
        // The datum text settles once written: written again it is the same.
        const Datum d2 = datumOf(e2);
        const std::string line3 = gw::dlg::projectionEntryLine(e2.general, e2.specific, d2, init2);
        const ProjDataStruct e3 = gw::dlg::parseProjectionEntry(line3);
        const std::string line4 = gw::dlg::projectionEntryLine(e3.general, e3.specific, datumOf(e3),
                                                               gw::dlg::initStringOf(e3));
        if (line4 != line3) fz::fail("datum text not stable", fz::hex(line3) + "\n  -> " + fz::hex(line4));
    }

    if (size && data[0] % 8 == 0) {
        fz::scratchDir();
        fz::writeFile("projlist2.ini", line);
        const auto entries = gw::dlg::readProjectionList();
        fz::check(entries.size() <= static_cast<std::size_t>(gw::dlg::kMaxProjEntries), "too many entries");
        for (const auto& entry : entries) {
            fz::check(entry != nullptr, "null entry");
            checkEntry(*entry);
        }
    }
    return 0;
}
