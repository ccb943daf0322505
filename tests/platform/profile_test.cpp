// The settings-file reader and writer on real files in a temporary folder.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/file_size_limit.h"
#include "tests/temp_folder.h"
#include "tests/test_files.h"

class SettingsProfile : public ::testing::Test {
protected:
    void writeIni(const std::string& bytes) { folder.write("tolli.ini", bytes); }
    std::string iniText() { return readTextFile(path); }
    int folderEntries() {
        int n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++n;
        return n;
    }
    int32_t readInt(const char* section, const char* key, int32_t fallback) {
        ProfileText text;
        profileLoad(text, path.c_str());
        int32_t value = profileGetInt(text, section, key, fallback);
        profileRelease(text);
        return value;
    }
    std::string readString(const char* section, const char* key, const char* fallback, int32_t outSize = 64) {
        ProfileText text;
        profileLoad(text, path.c_str());
        char out[64];
        int32_t n = profileGetString(text, section, key, fallback, out, outSize);
        profileRelease(text);
        EXPECT_EQ(n, (int32_t)strlen(out));
        return out;
    }

    TempFolder folder{"profile"};
    std::string path = folder.file("tolli.ini");
};

TEST_F(SettingsProfile, MissingFileSectionOrKeyGivesTheDefault) {
    ProfileText text;
    EXPECT_FALSE(profileLoad(text, path.c_str()));
    EXPECT_EQ(profileGetInt(text, "setup", "fps", 7), 7);
    char out[8];
    EXPECT_EQ(profileGetString(text, "setup", "fps", "none", out, sizeof out), 4);
    EXPECT_STREQ(out, "none");
    profileRelease(text);

    writeIni("[setup]\nfps=2\n[config]\nse=3\n");
    EXPECT_EQ(readInt("setup", "fps", 7), 2);
    EXPECT_EQ(readInt("option", "fps", 7), 7);   // no such section
    EXPECT_EQ(readInt("setup", "se", 7), 7);     // the key is in another section
    EXPECT_EQ(readInt("config", "mu", 7), 7);
}

struct IntCase {
    const char* value;   // the text after '=' in the file
    int32_t want;
};

// The fallback is 77 throughout.
const IntCase INT_CASES[] = {
    {"12", 12},
    {"\" 12abc\"", 12},        // blanks inside quotes are skipped, digits end at the first other byte
    {" 12abc", 12},
    {"-3", -3},
    {"+5", 5},
    {"007", 7},
    {"1.9", 1},
    {"abc", 0},                // a value without digits is 0, not the default
    {"0x10", 0},
    {"- 3", 0},
    {"--3", 0},
    {"", 77},                  // an empty value is the default
    {"   ", 77},
    {"\"\"", 77},
    {"'42'", 42},
    {"\t8\t", 8},
    {"4294967297", 1},         // wraps at 32 bits
    {"2147483648", INT32_MIN},
    {"-2147483648", INT32_MIN},
};

TEST_F(SettingsProfile, IntegersReadLikeTheWindowsReader) {
    std::string file = "[n]\r\n";
    for (size_t i = 0; i < std::size(INT_CASES); ++i) file += "k" + std::to_string(i) + "=" + INT_CASES[i].value + "\r\n";
    file += "bare\r\n";
    writeIni(file);
    for (size_t i = 0; i < std::size(INT_CASES); ++i) {
        std::string key = "k" + std::to_string(i);
        EXPECT_EQ(readInt("n", key.c_str(), 77), INT_CASES[i].want) << "value [" << INT_CASES[i].value << "]";
    }
    EXPECT_EQ(readInt("n", "bare", 77), 77);   // a line without '='
}

TEST_F(SettingsProfile, SectionsAndKeysIgnoreCaseAndSurroundingBlanks) {
    writeIni("[ SeTuP ]\r\n  FPS = 3 \r\nWinMode=0\r\n");
    EXPECT_EQ(readInt("setup", "fps", 0), 3);
    EXPECT_EQ(readInt("SETUP", "winmode", 1), 0);
}

TEST_F(SettingsProfile, OnlyTheFirstSectionAndKeyOfANameCount) {
    writeIni("[setup]\nfps=1\nFps=2\n[other]\nfps=5\n[SETUP]\nfps=3\nwinx=4\n");
    EXPECT_EQ(readInt("setup", "fps", 0), 1);
    EXPECT_EQ(readInt("setup", "winx", 0), 0);
    EXPECT_EQ(readInt("other", "fps", 0), 5);
}

TEST_F(SettingsProfile, StringsAreTrimmedUnquotedAndCut) {
    writeIni("[s]\nname =  \"a b\"  \nodd='x\"\nlong=abcdefghij\n");
    EXPECT_EQ(readString("s", "name", "-"), "a b");
    EXPECT_EQ(readString("s", "odd", "-"), "'x\"");   // unmatched quotes stay
    EXPECT_EQ(readString("s", "long", "-", 5), "abcd");
    EXPECT_EQ(readString("s", "none", "fallback", 4), "fal");
}

