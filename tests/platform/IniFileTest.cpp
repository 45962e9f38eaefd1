// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Settings files: reading rules, byte-exact writes, atomic replacement, failures and
// garbage input.
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
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

void writeRaw(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool exists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

// Sets a file's modification time (seconds back from now), so the tests control
// what the reader's cache sees.
void setAge(const std::string& path, long secondsAgo, long nsec = 0) {
    timespec times[2];
    times[0].tv_sec = time(nullptr) - secondsAgo;
    times[0].tv_nsec = nsec;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/gw-ini-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string dir_;
};

// ---------------------------------------------------------------------------------
// Reading

const char* const kReadFixture =
    "; settings written by hand\n"
    "orphan=before any section\n"
    "[units]\n"
    "distUnits=1\n"
    "  WpUnits   =   3   \n"
    "latLonStyle\t=\t1\t\n"
    "; distUnits=7\n"
    "this line has no equals sign\n"
    "empty=\n"
    "eq=a=b=c\n"
    "dup=first\n"
    "dup=second\n"
    "\n"
    "[ Geodesy ]\n"
    "GeodesyType=1\n"
    "projName = UTM 31 \n"
    "[units]\n"
    "dup=third\n"
    "late=from the second [units]\n"
    "\t [Indented] trailing text\n"
    "k = in\n";

struct ReadCase {
    const char* section;
    const char* key;
    const char* expected; // null: the default is returned
};

const ReadCase kReadCases[] = {
    {"units", "distUnits", "1"},
    {"UNITS", "DISTUNITS", "1"},          // names compare without regard to case
    {"units", "wpunits", "3"},            // whitespace around key and value ignored
    {"units", "latLonStyle", "1"},        // tabs are whitespace too
    {"units", "empty", ""},               // present but empty: not the default
    {"units", "eq", "a=b=c"},             // the first '=' separates
    {"units", "dup", "first"},            // the first occurrence wins
    {"units", "late", "from the second [units]"}, // repeated sections are one section
    {"geodesy", "geodesytype", "1"},      // "[ Geodesy ]" names the section "Geodesy"
    {"geodesy", "projName", "UTM 31"},
    {"units", "missing", nullptr},
    {"nosuch", "distUnits", nullptr},
    {"units", "this line has no equals sign", nullptr},
    {"units", "; distUnits", nullptr},
    {"", "orphan", nullptr},              // keys before the first section belong to none
    {"geodesy", "distUnits", nullptr},
    {"indented", "k", "in"},              // blanks before '[' and text after ']' allowed
    {"units", "k", nullptr},
};

TEST_F(IniFileTest, ReadsLfAndCrlfFilesAlike) {
    std::string lf = kReadFixture;
    std::string crlf;
    for (char c : lf) crlf += (c == '\n') ? std::string("\r\n") : std::string(1, c);
    for (const auto& [name, text] : {std::pair{"lf.ini", lf}, std::pair{"crlf.ini", crlf}}) {
        writeRaw(path(name), text);
        for (const ReadCase& c : kReadCases) {
            std::string got = gw::iniGetString(c.section, c.key, "<default>", path(name).c_str());
            EXPECT_EQ(got, c.expected ? c.expected : "<default>") << name << " [" << c.section << "] " << c.key;
        }
    }
}

TEST_F(IniFileTest, FilesAndSectionsAreReportedPresentOrNot) {
    writeRaw(path("lf.ini"), kReadFixture);
    const std::string p = path("lf.ini"), absent = path("absent.ini");
    EXPECT_TRUE(gw::iniFileReadable(p.c_str()));
    EXPECT_FALSE(gw::iniFileReadable(absent.c_str()));
    EXPECT_FALSE(gw::iniFileReadable(dir_.c_str())); // a folder is not a settings file
    EXPECT_FALSE(gw::iniFileReadable(nullptr));
    const struct { const char* section; bool present; } cases[] = {
        {"units", true}, {"UNITS", true}, {"geodesy", true}, {" indented ", true},
        {"nosuch", false}, {"", false}, {nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gw::iniHasSection(c.section, p.c_str()), c.present) << (c.section ? c.section : "(null)");
    EXPECT_FALSE(gw::iniHasSection("units", absent.c_str()));
}

TEST_F(IniFileTest, MissingFileGivesDefaults) {
    std::string p = path("absent.ini");
    EXPECT_EQ(gw::iniGetString("units", "distUnits", "dflt", p.c_str()), "dflt");
    EXPECT_EQ(gw::iniGetString("units", "distUnits", nullptr, p.c_str()), "");
    EXPECT_EQ(gw::iniGetInt("units", "distUnits", 17, p.c_str()), 17);
    EXPECT_EQ(gw::iniGetString("units", "distUnits", "dflt", nullptr), "dflt");
    EXPECT_EQ(gw::iniGetString("units", "distUnits", "dflt", ""), "dflt");
    EXPECT_EQ(gw::iniGetString(nullptr, "distUnits", "dflt", p.c_str()), "dflt");
    EXPECT_EQ(gw::iniGetString("units", nullptr, "dflt", p.c_str()), "dflt");
    EXPECT_FALSE(exists(p)); // reading never creates the file
}

TEST_F(IniFileTest, IntegersReadLikeThePlatformReader) {
    struct IntCase {
        const char* value; // null: the key is missing
        int expected;
    };
    const IntCase cases[] = {
        {"42", 42},        {"  -7", -7},       {"+5", 5},          {"12abc", 12},
        {"abc", 0},        {"", 0},            {"-", 0},           {"- 3", 0},
        {"0012", 12},      {"3.9", 3},         {"2147483647", INT_MAX},
        {"99999999999999999999", INT_MAX},     {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},    {nullptr, -99},
    };
    std::string text = "[s]\n";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        if (cases[i].value)
            text.append("k").append(std::to_string(i)).append("=").append(cases[i].value).append("\n");
    writeRaw(path("int.ini"), text);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(gw::iniGetInt("S", std::string("K").append(std::to_string(i)).c_str(), -99,
                                path("int.ini").c_str()),
                  cases[i].expected)
            << (cases[i].value ? cases[i].value : "(missing)");
}

TEST_F(IniFileTest, BufferReadIsBounded) {
    writeRaw(path("b.ini"), "[s]\nname=0123456789\n");
    const std::string p = path("b.ini");
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(gw::iniGetString("s", "name", "", buf, 5, p.c_str()), 4u);
    EXPECT_STREQ(buf, "0123");
    EXPECT_EQ(buf[5], 'x');
    buf[0] = 'q';
    EXPECT_EQ(gw::iniGetString("s", "name", "", buf, 0, p.c_str()), 0u);
    EXPECT_EQ(buf[0], 'q'); // nothing written with no room
    EXPECT_EQ(gw::iniGetString("s", "missing", "defaultvalue", buf, sizeof buf, p.c_str()), 7u);
    EXPECT_STREQ(buf, "default");
    EXPECT_EQ(gw::iniGetString("s", "missing", nullptr, buf, sizeof buf, p.c_str()), 0u);
    EXPECT_STREQ(buf, "");
}

// ---------------------------------------------------------------------------------
// Writing: the file's bytes after one write

struct WriteCase {
    const char* what;
    const char* before; // null: no file
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

const WriteCase kWriteCases[] = {
    {"new file", nullptr, "units", "distUnits", "1", "[units]\ndistUnits=1\n"},
    {"empty file", "", "units", "distUnits", "1", "[units]\ndistUnits=1\n"},
    {"replace in place, spacing kept", "[units]\n  distUnits = 0   \nwpUnits=2\n", "units", "distUnits", "14",
     "[units]\n  distUnits = 14   \nwpUnits=2\n"},
    {"replace matches case-insensitively, spelling kept", "; c\n[Units]\nDistUnits=1\n", "UNITS", "distunits", "2",
     "; c\n[Units]\nDistUnits=2\n"},
    {"replace an empty value", "[u]\nk=\nk2 =   \n", "u", "k2", "v", "[u]\nk=\nk2 =v\n"},
    {"same value leaves the file as it is", "[u]\nk = 1 ; not a comment\n", "u", "k", "1 ; not a comment",
     "[u]\nk = 1 ; not a comment\n"},
    {"append after the last key, before blank lines and comments",
     "[a]\nx=1\n; about y\ny=2\n\n; next section\n[b]\nz=3\n", "A", "new", "v",
     "[a]\nx=1\n; about y\ny=2\nnew=v\n\n; next section\n[b]\nz=3\n"},
    {"append into a section without keys", "[a]\n\n[b]\nz=3\n", "a", "k", "v", "[a]\nk=v\n\n[b]\nz=3\n"},
    {"append at the end of a file without final line break", "[a]\nx=1", "a", "k", "v", "[a]\nx=1\nk=v"},
    {"new section after a blank line", "[a]\nx=1\n", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
    {"new section, file already ends with a blank line", "[a]\nx=1\n\n", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
    {"new section, no final line break", "[a]\nx=1", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
    {"CRLF file: replacement keeps CRLF", "[a]\r\nx=1\r\ny=2\r\n", "a", "x", "9", "[a]\r\nx=9\r\ny=2\r\n"},
    {"CRLF file: appended key gets CRLF", "[a]\r\nx=1\r\n\r\n[b]\r\n", "a", "k", "v",
     "[a]\r\nx=1\r\nk=v\r\n\r\n[b]\r\n"},
    {"CRLF file: new section gets CRLF", "[a]\r\nx=1\r\n", "b", "k", "v", "[a]\r\nx=1\r\n\r\n[b]\r\nk=v\r\n"},
    {"key in a repeated section is replaced where it stands", "[a]\nx=1\n[b]\n[a]\ny=2\n", "a", "y", "3",
     "[a]\nx=1\n[b]\n[a]\ny=3\n"},
    {"new key goes to the first occurrence of the section", "[a]\nx=1\n[b]\n[a]\ny=2\n", "a", "z", "3",
     "[a]\nx=1\nz=3\n[b]\n[a]\ny=2\n"},
    {"garbage and unknown lines stay byte for byte",
     "junk without equals\n[a]\n\x01\x02\xff binary=\xfe\n  ; comment  \r\nunknown = keep me\n", "a", "k", "v",
     "junk without equals\n[a]\n\x01\x02\xff binary=\xfe\n  ; comment  \r\nunknown = keep me\nk=v\n"},
    {"a value is cut at its first line break", "[a]\n", "a", "k", "one\ntwo=injected", "[a]\nk=one\n"},
    {"null value writes an empty value", "[a]\nk=1\n", "a", "k", nullptr, "[a]\nk=\n"},
};

TEST_F(IniFileTest, WritesChangeOnlyWhatTheyMust) {
    int n = 0;
    for (const WriteCase& c : kWriteCases) {
        std::string p = path(std::string("w").append(std::to_string(n++)).append(".ini"));
        if (c.before) writeRaw(p, c.before);
        EXPECT_TRUE(gw::iniWriteString(c.section, c.key, c.value, p.c_str())) << c.what;
        EXPECT_EQ(readRaw(p), c.after) << c.what;
        if (c.value != nullptr && std::strchr(c.value, '\n') == nullptr) {
            EXPECT_EQ(gw::iniGetString(c.section, c.key, "<default>", p.c_str()), c.value) << c.what;
        }
    }
}

TEST_F(IniFileTest, InvalidNamesAreRefusedAndTheFileKept) {
    const std::string p = path("names.ini");
    const std::string before = "[a]\nk=1\n";
    writeRaw(p, before);
    const std::pair<const char*, const char*> refused[] = {
        {"a", ""},     {"a", "   "},   {"a", "k=x"},  {"a", "k\ny"}, {"a", "[k]"},
        {"a", ";k"},   {"a]", "k"},    {"a\nb", "k"}, {nullptr, "k"}, {"a", nullptr},
    };
    for (const auto& [section, key] : refused) {
        EXPECT_FALSE(gw::iniWriteString(section, key, "v", p.c_str()))
            << (section ? section : "(null)") << " / " << (key ? key : "(null)");
    }
    EXPECT_FALSE(gw::iniWriteString("a", "k", "v", nullptr));
    EXPECT_FALSE(gw::iniWriteString("a", "k", "v", ""));
    EXPECT_EQ(readRaw(p), before);
}

// The cache serves threads that read several files at once while another thread
// rewrites one of them: every read gives a value the file held, never a torn one.
TEST_F(IniFileTest, ThreadsReadThroughTheCacheWhileAFileIsRewritten) {
    constexpr int kFiles = 12; // more files than the cache keeps, so entries are replaced too
    std::vector<std::string> files;
    for (int f = 0; f < kFiles; ++f) {
        // Built piece by piece: g++ 12 at -O3 warns wrongly about a chain of operator+.
        std::string name = "t";
        name += std::to_string(f);
        name += ".ini";
        files.push_back(path(name));
        std::string text = "[s]\nk=";
        text += std::to_string(f);
        text += "\nfixed=";
        text += std::to_string(100 + f);
        text += "\n";
        writeRaw(files.back(), text);
    }
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&, t] {
            for (int i = 0; !stop.load() || i < 200; ++i) {
                const int f = (i * 7 + t) % kFiles;
                if (gw::iniGetInt("s", "fixed", -1, files[f].c_str()) != 100 + f) ++wrong;
                if (!gw::iniHasSection("s", files[f].c_str())) ++wrong;
                if (f != 0 && gw::iniGetInt("s", "k", -1, files[f].c_str()) != f) ++wrong;
                if (i > 100000) break;
            }
        });
    }
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(gw::iniWriteString("s", "k", std::to_string(1000 + i).c_str(), files[0].c_str()));
    stop = true;
    for (auto& r : readers) r.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(gw::iniGetInt("s", "k", -1, files[0].c_str()), 1199);
    EXPECT_EQ(gw::iniGetInt("s", "fixed", -1, files[0].c_str()), 100);
}

TEST_F(IniFileTest, ManyWritesThenReadsRoundTrip) {
    const std::string p = path("many.ini");
    for (int i = 0; i < 40; ++i) {
        std::string key = "key" + std::to_string(i);
        ASSERT_TRUE(gw::iniWriteString(i % 2 ? "odd" : "even", key.c_str(), std::to_string(i * 3).c_str(), p.c_str()));
    }
    ASSERT_TRUE(gw::iniWriteString("even", "key4", "changed", p.c_str()));
    for (int i = 0; i < 40; ++i) {
        std::string key = "KEY" + std::to_string(i);
        std::string expected = i == 4 ? "changed" : std::to_string(i * 3);
        EXPECT_EQ(gw::iniGetString(i % 2 ? "ODD" : "EVEN", key.c_str(), "", p.c_str()), expected);
    }
    std::string text = readRaw(p);
    EXPECT_EQ(text.rfind("[even]\nkey0=0\nkey2=6\nkey4=changed\n", 0), 0u) << text;
}

// ---------------------------------------------------------------------------------
// The cache sees every change of the file

TEST_F(IniFileTest, CacheSeesChangesMadeBehindItsBack) {
    const std::string p = path("cache.ini");
    writeRaw(p, "[a]\nk=1\n");
    setAge(p, 3600);
    EXPECT_EQ(gw::iniGetString("a", "k", "", p.c_str()), "1");

    // Same size, rewritten in place, new time stamp.
    writeRaw(p, "[a]\nk=2\n");
    setAge(p, 3500);
    EXPECT_EQ(gw::iniGetString("a", "k", "", p.c_str()), "2");

    // Same size and same time stamp, only the nanoseconds differ.
    writeRaw(p, "[a]\nk=3\n");
    setAge(p, 3500, 1);
    EXPECT_EQ(gw::iniGetString("a", "k", "", p.c_str()), "3");

    // Replaced by another file (new inode) with the same size and time stamp.
    writeRaw(p + ".new", "[a]\nk=4\n");
    setAge(p + ".new", 3500, 1);
    ASSERT_EQ(::rename((p + ".new").c_str(), p.c_str()), 0);
    EXPECT_EQ(gw::iniGetString("a", "k", "", p.c_str()), "4");

    // Changed twice within one tick of the file system's clock: the second change
    // keeps size and time stamp, and is still seen.
    writeRaw(p, "[a]\nk=5\n");
    EXPECT_EQ(gw::iniGetString("a", "k", "", p.c_str()), "5");
    struct stat st{};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    writeRaw(p, "[a]\nk=6\n");
    timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
    EXPECT_EQ(gw::iniGetString("a", "k", "", p.c_str()), "6");

    // Deleted.
    ASSERT_EQ(::unlink(p.c_str()), 0);
    EXPECT_EQ(gw::iniGetString("a", "k", "gone", p.c_str()), "gone");
}

TEST_F(IniFileTest, CacheHoldsManyFilesAtOnce) {
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 20; ++i) {
            std::string p = path(std::string("f").append(std::to_string(i)).append(".ini"));
            if (round == 0) {
                ASSERT_TRUE(gw::iniWriteString("s", "k", std::to_string(i).c_str(), p.c_str()));
            }
            EXPECT_EQ(gw::iniGetInt("s", "k", -1, p.c_str()), i);
        }
}

// ---------------------------------------------------------------------------------
// Failures

TEST_F(IniFileTest, WritesThatCannotBeDoneReturnFalse) {
    EXPECT_FALSE(gw::iniWriteString("a", "k", "v", path("no/such/folder/x.ini").c_str()));
    EXPECT_FALSE(exists(path("no")));

    ASSERT_EQ(::mkdir(path("folder.ini").c_str(), 0755), 0);
    EXPECT_FALSE(gw::iniWriteString("a", "k", "v", path("folder.ini").c_str()));
    EXPECT_EQ(gw::iniGetString("a", "k", "dflt", path("folder.ini").c_str()), "dflt");

    // /proc refuses new files even to root.
    EXPECT_FALSE(gw::iniWriteString("a", "k", "v", "/proc/gridwise-test.ini"));
    // A regular file used as a folder.
    writeRaw(path("plain"), "x");
    EXPECT_FALSE(gw::iniWriteString("a", "k", "v", path("plain/x.ini").c_str()));
    EXPECT_EQ(readRaw(path("plain")), "x");
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileUntouched) {
    // A file too large to be a settings file cannot be rewritten (a sparse file of 65 MiB).
    const std::string big = path("big.ini");
    int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "[a]\nk=1\n", 8), 8);
    ASSERT_EQ(::ftruncate(fd, 65 << 20), 0);
    ::close(fd);
    setAge(big, 100);
    struct stat before{};
    ASSERT_EQ(::stat(big.c_str(), &before), 0);
    EXPECT_FALSE(gw::iniWriteString("a", "k", "2", big.c_str()));
    struct stat after{};
    ASSERT_EQ(::stat(big.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(gw::iniGetString("a", "k", "dflt", big.c_str()), "dflt");
}

TEST_F(IniFileTest, ReadOnlyPlacesAreNotWritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "permission checks do not hold for root";
    const std::string ro = path("ro");
    ASSERT_EQ(::mkdir(ro.c_str(), 0755), 0);
    writeRaw(ro + "/s.ini", "[a]\nk=1\n");
    ASSERT_EQ(::chmod(ro.c_str(), 0555), 0);
    EXPECT_FALSE(gw::iniWriteString("a", "k", "2", (ro + "/s.ini").c_str()));
    EXPECT_EQ(readRaw(ro + "/s.ini"), "[a]\nk=1\n");
    ASSERT_EQ(::chmod(ro.c_str(), 0755), 0);
    ASSERT_EQ(::chmod((ro + "/s.ini").c_str(), 0444), 0);
    EXPECT_FALSE(gw::iniWriteString("a", "k", "2", (ro + "/s.ini").c_str()));
    EXPECT_EQ(readRaw(ro + "/s.ini"), "[a]\nk=1\n");
}

TEST_F(IniFileTest, WriteKeepsTheFileMode) {
    const std::string p = path("mode.ini");
    writeRaw(p, "[a]\nk=1\n");
    ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
    ASSERT_TRUE(gw::iniWriteString("a", "k", "2", p.c_str()));
    struct stat st{};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(IniFileTest, WritesThroughASymbolicLink) {
    writeRaw(path("target.ini"), "[a]\nk=1\n");
    ASSERT_EQ(::symlink(path("target.ini").c_str(), path("link.ini").c_str()), 0);
    ASSERT_TRUE(gw::iniWriteString("a", "k", "2", path("link.ini").c_str()));
    struct stat st{};
    ASSERT_EQ(::lstat(path("link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readRaw(path("target.ini")), "[a]\nk=2\n");
}

// A writer killed at any moment leaves the old or the new file, never a mixture.
TEST_F(IniFileTest, KilledWriterLeavesOldOrNewContent) {
    const std::string initial = "; hand-written\n[other]\nx=1\n[data]\nvalue=start\n";
    const std::string bigA(300000, 'a');
    const std::string bigB(200000, 'b');
    // The three files a reader may legitimately find.
    const std::string scratch = path("scratch.ini");
    writeRaw(scratch, initial);
    ASSERT_TRUE(gw::iniWriteString("data", "value", bigA.c_str(), scratch.c_str()));
    const std::string withA = readRaw(scratch);
    ASSERT_TRUE(gw::iniWriteString("data", "value", bigB.c_str(), scratch.c_str()));
    const std::string withB = readRaw(scratch);

    const std::string p = path("victim.ini");
    std::mt19937 rng(12345);
    for (int round = 0; round < 15; ++round) {
        writeRaw(p, initial);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i) gw::iniWriteString("data", "value", (i % 2 ? bigB : bigA).c_str(), p.c_str());
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500 + rng() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string now = readRaw(p);
        EXPECT_TRUE(now == initial || now == withA || now == withB)
            << "round " << round << ": " << now.size() << " bytes";
        // Whatever temporary file the killed writer left does not disturb readers or writers.
        std::string v = gw::iniGetString("data", "value", "", p.c_str());
        EXPECT_TRUE(v == "start" || v == bigA || v == bigB);
        ASSERT_TRUE(gw::iniWriteString("data", "value", "end", p.c_str()));
        EXPECT_EQ(gw::iniGetString("data", "value", "", p.c_str()), "end");
        EXPECT_EQ(gw::iniGetString("other", "x", "", p.c_str()), "1");
    }
}

// ---------------------------------------------------------------------------------
// Garbage files never crash a reader

TEST_F(IniFileTest, GarbageFilesGiveDefaults) {
    std::string longLine(100000, 'x');
    std::string longKey = "[s]\n" + std::string(100000, 'k') + "=v\nafter=ok\n";
    const char nulBytes[] = "[s]\nbefore=1\nnul=ab\0cd\n\0\0\0\nafter=ok\n";
    std::string withNul(nulBytes, sizeof nulBytes - 1);
    std::string binary;
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i) binary += static_cast<char>(rng());
    binary += "\n[s]\nafter=ok\n";
    const std::pair<const char*, std::string> files[] = {
        {"long line", longLine},
        {"long line then keys", longLine + "\n[s]\nafter=ok\n"},
        {"long key", longKey},
        {"NUL bytes", withNul},
        {"binary", binary},
        {"only brackets", "[[[[]]]]\n[\n]\n[s\nafter=no\n"},
        {"only equals", "=\n==\n=v\n[s]\n=\nafter=ok"},
        {"CR only", "[s]\rafter=no\r"},
    };
    for (const auto& [what, text] : files) {
        const std::string p = path("garbage.ini");
        writeRaw(p, text);
        setAge(p, 100); // force a fresh parse of each file
        std::string after = gw::iniGetString("s", "after", "dflt", p.c_str());
        EXPECT_TRUE(after == "ok" || after == "dflt") << what;
        EXPECT_EQ(gw::iniGetString("s", "missing", "dflt", p.c_str()), "dflt") << what;
        EXPECT_EQ(gw::iniGetInt("s", "missing", 5, p.c_str()), 5) << what;
        ::unlink(p.c_str());
    }
    writeRaw(path("nul.ini"), withNul);
    EXPECT_EQ(gw::iniGetString("s", "before", "", path("nul.ini").c_str()), "1");
    EXPECT_EQ(gw::iniGetString("s", "nul", "", path("nul.ini").c_str()), "ab"); // a value ends at NUL
    EXPECT_EQ(gw::iniGetString("s", "after", "", path("nul.ini").c_str()), "ok");
    writeRaw(path("long.ini"), longKey);
    EXPECT_EQ(gw::iniGetString("s", std::string(100000, 'K').c_str(), "", path("long.ini").c_str()), "v");
    // A write into a garbage file keeps the garbage.
    writeRaw(path("bin.ini"), binary);
    ASSERT_TRUE(gw::iniWriteString("s", "new", "1", path("bin.ini").c_str()));
    std::string rewritten = readRaw(path("bin.ini"));
    EXPECT_EQ(rewritten.size(), binary.size() + 6);
    EXPECT_EQ(gw::iniGetInt("s", "new", 0, path("bin.ini").c_str()), 1);
}

TEST_F(IniFileTest, SpecialFilesGiveDefaultsWithoutBlocking) {
    ASSERT_EQ(::mkfifo(path("fifo.ini").c_str(), 0644), 0);
    EXPECT_EQ(gw::iniGetString("s", "k", "dflt", path("fifo.ini").c_str()), "dflt");
    EXPECT_FALSE(gw::iniWriteString("s", "k", "v", path("fifo.ini").c_str()));
    EXPECT_EQ(gw::iniGetString("s", "k", "dflt", "/dev/zero"), "dflt");
    EXPECT_EQ(gw::iniGetString("s", "k", "dflt", dir_.c_str()), "dflt");
}

// ---------------------------------------------------------------------------------
// Bare names resolve in the settings folder

class ScopedEnv {
public:
    explicit ScopedEnv(const char* name) : name_(name) {
        const char* v = std::getenv(name);
        if (v) old_ = v;
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    void set(const char* value) {
        if (value)
            ::setenv(name_, value, 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST_F(IniFileTest, BareNamesResolveInTheSettingsFolder) {
    ScopedEnv settings("GRIDWISE_SETTINGS_DIR"), xdg("XDG_CONFIG_HOME"), home("HOME");
    struct Case {
        const char* settings;
        const char* xdg;
        const char* home;
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {"/s", "/x", "/h", "a.ini", "/s/a.ini"},
        {"", "/x", "/h", "a.ini", "/x/gridwise/a.ini"},
        {nullptr, "/x", "/h", "a.ini", "/x/gridwise/a.ini"},
        {nullptr, "relative", "/h", "a.ini", "/h/.config/gridwise/a.ini"},
        {nullptr, nullptr, "/h", "a.ini", "/h/.config/gridwise/a.ini"},
        {"/s", "/x", "/h", "dir/a.ini", "dir/a.ini"},
        {"/s", "/x", "/h", "/abs/a.ini", "/abs/a.ini"},
        {"/s", "/x", "/h", "", ""},
    };
    for (const Case& c : cases) {
        settings.set(c.settings);
        xdg.set(c.xdg);
        home.set(c.home);
        EXPECT_EQ(gw::resolveSettingsPath(c.file), c.expected) << c.file;
    }
    EXPECT_EQ(gw::resolveSettingsPath(nullptr), "");

    // The folder is created on the first write.
    std::string folder = path("deep/er/settings");
    settings.set(folder.c_str());
    EXPECT_EQ(gw::iniGetInt("units", "distUnits", 3, "user.ini"), 3);
    EXPECT_FALSE(exists(folder));
    ASSERT_TRUE(gw::iniWriteString("units", "distUnits", "1", "user.ini"));
    EXPECT_EQ(readRaw(folder + "/user.ini"), "[units]\ndistUnits=1\n");
    EXPECT_EQ(gw::iniGetInt("units", "distUnits", 3, "user.ini"), 1);
}

} // namespace

namespace {

std::vector<std::string> folderEntries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A bare name finds its file whatever the case of either spelling; the file keeps
// the spelling of the write that created it, and no second file appears.
TEST_F(IniFileTest, BareNamesMatchTheSettingsFolderIgnoringCase) {
    ScopedEnv settings("GRIDWISE_SETTINGS_DIR");
    struct Case {
        const char* writeAs;
        const char* readAs;
    };
    const Case cases[] = {
        {"projlist2.ini", "PROJLIST2.INI"},
        {"PROJLIST2.INI", "projlist2.ini"},
        {"ProjList2.ini", "pROJlIST2.INI"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string folder = path("s" + std::to_string(n++));
        settings.set(folder.c_str());
        SCOPED_TRACE(c.writeAs);
        EXPECT_EQ(gw::iniGetInt("PROJECTIONS", "NumberProjections", -1, c.readAs), -1);
        ASSERT_TRUE(gw::iniWriteString("PROJECTIONS", "proj1", "USER,Site,x", c.writeAs));
        ASSERT_TRUE(gw::iniWriteString("PROJECTIONS", "NumberProjections", "1", c.writeAs));
        EXPECT_EQ(gw::iniGetInt("PROJECTIONS", "NumberProjections", 0, c.readAs), 1);
        EXPECT_EQ(gw::iniGetString("PROJECTIONS", "Proj1", "", c.readAs), "USER,Site,x");
        EXPECT_EQ(gw::resolveSettingsPath(c.readAs), folder + "/" + c.writeAs);
        // A write under the other spelling changes the same file.
        ASSERT_TRUE(gw::iniWriteString("PROJECTIONS", "NumberProjections", "2", c.readAs));
        EXPECT_EQ(gw::iniGetInt("PROJECTIONS", "NumberProjections", 0, c.writeAs), 2);
        EXPECT_EQ(folderEntries(folder), std::vector<std::string>{c.writeAs});
        EXPECT_EQ(readRaw(folder + "/" + c.writeAs), "[PROJECTIONS]\nproj1=USER,Site,x\nNumberProjections=2\n");
    }
}

TEST_F(IniFileTest, ExactSpellingWinsAndFolderNamesKeepTheirCase) {
    ScopedEnv settings("GRIDWISE_SETTINGS_DIR");
    settings.set(dir_.c_str());
    writeRaw(path("a.ini"), "[s]\nk=lower\n");
    writeRaw(path("A.INI"), "[s]\nk=upper\n");
    EXPECT_EQ(gw::iniGetString("s", "k", "", "a.ini"), "lower");
    EXPECT_EQ(gw::iniGetString("s", "k", "", "A.INI"), "upper");
    EXPECT_EQ(gw::iniGetString("s", "k", "", "A.ini"), "upper"); // the first in byte order
    // A name with a folder is taken as it is.
    EXPECT_EQ(gw::iniGetString("s", "k", "none", (dir_ + "/a.Ini").c_str()), "none");
    // A name that matches nothing gets its own spelling.
    EXPECT_EQ(gw::resolveSettingsPath("New.ini"), path("New.ini"));
}

} // namespace
