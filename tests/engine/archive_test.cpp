// The data archive: check values, the scrambled index, the start-up checks
// and their messages, the lookup rules, reads across volumes and from two
// threads, and both decoders on hand-made streams. Archives are written into
// a temporary game folder with the packer's own writer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/archive.h"
#include "engine/lzss.h"
#include "engine/lzw.h"
#include "platform/clock.h"
#include "platform/sjis.h"
#include "platform/window.h"
#include "tests/temp_folder.h"
#include "tests/test_files.h"
#include "tools/archive_writer.h"

namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// Reproducible bytes that do not compress.
std::vector<uint8_t> noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> out(size);
    for (uint8_t& b : out) {
        seed = seed * 1103515245u + 12345u;
        b = (uint8_t)(seed >> 23);
    }
    return out;
}

void addIndex(ArchiveBuilder& b, const std::string& name, const std::vector<uint8_t>& data) {
    std::string error;
    ASSERT_TRUE(addIndexEntry(b, name, data.data(), data.size(), error)) << error;
}

void addPicture(ArchiveBuilder& b, const std::string& name, const std::vector<uint8_t>& data) {
    std::string error;
    ASSERT_TRUE(addBmpDataEntry(b, name, data.data(), data.size(), error)) << error;
}

// What an entry reads as; "" when absent.
std::string entryText(const char* name) {
    int32_t size = getArchiveEntrySize(name);
    std::string text((size_t)size, '\0');
    if (size > 0 && readArchiveEntry(name, text.data(), size) != size) return "<read failed>";
    return text;
}

// A temporary game folder as the working directory, the headless window
// recording message boxes and the virtual clock.
class ArchiveFolder : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        previousClock = gClock;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        gClock = &CLOCK_VIRTUAL;
    }
    void TearDown() override {
        gArchiveIndex = ArchiveTable{};
        gBmpData = ArchiveTable{};
        gFormData.clear();
        gWindow = previousWindow;
        gClock = previousClock;
    }
    void write(const ArchiveBuilder& b, bool plain = false) {
        std::string error;
        ASSERT_TRUE(writeArchiveFiles(b, ".", plain, error)) << error;
    }
    void writeAndOpen(const ArchiveBuilder& b, bool plain = false) {
        write(b, plain);
        ASSERT_TRUE(openArchive());
        ASSERT_EQ(gHeadlessMessageBoxes.total, 0);
    }

    TempFolder folder{"archive"};
    WorkingDirectory inFolder{folder.path()};
    const WindowBackend* previousWindow;
    const Clock* previousClock;
};

class ArchiveOpen : public ArchiveFolder {};
class ArchiveLookup : public ArchiveFolder {};
class ArchiveRead : public ArchiveFolder {};

}  // namespace

TEST(ArchiveChecksum, KnownValues) {
    EXPECT_EQ(calcArchiveChecksum(3, (const uint8_t*)"abc"), 0xBE55);
    EXPECT_EQ(calcArchiveChecksum(0, nullptr), 0x0000);
}

// The step a bit at a time, as the files were checked when written.
static uint16_t checksumBitwise(uint16_t running, const std::vector<uint8_t>& bytes) {
    uint32_t acc = running;
    for (uint8_t byte : bytes) {
        acc ^= (uint32_t)byte << 8;
        for (int bit = 0; bit < 8; ++bit) acc = (acc & 0x8000 ? acc * 2 - 0x1021 : acc * 2) & 0xFFFF;
    }
    return (uint16_t)acc;
}

TEST(ArchiveChecksum, AgreesWithTheStepABitAtATime) {
    std::vector<uint8_t> bytes(70000);
    uint32_t seed = 12345;
    for (uint8_t& b : bytes) b = (uint8_t)((seed = seed * 1103515245 + 12345) >> 16);
    for (uint16_t running : {0x0000, 0xFFFF, 0x8000, 0x1021, 0x7FFF})
        EXPECT_EQ(updateArchiveChecksum(running, bytes.size(), bytes.data()), checksumBitwise(running, bytes))
            << "from " << running;
    // Every state once: a byte 0 taken from each of the 65,536 running values.
    for (uint32_t running = 0; running < 65536; ++running) {
        const uint8_t zero = 0;
        ASSERT_EQ(updateArchiveChecksum((uint16_t)running, 1, &zero), checksumBitwise((uint16_t)running, {0}))
            << "from " << running;
    }
}

