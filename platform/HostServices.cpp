// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/HostServices.h"

namespace gw {

void DefaultHostServices::loadAppResources(const void* /*module*/) {}

bool DefaultHostServices::checkDllVersion(unsigned int /*version*/, const char* /*sourceFile*/,
                                          const char* /*buildText*/) {
    return true;
}

bool DefaultHostServices::showHelpfile(CWnd* /*window*/) const { return false; }

namespace {
DefaultHostServices defaultServices;
HostServices* installed = nullptr;
} // namespace

HostServices& hostServices() { return installed ? *installed : defaultServices; }

void setHostServices(HostServices* services) { installed = services; }

} // namespace gw
