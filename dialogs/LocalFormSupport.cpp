#include "dialogs/LocalFormSupport.h"

#include "gridwise/angletext.h"

namespace gw::dlg {

std::string latitudeText(double lat) {
    char text[64];
    latToStr(text, lat, 4, 1);
    return text;
}

std::string longitudeText(double lon) {
    char text[64];
    lonToStr(text, lon, 4, 1);
    return text;
}

void showDescription(DialogWindow& window, Projection& p, const int (&ids)[6]) {
    char lines[6][50] = {};
    p.getLines(lines);
    for (int i = 0; i < 6; ++i) {
        lines[i][49] = '\0';
        window.setText(ids[i], lines[i]);
    }
}

} // namespace gw::dlg
