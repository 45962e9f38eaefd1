// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The dialogs' own help when the host shows none: the page of each dialog, shown
// in the dialog's message box or handed to a viewer program.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "dialogs/Dialog.h"
#include "dialogs/DialogHelp.h"
#include "dialogs/Install.h"
#include "dialogs/ScriptedBackend.h"
#include "platform/HostServices.h"
#include "support/SettingsFiles.h"
#include "support/EnvScope.h"

using namespace gw::dlg;

namespace {

// The test data folder may be a link: the docs are found beside it by name.
const std::string kDocs =
    (std::filesystem::path(GRIDWISE_TEST_DATA).parent_path().parent_path() / "docs/dialogs/").string();

using gwtest::readFile;

bool exists(const std::string& path) { return std::filesystem::exists(path); }

using gwtest::EnvScope;

// The children of this process that still exist (zombies included).
int childProcesses() {
    int n = 0;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return 0;
    while (dirent* e = readdir(proc)) {
        if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
        const std::string stat = readFile(std::string("/proc/") + e->d_name + "/stat");
        const auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == getpid()) ++n;
    }
    closedir(proc);
    return n;
}

template <class Pred> bool waitFor(Pred done) {
    for (int i = 0; i < 500; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

class DialogHelp : public testing::Test {
protected:
    void SetUp() override { installDialogs(); }
    ScriptedBackendScope scripted;
    gwtest::TempDir dir;
};

TEST_F(DialogHelp, EveryDialogHasItsPageBuiltInAndFoundWithItsPicture) {
    for (int id = 7010; id <= 7019; ++id) {
        SCOPED_TRACE(id);
        const std::string stem = helpPageStem(id);
        ASSERT_FALSE(stem.empty());
        const std::string md = readFile(kDocs + stem + ".md");
        EXPECT_EQ(helpPageMarkdown(id), md); // built in byte for byte
        EXPECT_NE(md.find("](" + stem + ".png)"), std::string::npos);
        EXPECT_TRUE(exists(kDocs + stem + ".png"));
        const std::string path = helpPagePath(id);
        EXPECT_EQ(readFile(path), md);
        EXPECT_EQ(path.substr(path.size() - stem.size() - 3), stem + ".md");
    }
    EXPECT_EQ(helpPageStem(7011), "7011-geodetics");
    EXPECT_EQ(helpPageStem(7009), "");
    EXPECT_EQ(helpPagePath(7020), "");
}

TEST_F(DialogHelp, TextForTheMessageBoxIsThePageWithoutMarkup) {
    const std::string text = helpPageText(7013);
    EXPECT_EQ(text.substr(0, text.find('\n')), "Transverse Mercator");
    for (const char* markup : {"![", "**", "`", "\n#", ".png"}) EXPECT_EQ(text.find(markup), std::string::npos) << markup;
    // A list item is one line; paragraphs stay apart.
    EXPECT_NE(text.find("- Scale Factor At CM: the scale on the central meridian, a plain number (\"0.999600\"), "
                        "from 0.5 to 10.\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n\nFields\n"), std::string::npos);
    EXPECT_EQ(text.find("\n\n\n"), std::string::npos);
}

TEST_F(DialogHelp, WithoutHostOrViewerF1ShowsThePageInTheMessageBoxAndTheDialogStaysOpen) {
    EnvScope viewer("GRIDWISE_HELP_VIEWER", "");
    bool open = false;
    const ScriptedWindow* seen = nullptr;
    scripted.backend.push({Action::help(), Action::check([&](DialogWindow& w) {
                               seen = dynamic_cast<ScriptedWindow*>(&w);
                               ASSERT_NE(seen, nullptr);
                               open = !seen->closed();
                               ASSERT_EQ(seen->messages().size(), 1u);
                               EXPECT_EQ(seen->messages()[0].first, "Help");
                               EXPECT_EQ(seen->messages()[0].second, helpPageText(7018));
                           }),
                           Action::cancel()});
    gw::dlg::Dialog form(7018, nullptr);
    EXPECT_EQ(form.doModal(), idCancel);
    EXPECT_TRUE(open);
}

TEST_F(DialogHelp, AViewerGetsThePagePathAndIsReaped) {
    const std::string out = dir.file("viewer-arg");
    const std::string script = dir.file("viewer.sh");
    gwtest::writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + out + ".tmp\" && mv \"" + out + ".tmp\" \"" + out +
                                  "\"\n");
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    EnvScope viewer("GRIDWISE_HELP_VIEWER", script.c_str());
    std::size_t messages = 99;
    scripted.backend.push({Action::help(), Action::check([&](DialogWindow& w) {
                               messages = static_cast<ScriptedWindow&>(w).messages().size();
                           })});
    gw::dlg::Dialog form(7016, nullptr);
    form.doModal();
    EXPECT_EQ(messages, 0u);
    ASSERT_TRUE(waitFor([&] { return exists(out); })) << "the viewer was not started";
    EXPECT_EQ(readFile(out), helpPagePath(7016));
    EXPECT_TRUE(waitFor([] { return childProcesses() == 0; })) << "the viewer was left a zombie";
}

TEST_F(DialogHelp, AViewerThatCannotStartFallsBackToTheMessageBox) {
    EnvScope viewer("GRIDWISE_HELP_VIEWER", dir.file("no-such-viewer").c_str());
    std::size_t messages = 0;
    scripted.backend.push({Action::help(), Action::check([&](DialogWindow& w) {
                               messages = static_cast<ScriptedWindow&>(w).messages().size();
                           })});
    gw::dlg::Dialog form(7012, nullptr);
    form.doModal();
    EXPECT_EQ(messages, 1u);
}

class HelpfulHost final : public gw::HostServices {
public:
    void loadAppResources(const void*) override {}
    bool checkDllVersion(unsigned int, const char*, const char*) override { return true; }
    bool showHelpfile(CWnd*) const override {
        ++calls;
        return true;
    }
    mutable int calls = 0;
};

TEST_F(DialogHelp, AHostThatShowsHelpIsLeftToIt) {
    EnvScope viewer("GRIDWISE_HELP_VIEWER", "");
    HelpfulHost host;
    gw::setHostServices(&host);
    std::size_t messages = 99;
    scripted.backend.push({Action::help(), Action::check([&](DialogWindow& w) {
                               messages = static_cast<ScriptedWindow&>(w).messages().size();
                           })});
    gw::dlg::Dialog form(7013, nullptr);
    form.doModal();
    gw::setHostServices(nullptr);
    EXPECT_EQ(host.calls, 1);
    EXPECT_EQ(messages, 0u);
}

} // namespace
