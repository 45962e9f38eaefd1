// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Where settings files live: the settings folder and the paths that file names
// stand for.
//
// The settings folder is $GRIDWISE_SETTINGS_DIR if set and not empty, else
// $XDG_CONFIG_HOME/gridwise (an absolute $XDG_CONFIG_HOME only), else
// ~/.config/gridwise, the home folder being $HOME or else the user's entry in the
// password database (else "."). A bare file name (no '/') resolves in that folder,
// matched without regard to ASCII case (resolveSettingsPath in platform/IniFile.h);
// a name with a folder is taken as it is. The environment is read on every call, so
// a change of it takes effect at once.
//
// Threads: the functions are reentrant, as far as the environment is not changed
// while they run.
#ifndef GRIDWISE_PLATFORM_SETTINGSPATH_H
#define GRIDWISE_PLATFORM_SETTINGSPATH_H

#include <string>

namespace gw::ini {

// The settings folder (see above); it need not exist.
std::string settingsDir();

// Makes dir and the folders above it that are missing, with mode 0777 less the umask.
// Errors are left for the write that follows to find.
void makeDirs(const std::string& dir);

// The file a write of `file` changes: its resolved path, through a symbolic link to
// the file the link names. Empty for a null or empty name.
std::string writeTarget(const char* file);

// The path of a write, as writeTarget; the settings folder is made first for a bare
// name.
std::string prepareWrite(const char* file);

} // namespace gw::ini

#endif
