#include "dialogs/ProjectionList.h"

#include <cstring>

namespace gw::dlg {

const char* initStringOf(const ProjDataStruct& entry) {
    const char* p = entry.params.c_str();
    for (int i = 0; i < 11; ++i) {
        p = std::strchr(p, ',');
        if (p == nullptr) return nullptr;
        ++p;
    }
    return p;
}

} // namespace gw::dlg
