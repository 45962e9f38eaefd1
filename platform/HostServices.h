// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Services of the host application that the library calls.
//
// The library lets the host load its application resources and asks the host
// to accept this build of the module once, at start-up; its dialogs pass help
// requests to the host's help provider. A host installs its own services (see
// gridwise/host.h); without them the replacements of DefaultHostServices answer:
// the version is accepted, no resources are loaded and help is reported as not
// shown, so the caller falls back to its own help handling.
//
// All services are called from the host's user-interface thread only.
#ifndef GRIDWISE_PLATFORM_HOSTSERVICES_H
#define GRIDWISE_PLATFORM_HOSTSERVICES_H

class CWnd; // a dialog window of the toolkit (opaque here)

namespace gw {

class HostServices {
public:
    virtual ~HostServices() = default;

    // Lets the host make the module's resources available to its dialogs.
    // module identifies the module to the host (an address inside this library,
    // which dladdr turns into the library's file). No result.
    virtual void loadAppResources(const void* module) = 0;

    // Asks the host whether this build is acceptable: version is the module
    // version, sourceFile the main source file's path as the compiler recorded
    // it, buildText the build date and time ("Jan 15 2014 16:19:55").
    // false makes the module's start-up fail.
    virtual bool checkDllVersion(unsigned int version, const char* sourceFile,
                                 const char* buildText) = 0;

    // Shows the help for the dialog window; true when the host handled the
    // request, false to let the dialog's default help handling run.
    virtual bool showHelpfile(CWnd* window) const = 0;
};

// The replacements used when the host installs nothing.
class DefaultHostServices final : public HostServices {
public:
    void loadAppResources(const void* module) override;
    bool checkDllVersion(unsigned int version, const char* sourceFile,
                         const char* buildText) override;
    bool showHelpfile(CWnd* window) const override;
};

// The services in force: the installed ones, or the defaults.
HostServices& hostServices();

// Installs services (null: back to the defaults). The object is not owned and
// must outlive its use.
void setHostServices(HostServices* services);

} // namespace gw

#endif