TEST_F(ArchiveOpen, ScrambledIndexIsStoredAsOneMinusEachByte) {
    ArchiveBuilder b;
    addIndex(b, "data/item.txt", bytesOf("sword,10\n"));
    addIndex(b, "data/shop.txt", bytesOf("open 9 to 5\n"));
    write(b, true);
    std::vector<uint8_t> plain = readFile(ARCHIVE_PLAIN_INDEX_FILE);
    write(b, false);
    std::vector<uint8_t> scrambled = readFile(ARCHIVE_INDEX_FILE);
    EXPECT_FALSE(std::filesystem::exists(ARCHIVE_PLAIN_INDEX_FILE));

    // The rows agree; only the fix-up bytes behind them differ.
    size_t rows = 4 + 2 * sizeof(ArchiveEntry);
    ASSERT_GE(scrambled.size(), ARCHIVE_SKIPPED_BYTES + rows);
    for (size_t i = 0; i < rows; ++i)
        ASSERT_EQ(scrambled[ARCHIVE_SKIPPED_BYTES + i], (uint8_t)(1 - plain[i])) << "index byte " << i;

    ASSERT_TRUE(openArchive());
    EXPECT_EQ(gArchiveIndex.count, 2);
    EXPECT_EQ(entryText("data/shop.txt"), "open 9 to 5\n");
}

namespace {

struct OpenFailureCase {
    const char* label;
    void (*tamperRows)(ArchiveBuilder& b);   // before writing (the fix-ups then still hold)
    void (*tamperFiles)();                   // after writing
    bool plain;
    const char* message;                     // UTF-8
};

void flipLastByte(const char* path) {
    std::vector<uint8_t> bytes = readFile(path);
    bytes.back() ^= 0x40;
    writeFile(path, bytes);
}

const OpenFailureCase OPEN_FAILURE_CASES[] = {
    {"damaged scrambled index beside a sound plain one", nullptr,
     [] {
         ArchiveBuilder empty;
         std::vector<uint8_t> plain = indexFileBytes(empty, true);
         writeFile(ARCHIVE_PLAIN_INDEX_FILE, plain);
         flipLastByte(ARCHIVE_INDEX_FILE);
     },
     false, "起動に必要なファイル　lnkdata.bin　にデータ欠損があります"},
    {"scrambled index shorter than its lead-in", nullptr, [] { writeFile(ARCHIVE_INDEX_FILE, std::vector<uint8_t>{1, 2, 3}); }, false,
     "起動に必要なファイル　lnkdata.bin　にデータ欠損があります"},
    {"no index at all", nullptr, [] { std::filesystem::remove(ARCHIVE_INDEX_FILE); }, false,
     "起動に必要なファイル　lnkdatas.bin　が見つかりません"},
    {"damaged plain index", nullptr, [] { flipLastByte(ARCHIVE_PLAIN_INDEX_FILE); }, true,
     "起動に必要なファイル　lnkdatas.bin　にデータ欠損があります"},
    {"row count beyond the index", nullptr,
     [] {
         std::vector<uint8_t> index = readFile(ARCHIVE_PLAIN_INDEX_FILE);
         writeBigEndian32(index.data(), 2);
         index.resize(index.size() - 2);   // new fix-up bytes for the new count
         appendChecksumFixup(index, ARCHIVE_PLAIN_CHECKSUM);
         writeFile(ARCHIVE_PLAIN_INDEX_FILE, index);
     },
     true, "起動に必要なファイル　lnkdatas.bin　にデータ欠損があります"},
    {"row past the five volumes",
     [](ArchiveBuilder& b) { writeBigEndian32(b.indexRows[0].offset, 5 * ARCHIVE_VOLUME_SIZE - 1); }, nullptr, false,
     "起動に必要なファイル　lnkdata.bin　にデータ欠損があります"},
    {"row name without its end",
     [](ArchiveBuilder& b) { memset(b.indexRows[0].name, 'a', sizeof b.indexRows[0].name); }, nullptr, false,
     "起動に必要なファイル　lnkdata.bin　にデータ欠損があります"},
    {"missing volume 3", nullptr, [] { std::filesystem::remove("bin/data003.bin"); }, false,
     "起動に必要なファイル　bin/data003.bin　が見つかりません"},
    {"volume shorter than its rows", nullptr, [] { std::filesystem::resize_file("bin/data000.bin", 5); }, false,
     "起動に必要なファイル　bin/data000.bin　にデータ欠損があります"},
    {"missing picture pack", nullptr, [] { std::filesystem::remove(BMP_DATA_FILE); }, false,
     "起動に必要なファイル　bmpdata.bin　が見つかりません"},
    {"damaged picture pack", nullptr, [] { flipLastByte(BMP_DATA_FILE); }, false,
     "起動に必要なファイル　bmpdata.bin　にデータ欠損があります"},
    {"pack row past the payloads",
     [](ArchiveBuilder& b) { writeBigEndian32(b.bmpRows[0].packedSize, 1000); }, nullptr, false,
     "起動に必要なファイル　bmpdata.bin　にデータ欠損があります"},
};

}  // namespace