TEST_F(SettingsProfile, DefaultsLoseTrailingBlanksAndNullIsEmpty) {
    writeIni("[s]\nname=x\n");
    EXPECT_EQ(readString("s", "none", "fb \t "), "fb");
    EXPECT_EQ(readString("s", "none", "  lead"), "  lead");
    EXPECT_EQ(readString("s", "none", "   "), "");
    EXPECT_EQ(readString("s", "none", nullptr), "");
    EXPECT_EQ(readString("s", "name", nullptr), "x");
    ProfileText missing = {nullptr, 0};
    char out[8] = "junk";
    EXPECT_EQ(profileGetString(missing, "s", "name", nullptr, out, sizeof out), 0);
    EXPECT_STREQ(out, "");
}

// The same settings with each editor's line ends read alike, and a write
// finds the section rather than appending a second one.
TEST_F(SettingsProfile, LineEndsOfEveryKindReadAlikeAndWritesKeepThem) {
    for (const char* br : {"\r\n", "\n", "\r"}) {
        std::string b = br;
        writeIni("[setup]" + b + "fps=2" + b + "[config]" + b + "se=3" + b + "mu=4" + b);
        EXPECT_EQ(readInt("setup", "fps", 0), 2) << "break " << b.size();
        EXPECT_EQ(readInt("config", "se", 0), 3) << "break " << b.size();
        EXPECT_EQ(readInt("config", "mu", 0), 4) << "break " << b.size();
        EXPECT_EQ(readString("config", "se", "-"), "3") << "break " << b.size();
        ASSERT_TRUE(profileWriteInt(path.c_str(), "config", "se", 9));
        ASSERT_TRUE(profileWriteInt(path.c_str(), "config", "vo", 5));
        EXPECT_EQ(iniText(), "[setup]" + b + "fps=2" + b + "[config]" + b + "se=9" + b + "mu=4" + b + "vo=5" + b)
            << "break " << b.size();
    }
    writeIni("[a]\rx=1\n[b]\r\ny=2\rz=3");
    EXPECT_EQ(readInt("a", "x", 0), 1);
    EXPECT_EQ(readInt("b", "y", 0), 2);
    EXPECT_EQ(readInt("b", "z", 0), 3);
}

// Files that stop anywhere, hold NULs or a byte-order mark.
struct OddFileCase {
    const char* name;
    std::string bytes;
    int32_t want;   // config/se, fallback 77
};

const OddFileCase ODD_FILE_CASES[] = {
    {"empty", "", 77},
    {"only breaks", "\n\r\n\n", 77},
    {"bracket", "[", 77},
    {"unclosed header", "[config\nse=1\n", 1},
    {"header and key on one line", "[config]se=3", 77},
    {"ends inside the value", "[config]\nse=4", 4},
    {"ends on a lone CR", "[config]\r\nse=5\r", 5},
    {"byte-order mark", "\xEF\xBB\xBF[config]\nse=6\n", 6},
    {"NULs before", std::string("\0\0[config]\nse=7\n", 16), 77},
    {"NUL inside the value", std::string("[config]\nse=8\0" "9\n", 16), 8},
    {"key before any section", "se=1\n[config]\n", 77},
};

TEST_F(SettingsProfile, OddFilesReadWithoutHarm) {
    for (const OddFileCase& c : ODD_FILE_CASES) {
        writeIni(c.bytes);
        EXPECT_EQ(readInt("config", "se", 77), c.want) << c.name;
        // Whatever was there, a written key reads back.
        ASSERT_TRUE(profileWriteInt(path.c_str(), "config", "mu", 9)) << c.name;
        EXPECT_EQ(readInt("config", "mu", 77), 9) << c.name;
        EXPECT_EQ(readInt("config", "se", 77), c.want) << c.name;
    }
}

struct WriteCase {
    const char* name;
    const char* before;   // null: no file
    const char* section;
    const char* key;
    const char* after;
};

