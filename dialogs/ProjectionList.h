// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Entries of the projection list, the settings file "projlist2.ini" shared with
// the host: section "PROJECTIONS", "NumberProjections" (the count N) and one line
// per entry under "Proj1" to "ProjN" (keys match without regard to case; new keys
// are written as "proj%d").
//
// An entry line is "general,specific,datum text,initialisation string": the datum
// text is the eleven fields "%s,%2.2f,%f,%s,%f,%f,%f,%f,%f,%f,%f" (ellipsoid name,
// semi-major axis, inverse flattening, datum name, the three shifts, the scale
// and the three rotations in degrees), each number with more decimals when its
// format's would not read back to the same value; the initialisation string may
// itself hold commas. Numbers are written in the "C" locale. No field of the line
// may hold a comma: the names written into a line have their commas written as
// blanks, and the save-as form refuses a typed name with a comma.
//
// Reading keeps at most kMaxProjEntries entries (later ones are ignored), each read
// whole whatever its length, names cut to their fields (never inside a UTF-8
// character). Appending reads the count from the file on disk and writes the new
// line and the new count under the settings file's write lock (platform/IniFile.h:
// a lock file beside it that the writer removes when it is done), as one
// replacement of the file, so processes and threads that append at the same time
// each add their own entry.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_PROJECTIONLIST_H
#define GRIDWISE_DIALOGS_PROJECTIONLIST_H

#include <memory>
#include <string>
#include <vector>

#include "gridwise/export.h"

class Datum;

// One entry: the general name (text before the first comma, at most 19
// characters), the specific name (between the first and second comma, or to the
// end of the line, at most 29) and the parameter text (everything after the second
// comma, whole: an affine or station/offset entry carries its base projection's
// whole initialisation string). A line without a comma leaves all three empty.
struct ProjDataStruct {
    char general[20] = "";
    char specific[30] = "";
    std::string params;
};

namespace gw::dlg {

// The most entries a form keeps.
inline constexpr int kMaxProjEntries = 200;

// The settings file and section of the projection list.
inline constexpr const char* kProjectionListFile = "projlist2.ini";
inline constexpr const char* kProjectionSection = "PROJECTIONS";

// The initialisation string inside an entry's parameter text: behind the first
// comma and ten more (the eleven datum fields come first); null when a comma is
// missing.
const char* initStringOf(const ProjDataStruct& entry);

// One entry split from its line as above.
ProjDataStruct parseProjectionEntry(const std::string& line);

// The entries of the file, in file order (at most kMaxProjEntries).
std::vector<std::unique_ptr<ProjDataStruct>> readProjectionList();

// The datum as the eleven fields of an entry line.
std::string datumEntryText(const Datum& datum);

// The whole entry line from its four parts; commas in the two names and in the
// datum's names are written as blanks.
GW_EXPORT std::string projectionEntryLine(const char* general, const char* specific, const Datum& datum,
                                const char* initString);

// Appends line as entry N + 1 and sets the count to N + 1, under the lock. False
// when the entry could not be written (the count is then left as it was).
bool appendProjectionEntry(const std::string& line);

// Appends lines to the projection list `file` (a bare name in the settings folder,
// as every settings file) as entries N + 1, N + 2, ... under one lock, in one
// replacement of the file. A line the list holds already is not added again.
// entries[i] tells the entry number of lines[i] and whether it was added now.
// `full` when the new entries would take the list beyond kMaxProjEntries, else
// `failed` when the file cannot be written; nothing is written then.
enum class AppendStatus { written, full, failed };
struct AppendedEntry {
    int number = 0;
    bool added = false;
};
GW_EXPORT AppendStatus appendProjectionEntries(const std::vector<std::string>& lines, const char* file,
                                               std::vector<AppendedEntry>& entries);

} // namespace gw::dlg

#endif
