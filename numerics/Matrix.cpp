// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Vectors, row-pointer matrices, matrix inverters and the WGS 84 geographic/cartesian
// conversion.
#include "gridwise/matrix.h"

#include "numerics/Angles.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

// Views are returned shifted so that the caller's own first indices address the
// first element; the shift is done on the address value, the caller indexes back
// into the storage.
template <typename T>
T* shifted(T* p, long long offset) {
    return reinterpret_cast<T*>(reinterpret_cast<std::uintptr_t>(p) +
                                static_cast<std::uintptr_t>(offset * static_cast<long long>(sizeof(T))));
}

template <typename T>
T* allocVector(int n) {
    if (n < 0) return nullptr;
    return static_cast<T*>(std::malloc((static_cast<std::size_t>(n) + 1) * sizeof(T)));
}

// nr + 1 rows of nc + 1 elements; on a failed row everything allocated so far is
// released and the result is null.
template <typename T>
T** allocMatrix(int nr, int nc) {
    if (nr < 0 || nc < 0) return nullptr;
    T** m = static_cast<T**>(std::malloc((static_cast<std::size_t>(nr) + 1) * sizeof(T*)));
    if (!m) return nullptr;
    for (int i = 0; i <= nr; ++i) {
        m[i] = static_cast<T*>(std::malloc((static_cast<std::size_t>(nc) + 1) * sizeof(T)));
        if (!m[i]) {
            for (int k = i - 1; k >= 0; --k) std::free(m[k]);
            std::free(m);
            return nullptr;
        }
    }
    return m;
}

template <typename T>
void releaseMatrix(T** m, int nr) {
    if (!m) return;
    for (int i = nr; i >= 0; --i) std::free(m[i]);
    std::free(m);
}

} // namespace

float* fvector(int n) { return allocVector<float>(n); }
int* iVector(int n) { return allocVector<int>(n); }
double* dVector(int n) { return allocVector<double>(n); }
float** matrix(int nr, int nc) { return allocMatrix<float>(nr, nc); }
int** iMatrix(int nr, int nc) { return allocMatrix<int>(nr, nc); }

double** dMatrix(int nr, int nc) {
    double** m = allocMatrix<double>(nr, nc);
    if (!m) return nullptr;
    for (int i = 0; i < nr; ++i)
        for (int j = 0; j < nc; ++j) m[i][j] = 0.0;
    return m;
}

float** subMatrix(float** a, int oldrl, int oldrh, int oldcl, int newrl, int newcl) {
    if (!a || oldrh < oldrl) return nullptr;
    const long long rows = static_cast<long long>(oldrh) - oldrl + 1;
    float** m = static_cast<float**>(std::malloc(static_cast<std::size_t>(rows) * sizeof(float*)));
    if (!m) return nullptr;
    for (long long k = 0; k < rows; ++k)
        m[k] = shifted(a[oldrl + k], static_cast<long long>(oldcl) - newcl);
    return shifted(m, -static_cast<long long>(newrl));
}

float** convertMatrix(float* a, int nrl, int nrh, int ncl, int nch) {
    if (!a || nrh < nrl) return nullptr;
    const long long rows = static_cast<long long>(nrh) - nrl + 1;
    const long long cols = static_cast<long long>(nch) - ncl + 1;
    float** m = static_cast<float**>(std::malloc(static_cast<std::size_t>(rows) * sizeof(float*)));
    if (!m) return nullptr;
    m[0] = shifted(a, -static_cast<long long>(ncl));
    for (long long k = 1; k < rows; ++k) m[k] = shifted(m[k - 1], cols);
    return shifted(m, -static_cast<long long>(nrl));
}

void freeVector(float* v) { std::free(v); }
void freeIVector(int* v) { std::free(v); }
void freeDVector(double* v) { std::free(v); }
void freeMatrix(float** m, int nr) { releaseMatrix(m, nr); }
void freeIMatrix(int** m, int nr) { releaseMatrix(m, nr); }
void freeDMatrix(double** m, int nr) { releaseMatrix(m, nr); }

void freeSubMatrix(float** b, int nrl) {
    if (b) std::free(shifted(b, nrl));
}
void freeConvertMatrix(float** b, int nrl) { freeSubMatrix(b, nrl); }