TEST_F(ArchiveOpen, FailuresShowTheirMessageAndLeaveNothingOpen) {
    for (const OpenFailureCase& c : OPEN_FAILURE_CASES) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(ARCHIVE_INDEX_FILE);
        std::filesystem::remove_all(ARCHIVE_PLAIN_INDEX_FILE);
        ArchiveBuilder b;
        addIndex(b, "data/item.txt", bytesOf("sword,10\n"));
        addPicture(b, "bmp/a.bmp", bytesOf("BM picture"));
        if (c.tamperRows) c.tamperRows(b);
        write(b, c.plain);
        if (c.tamperFiles) c.tamperFiles();
        headlessWindowReset();

        EXPECT_FALSE(openArchive());
        ASSERT_EQ(gHeadlessMessageBoxes.count, 1);
        const RecordedMessageBox& box = gHeadlessMessageBoxes.boxes[0];
        char text[512];
        sjisToUtf8(box.text, text, sizeof text);
        EXPECT_STREQ(text, c.message);
        EXPECT_STREQ(box.caption, "Error");
        EXPECT_EQ(box.kind, MESSAGE_BOX_OK);
        EXPECT_EQ(getArchiveEntrySize("data/item.txt"), 0);
        EXPECT_EQ(getArchiveEntrySize("bmp/a.bmp"), 0);
    }
}

TEST_F(ArchiveOpen, FormDataPrefersLooseFiles) {
    struct Case {
        const char* label;
        bool inFolder, inRoot;
        const char* want;
    };
    const Case cases[] = {
        {"loose file in its folder", true, true, "folder"},
        {"loose file in the root", false, true, "root"},
        {"archive entry", false, false, "archived"},
    };
    ArchiveBuilder b;
    addIndex(b, "bmp/chr/formdata.bin", bytesOf("archived"));
    write(b);
    std::filesystem::create_directories("bmp/chr");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove("bmp/chr/formdata.bin");
        std::filesystem::remove("formdata.bin");
        if (c.inFolder) writeFile("bmp/chr/formdata.bin", bytesOf("folder"));
        if (c.inRoot) writeFile("formdata.bin", bytesOf("root"));
        ASSERT_TRUE(openArchive());
        EXPECT_EQ(std::string(gFormData.begin(), gFormData.end()), c.want);
    }
}

