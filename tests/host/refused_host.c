/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* A C host that refuses the library's version at start-up: the library stays
 * unusable and harmless. Exits non-zero on the first failure. */
#include <stdio.h>
#include <string.h>

#include "gridwise/geodetics.h"
#include "gridwise/host.h"
#include "gridwise/postext.h"
#include "gridwise/units.h"

static int checks = 0;

static int refuse(void* context, unsigned int version, const char* source, const char* build) {
    (void)context;
    (void)version;
    (void)source;
    (void)build;
    ++checks;
    return 0;
}

int main(void) {
    GwHostServices services = {0};
    char section[] = "Survey", file[] = "/nonexistent-gridwise-dir/geo.ini";
    char general[30] = "keep", text[80] = "keep";
    double north = 1.5, east = 2.5;
    int failures = 0;

    services.checkDllVersion = refuse;
    if (gwSetHostServices(&services) != 1)
        ++failures;
    if (allocGeodetics() != 0 || allocGeodetics() != 0)
        ++failures;
    if (checks != 1)
        ++failures;
    if (allocUnits(file) != 0)
        ++failures;
    loadGeoData(section, file);
    geoToGrid(52.0, 4.0, &north, &east);
    if (north != 1.5 || east != 2.5)
        ++failures;
    if (getInfo(general, general) != 0 || strcmp(general, "keep") != 0)
        ++failures;
    psnToStr(text, 0, 52.0, 4.0);
    if (text[0] != '\0')
        ++failures;
    if (failures)
        fprintf(stderr, "refused_host: %d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