void dInvert(double** a, int n) {
    if (!a || n <= 0) return;
    try {
        const std::size_t size = static_cast<std::size_t>(n) + 1;
        std::vector<double> scale(size), col(size);
        std::vector<int> perm(size);
        std::vector<double> result(size * size); // (n + 1) by (n + 1), row-major

        // Implicit scaling: the largest element of each row.
        for (int i = 1; i <= n; ++i) {
            double big = 0.0;
            for (int j = 1; j <= n; ++j) {
                const double temp = std::fabs(a[i][j]);
                if (temp > big) big = temp;
            }
            if (big == 0.0) return; // a zero row: singular, a is left unchanged
            scale[i] = 1.0 / big;
        }

        // Crout decomposition with scaled partial pivoting.
        for (int j = 1; j <= n; ++j) {
            for (int i = 1; i < j; ++i) {
                double sum = a[i][j];
                for (int k = 1; k < i; ++k) sum -= a[i][k] * a[k][j];
                a[i][j] = sum;
            }
            double big = 0.0;
            int imax = j;
            for (int i = j; i <= n; ++i) {
                double sum = a[i][j];
                for (int k = 1; k < j; ++k) sum -= a[i][k] * a[k][j];
                a[i][j] = sum;
                const double dum = scale[i] * std::fabs(sum);
                if (dum >= big) {
                    big = dum;
                    imax = i;
                }
            }
            if (j != imax) {
                for (int k = 1; k <= n; ++k) {
                    const double dum = a[imax][k];
                    a[imax][k] = a[j][k];
                    a[j][k] = dum;
                }
                scale[imax] = scale[j];
            }
            perm[j] = imax;
            if (a[j][j] == 0.0) a[j][j] = 1e-20;
            if (j != n)
                for (int i = j + 1; i <= n; ++i) a[i][j] /= a[j][j];
        }

        // One forward and back substitution per column of the identity.
        for (int j = 1; j <= n; ++j) {
            for (int i = 1; i <= n; ++i) col[i] = 0.0;
            col[j] = 1.0;
            int first = 0; // first index with a non-zero running value
            for (int i = 1; i <= n; ++i) {
                const int p = perm[i];
                double sum = col[p];
                col[p] = col[i];
                if (first != 0)
                    for (int k = first; k < i; ++k) sum -= a[i][k] * col[k];
                else if (sum != 0.0)
                    first = i;
                col[i] = sum;
            }
            for (int i = n; i >= 1; --i) {
                double sum = col[i];
                for (int k = i + 1; k <= n; ++k) sum -= a[i][k] * col[k];
                col[i] = sum / a[i][i];
            }
            for (int i = 1; i <= n; ++i) result[static_cast<std::size_t>(i) * size + j] = col[i];
        }

        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) a[i][j] = result[static_cast<std::size_t>(i) * size + j];
    } catch (const std::bad_alloc&) {
        // Out of memory before anything was changed: a is left as it was.
    }
}

