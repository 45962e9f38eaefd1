/* Projection interface, envelope and factory.
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
 * Names and angles are kept as the settings and the initialisation string can
 * carry them back: a name loses leading blanks, ':' and ';' and, once cut to its
 * field, trailing blanks (setTypeStr, loadData and the string constructor alike);
 * an angle key's longitude beyond +-180 is brought into (-180, 180], and its
 * latitude beyond the poles reads as the key's default.
 *
 * Grid coordinates are metres (northing, easting), angles degrees. */
#ifndef GRIDWISE_PROJECTION_H
#define GRIDWISE_PROJECTION_H

#include "gridwise/export.h"

#ifdef __cplusplus

#include <string>

class Datum;
class CWnd;            /* parent window handle of the dialog toolkit (opaque here) */
struct ProjDataStruct; /* one entry of the projection list file */

/* Room for the longest initialisation string a projection writes, terminator
 * included, for any field values (see getInitStr). Buffers handed to getInitStr
 * must hold it. Measured lengths: a Transverse Mercator writes 65 characters with
 * its defaults, at most about 100 for sensible values and 1021 for absurd ones
 * (every number -1.8e308); the local systems carry their base projection's
 * string behind their own 12-decimal numbers, about 355 characters for a sensible
 * affine local system (so 240 characters are not enough) and at most about 4920
 * for absurd values. Since a local system's base is never itself a local system,
 * no longer string arises; getInitStr would cut one. */
#define GW_INIT_STR_MAX 8192

/* Tag of the protected base constructor of the concrete projections. */
struct ProjectionBaseCon {};

class GW_EXPORT Projection {
public:
    int type;            /* projection type code */
    char general[30];    /* general name (group in the projection list), at most 29 characters */
    char specific[30];   /* specific name within the group, at most 29 characters */
    Projection* inner;   /* envelope: the concrete projection; concrete projection: null */
    short ownsInner;     /* non-zero in an envelope */

    /* Envelope built from an initialisation string (null: a default Transverse Mercator). */
    Projection(char* init = nullptr);
    Projection(const Projection& other);
    Projection& operator=(const Projection& other);
    virtual ~Projection();

    virtual int editDialog(CWnd* parent, ProjDataStruct** projList);
    virtual void getLines(char lines[][50]);
    virtual void loadData(char* section, char* file);
    virtual void saveData(char* section, char* file);
    /* Writes the initialisation string into init, which must hold GW_INIT_STR_MAX
     * characters; a string that would be longer is cut to GW_INIT_STR_MAX - 1. */
    virtual void getInitStr(char* init);
    virtual void getTypeStr(char* general, char* specific);
    virtual void setTypeStr(char* general, char* specific);
    virtual void geoparm(Datum* datum);
    virtual void gridToGeo(double north, double east, double& lat, double& lon);
    virtual void geoToGrid(double lat, double lon, double& north, double& east);
    virtual double lineScale(double north1, double east1, double north2, double east2);
    virtual double converge(double north, double east);
    virtual int getUnits();
    virtual int getFormat();

    /* Replaces the concrete projection by a default one of the type `code`. */
    void changeTo(int code);

    /* The initialisation string, without a length limit. Concrete projections
     * override it; an envelope forwards to its concrete projection. */
    virtual std::string initString();

    /* A new copy of this projection (an envelope copies its concrete projection). */
    virtual Projection* clone() const;

protected:
    explicit Projection(ProjectionBaseCon);
};

#endif

#endif
