// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/ModuleState.h"

#include <atomic>
#include <mutex>

namespace gw {

namespace {
// Whether the module's own state is selected (the host's otherwise).
bool ownStateSelected = false;

enum StartUpState : int { notRun, running, ready, refused };
std::atomic<int> startUpState{notRun};
std::atomic<StartUp> moduleStartUp{nullptr};
std::once_flag startUpOnce;
// Set on the thread that runs the start-up while it runs: a call back into the
// library from the start-up gets false instead of waiting for itself.
thread_local bool startingUpHere = false;

void runStartUp() {
    startUpState.store(running, std::memory_order_release);
    startingUpHere = true;
    bool ok = true;
    if (StartUp startUp = moduleStartUp.load(std::memory_order_acquire)) {
        try {
            ok = startUp();
        } catch (...) {
            ok = false;
        }
    }
    startingUpHere = false;
    startUpState.store(ok ? ready : refused, std::memory_order_release);
}
} // namespace

void setModuleStartUp(StartUp startUp) { moduleStartUp.store(startUp, std::memory_order_release); }

bool moduleReady() {
    int state = startUpState.load(std::memory_order_acquire);
    if (state == ready) return true;
    if (state == refused) return false;
    if (startingUpHere) return false;
    // The first caller runs the start-up; callers of other threads that come meanwhile
    // wait for it and get its result.
    std::call_once(startUpOnce, runStartUp);
    return startUpState.load(std::memory_order_acquire) == ready;
}

bool moduleStartupRan() { return startUpState.load(std::memory_order_acquire) != notRun; }

ModuleStateScope::ModuleStateScope() : previous_(ownStateSelected) { ownStateSelected = true; }

ModuleStateScope::~ModuleStateScope() { ownStateSelected = previous_; }

bool moduleStateActive() { return ownStateSelected; }

} // namespace gw
