/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Host services: how a host application plugs its own services into the library.
 * See docs/threads.md for what may be shared between threads.
 *
 * The library calls three services of its host:
 *   - loadAppResources, once at start-up, first: the host makes the module's
 *     resources available (module: an address inside libgridwise.so, which
 *     dladdr turns into the library's file);
 *   - checkDllVersion, once at start-up, second: the host accepts (non-zero) or
 *     refuses (0) this build. It receives the module version 0x4010007, the main
 *     source file's path as the compiler recorded it (".\Gridwise.cpp") and the
 *     build date and time text ("Jan 15 2014 16:19:55");
 *   - showHelpfile, from the dialogs' help handler: non-zero when the host showed
 *     help for the dialog window, 0 to let the dialog's default help run.
 * context is handed back to every call unchanged.
 *
 * Start-up runs on the first allocGeodetics or allocUnits of the process, so a
 * host installs its services before that call. Without services (or for a null
 * function pointer) the library's replacements answer: nothing is loaded, the
 * version is accepted, help is reported as not shown.
 *
 * A refused version check leaves the library unusable for the rest of the
 * process: allocGeodetics and allocUnits return 0, and neither the geodesy
 * instance nor the units object ever exists, so every function that works on
 * one of them answers as its header states for that object's absence (the
 * geodesy functions do nothing and return 0). Functions that need neither (the
 * cartesian and angle conversions, the geographic position text, the numerical
 * utilities) keep answering.
 *
 * Every call comes from the host's user-interface thread. gwSetHostServices and the
 * start-up change process-wide state without locks: make those calls from that
 * thread while no other thread uses the library. */
#ifndef GRIDWISE_HOST_H
#define GRIDWISE_HOST_H

#include "gridwise/export.h"

GW_C_BEGIN

typedef struct GwHostServices {
    void* context;
    void (*loadAppResources)(void* context, const void* module);
    int (*checkDllVersion)(void* context, unsigned int version, const char* sourceFile,
                           const char* buildText);
    int (*showHelpfile)(void* context, void* window);
} GwHostServices;

/* Installs the host's services (the structure is copied; null restores the
 * library's replacements). Returns 1 when start-up has not run yet, so the
 * start-up services given here will be called; 0 when start-up already ran, in
 * which case the services are installed for later help requests only. */
GW_EXPORT int gwSetHostServices(const GwHostServices* services);

GW_C_END

#endif
