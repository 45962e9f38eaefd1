// Entries of the projection list, the settings file "projlist2.ini" shared with
// the host (section "PROJECTIONS", "NumberProjections" and one line per entry
// "general,specific,datum text,initialisation string").
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_PROJECTIONLIST_H
#define GRIDWISE_DIALOGS_PROJECTIONLIST_H

#include <string>

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

// The initialisation string inside an entry's parameter text: behind the first
// comma and ten more (the eleven datum fields come first); null when a comma is
// missing.
const char* initStringOf(const ProjDataStruct& entry);

} // namespace gw::dlg

#endif
