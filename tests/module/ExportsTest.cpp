// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// libgridwise.so, as a host sees it: every C function declared in the public
// headers is exported under its plain name, the C++ entry points under their
// decorated names, and internal functions stay hidden.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

// The function names declared with GW_EXPORT inside the C blocks of the headers.
std::set<std::string> declaredCFunctions() {
    const std::filesystem::path include =
        (std::filesystem::path(GRIDWISE_TEST_DATA) / ".." / ".." / "include" / "gridwise")
            .lexically_normal();
    std::set<std::string> names;
    const std::regex decl(R"(GW_EXPORT\s+[A-Za-z_][\w\s\*]*?\b([A-Za-z_]\w*)\s*\()");
    for (const auto& entry : std::filesystem::directory_iterator(include)) {
        // gridwise/epsg.h is libgridwise-epsg.so's (tests/epsg check its exports).
        if (entry.path().extension() != ".h" || entry.path().filename() == "epsg.h")
            continue;
        std::ifstream in(entry.path());
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string text = ss.str();
        size_t at = 0;
        while ((at = text.find("GW_C_BEGIN", at)) != std::string::npos) {
            const size_t end = text.find("GW_C_END", at);
            if (end == std::string::npos)
                break;
            const std::string block = text.substr(at, end - at);
            for (std::sregex_iterator it(block.begin(), block.end(), decl), stop; it != stop; ++it)
                names.insert((*it)[1]);
            at = end;
        }
    }
    return names;
}

class ExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        handle = dlopen(GRIDWISE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle)
            dlclose(handle);
    }
    void* handle = nullptr;
};

} // namespace

TEST_F(ExportsTest, EveryDeclaredCFunctionIsExportedUnderItsPlainName) {
    const std::set<std::string> names = declaredCFunctions();
    // The parse must at least find the geodesy, host and position text functions.
    for (const char* must :
         {"allocGeodetics", "deAllocGeodetics", "loadGeoData", "saveGeoData", "editDialog", "dataUnitsDialog",
          "gridToGeo", "geoToGrid", "lineScale", "converge", "wgs84ToWorking", "workingToWgs84",
          "direct", "inverse", "getInfo", "getPlotUnits", "getConversion", "getLatLonTrack",
          "setLatLonTrack", "gwSetHostServices", "gridToStr", "parseStrToGridCoord", "psnToStr",
          "strToPsn", "metersToPos", "allocUnits", "geoToCart", "transRot"})
        EXPECT_TRUE(names.count(must)) << must << " not found in the headers";
    for (const std::string& name : names)
        EXPECT_NE(dlsym(handle, name.c_str()), nullptr) << name << " is not exported";
}

TEST_F(ExportsTest, CppEntryPointsAreExportedAndInternalsHidden) {
    const char* exported[] = {
        "_Z14getLatLonTrackRdS_S_S_Ri", // getLatLonTrack(double&, double&, double&, double&, int&)
        "_ZN9GeodeticsC1Ev",            // Geodetics::Geodetics()
        "_ZN9GeodeticsaSERKS_",         // Geodetics::operator=(const Geodetics&)
        "_ZN9Geodetics8loadDataEPcS0_", // Geodetics::loadData(char*, char*)
        "_ZN9Geodetics10editDialogEPv", // Geodetics::editDialog(void*)
    };
    for (const char* name : exported)
        EXPECT_NE(dlsym(handle, name), nullptr) << name;
    const char* hidden[] = {
        "_ZN2gw11moduleReadyEv",     // gw::moduleReady()
        "_ZN2gw15geodesyInstanceEv", // gw::geodesyInstance()
        "theApp",
        "_ZN12CGridwiseApp12initInstanceEv",
    };
    for (const char* name : hidden)
        EXPECT_EQ(dlsym(handle, name), nullptr) << name;
}

// The standard library's template instantiations in our code are not part of the
// library's interface: none is in the dynamic symbol table (our own functions may
// take standard types).
TEST(ExportsTable, NoStandardLibrarySymbolIsExported) {
    const std::string command = std::string("nm -DC --defined-only '") + GRIDWISE_LIBRARY + "' 2>/dev/null";
    FILE* nm = popen(command.c_str(), "r");
    ASSERT_NE(nm, nullptr);
    char line[8192];
    int lines = 0;
    while (std::fgets(line, sizeof line, nm) != nullptr) {
        ++lines;
        // The name up to its parameters: an instantiation names std:: there, our
        // functions only among their parameter types.
        std::string name = line;
        name = name.substr(0, name.find('('));
        EXPECT_EQ(name.find("std::"), std::string::npos) << line;
        EXPECT_EQ(name.find("__gnu_cxx::"), std::string::npos) << line;
    }
    pclose(nm);
    EXPECT_GT(lines, 50) << "nm listed nothing: " << command;
}