const WriteCase WRITE_CASES[] = {
    {"new file", nullptr, "config", "se", "[config]\r\nse=9\r\n"},
    {"value replaced, other lines kept", "; by hand\n[config]\nse=12\nmu=3\n\n[setup]\nfoo=bar\n", "config", "se",
     "; by hand\n[config]\nse=9\nmu=3\n\n[setup]\nfoo=bar\n"},
    {"spacing and case kept", "[Config]\r\nSE = 12  \r\n", "config", "se", "[Config]\r\nSE = 9  \r\n"},
    {"key added after the section's last line", "[config]\r\nse=1\r\n\r\n[setup]\r\nfps=2\r\n", "config", "mu",
     "[config]\r\nse=1\r\nmu=9\r\n\r\n[setup]\r\nfps=2\r\n"},
    {"key added to the last section", "[setup]\nfps=2\n[config]\nse=1\n", "config", "mu",
     "[setup]\nfps=2\n[config]\nse=1\nmu=9\n"},
    {"key added to an empty section", "[config]\n[setup]\n", "config", "se", "[config]\nse=9\n[setup]\n"},
    {"section appended, file without a final break", "[setup]\nfps=2", "config", "se",
     "[setup]\nfps=2\n[config]\nse=9\n"},
    {"header without a break", "[config]", "config", "se", "[config]\r\nse=9\r\n"},
    {"key without '='", "[config]\nse\nmu=1\n", "config", "se", "[config]\nse=9\nmu=1\n"},
    {"empty value", "[config]\nse=\n", "config", "se", "[config]\nse=9\n"},
    {"commented key is not the key", "[config]\n;se=4\n", "config", "se", "[config]\n;se=4\nse=9\n"},
    {"first of two sections", "[config]\nmu=1\n[CONFIG]\nse=3\n", "config", "se",
     "[config]\nmu=1\nse=9\n[CONFIG]\nse=3\n"},
    {"empty file", "", "config", "se", "[config]\r\nse=9\r\n"},
};

TEST_F(SettingsProfile, WritesEditInPlace) {
    for (const WriteCase& c : WRITE_CASES) {
        unlink(path.c_str());
        if (c.before) writeIni(c.before);
        ASSERT_TRUE(profileWriteInt(path.c_str(), c.section, c.key, 9)) << c.name;
        EXPECT_EQ(iniText(), c.after) << c.name;
        EXPECT_EQ(readInt(c.section, c.key, 0), 9) << c.name;
        EXPECT_EQ(folderEntries(), 1) << c.name << ": a temporary file was left";
    }
}

TEST_F(SettingsProfile, RewriteKeepsTheFileMode) {
    writeIni("[config]\nse=1\n");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(profileWriteString(path.c_str(), "config", "se", "2"));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(SettingsProfile, LineBreaksInNamesOrValuesAreRefused) {
    writeIni("[config]\nse=1\n");
    EXPECT_FALSE(profileWriteString(path.c_str(), "config", "se", "2\n[x]"));
    EXPECT_FALSE(profileWriteString(path.c_str(), "con\rfig", "se", "2"));
    EXPECT_EQ(iniText(), "[config]\nse=1\n");
}

TEST_F(SettingsProfile, FailedWriteLeavesTheOldFileAsItWas) {
    const std::string old = "[config]\r\nse=3\r\n";
    writeIni(old);
    chmod(path.c_str(), 0644);
    chmod(folder.path().c_str(), 0555);
    // Root writes into read-only folders; as an ordinary user it may not.
    bool root = geteuid() == 0;
    if (root) {
        setfsuid(65534);
        if (setfsuid((uid_t)-1) != 65534) GTEST_SKIP() << "cannot act as an ordinary user here";
    }
    bool wrote = profileWriteInt(path.c_str(), "config", "se", 9);
    if (root) setfsuid(0);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(iniText(), old);
    EXPECT_EQ(folderEntries(), 1);

    std::string noFolder = folder.file("missing/tolli.ini");
    EXPECT_FALSE(profileWriteInt(noFolder.c_str(), "config", "se", 9));
}

// Past a file-size limit the write fails cleanly: the reason in errno, the
// old file whole and no temporary beside it.
TEST_F(SettingsProfile, AWritePastTheFileSizeLimitFailsWithItsReason) {
    const std::string old = "[config]\r\nse=3\r\nmu=4\r\n";
    writeIni(old);
    bool wrote;
    int error;
    {
        FileSizeLimit limit(8);
        errno = 0;
        wrote = profileWriteInt(path.c_str(), "config", "se", 9);
        error = errno;
    }
    EXPECT_FALSE(wrote);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(iniText(), old);
    EXPECT_EQ(folderEntries(), 1);
}

TEST_F(SettingsProfile, OversizedFileReadsAsMissingAndIsNotReplaced) {
    std::string big = "[config]\nse=3\n";
    big.resize(PROFILE_MAX_BYTES + 1, ' ');
    writeIni(big);
    ProfileText text;
    EXPECT_FALSE(profileLoad(text, path.c_str()));
    EXPECT_EQ(profileGetInt(text, "config", "se", 77), 77);
    profileRelease(text);
    EXPECT_FALSE(profileWriteInt(path.c_str(), "config", "se", 9));
    EXPECT_EQ(iniText().size(), big.size());

    // A folder in the file's place is not a file either.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(profileLoad(text, path.c_str()));
    EXPECT_FALSE(profileWriteInt(path.c_str(), "config", "se", 9));
}
