// Start-up state and module state of the library.
#ifndef GRIDWISE_MODULE_MODULESTATE_H
#define GRIDWISE_MODULE_MODULESTATE_H

namespace gw {

// Runs the module's start-up on the first call (see module/Gridwise.h) and tells
// whether the library may be used: false for good once the host refused the
// version, and false while the start-up itself is running (a host service that
// calls back into the library gets nothing). Every allocating entry point asks
// this first.
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