int gaussj(double** a, int n) {
    if (n == 0) return 1;
    if (!a || n < 0) return 0;
    try {
        const std::size_t size = static_cast<std::size_t>(n) + 1;
        std::vector<int> indxr(size), indxc(size), ipiv(size, 0);
        for (int i = 0; i < n; ++i) {
            double big = 0.0;
            int irow = -1, icol = -1;
            for (int j = 0; j < n; ++j) {
                if (ipiv[j] == 1) continue;
                for (int k = 0; k < n; ++k) {
                    if (ipiv[k] == 0) {
                        if (std::fabs(a[j][k]) >= big) {
                            big = std::fabs(a[j][k]);
                            irow = j;
                            icol = k;
                        }
                    } else if (ipiv[k] > 1) {
                        return 0; // a column pivoted twice: singular
                    }
                }
            }
            if (icol < 0) return 0; // no usable pivot (NaN elements)
            ++ipiv[icol];
            if (irow != icol)
                for (int l = 0; l < n; ++l) {
                    const double t = a[irow][l];
                    a[irow][l] = a[icol][l];
                    a[icol][l] = t;
                }
            indxr[i] = irow;
            indxc[i] = icol;
            if (a[icol][icol] == 0.0) return 0;
            const double pivinv = 1.0 / a[icol][icol];
            a[icol][icol] = 1.0;
            for (int l = 0; l < n; ++l) a[icol][l] *= pivinv;
            for (int ll = 0; ll < n; ++ll) {
                if (ll == icol) continue;
                const double dum = a[ll][icol];
                a[ll][icol] = 0.0;
                for (int l = 0; l < n; ++l) a[ll][l] -= a[icol][l] * dum;
            }
        }
        for (int l = n - 1; l >= 0; --l) {
            if (indxr[l] == indxc[l]) continue;
            for (int k = 0; k < n; ++k) {
                const double t = a[k][indxr[l]];
                a[k][indxr[l]] = a[k][indxc[l]];
                a[k][indxc[l]] = t;
            }
        }
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int spdinv(double** a, int n) {
    if (n == 0) return 1;
    if (!a || n < 0) return 0;

    // U D U^T factorisation from the last row up; a pivot below 1e-11 stops it and
    // stays on the diagonal, where the inversion below reports it.
    for (int j = n - 1; j >= 0; --j) {
        const double d = a[j][j];
        if (std::fabs(d) < 1e-11) break;
        const double alpha = 1.0 / d;
        for (int k = 0; k < j; ++k) {
            const double beta = a[k][j];
            a[k][j] = alpha * beta;
            for (int i = 0; i <= k; ++i) a[i][k] = a[i][k] - a[i][j] * beta;
            a[j][k] = 0.0;
        }
    }

    // Invert the unit triangle U (row by row) and the diagonal D.
    for (int j = 0; j < n; ++j) {
        for (int c = j + 1; c < n; ++c) {
            double v = -a[j][c];
            for (int m = j + 1; m < c; ++m) v -= a[m][c] * a[j][m];
            a[j][c] = v;
            a[c][j] = 0.0;
        }
        if (std::fabs(a[j][j]) < 1e-11) return 0;
        a[j][j] = 1.0 / a[j][j];
    }

    // W^T D^-1 W, written into both triangles.
    for (int j = n - 1; j >= 0; --j) {
        double s = a[j][j];
        for (int i = 0; i < j; ++i) {
            const double t = a[i][j];
            a[i][j] = a[i][i] * t;
            s = s + t * a[i][i] * t;
        }
        for (int k = j - 1; k >= 0; --k) {
            double v = a[k][j];
            for (int m = 0; m < k; ++m) v += a[m][j] * a[m][k];
            a[k][j] = v;
            a[j][k] = v;
        }
        a[j][j] = s;
    }
    return 1;
}

int conv(double* lat, double* lon, double* h, double* x, double* y, double* z, int mode) {
    const double a = 6378137.0;
    const double E = std::sqrt(272331606107.5547); // linear eccentricity
    const double e = E / a;
    const double e2 = e * e;
    if (mode == 1) {
        if (!lat || !lon || !h || !x || !y || !z) return 0;
        *lon = std::atan2(*y, *x);
        const double p = std::sqrt(*x * *x + *y * *y);
        if (p == 0.0) {
            // On the polar axis: the pole on the side of z, height above it.
            const double b = a * std::sqrt(1 - e2);
            *lat = (*z >= 0 ? 1 : -1) * (gw::kPi / 2);
            *h = std::fabs(*z) - b;
            return 0;
        }
        double t = *z / p;
        int count = 0;
        for (;;) {
            const double tPrev = t;
            t = *z / (p - a * e2 / std::sqrt(t * t * (1 - e2) + 1));
            ++count;
            if (std::fabs(t - tPrev) <= 1e-15) break;
            if (count > 300) {
                std::printf("(xyz) --> (phi, lam, h) not convergent\n");
                break;
            }
        }
        *lat = std::atan(t);
        const double s = std::sin(*lat);
        *h = p / std::cos(*lat) - a / std::sqrt(1 - e2 * (s * s));
    } else if (mode == 2) {
        if (!lat || !lon || !h || !x || !y || !z) return 0;
        const double s = std::sin(*lat);
        const double n = a / std::sqrt(1 - e2 * (s * s));
        *x = (n + *h) * std::cos(*lat) * std::cos(*lon);
        *y = (n + *h) * std::cos(*lat) * std::sin(*lon);
        *z = (n * (1 - e2) + *h) * std::sin(*lat);
    }
    return 0;
}
