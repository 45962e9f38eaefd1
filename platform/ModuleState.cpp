#include "platform/ModuleState.h"

namespace gw {

namespace {
// Whether the module's own state is selected (the host's otherwise).
bool ownStateSelected = false;

enum class StartUpState { notRun, running, ready, refused };
StartUpState startUpState = StartUpState::notRun;
StartUp moduleStartUp = nullptr;
} // namespace

void setModuleStartUp(StartUp startUp) { moduleStartUp = startUp; }

bool moduleReady() {
    if (startUpState == StartUpState::notRun) {
        startUpState = StartUpState::running;
        bool ok = true;
        if (moduleStartUp != nullptr) {
            try {
                ok = moduleStartUp();
            } catch (...) {
                ok = false;
            }
        }
        startUpState = ok ? StartUpState::ready : StartUpState::refused;
    }
    return startUpState == StartUpState::ready;
}

bool moduleStartupRan() { return startUpState != StartUpState::notRun; }

ModuleStateScope::ModuleStateScope() : previous_(ownStateSelected) { ownStateSelected = true; }

ModuleStateScope::~ModuleStateScope() { ownStateSelected = previous_; }

bool moduleStateActive() { return ownStateSelected; }

} // namespace gw
