#include "projections/EditDialogs.h"

namespace gw {

namespace {
ProjectionDialog runners[8] = {};
} // namespace

void setProjectionDialog(int typeCode, ProjectionDialog runner) {
    if (typeCode >= 0 && typeCode < 8) runners[typeCode] = runner;
}

int runProjectionDialog(int typeCode, Projection& p, CWnd* parent, ProjDataStruct** list) {
    if (typeCode < 0 || typeCode >= 8 || runners[typeCode] == nullptr) return 0;
    try {
        return runners[typeCode](p, parent, list);
    } catch (...) {
        return 0;
    }
}

} // namespace gw
