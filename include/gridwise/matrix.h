/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Vectors, row-pointer matrices, three in-place matrix inverters and the
 * See docs/threads.md for what may be shared between threads.
 * geographic/cartesian conversion on the WGS 84 ellipsoid.
 *
 * A vector of n holds n + 1 elements (indices 0 to n). A matrix of nr by nc is an
 * array of nr + 1 row pointers, each row nc + 1 elements (indices 0 to nr and 0 to
 * nc). Four-byte elements serve for both floats and 32-bit integers: fvector and
 * iVector, matrix and iMatrix are the same allocators under a float and an integer
 * name. Allocators return null when memory runs out or a size is negative; a
 * matrix whose row allocation fails part-way releases what it had allocated.
 * Every allocation is released with its own release function (release functions
 * accept null).
 *
 * Views (subMatrix, convertMatrix) are fresh arrays of row pointers into existing
 * storage, shifted so that the caller's first row and column indices address the
 * first element; freeSubMatrix / freeConvertMatrix release the pointer array only.
 *
 * Inverters (all in place; n <= 0 changes nothing, gaussj and spdinv then return 1
 * for n = 0 and 0 for n < 0):
 * - dInvert: indices 1 to n, LU decomposition with scaled partial pivoting. A
 *   matrix with an all-zero row is left unchanged; an exactly zero pivot is
 *   replaced by 1e-20, so a singular matrix gives huge elements. Nothing is
 *   reported. Accuracy: A * inv(A) within about cond(A) * 1e-16 of the identity.
 * - gaussj: indices 0 to n-1, Gauss-Jordan elimination with full pivoting.
 *   Returns 1, or 0 for a singular matrix (a is then partly transformed).
 * - spdinv: indices 0 to n-1, symmetric positive-definite matrices by U D U^T
 *   factorisation. Reads the diagonal and upper triangle, writes both triangles.
 *   Returns 1, or 0 when a pivot's magnitude is below 1e-11 (content undefined).
 *
 * Threads: nothing here keeps state of its own. Allocators, release functions and
 * conv may be called from several threads at once, the inverters and views on
 * distinct matrices.
 */
#ifndef GRIDWISE_MATRIX_H
#define GRIDWISE_MATRIX_H

#include "gridwise/export.h"

GW_C_BEGIN

GW_EXPORT float* fvector(int n);
GW_EXPORT int* iVector(int n);
GW_EXPORT double* dVector(int n);
GW_EXPORT float** matrix(int nr, int nc);
GW_EXPORT int** iMatrix(int nr, int nc);
/* Rows 0 to nr - 1, columns 0 to nc - 1 are set to 0.0; the last row and the
 * last column are left uncleared. */
GW_EXPORT double** dMatrix(int nr, int nc);
/* Rows oldrl to oldrh of a, starting at column oldcl, addressed as rows newrl
 * onward and columns newcl onward. Null when oldrh < oldrl. */
GW_EXPORT float** subMatrix(float** a, int oldrl, int oldrh, int oldcl, int newrl, int newcl);
/* Contiguous row-major storage of nch - ncl + 1 columns addressed as rows nrl to
 * nrh and columns ncl to nch. Null when nrh < nrl. */
GW_EXPORT float** convertMatrix(float* a, int nrl, int nrh, int ncl, int nch);

GW_EXPORT void freeVector(float* v);
GW_EXPORT void freeIVector(int* v);
GW_EXPORT void freeDVector(double* v);
/* Release rows nr down to 0, then the row-pointer array. */
GW_EXPORT void freeMatrix(float** m, int nr);
GW_EXPORT void freeIMatrix(int** m, int nr);
GW_EXPORT void freeDMatrix(double** m, int nr);
/* Release the row-pointer array of a view whose first row index is nrl. */
GW_EXPORT void freeSubMatrix(float** b, int nrl);
GW_EXPORT void freeConvertMatrix(float** b, int nrl);

GW_EXPORT void dInvert(double** a, int n);
GW_EXPORT int gaussj(double** a, int n);
GW_EXPORT int spdinv(double** a, int n);

/* WGS 84 (a = 6378137 m, a^2 - b^2 = 272331606107.5547 m^2), angles in radians,
 * lengths in metres, independent of the working datum.
 * mode 1: X, Y, Z -> latitude, longitude, height. Fixed-point iteration on tan(lat)
 *   until a step is at most 1e-15, at most 300 steps (then "(xyz) --> (phi, lam, h)
 *   not convergent" is written to standard output and the last value used; this
 *   happens above about 76 degrees of latitude, where the last bit of tan(lat)
 *   exceeds 1e-15, without loss of accuracy). Accuracy: latitude and longitude
 *   1e-15 rad; height 1e-8 m near the surface, 1e-8 m + 2e-9 m * (r / a) / cos(lat)
 *   in general (2e-6 m at 89.99 degrees). On the polar axis (X = Y = 0) the
 *   latitude is +pi/2 (Z >= 0) or -pi/2 and the height is |Z| - b.
 * mode 2: latitude, longitude, height -> X, Y, Z.
 * Any other mode changes nothing. Always returns 0. */
GW_EXPORT int conv(double* lat, double* lon, double* h, double* x, double* y, double* z, int mode);

GW_C_END

#endif
