// gridwise_demo SETTINGS-FILE
//
// Shows the unit settings of a settings file and the distance, latitude and
// longitude texts written and read with them. The program works on a copy of the
// file in a scratch folder, so the file given is never changed.
#include "gridwise/angletext.h"
#include "gridwise/units.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const char* unitName(const Units* units, int index) {
    if (units == nullptr || index < 0 || index > 4) return "(not a unit: metres)";
    return units->unitTable[index].name;
}

bool copyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    return static_cast<bool>(out);
}

void removeScratch(const char* dir) {
    std::string command = std::string("rm -rf '") + dir + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir);
}

// Prints the lines of section "units" of a settings file.
void printUnitsSection(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    bool inUnits = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') inUnits = line == "[units]";
        if (inUnits && !line.empty()) std::printf("  %s\n", line.c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SETTINGS-FILE\n", argc > 0 ? argv[0] : "gridwise_demo");
        return 2;
    }
    char scratch[] = "/tmp/gridwise-demo-XXXXXX";
    if (mkdtemp(scratch) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    std::string work = std::string(scratch) + "/settings.ini";
    if (!copyFile(argv[1], work)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        removeScratch(scratch);
        return 1;
    }

    if (allocUnits(work.data()) != 1) {
        std::fprintf(stderr, "cannot create the units object\n");
        return 1;
    }
    loadUnits(work.data());
    const Units* units = getUnits();
    const int latLonStyle = getLatLonStyle();
    // latLonStyle 1 is degrees, minutes and seconds, which the writers call style 0.
    const int writerStyle = latLonStyle == 1 ? 0 : 1;

    std::printf("Unit settings from %s\n", argv[1]);
    std::printf("  distUnits       %d  %s\n", units->distUnits, unitName(units, units->distUnits));
    std::printf("  wpUnits         %d  %s\n", units->wpUnits, unitName(units, units->wpUnits));
    std::printf("  latLonStyle     %d  %s\n", latLonStyle, latLonStyle == 1 ? "DD MM SS.S" : "DD MM.MMM");
    std::printf("  defaultEntry    %d  %s\n", geoOrGrid(), defaultEntry() == 0 ? "Lat/Lon" : "grid");
    std::printf("  defaultLatHemi  %d\n", units->defaultLatHemi);
    std::printf("  defaultLonHemi  %d\n", units->defaultLonHemi);
    std::printf("  defaultDistCalc %d\n", units->defaultDistCalc);
    std::printf("  1 m = %.9g distance units, 1 distance unit = %.9g m\n", metersToDist(), distToMeters());

    std::printf("\nDistances\n");
    const double distances[] = {0.0, 1.0, 1234.5678, 1852.0, -15.25};
    for (double meters : distances) {
        char dist[64], wp1[64], wp3[64];
        distToStr(dist, meters);
        wpDistToStr(wp1, meters, 1);
        wpDistToStr(wp3, meters, 3);
        std::printf("  %12.4f m  distToStr %-14s wpDistToStr %-10s %s\n", meters, dist, wp1, wp3);
    }

    std::printf("\nDistance texts read back (metres)\n");
    const char* texts[] = {"12.5", "  -12.5 ft", "N 100m", "E1.5 km", "10 NM", "3 yd", "12mi", "abc"};
    for (const char* t : texts) {
        std::string text = t;
        int pos = 0;
        double asDist = parseStrToDist(text.data());
        double inMeters = parseStrToUnit(text.data(), &pos, 0);
        std::printf("  %-12s parseStrToDist %12.6f   parseStrToUnit(unit 0) %12.6f, read %d of %zu characters\n",
                    ("'" + text + "'").c_str(), asDist, inMeters, pos, text.size());
    }

    std::printf("\nLatitudes and longitudes (writer style %d, 3 decimals)\n", writerStyle);
    const double positions[][2] = {{52.3676, 4.9041}, {-33.8568, 151.2153}, {0.0, 0.0}, {89.99999, -179.5}};
    double worst = 0.0;
    for (const auto& p : positions) {
        char lat[64], lon[64];
        latToStr(lat, p[0], 3, writerStyle);
        lonToStr(lon, p[1], 3, writerStyle);
        double latBack = strToAng(lat), lonBack = strToAng(lon);
        worst = std::fmax(worst, std::fmax(std::fabs(latBack - p[0]), std::fabs(lonBack - p[1])));
        std::printf("  %10.5f %11.5f  ->  %-16s %-17s -> %10.6f %11.6f\n", p[0], p[1], lat, lon, latBack, lonBack);
    }
    std::printf("  largest difference after reading back: %.2e degrees (%.3f m on the meridian)\n", worst,
                worst * 111320.0);

    // deAllocUnits saves the settings before it destroys the object: into the copy.
    deAllocUnits(work.data());
    std::printf("\nSection \"units\" as deAllocUnits saved it (in a scratch copy; %s is unchanged)\n", argv[1]);
    printUnitsSection(work);
    removeScratch(scratch);
    return 0;
}
