// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Module start-up through the host's services: the calls, their arguments and
// order, acceptance and refusal, the defaults, and the module-state switch.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "facade/Geodetics.h"
#include "gridwise/geodetics.h"
#include "gridwise/host.h"
#include "module/Gridwise.h"
#include "platform/ModuleState.h"
#include "platform/HostServices.h"

namespace {

struct Recorder {
    std::vector<std::string> calls;
    const void* module = nullptr;
    unsigned int version = 0;
    std::string source;
    std::string build;
    int answer = 1;
    void* helpWindow = nullptr;
};

void recLoad(void* ctx, const void* module) {
    auto* r = static_cast<Recorder*>(ctx);
    r->calls.push_back("load");
    r->module = module;
}

int recCheck(void* ctx, unsigned int version, const char* source, const char* build) {
    auto* r = static_cast<Recorder*>(ctx);
    r->calls.push_back("check");
    r->version = version;
    r->source = source ? source : "(null)";
    r->build = build ? build : "(null)";
    return r->answer;
}

int recHelp(void* ctx, void* window) {
    auto* r = static_cast<Recorder*>(ctx);
    r->calls.push_back("help");
    r->helpWindow = window;
    return 1;
}

GwHostServices servicesFor(Recorder& r) {
    GwHostServices s{};
    s.context = &r;
    s.loadAppResources = recLoad;
    s.checkDllVersion = recCheck;
    s.showHelpfile = recHelp;
    return s;
}

class ModuleTest : public ::testing::Test {
protected:
    void TearDown() override { gwSetHostServices(nullptr); }
};

} // namespace

TEST_F(ModuleTest, InitialisationLoadsResourcesThenChecksTheVersion) {
    for (int answer : {1, 0, 7}) {
        SCOPED_TRACE(answer);
        Recorder r;
        r.answer = answer;
        const GwHostServices s = servicesFor(r);
        gwSetHostServices(&s);
        CGridwiseApp app;
        EXPECT_EQ(app.initInstance(), answer != 0);
        EXPECT_EQ(r.calls, (std::vector<std::string>{"load", "check"}));
        EXPECT_EQ(r.module, static_cast<const void*>(&theApp));
        EXPECT_EQ(r.version, 0x4010007u);
        EXPECT_EQ(r.version, 67174407u);
        EXPECT_EQ(r.source, ".\\Gridwise.cpp");
        // The compiler's date and time form, e.g. "Jan 15 2014 16:19:55".
        EXPECT_TRUE(std::regex_match(
            r.build, std::regex("[A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-6][0-9]")))
            << r.build;
    }
}

TEST_F(ModuleTest, ServicesPassThroughAndMissingOnesDefault) {
    Recorder r;
    GwHostServices s = servicesFor(r);
    gwSetHostServices(&s);
    int window = 0;
    EXPECT_TRUE(gw::hostServices().showHelpfile(reinterpret_cast<CWnd*>(&window)));
    EXPECT_EQ(r.helpWindow, &window);

    s.loadAppResources = nullptr;
    s.checkDllVersion = nullptr;
    s.showHelpfile = nullptr;
    gwSetHostServices(&s);
    r.calls.clear();
    CGridwiseApp app;
    EXPECT_TRUE(app.initInstance());
    EXPECT_FALSE(gw::hostServices().showHelpfile(nullptr));
    EXPECT_TRUE(r.calls.empty());

    gwSetHostServices(nullptr);
    gw::DefaultHostServices defaults;
    EXPECT_TRUE(defaults.checkDllVersion(0x4010007u, ".\\Gridwise.cpp", "x"));
    EXPECT_FALSE(defaults.showHelpfile(nullptr));
    EXPECT_TRUE(CGridwiseApp().initInstance());
}

TEST_F(ModuleTest, ModuleStateIsRestoredOnEveryExit) {
    EXPECT_FALSE(gw::moduleStateActive());
    {
        gw::ModuleStateScope outer;
        EXPECT_TRUE(gw::moduleStateActive());
        {
            gw::ModuleStateScope inner;
            EXPECT_TRUE(gw::moduleStateActive());
        }
        EXPECT_TRUE(gw::moduleStateActive());
    }
    EXPECT_FALSE(gw::moduleStateActive());
    try {
        gw::ModuleStateScope scope;
        throw std::runtime_error("leave");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(gw::moduleStateActive());
}

namespace {

// Registers services that answer `answer`, uses the library twice and tells
// whether everything went as it should.
bool startUpCase(int answer, bool ready) {
    Recorder r;
    r.answer = answer;
    const GwHostServices s = servicesFor(r);
    const bool before = gwSetHostServices(&s) == 1 && !gw::moduleStartupRan();
    const bool first = gw::moduleReady();
    const bool second = gw::moduleReady();
    const bool after = gwSetHostServices(&s) == 0;
    const std::vector<std::string> once = {"load", "check"};
    return before && after && first == ready && second == ready && r.calls == once;
}

} // namespace

// The start-up runs once per process, so each case runs in a fresh one.
TEST(ModuleStartUp, RunsOnceOnFirstUse) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(startUpCase(1, true) ? 0 : 1), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(std::exit(startUpCase(0, false) ? 0 : 1), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(std::exit(startUpCase(5, true) ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

namespace {
int reenter(void*, unsigned int, const char*, const char*) {
    // A host service that calls back into the library during start-up gets nothing.
    return gw::moduleReady() ? 0 : 1;
}
} // namespace

TEST(ModuleStartUp, ReentryDuringStartUpIsRefused) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            GwHostServices s{};
            s.checkDllVersion = reenter;
            gwSetHostServices(&s);
            std::exit(gw::moduleReady() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

namespace {
std::atomic<int> versionChecks{0};
int slowVersionCheck(void* answer, unsigned int, const char*, const char*) {
    versionChecks.fetch_add(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the others arrive meanwhile
    return *static_cast<int*>(answer);
}

// Eight threads reach the gate together: the host is asked once, and all of them get
// its answer.
bool threadsAtTheGate(int answer) {
    GwHostServices s{};
    s.context = &answer;
    s.checkDllVersion = slowVersionCheck;
    gwSetHostServices(&s);
    std::atomic<bool> go{false};
    std::vector<int> results(8, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] {
            while (!go.load()) std::this_thread::yield();
            results[i] = gw::moduleReady() ? 1 : 0;
        });
    go.store(true);
    for (auto& t : threads) t.join();
    const int expected = answer != 0 ? 1 : 0;
    return versionChecks.load() == 1 && results == std::vector<int>(8, expected) && gw::moduleReady() == (expected == 1);
}
} // namespace

TEST(ModuleStartUp, ThreadsAtTheGateRunTheStartUpOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(threadsAtTheGate(1) ? 0 : 1), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(std::exit(threadsAtTheGate(0) ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

// The geodesy instance after a refused start-up.
namespace {
int refuseVersion(void*, unsigned int, const char*, const char*) { return 0; }
} // namespace

TEST(GeodeticsStartUp, RefusedVersionLeavesTheLibraryUnusable) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process: start-up not yet run
    EXPECT_EXIT(
        {
            GwHostServices services{};
            services.checkDllVersion = refuseVersion;
            gwSetHostServices(&services);
            const int first = allocGeodetics();
            const int second = allocGeodetics();
            char general[30] = "";
            const bool ok = first == 0 && second == 0 && gw::geodesyInstance() == nullptr &&
                            getInfo(general, general) == 0;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
