// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/DialogWindow.h"

namespace gw::dlg {

namespace {
DialogBackend* installed = nullptr;
bool loadTried = false;
DialogBackend* loaded = nullptr;
} // namespace

DialogBackend* dialogBackend() {
    if (installed != nullptr) return installed;
    if (!loadTried) {
        loadTried = true;
        loaded = loadToolkitBackend();
    }
    return loaded;
}

void setDialogBackend(DialogBackend* backend) { installed = backend; }

} // namespace gw::dlg
