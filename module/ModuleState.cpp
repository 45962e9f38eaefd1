#include "module/ModuleState.h"

namespace gw {

namespace {
// Whether the module's own state is selected (the host's otherwise).
bool ownStateSelected = false;
} // namespace

ModuleStateScope::ModuleStateScope() : previous_(ownStateSelected) { ownStateSelected = true; }

ModuleStateScope::~ModuleStateScope() { ownStateSelected = previous_; }

bool moduleStateActive() { return ownStateSelected; }

} // namespace gw
