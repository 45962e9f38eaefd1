/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Symbol visibility of the Gridwise library.
 * See docs/threads.md for what may be shared between threads.
 *
 * The library is built with hidden visibility; GW_EXPORT marks the functions and
 * classes that libgridwise.so exports. GW_C_BEGIN/GW_C_END wrap the C interface so
 * that the same header serves a C host and a C++ host. Each header of the library
 * states which of its functions may be called from several threads at once. */
#ifndef GRIDWISE_EXPORT_H
#define GRIDWISE_EXPORT_H

#if defined(GRIDWISE_BUILDING)
#define GW_EXPORT __attribute__((visibility("default")))
#else
#define GW_EXPORT
#endif

#ifdef __cplusplus
#define GW_C_BEGIN extern "C" {
#define GW_C_END }
#else
#define GW_C_BEGIN
#define GW_C_END
#endif

#endif
