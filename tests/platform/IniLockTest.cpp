// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Settings writes under the file's write lock: concurrent processes and threads lose
// no key, a killed writer blocks nobody, edit lists and batches are written whole,
// and nothing is left beside the file.
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <random>
#include <set>
#include <stdexcept>
#include <sstream>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string readRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The names in a folder, "." and ".." left out.
std::set<std::string> folderNames(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.insert(e->d_name);
        ::closedir(d);
    }
    return names;
}

// "w3s12" and the like (snprintf: g++ 12 at -O3 warns falsely on "w" + std::to_string).
std::string tagged(char first, int a, char second, int b) {
    char text[32];
    std::snprintf(text, sizeof text, "%c%d%c%d", first, a, second, b);
    return text;
}

std::string sectionName(int writer, int i) { return tagged('w', writer, 's', i); }

class IniLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/gw-inilock-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // Every section of writer 0..writers-1, sections 0..sections-1, with both keys.
    void expectAllSections(const std::string& file, int writers, int sections) {
        int missing = 0;
        for (int w = 0; w < writers; ++w)
            for (int i = 0; i < sections; ++i) {
                const std::string s = sectionName(w, i);
                if (gw::iniGetString(s.c_str(), "writer", "", file.c_str()) != std::to_string(w) ||
                    gw::iniGetString(s.c_str(), "index", "", file.c_str()) != std::to_string(i))
                    ++missing;
            }
        EXPECT_EQ(missing, 0) << "of " << writers * sections << " sections";
    }

    std::string dir_;
};

// Writes the sections of one writer: even ones key by key, odd ones as one batch.
bool writeSections(int writer, int sections, const std::string& file) {
    bool ok = true;
    for (int i = 0; i < sections; ++i) {
        const std::string s = sectionName(writer, i);
        if (i % 2 == 0) {
            ok &= gw::iniWriteString(s.c_str(), "writer", std::to_string(writer).c_str(), file.c_str());
            ok &= gw::iniWriteString(s.c_str(), "index", std::to_string(i).c_str(), file.c_str());
        } else {
            gw::IniBatch batch(file.c_str());
            ok &= gw::iniWriteString(s.c_str(), "writer", std::to_string(writer).c_str(), file.c_str());
            ok &= gw::iniWriteString(s.c_str(), "index", std::to_string(i).c_str(), file.c_str());
            ok &= batch.commit();
        }
    }
    return ok;
}

// Eight processes, started together, each write forty sections of their own into one
// file: all 320 are there afterwards, and nothing but the file is left in the folder.
TEST_F(IniLockTest, EightProcessesKeepEverySection) {
    constexpr int kWriters = 8, kSections = 40;
    const std::string file = path("shared.ini");
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(go[1]);
            char c;
            while (::read(go[0], &c, 1) < 0 && errno == EINTR) {
            }
            ::_exit(writeSections(w, kSections, file) ? 0 : 1);
        }
        children.push_back(child);
    }
    ::close(go[0]);
    ::close(go[1]); // the children start when the pipe closes
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    expectAllSections(file, kWriters, kSections);
    EXPECT_EQ(folderNames(dir_), std::set<std::string>{"shared.ini"});
}

// Threads of one process writing keys of their own into one file, while others read
// it, keep every key.
TEST_F(IniLockTest, ThreadsWritingOneFileKeepEveryKey) {
    constexpr int kWriters = 4, kSections = 12;
    const std::string file = path("threads.ini");
    std::vector<std::thread> threads;
    std::vector<int> ok(kWriters, 0);
    for (int w = 0; w < kWriters; ++w)
        threads.emplace_back([&, w] { ok[w] = writeSections(w, kSections, file) ? 1 : 0; });
    threads.emplace_back([&] {
        for (int i = 0; i < 200; ++i) (void)gw::iniGetString(sectionName(i % kWriters, 0).c_str(), "writer", "", file.c_str());
    });
    for (auto& t : threads) t.join();
    EXPECT_EQ(ok, std::vector<int>(kWriters, 1));
    expectAllSections(file, kWriters, kSections);
    EXPECT_EQ(folderNames(dir_), std::set<std::string>{"threads.ini"});
}