TEST_F(ArchiveLookup, PrefixCaseAndOrderRules) {
    ArchiveBuilder b;
    addIndex(b, "data/item.txt", bytesOf("items"));
    addIndex(b, "data/item2.txt", bytesOf("more items"));
    addIndex(b, "data/b2.txt", bytesOf("b2 first"));
    addIndex(b, "data/b.txt", bytesOf("b second"));
    addIndex(b, "DATA/UPPER.TXT", bytesOf("upper"));
    addIndex(b, "bmp/title/x.tga", bytesOf("index copy"));
    addPicture(b, "bmp/title/x.tga", bytesOf("pack copy"));
    addPicture(b, "bmp/Mixed.bmp", bytesOf("mixed"));
    writeAndOpen(b);

    struct Case {
        const char* query;
        const char* want;   // "" when nothing matches
    };
    const Case cases[] = {
        {"data/item", "items"},           // the beginning of a longer name
        {"data/item2", "more items"},
        {"data/b", "b2 first"},           // two rows begin so: the earlier wins
        {"data/b.txt", "b second"},
        {"data/upper.txt", ""},           // the index compares case exactly
        {"DATA/UPPER.TXT", "upper"},
        {"bmp/title/x.tga", "pack copy"}, // the pack before the index
        {"BMP/TITLE/X.TGA", "pack copy"}, // upper-case queries fold onto the pack's names
        {"bmp/title/y.tga", ""},
        {"bmp/mixed.bmp", ""},            // ... but a lower-case query letter never folds
        {"BMP/MIXED.BMP", "mixed"},
        {"data/item.txt.old", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(entryText(c.query), c.want) << c.query;
}

TEST_F(ArchiveLookup, EmptyArchiveFindsNothing) {
    writeAndOpen(ArchiveBuilder{});
    uint8_t dest[16];
    memset(dest, 0xEE, sizeof dest);
    for (const char* name : {"", "data/item.txt", "bmp/a.bmp"}) {
        EXPECT_EQ(getArchiveEntrySize(name), 0) << name;
        EXPECT_EQ(readArchiveEntry(name, dest, sizeof dest), 0) << name;
    }
    for (uint8_t byte : dest) ASSERT_EQ(byte, 0xEE);
}

TEST_F(ArchiveRead, EntryContinuesInTheNextVolume) {
    ArchiveBuilder b;
    b.volumes.resize(3 * (size_t)ARCHIVE_VOLUME_SIZE - 100, 0);   // volume 2 ends 100 bytes later
    std::vector<uint8_t> data = noise(5000, 7);
    addIndex(b, "data/span.bin", data);
    ASSERT_EQ(readBigEndian32(b.indexRows[0].offset), 3u * ARCHIVE_VOLUME_SIZE - 100);
    ASSERT_GT(readBigEndian32(b.indexRows[0].packedSize), 100u);
    writeAndOpen(b);

    std::vector<uint8_t> got(data.size());
    ASSERT_EQ(readArchiveEntry("data/span.bin", got.data(), (int32_t)got.size()), (int32_t)data.size());
    EXPECT_EQ(got, data);
}

TEST_F(ArchiveRead, VolumeGoneAfterThreeAttemptsReadsNothing) {
    ArchiveBuilder b;
    addIndex(b, "data/item.txt", bytesOf("sword,10\n"));
    writeAndOpen(b);
    std::filesystem::remove("bin/data000.bin");

    uint8_t dest[16];
    memset(dest, 0xEE, sizeof dest);
    uint64_t slept = clockVirtualSleptMicros();
    EXPECT_EQ(readArchiveEntry("data/item.txt", dest, sizeof dest), 0);
    EXPECT_EQ(clockVirtualSleptMicros() - slept, 2 * ARCHIVE_RETRY_WAIT_MICROS);   // between the three attempts
    for (uint8_t byte : dest) ASSERT_EQ(byte, 0xEE);
}

TEST_F(ArchiveRead, NeverWritesPastTheDestinationOrTrustsDamagedBytes) {
    std::vector<uint8_t> text = bytesOf(std::string(3000, 'x') + "end");
    ArchiveBuilder b;
    addIndex(b, "data/long.txt", text);
    addPicture(b, "bmp/long.bmp", text);
    writeAndOpen(b);

    // A short destination gets its size and no more.
    for (const char* name : {"data/long.txt", "bmp/long.bmp"}) {
        std::vector<uint8_t> dest(64, 0xEE);
        EXPECT_EQ(readArchiveEntry(name, dest.data(), 60), (int32_t)text.size()) << name;
        EXPECT_EQ(std::string(dest.begin(), dest.begin() + 60), std::string(60, 'x')) << name;
        EXPECT_EQ(dest[60], 0xEE) << name;
    }

    // Zeroed volume bytes decode as literals that end far short of the row's size.
    std::vector<uint8_t> volume = readFile("bin/data000.bin");
    writeFile("bin/data000.bin", std::vector<uint8_t>(volume.size(), 0));
    std::vector<uint8_t> dest(text.size());
    EXPECT_EQ(readArchiveEntry("data/long.txt", dest.data(), (int32_t)dest.size()), 0);
}

TEST_F(ArchiveRead, TwoThreadsReadAtOnce) {
    ArchiveBuilder b;
    std::vector<uint8_t> item = noise(20000, 1);
    std::vector<uint8_t> picture = noise(20000, 2);
    addIndex(b, "data/item.bin", item);
    addPicture(b, "bmp/pic.bmp", picture);
    writeAndOpen(b);

    auto reader = [](const char* name, const std::vector<uint8_t>* want, int* mismatches) {
        std::vector<uint8_t> got(want->size());
        for (int i = 0; i < 100; ++i) {
            std::fill(got.begin(), got.end(), 0);
            if (readArchiveEntry(name, got.data(), (int32_t)got.size()) != (int32_t)want->size() || got != *want)
                ++*mismatches;
        }
    };
    int mismatches[4] = {};
    std::thread a(reader, "data/item.bin", &item, &mismatches[0]);
    std::thread c(reader, "bmp/pic.bmp", &picture, &mismatches[1]);
    reader("data/item.bin", &item, &mismatches[2]);
    reader("bmp/pic.bmp", &picture, &mismatches[3]);
    a.join();
    c.join();
    for (int m : mismatches) EXPECT_EQ(m, 0);
}

namespace {

// Builds an LZSS stream item by item, as the format is written down.
struct LzssStream {
    std::vector<uint8_t> bytes;
    size_t flagAt = 0;
    int items = 8;

    void flag(bool reference) {
        if (items == 8) {
            flagAt = bytes.size();
            bytes.push_back(0);
            items = 0;
        }
        if (reference) bytes[flagAt] |= (uint8_t)(0x80 >> items);
        ++items;
    }
    LzssStream& literal(const std::string& text) {
        for (char c : text) {
            flag(false);
            bytes.push_back((uint8_t)c);
        }
        return *this;
    }
    LzssStream& reference(int distance, int lengthCode, int third = -1) {
        flag(true);
        bytes.push_back((uint8_t)((distance >> 8) << 4 | lengthCode));
        bytes.push_back((uint8_t)distance);
        if (third >= 0) bytes.push_back((uint8_t)third);
        return *this;
    }
    LzssStream& end() { return reference(0, 0); }
};

std::string decodeLzssText(const std::vector<uint8_t>& stream, int32_t capacity = 4096) {
    std::vector<uint8_t> out((size_t)capacity + 1, 0xEE);
    int32_t n = decodeLzss(stream.data(), (int32_t)stream.size(), out.data(), capacity);
    EXPECT_EQ(out[(size_t)capacity], 0xEE) << "wrote past the capacity";
    return std::string(out.begin(), out.begin() + n);
}

std::string pattern(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += (char)('a' + i % 26);
    return s;
}

}  // namespace

TEST(ArchiveLzss, LengthAndDistanceCodes) {
    struct Case {
        const char* label;
        LzssStream stream;
        std::string want;
    };
    const Case cases[] = {
        {"a zero flag byte: eight literals", LzssStream().literal("ABCDEFGH").end(), "ABCDEFGH"},
        {"code 1 copies two", LzssStream().literal("AB").reference(2, 1).end(), "ABAB"},
        {"code 2 copies three", LzssStream().literal("ABC").reference(3, 2).end(), "ABCABC"},
        {"distance 1, code 4: five repeats", LzssStream().literal("xA").reference(1, 4).end(), "xAAAAAA"},
        {"code 15 copies sixteen", LzssStream().literal("A").reference(1, 15).end(), std::string(17, 'A')},
        {"code 0, third byte 0: seventeen", LzssStream().literal("A").reference(1, 0, 0).end(), std::string(18, 'A')},
        {"code 0, third byte 255: 272", LzssStream().literal("A").reference(1, 0, 255).end(), std::string(273, 'A')},
        {"12-bit distance", LzssStream().literal(pattern(300)).reference(0x123, 2).end(),
         pattern(300) + pattern(300).substr(300 - 0x123, 3)},
        {"distance 0 ends the stream", LzssStream().literal("AB").end().literal("CD").end(), "AB"},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeLzssText(c.stream.bytes), c.want) << c.label;
}

TEST(ArchiveLzss, StopsAtItsBounds) {
    // The end reference reads no third byte even with length code 0.
    std::vector<uint8_t> ends = {0x40, 'A', 0x00, 0x00};
    EXPECT_EQ(decodeLzssText(ends), "A");
    // Out of input before any end reference.
    LzssStream cut = LzssStream().literal("ABCDEF");
    EXPECT_EQ(decodeLzssText(cut.bytes), "ABCDEF");
    LzssStream halfReference = LzssStream().literal("AB").reference(1, 3);
    halfReference.bytes.pop_back();
    EXPECT_EQ(decodeLzssText(halfReference.bytes), "AB");
    // Capacity: literals and copies both stop at it.
    EXPECT_EQ(decodeLzssText(LzssStream().literal("ABCDEFGH").end().bytes, 5), "ABCDE");
    EXPECT_EQ(decodeLzssText(LzssStream().literal("A").reference(1, 0, 255).end().bytes, 10), std::string(10, 'A'));
    // A reference to before the start of the output.
    EXPECT_EQ(decodeLzssText(LzssStream().literal("AB").reference(3, 2).end().bytes), "AB");
}

namespace {

std::vector<uint8_t> lzwCodes(const std::vector<int>& codes) {
    std::vector<uint8_t> out;
    uint32_t pending = 0;
    int bits = 0;
    for (int code : codes) {
        pending = pending << 12 | (uint32_t)code;
        bits += 12;
        while (bits >= 8) {
            bits -= 8;
            out.push_back((uint8_t)(pending >> bits));
        }
        pending &= (1u << bits) - 1;
    }
    if (bits) out.push_back((uint8_t)(pending << (8 - bits)));
    return out;
}

std::string decodeLzwText(const std::vector<uint8_t>& stream, int32_t capacity = 1 << 16) {
    std::vector<uint8_t> out((size_t)capacity + 1, 0xEE);
    int32_t n = decodeLzw(stream.data(), (int32_t)stream.size(), out.data(), capacity);
    EXPECT_EQ(out[(size_t)capacity], 0xEE) << "wrote past the capacity";
    return std::string(out.begin(), out.begin() + n);
}

}  // namespace

TEST(ArchiveLzw, CodesAndTheirStrings) {
    // Twelve bits a code, most significant first.
    EXPECT_EQ(lzwCodes({'A', 'B', 257}), (std::vector<uint8_t>{0x04, 0x10, 0x42, 0x10, 0x10}));
    struct Case {
        const char* label;
        std::vector<int> codes;
        std::string want;
    };
    const Case cases[] = {
        {"256 first: an empty entry", {256, 'A'}, ""},
        {"the first new code is 257", {'A', 'B', 257}, "ABAB"},
        {"a code defined by this very step", {'A', 257}, "AAA"},
        {"that case on a longer string", {'A', 'B', 257, 259}, "ABABABA"},
        {"a code beyond the next free one stops", {'A', 'B', 259, 'C'}, "AB"},
        {"256 after the first code stops", {'A', 256, 'B'}, "A"},
        {"a first code that is no single byte", {300, 'A'}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(decodeLzwText(lzwCodes(c.codes)), c.want) << c.label;
}

TEST(ArchiveLzw, DictionaryFreezesAtCode4095) {
    // 'x', then 3,839 codes 'y': 257 = "xy", 258.. = "yy", 4,095 the last.
    std::vector<int> codes = {'x'};
    codes.insert(codes.end(), 3839, 'y');
    codes.push_back(257);
    codes.push_back(4095);
    codes.push_back(258);
    std::string want = "x" + std::string(3839, 'y') + "xy" + "yy" + "yy";
    EXPECT_EQ(decodeLzwText(lzwCodes(codes)), want);
}

TEST(ArchiveLzw, StopsAtItsBounds) {
    std::vector<uint8_t> stream = lzwCodes({'A', 'B', 'C'});
    EXPECT_EQ(decodeLzwText(stream, 2), "AB");
    stream.pop_back();   // the last code loses its low bits: it is not used
    EXPECT_EQ(decodeLzwText(stream), "AB");
    EXPECT_EQ(decodeLzwText({}), "");
}

TEST(ArchiveCodecs, EncodersRoundTripAndCompress) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "item " + std::to_string(i % 37) + ", price " + std::to_string(i % 11) + "\n";
    const std::vector<uint8_t> inputs[] = {
        {}, bytesOf("a"), bytesOf(text), noise(70000, 3), std::vector<uint8_t>(100000, 7),
    };
    for (const std::vector<uint8_t>& input : inputs) {
        std::vector<uint8_t> lzss, lzw;
        encodeLzss(input.data(), input.size(), lzss);
        encodeLzw(input.data(), input.size(), lzw);
        std::vector<uint8_t> back(input.size() + 1, 0xEE);
        EXPECT_EQ(decodeLzss(lzss.data(), (int32_t)lzss.size(), back.data(), (int32_t)back.size()),
                  (int32_t)input.size());
        EXPECT_TRUE(std::equal(input.begin(), input.end(), back.begin())) << "LZSS, " << input.size() << " bytes";
        std::fill(back.begin(), back.end(), 0xEE);
        EXPECT_EQ(decodeLzw(lzw.data(), (int32_t)lzw.size(), back.data(), (int32_t)back.size()), (int32_t)input.size());
        EXPECT_TRUE(std::equal(input.begin(), input.end(), back.begin())) << "LZW, " << input.size() << " bytes";
    }
    std::vector<uint8_t> lzss, lzw;
    encodeLzss((const uint8_t*)text.data(), text.size(), lzss);
    encodeLzw((const uint8_t*)text.data(), text.size(), lzw);
    EXPECT_LT(lzss.size(), text.size() / 4);
    EXPECT_LT(lzw.size(), text.size() / 3);
}
