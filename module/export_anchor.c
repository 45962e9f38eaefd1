/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* libgridwise.so is assembled from the static libraries of the source folders;
 * this translation unit only gives the shared library target a source of its own. */
typedef int gridwise_export_anchor;
