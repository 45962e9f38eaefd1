/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* A C host of libgridwise.so: only the public headers and the shared library.
 * Installs its services, creates the units object and the geodesy instance,
 * loads a settings section, converts both ways, writes and reads a position,
 * saves, frees. Exits non-zero on the first failure. */
#define _XOPEN_SOURCE 700
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "gridwise/geodetics.h"
#include "gridwise/host.h"
#include "gridwise/postext.h"
#include "gridwise/units.h"

static int failures = 0;

#define CHECK(cond)                                                        \
    do {                                                                   \
        if (!(cond)) {                                                     \
            fprintf(stderr, "c_host: %s:%d: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                    \
        }                                                                  \
    } while (0)

static double absd(double x) { return x < 0 ? -x : x; }

struct Calls {
    int loads;
    int checks;
    unsigned int version;
    char source[64];
};

static void onLoad(void* context, const void* module) {
    struct Calls* c = (struct Calls*)context;
    if (module != NULL && c->checks == 0)
        ++c->loads;
}

static int onCheck(void* context, unsigned int version, const char* source, const char* build) {
    struct Calls* c = (struct Calls*)context;
    ++c->checks;
    c->version = version;
    snprintf(c->source, sizeof c->source, "%s", source);
    return build != NULL && strlen(build) == 20;
}

static int fileContains(const char* path, const char* text) {
    char buffer[8192];
    FILE* f = fopen(path, "rb");
    size_t n;
    if (!f)
        return 0;
    n = fread(buffer, 1, sizeof buffer - 1, f);
    fclose(f);
    buffer[n] = '\0';
    return strstr(buffer, text) != NULL;
}

int main(void) {
    struct Calls calls = {0, 0, 0, ""};
    GwHostServices services = {0};
    char dirTemplate[] = "/tmp/gw-host-XXXXXX";
    char geoFile[256], unitsFile[256];
    char section[] = "Survey", saved[] = "Saved";
    char general[30], specific[30], text[80], line1[32], line2[32], expected[80];
    double north = 0, east = 0, lat = 0, lon = 0, h = 0, az = 0, dist = 0;
    const char* dir;
    FILE* f;

    services.context = &calls;
    services.loadAppResources = onLoad;
    services.checkDllVersion = onCheck;
    CHECK(gwSetHostServices(&services) == 1);

    dir = mkdtemp(dirTemplate);
    if (!dir) {
        perror("mkdtemp");
        return 2;
    }
    snprintf(geoFile, sizeof geoFile, "%s/geo.ini", dir);
    snprintf(unitsFile, sizeof unitsFile, "%s/units.ini", dir);
    f = fopen(geoFile, "w");
    if (!f)
        return 2;
    fputs("[Survey]\r\nGeodesyType=0\r\nprojName=UTM 31\r\noriginLon=E003 00.0000\r\n"
          "falseEast=500000.000\r\nscaleFactor=0.999600\r\nunits=0\r\n"
          "general=Europe\r\nspecific=UTM 31\r\n",
          f);
    fclose(f);

    CHECK(allocUnits(unitsFile) == 1);
    CHECK(allocGeodetics() == 1);
    CHECK(calls.loads == 1 && calls.checks == 1);
    CHECK(calls.version == 0x4010007u);
    CHECK(strcmp(calls.source, ".\\Gridwise.cpp") == 0);

    loadGeoData(section, geoFile);
    CHECK(getInfo(general, specific) == 1);
    CHECK(strcmp(general, "Europe") == 0 && strcmp(specific, "UTM 31") == 0);
    CHECK(getPlotUnits() == 0 && getConversion() == 1.0);

    /* UTM zone 31 on WGS 84 at 52 N 4 E. */
    geoToGrid(52.0, 4.0, &north, &east);
    CHECK(absd(north - 5761510.3164) < 0.02 && absd(east - 568649.7049) < 0.02);
    gridToGeo(north, east, &lat, &lon);
    CHECK(absd(lat - 52.0) < 1e-8 && absd(lon - 4.0) < 1e-8);
    CHECK(converge(north, east) > 0.7 && converge(north, east) < 0.9);
    CHECK(absd(lineScale(north, east, north + 1000, east) - 1.0) < 0.001);

    psnToStr(text, 0, 52.0, 4.0);
    gridToStr(line1, north, 2);
    gridToStr(line2, east, 1);
    CHECK(strncmp(line1, "N5761510.", 9) == 0 && strncmp(line2, "E568649.", 8) == 0);
    snprintf(expected, sizeof expected, "%s\r\n%s", line1, line2);
    CHECK(strcmp(text, expected) == 0);
    strToPsn(text, 0, &lat, &lon);
    CHECK(absd(lat - 52.0) < 1e-6 && absd(lon - 4.0) < 1e-6);
    psnToStr(text, 1, 52.0854, 4.8686);
    CHECK(strcmp(text, "N52 05.1240\r\nE004 52.1160") == 0);
    strToPsn(text, 1, &lat, &lon);
    CHECK(absd(lat - 52.0854) < 1e-6 && absd(lon - 4.8686) < 1e-6);

    workingToWgs84(52.0, 4.0, 0.0, &lat, &lon, &h);
    CHECK(absd(lat - 52.0) < 1e-6 && absd(lon - 4.0) < 1e-6);
    direct(52.0, 4.0, 45.0, 1000.0, &lat, &lon);
    inverse(52.0, 4.0, lat, lon, &az, &dist);
    CHECK(absd(az - 45.0) < 1e-6 && absd(dist - 1000.0) < 0.001);

    saveGeoData(saved, geoFile);
    CHECK(fileContains(geoFile, "[Saved]"));
    CHECK(fileContains(geoFile, "GeodesyType=0"));
    CHECK(fileContains(geoFile, "specific=UTM 31"));

    deAllocGeodetics();
    CHECK(getInfo(general, specific) == 0);
    deAllocUnits(unitsFile);

    unlink(geoFile);
    unlink(unitsFile);
    rmdir(dir);
    if (failures == 0)
        printf("c_host: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
