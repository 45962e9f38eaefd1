/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Projection interface, envelope and factory.
 * See docs/threads.md for what may be shared between threads.
 *
 * `Projection` is both the abstract interface of every map projection and local
 * coordinate system, and the envelope through which the rest of the library holds
 * one: an envelope (`ownsInner` set) owns exactly one concrete projection in
 * `inner` and forwards every operation to it, so the concrete projection can be
 * exchanged (`changeTo`) without the holder's pointer changing.
 *
 * Type codes: 0 Transverse Mercator, 1 Lambert, 3 affine local system, 4 polar
 * stereographic, 5 local tangent system, 6 station/offset, 7 RD; any other code
 * builds a Transverse Mercator.
 *
 * Copying or assigning an envelope copies its concrete projection (a virtual
 * clone), so no two envelopes ever own, or destroy, one object.
 *
 * When memory runs out: no exception leaves a constructor of Projection (the
 * copy constructor included) or of a concrete projection, nor changeTo. An
 * envelope whose concrete projection cannot be made is left bare: `inner` null,
 * type 0, and it answers with the neutral values of the forwarding (no lines, no
 * settings read or written, grid and geographic results 0, line scale 1,
 * convergence 0, units and format 0, an empty initialisation string). changeTo
 * keeps the projection it had. Assignment copies before it replaces anything:
 * std::bad_alloc leaves the envelope as it was.
 *
 * Names and angles are kept as the settings and the initialisation string can
 * carry them back: a name loses leading blanks, ':' and ';' and, once cut to its
 * field, trailing blanks (setTypeStr, loadData and the string constructor alike);
 * an angle key's longitude beyond +-180 is brought into (-180, 180], and its
 * latitude beyond the poles reads as the key's default.
 *
 * Threads: distinct Projection objects may be used from different threads at
 * the same time; one object (an envelope together with its concrete projection)
 * only from one thread at a time, the const members included. Two more things are
 * shared by the whole process: construction from an initialisation string reads
 * its false northing and easting in the grid style of the process-wide geodesy
 * instance (its current projection's format), and the description lines read the
 * process-wide units object, so neither may run while another thread changes the
 * geodesy instance or the units object (the host does those from its
 * user-interface thread). loadData and saveData go through the settings files'
 * cache, which serialises its lookups and updates, so loads may run in parallel;
 * a save rewrites the whole file from what it read, so two saves into one file at
 * the same time may lose each other's keys.
 *
 * Grid coordinates are metres (northing, easting), angles degrees. */
#ifndef GRIDWISE_PROJECTION_H
#define GRIDWISE_PROJECTION_H

#include "gridwise/export.h"

/* The type codes of the projections, first field of an initialisation string and
 * "GeodesyType" of the settings (see above); 2 and 8 name no projection. */
enum {
    GW_TYPE_TRANSVERSE_MERCATOR = 0,
    GW_TYPE_LAMBERT = 1,
    GW_TYPE_AFFINE_LOCAL = 3,
    GW_TYPE_POLAR_STEREOGRAPHIC = 4,
    GW_TYPE_LOCAL_TANGENT = 5,
    GW_TYPE_STATION_OFFSET = 6,
    GW_TYPE_RD = 7
};

#ifdef __cplusplus

#include <stddef.h>

/* Members that only the library itself uses; they stay out of the shared
 * library's symbol table. */
#ifndef GW_INTERNAL
#if defined(GRIDWISE_BUILDING)
#define GW_INTERNAL __attribute__((visibility("hidden")))
#else
#define GW_INTERNAL
#endif
#endif

class Datum;
class CWnd;            /* parent window handle of the dialog toolkit (opaque here) */
struct ProjDataStruct; /* one entry of the projection list file */

namespace gw {
class InitText; /* the library's own writer of initialisation strings */
}

/* Room for the longest initialisation string a projection writes, terminator
 * included, for any field values (see getInitStr). Buffers handed to the unsized
 * getInitStr must hold it. Measured lengths: a Transverse Mercator writes 65
 * characters with its defaults, at most about 100 for sensible values and 1021 for
 * absurd ones (every number -1.8e308); the local systems carry their base
 * projection's string behind their own 12-decimal numbers, about 355 characters
 * for a sensible affine local system (so 240 characters are not enough) and at
 * most about 4920 for absurd values. Since a local system's base is never itself
 * a local system, no longer string arises; getInitStr would cut one. */
#define GW_INIT_STR_MAX 8192

/* Tag of the protected base constructor of the concrete projections. */
struct ProjectionBaseCon {};

class GW_EXPORT Projection {
public:
    int type;            /* projection type code */
    char general[30];    /* general name (group in the projection list), at most 29 characters */
    char specific[30];   /* specific name within the group, at most 29 characters */
    Projection* inner;   /* envelope: the concrete projection (null when bare); concrete projection: null */
    short ownsInner;     /* non-zero in an envelope */

    /* Envelope built from an initialisation string (null: a default Transverse
     * Mercator). Bare when memory runs out. */
    Projection(char* init = nullptr) noexcept;
    /* A copy of an envelope clones its concrete projection (bare when memory runs
     * out); a copy of a concrete projection's base part takes type and names. */
    Projection(const Projection& other) noexcept;
    /* Copies first, then replaces: std::bad_alloc leaves this one unchanged. */
    Projection& operator=(const Projection& other);
    virtual ~Projection();

    virtual int editDialog(CWnd* parent, ProjDataStruct** projList);
    virtual void getLines(char lines[][50]);
    virtual void loadData(char* section, char* file);
    virtual void saveData(char* section, char* file);
    /* Writes the initialisation string into init, which must hold GW_INIT_STR_MAX
     * characters; a string that would be longer is cut to GW_INIT_STR_MAX - 1.
     * Nothing is written when init is null; an empty string when memory runs out.
     * An envelope forwards to its concrete projection. */
    virtual void getInitStr(char* init);
    /* The same into a buffer of size bytes: at most size - 1 characters and the
     * terminator, a longer string cut. Nothing is written when init is null or
     * size is 0; an empty string when memory runs out. */
    void getInitStr(char* init, size_t size);
    virtual void getTypeStr(char* general, char* specific);
    virtual void setTypeStr(char* general, char* specific);
    virtual void geoparm(Datum* datum);
    virtual void gridToGeo(double north, double east, double& lat, double& lon);
    virtual void geoToGrid(double lat, double lon, double& north, double& east);
    virtual double lineScale(double north1, double east1, double north2, double east2);
    virtual double converge(double north, double east);
    virtual int getUnits();
    virtual int getFormat();

    /* Replaces the concrete projection by a default one of the type `code`; keeps
     * the one it has when memory runs out. A concrete projection does not change. */
    void changeTo(int code) noexcept;

    /* Appends the initialisation string, without a length limit, to out. Concrete
     * projections override it; an envelope forwards to its concrete projection, a
     * bare one appends nothing. Internal to the library. */
    GW_INTERNAL virtual void initText(gw::InitText& out) const;

    /* A new copy of this projection (an envelope copies its concrete projection). */
    virtual Projection* clone() const;

protected:
    explicit Projection(ProjectionBaseCon);
};

#endif

#endif
