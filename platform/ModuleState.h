// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Start-up gate and module state of the library: our replacement of the dialog
// framework's module-state switch, and the gate that every allocating entry point
// passes. The start-up itself (the application object, module/Gridwise.h) lives in
// the top layer and installs itself here when the library is loaded.
#ifndef GRIDWISE_PLATFORM_MODULESTATE_H
#define GRIDWISE_PLATFORM_MODULESTATE_H

namespace gw {

// The module's start-up: true when the library may be used.
using StartUp = bool (*)();
// Installs the start-up that moduleReady runs (once, on its first call). Without
// one (a program built from the lower layers alone) the library is ready.
void setModuleStartUp(StartUp startUp);

// Runs the module's start-up on the first call (see module/Gridwise.h) and tells
// whether the library may be used: false for good once the host refused the
// version, and false to a call from within the start-up itself (a host service that
// calls back into the library gets nothing). Threads that call it while another
// runs the start-up wait for it and get its result: the start-up runs once per
// process, however many threads come first at once. Every allocating entry point
// asks this first.
bool moduleReady();

// Whether the start-up has run (or is running).
bool moduleStartupRan();

// Selects the module's own state (its dialog resources) while it lives and
// restores the previous selection on every exit path. Operations that show a
// dialog hold one for their duration.
class ModuleStateScope {
public:
    ModuleStateScope();
    ~ModuleStateScope();
    ModuleStateScope(const ModuleStateScope&) = delete;
    ModuleStateScope& operator=(const ModuleStateScope&) = delete;

private:
    bool previous_;
};

// True while a ModuleStateScope is active.
bool moduleStateActive();

} // namespace gw

#endif
