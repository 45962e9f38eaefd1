// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Installation of the host's services through the C interface.
#include "gridwise/host.h"

#include "platform/ModuleState.h"
#include "platform/HostServices.h"

namespace {

// Calls the host's function pointers; a missing one answers as the defaults do.
class CHostServices final : public gw::HostServices {
public:
    GwHostServices table{};

    void loadAppResources(const void* module) override {
        if (table.loadAppResources)
            table.loadAppResources(table.context, module);
    }
    bool checkDllVersion(unsigned int version, const char* sourceFile,
                         const char* buildText) override {
        if (!table.checkDllVersion)
            return true;
        return table.checkDllVersion(table.context, version, sourceFile, buildText) != 0;
    }
    bool showHelpfile(CWnd* window) const override {
        if (!table.showHelpfile)
            return false;
        return table.showHelpfile(table.context, static_cast<void*>(window)) != 0;
    }
};

CHostServices hostTable;

} // namespace

extern "C" GW_EXPORT int gwSetHostServices(const GwHostServices* services) {
    if (services) {
        hostTable.table = *services;
        gw::setHostServices(&hostTable);
    } else {
        hostTable.table = GwHostServices{};
        gw::setHostServices(nullptr);
    }
    return gw::moduleStartupRan() ? 0 : 1;
}