// A writer killed at a random moment, perhaps while it holds the lock: the file still
// parses, holds every section a writer finished before, and the next write goes
// through at once; the lock file the killed writer may leave goes with that write.
TEST_F(IniLockTest, KilledWriterNeverBlocksTheNext) {
    const std::string file = path("killed.ini");
    std::mt19937 rng(2024);
    std::vector<std::string> finished; // sections whose write returned
    for (int round = 0; round < 12; ++round) {
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(report[0]);
            for (int i = 0;; ++i) {
                const std::string s = tagged('r', round, 's', i);
                gw::IniBatch batch(file.c_str());
                gw::iniWriteString(s.c_str(), "done", "1", file.c_str());
                gw::iniWriteString(s.c_str(), "pad", std::string(2000 + i % 7, 'x').c_str(), file.c_str());
                if (batch.commit() && ::write(report[1], &i, sizeof i) != sizeof i) ::_exit(2);
            }
        }
        ::close(report[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(1000 + rng() % 15000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        int i = 0;
        while (::read(report[0], &i, sizeof i) == sizeof i) finished.push_back(tagged('r', round, 's', i));
        ::close(report[0]);

        // The next writer, in a process of its own that an alarm ends should it block.
        const auto start = std::chrono::steady_clock::now();
        pid_t next = ::fork();
        ASSERT_GE(next, 0);
        if (next == 0) {
            ::alarm(10);
            ::_exit(gw::iniWriteString("after", "round", std::to_string(round).c_str(), file.c_str()) ? 0 : 1);
        }
        ASSERT_EQ(::waitpid(next, &status, 0), next);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(gw::iniGetString("after", "round", "", file.c_str()), std::to_string(round));
        EXPECT_FALSE(folderNames(dir_).count("killed.ini.lock")) << "round " << round;
    }
    ASSERT_TRUE(gw::iniFileReadable(file.c_str()));
    int lost = 0;
    for (const std::string& s : finished)
        if (gw::iniGetString(s.c_str(), "done", "", file.c_str()) != "1" ||
            gw::iniGetString(s.c_str(), "pad", "", file.c_str()).size() < 2000)
            ++lost;
    EXPECT_EQ(lost, 0) << "of " << finished.size() << " finished sections";
}

// A batch writes nothing until it ends, then everything at once; a batch inside it
// on the same file joins it; writes to other files go through at once.
TEST_F(IniLockTest, BatchWritesItsKeysAtTheEnd) {
    const std::string file = path("batch.ini"), other = path("other.ini");
    {
        gw::IniBatch batch(file.c_str());
        EXPECT_TRUE(gw::iniWriteString("a", "k1", "1", file.c_str()));
        {
            gw::IniBatch inner(file.c_str());
            EXPECT_TRUE(gw::iniWriteString("b", "k2", "2", file.c_str()));
            EXPECT_TRUE(inner.commit());
        }
        EXPECT_FALSE(gw::iniWriteString("a", "bad=key", "1", file.c_str()));
        EXPECT_TRUE(gw::iniWriteString("c", "k3", "3", other.c_str()));
        EXPECT_EQ(readRaw(other), "[c]\nk3=3\n");
        EXPECT_FALSE(gw::iniFileReadable(file.c_str()));
    } // ends without commit: still written
    EXPECT_EQ(readRaw(file), "[a]\nk1=1\n\n[b]\nk2=2\n");
    EXPECT_EQ(folderNames(dir_), (std::set<std::string>{"batch.ini", "other.ini"}));
}

// Edit lists and updates are written whole or not at all; an update reads the file as
// it is on disk.
TEST_F(IniLockTest, EditListsAndUpdatesAreAllOrNothing) {
    const std::string file = path("edits.ini");
    ASSERT_TRUE(gw::iniWriteStrings(file.c_str(), {{"s", "a", "1"}, {"s", "b", "2\nlost"}, {"t", "c", "3"}}));
    const std::string written = "[s]\na=1\nb=2\n\n[t]\nc=3\n";
    EXPECT_EQ(readRaw(file), written);
    EXPECT_FALSE(gw::iniWriteStrings(file.c_str(), {{"s", "a", "9"}, {"s", ";key", "9"}}));
    EXPECT_TRUE(gw::iniWriteStrings(file.c_str(), {}));
    EXPECT_EQ(readRaw(file), written);

    // The updates count up from what is on disk, whatever the cache holds.
    (void)gw::iniGetInt("s", "a", 0, file.c_str());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "[s]\r\na=41\r\n";
    auto increment = [](const gw::IniReader& current, std::vector<gw::IniEdit>& edits) {
        edits.push_back({"s", "a", std::to_string(current.getInt("s", "a", 0) + 1)});
        edits.push_back({"s", "seen", current.getString("s", "missing", "default")});
        return true;
    };
    ASSERT_TRUE(gw::iniUpdate(file.c_str(), increment));
    EXPECT_EQ(readRaw(file), "[s]\r\na=42\r\nseen=default\r\n");
    EXPECT_FALSE(gw::iniUpdate(file.c_str(), [](const gw::IniReader&, std::vector<gw::IniEdit>& edits) {
        edits.push_back({"s", "a", "0"});
        return false;
    }));
    EXPECT_FALSE(gw::iniUpdate(file.c_str(), [](const gw::IniReader&, std::vector<gw::IniEdit>&) -> bool {
        throw std::runtime_error("refused");
    }));
    EXPECT_FALSE(gw::iniUpdate(file.c_str(), [](const gw::IniReader&, std::vector<gw::IniEdit>& edits) {
        edits.push_back({"s]", "a", "0"});
        return true;
    }));
    EXPECT_EQ(readRaw(file), "[s]\r\na=42\r\nseen=default\r\n");
    EXPECT_EQ(gw::iniGetInt("s", "a", 0, file.c_str()), 42);
    EXPECT_EQ(folderNames(dir_), std::set<std::string>{"edits.ini"});
}

// A lock file left by a killed writer, even one this user may not write to, is taken
// over and removed; a folder where no lock file can be made refuses the write.
TEST_F(IniLockTest, LeftLockFilesAreTakenOverAndRemoved) {
    const std::string file = path("left.ini");
    std::ofstream(file + ".lock") << "";
    ASSERT_EQ(::chmod((file + ".lock").c_str(), 0444), 0);
    ASSERT_TRUE(gw::iniWriteString("a", "k", "1", file.c_str()));
    EXPECT_EQ(folderNames(dir_), std::set<std::string>{"left.ini"});

    if (::geteuid() == 0) GTEST_SKIP() << "permission checks do not hold for root";
    ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
    EXPECT_FALSE(gw::iniWriteString("a", "k", "2", file.c_str()));
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    EXPECT_EQ(readRaw(file), "[a]\nk=1\n");
}

} // namespace
