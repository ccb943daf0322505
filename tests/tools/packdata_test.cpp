// The packer: a generated folder tree packed into a game folder and read
// back through the engine's reader byte for byte, the check values of the
// files it writes, and its refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/archive.h"
#include "platform/window.h"
#include "tests/temp_folder.h"
#include "tools/archive_writer.h"

namespace {

std::vector<uint8_t> noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> out(size);
    for (uint8_t& b : out) {
        seed = seed * 1103515245u + 12345u;
        b = (uint8_t)(seed >> 23);
    }
    return out;
}

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// A source folder and a game folder in a temporary folder.
class PackdataFolders : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(source);
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
    }
    void TearDown() override {
        gArchiveIndex = ArchiveTable{};
        gBmpData = ArchiveTable{};
        gFormData.clear();
        gWindow = previousWindow;
    }
    void put(const std::string& name, const std::vector<uint8_t>& bytes) { folder.write("source/" + name, bytes); }
    std::vector<uint8_t> gameFile(const char* name) {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(readSourceFile(game / name, bytes, error)) << error;
        return bytes;
    }

    TempFolder folder{"packdata"};
    std::filesystem::path source = folder.file("source");
    std::filesystem::path game = folder.file("game");
    const WindowBackend* previousWindow;
};

class PackdataRoundTrip : public PackdataFolders {};
class PackdataErrors : public PackdataFolders {};

struct TreeFile {
    const char* path;      // in the source folder
    const char* entry;     // the name it is read back by; null when left out
    std::vector<uint8_t> bytes;
};

}  // namespace

TEST_F(PackdataRoundTrip, EveryEntryReadsBackByteForByte) {
    std::string text;
    for (int i = 0; i < 400; ++i) text += "line " + std::to_string(i) + "\n";
    std::vector<uint8_t> block = noise(1000, 5);
    std::vector<uint8_t> big;   // larger than a volume, but compresses well
    while (big.size() < (size_t)ARCHIVE_VOLUME_SIZE + 2 * 1024 * 1024) big.insert(big.end(), block.begin(), block.end());
    const TreeFile tree[] = {
        {"config.idx", "config.idx", bytesOf("font:0\n")},
        {"idx/stage.idx", "idx/stage.idx", bytesOf(text)},
        {"data/deep/er/file.txt", "data/deep/er/file.txt", bytesOf("deep")},
        {"data/empty.txt", "data/empty.txt", {}},
        {"data/noise.bin", "data/noise.bin", noise(300000, 9)},
        {"bmp/Title/Logo.BMP", "bmp/title/logo.bmp", noise(5000, 11)},
        {"bmp/chr/face.tga", "bmp/chr/face.tga", bytesOf(text + text)},
        {"bmp/chr/formdata.bin", "bmp/chr/formdata.bin", bytesOf("forms")},
        {"sound/big.bin", "sound/big.bin", big},
        {"README.md", nullptr, bytesOf("# about this folder\n")},
        {".hidden", nullptr, bytesOf("editor state")},
    };
    for (const TreeFile& f : tree) put(f.path, f.bytes);

    for (bool plain : {false, true}) {
        SCOPED_TRACE(plain ? "plain index" : "scrambled index");
        PackSummary summary = {};
        std::string error;
        ASSERT_TRUE(packGameFolder(source, game, plain, &summary, error)) << error;
        EXPECT_EQ(summary.entries, 9);
        EXPECT_EQ(summary.pictures, 2);

        // The check values the reader demands.
        std::vector<uint8_t> pack = gameFile(BMP_DATA_FILE);
        EXPECT_EQ(calcArchiveChecksum(pack.size(), pack.data()), BMP_DATA_CHECKSUM);
        if (plain) {
            std::vector<uint8_t> index = gameFile(ARCHIVE_PLAIN_INDEX_FILE);
            EXPECT_EQ(calcArchiveChecksum(index.size(), index.data()), ARCHIVE_PLAIN_CHECKSUM);
        } else {
            std::vector<uint8_t> index = gameFile(ARCHIVE_INDEX_FILE);
            index.erase(index.begin(), index.begin() + ARCHIVE_SKIPPED_BYTES);
            scrambleArchiveBytes(index.data(), index.size());
            EXPECT_EQ(calcArchiveChecksum(index.size(), index.data()), ARCHIVE_SCRAMBLED_CHECKSUM);
        }

        WorkingDirectory inGame(game);
        EXPECT_TRUE(openArchive());
        EXPECT_EQ(gBmpData.count, 2);
        EXPECT_EQ(gArchiveIndex.count, 7);
        for (const TreeFile& f : tree) {
            if (!f.entry) {
                EXPECT_EQ(getArchiveEntrySize(f.path), 0) << f.path << " is left out";
                continue;
            }
            std::vector<uint8_t> got(f.bytes.size() + 16, 0xEE);
            EXPECT_EQ(getArchiveEntrySize(f.entry), (int32_t)f.bytes.size()) << f.entry;
            int32_t read = readArchiveEntry(f.entry, got.data(), (int32_t)got.size());
            EXPECT_EQ(read, (int32_t)f.bytes.size()) << f.entry;
            got.resize(f.bytes.size());
            EXPECT_TRUE(got == f.bytes) << f.entry;
        }
        EXPECT_EQ(std::string(gFormData.begin(), gFormData.end()), "forms");
    }
}

TEST_F(PackdataErrors, RefusesWhatTheArchiveCannotHold) {
    struct Case {
        const char* label;
        const char* path;   // one file put into the source folder; null: no source folder
        const char* second; // a second file, or null
        const char* error;  // part of the message
    };
    const std::string longName = "data/" + std::string(123, 'n');    // 128 bytes: no room for the NUL
    const std::string longPicture = "bmp/" + std::string(76, 'p') + ".bmp";   // 84 bytes
    const Case cases[] = {
        {"no source folder", nullptr, nullptr, "does not exist"},
        {"index name too long", longName.c_str(), nullptr, "longer than 127 bytes"},
        {"picture name too long", longPicture.c_str(), nullptr, "longer than 83 bytes"},
        {"a name beyond ASCII", "data/caf\xc3\xa9.txt", nullptr, "printable ASCII"},
        {"pictures differing only in case", "bmp/A.bmp", "bmp/a.bmp", "differ only in case"},
        {"an index name a picture's name begins with", "bmp/a", "bmp/a.bmp", "does not read back"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(source);
        std::filesystem::remove_all(game);
        if (c.path) put(c.path, bytesOf("x"));
        if (c.second) put(c.second, bytesOf("y"));
        std::string error;
        EXPECT_FALSE(packGameFolder(source, game, false, nullptr, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST_F(PackdataErrors, RefusesMoreThanFiveVolumes) {
    ArchiveBuilder b;
    b.volumes.reserve(5 * (size_t)ARCHIVE_VOLUME_SIZE + 1024);   // no copy of 50 MiB on growing
    b.volumes.resize(5 * (size_t)ARCHIVE_VOLUME_SIZE - 10);
    std::vector<uint8_t> data = noise(100, 1);
    std::string error;
    EXPECT_FALSE(addIndexEntry(b, "data/last.bin", data.data(), data.size(), error));
    EXPECT_NE(error.find("too much data for five volumes"), std::string::npos) << error;
    EXPECT_EQ(b.volumes.size(), 5 * (size_t)ARCHIVE_VOLUME_SIZE - 10);
    EXPECT_TRUE(b.indexRows.empty());
}
