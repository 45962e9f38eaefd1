// The Dutch national grid RD by fixed power series.
#include "projections/RDProj.h"

#include "platform/CLocale.h"
#include "projections/ProjectionKeys.h"

namespace {

using gw::Form;

constexpr std::size_t kNameSize = 40;
constexpr std::size_t kTypeNameSize = 30;
constexpr std::size_t kLineSize = 50;

// The settings carry the two names only, the string "7,projName" the name only.
constexpr gw::Key<RDProj> kKeys[] = {
    // {key, member, {settings form, default, format}, {string field, form, format}}
    {nullptr,    &RDProj::projName, {}, {1, Form::name}},
    {"general",  &RDProj::general,  {Form::name, "USER"}},
    {"specific", &RDProj::specific, {Form::name, "RDProj"}},
};
constexpr gw::KeyTable<RDProj> kTable{kKeys, gw::FieldWidth::wide, false};
static_assert(gw::wellFormed(kTable));

struct Term {
    int p;
    int q;
    double c;
};

// Easting from (dphi, dlambda) in units of 10000 arc-seconds: x - x0.
constexpr Term kEast[] = {
    {0, 1, 190066.98903}, {1, 1, -11830.85831}, {2, 1, -114.19754}, {0, 3, -32.3836},  {3, 1, -2.34078},
    {1, 3, -0.60639},     {2, 3, 0.15774},      {4, 1, -0.04158},   {0, 5, -0.00661},
};

// Northing from (dphi, dlambda): y - y0.
constexpr Term kNorth[] = {
    {1, 0, 309020.3181}, {0, 2, 3638.36193}, {1, 2, -157.95222}, {2, 0, 72.97141}, {3, 0, 59.79734},
    {2, 2, -6.43481},    {0, 4, 0.09351},    {3, 2, -0.07379},   {1, 4, -0.05419}, {4, 0, -0.03444},
};

// Latitude in arc-seconds from (dx, dy) in units of 100 km.
constexpr Term kLat[] = {
    {0, 1, 3236.0331637}, {2, 0, -32.5915821}, {0, 2, -0.2472814}, {2, 1, -0.8501341},
    {0, 3, -0.0655238},   {2, 2, -0.0171137},  {4, 0, 0.0052771},  {2, 3, -0.0003859},
    {4, 1, 0.0003314},    {0, 4, 0.0000371},   {4, 2, 0.0000143},  {2, 4, -0.000009},
};

// Longitude in arc-seconds from (dx, dy).
constexpr Term kLon[] = {
    {1, 0, 5261.3028966}, {1, 1, 105.9780241}, {1, 2, 2.4576469},  {3, 0, -0.8192156},
    {3, 1, -0.0560092},   {1, 3, 0.0560089},   {3, 2, -0.0025614}, {1, 4, 0.001277},
    {5, 0, 0.0002574},    {3, 3, -0.0000973},  {5, 1, 0.0000293},  {1, 5, 0.0000291},
};

constexpr int kMaxPower = 5;

// Sum of c u^p v^q over the table, in table order; powers by repeated multiplication.
template <std::size_t N>
double series(const Term (&terms)[N], double u, double v) {
    double up[kMaxPower + 1];
    double vp[kMaxPower + 1];
    up[0] = 1.0;
    vp[0] = 1.0;
    up[1] = u;
    vp[1] = v;
    for (int i = 2; i <= kMaxPower; ++i) {
        up[i] = up[i - 1] * u;
        vp[i] = vp[i - 1] * v;
    }
    double sum = 0.0;
    for (const Term& t : terms) sum += t.c * up[t.p] * vp[t.q];
    return sum;
}

} // namespace

RDProj::RDProj(char* init)
    : Projection(ProjectionBaseCon{}), projName(), datum(), lat0(52.15616056), lon0(5.38763889), x0(155000.0),
      y0(463000.0) {
    gw::copyBounded(projName, "RD Projection", kNameSize);
    if (init != nullptr) gw::readInitString(*this, kTable, init);
    gw::copyBounded(general, "USER", kTypeNameSize);
    gw::copyBounded(specific, "RD Projection", kTypeNameSize);
    type = 7;
}

Projection* RDProj::clone() const { return new RDProj(*this); }

void RDProj::getLines(char lines[][50]) {
    gw::copyBounded(lines[0], "RD - coordinates", kLineSize);
    gw::copyBounded(lines[1], "central point in map :", kLineSize);
    gw::copyBounded(lines[2], "x0 = 155000 m", kLineSize);
    gw::copyBounded(lines[3], "y0 = 463000 m", kLineSize);
    lines[4][0] = '\0';
    lines[5][0] = '\0';
}

void RDProj::loadData(char* section, char* file) { gw::loadKeys(*this, kTable, section, file); }

void RDProj::saveData(char* section, char* file) { gw::saveKeys(*this, kTable, section, file); }

void RDProj::initText(gw::InitText& out) const { gw::writeInitString(out, *this, kTable); }

void RDProj::geoparm(Datum*) {}

void RDProj::geoToGrid(double lat, double lon, double& north, double& east) {
    const double dphi = 0.36 * (lat - lat0);
    const double dlam = 0.36 * (lon - lon0);
    east = x0 + series(kEast, dphi, dlam);
    north = y0 + series(kNorth, dphi, dlam);
}

void RDProj::gridToGeo(double north, double east, double& lat, double& lon) {
    const double dx = (east - x0) * 1e-5;
    const double dy = (north - y0) * 1e-5;
    lat = lat0 + series(kLat, dx, dy) / 3600;
    lon = lon0 + series(kLon, dx, dy) / 3600;
}

double RDProj::lineScale(double, double, double, double) { return 1.0; }

double RDProj::converge(double, double) { return 0.0; }

int RDProj::getUnits() { return 0; }

int RDProj::getFormat() { return 1; }
