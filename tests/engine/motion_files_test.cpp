// The motion files: the header lines, the frame blocks with HALT and the
// closing -1, the bounds of a damaged file, and the whole table read from
// an archive the test packs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/archive.h"
#include "engine/motion_files.h"
#include "tests/temp_folder.h"
#include "tools/archive_writer.h"

namespace {

const char* const HEADER = "[comment]\r\n/ note\r\nsaffiel body\r\n256,512\r\n96,3\r\n40\r\n150\r\nignored\r\n";

MotionRecord parse(const std::string& text) {
    static MotionRecord record;
    memset(&record, 0, sizeof record);
    parseMotionFile(text.data(), (int32_t)text.size(), record);
    return record;
}

}  // namespace

TEST(MotionFiles, HeaderLinesFillTheRecord) {
    MotionRecord r = parse(HEADER);
    EXPECT_STREQ(r.name, "saffiel");
    EXPECT_EQ(r.sheetWidth, 256);
    EXPECT_EQ(r.sheetHeight, 512);
    EXPECT_EQ(r.layoutWidth, 96);
    EXPECT_EQ(r.headerB, 3);
    EXPECT_EQ(r.layoutTop, 40);
    EXPECT_EQ(r.scalePercent, 150);
}

TEST(MotionFiles, SlashOpensBlocksHaltWritesSixStopsAndSlashCloses) {
    MotionRecord r = parse(std::string(HEADER) + "/\n1,2,3\n\n4,5,\n/\nHALT\n/\n7,8\n");
    const int32_t block0[] = {1, 2, 3, 4, 5, -1};
    for (int32_t i = 0; i < 6; i++) EXPECT_EQ(r.frames[0][i], block0[i]) << "block 0 at " << i;
    for (int32_t i = 0; i < 6; i++) EXPECT_EQ(r.frames[1][i], 1023) << "block 1 at " << i;
    EXPECT_EQ(r.frames[1][6], -1);
    // The last block is not closed without a "/" behind it.
    EXPECT_EQ(r.frames[2][0], 7);
    EXPECT_EQ(r.frames[2][1], 8);
    EXPECT_EQ(r.frames[2][2], 0);
}

TEST(MotionFiles, ABracketLineAfterTheNameIsData) {
    MotionRecord r = parse("name\n[7,9\n");
    EXPECT_STREQ(r.name, "name");
    EXPECT_EQ(r.sheetWidth, 0);   // "[7" reads no digits
    EXPECT_EQ(r.sheetHeight, 9);
}

TEST(MotionFiles, OverlongBlocksAndTooManyBlocksStayInsideTheRecord) {
    std::string text = HEADER;
    text += "/\n";
    for (int32_t i = 0; i < 100; i++) text += "1,2,3,4,5,6\n";   // 600 values in one block
    text += "/\n";
    for (int32_t b = 0; b < 30; b++) text += "9\n/\n";           // 30 more blocks
    // A canary behind the record's last block.
    struct Guarded {
        MotionRecord record;
        int32_t canary[64];
    };
    static Guarded g;
    memset(&g, 0, sizeof g);
    for (int32_t& c : g.canary) c = 0x5A5A5A5A;
    parseMotionFile(text.data(), (int32_t)text.size(), g.record);
    EXPECT_EQ(g.record.frames[0][254], 3);   // the 255th value of 1..6 repeated
    EXPECT_EQ(g.record.frames[0][255], -1);  // the closing -1 keeps the last entry
    EXPECT_EQ(g.record.frames[1][0], 9);
    EXPECT_EQ(g.record.frames[1][1], -1);
    EXPECT_EQ(g.record.frames[19][0], 9);
    EXPECT_EQ(g.record.frames[19][1], -1);
    for (int32_t c : g.canary) ASSERT_EQ(c, 0x5A5A5A5A);
}

TEST(MotionFiles, TableHasSixtyEightSlotsInOrder) {
    EXPECT_STREQ(MOTION_FILES[0], "idx/saffiel.idx");
    EXPECT_STREQ(MOTION_FILES[1], "idx/yoss.idx");
    EXPECT_STREQ(MOTION_FILES[2], "idx/yoss.idx");
    EXPECT_STREQ(MOTION_FILES[3], "idx/kensi.idx");
    EXPECT_STREQ(MOTION_FILES[33], "idx/boss_sraim.idx");
    EXPECT_STREQ(MOTION_FILES[34], "idx/kinoko.idx");
    EXPECT_STREQ(MOTION_FILES[65], "idx/saff_papa.idx");
    EXPECT_STREQ(MOTION_FILES[67], "idx/prime.idx");
    for (const char* name : MOTION_FILES) ASSERT_NE(name, nullptr);
}

class MotionFilesArchive : public ::testing::Test {
protected:
    void TearDown() override {
        closeArchive();
        gArchiveIndex = ArchiveTable{};
        gBmpData = ArchiveTable{};
        gFormData.clear();
        memset(gMotions, 0, sizeof gMotions);
    }
    TempFolder folder{"motion"};
    WorkingDirectory inFolder{folder.path()};
};

TEST_F(MotionFilesArchive, SharedFilesFillEachSlotAndMissingFilesKeepOnlyThePath) {
    std::string yoss = "yoss\n64,64\n64,0\n32\n100\n-\n/\n3,3,3,3,3,4\n/\n";
    std::string kensi = "kensi\n128,128\n96,1\n48\n120\n-\n/\nHALT\n/\n";
    ArchiveBuilder b;
    std::string error;
    ASSERT_TRUE(addIndexEntry(b, "idx/yoss.idx", (const uint8_t*)yoss.data(), yoss.size(), error)) << error;
    ASSERT_TRUE(addIndexEntry(b, "idx/kensi.idx", (const uint8_t*)kensi.data(), kensi.size(), error)) << error;
    ASSERT_TRUE(writeArchiveFiles(b, ".", false, error)) << error;
    ASSERT_TRUE(openArchive());
    gMotions[0].sheetWidth = 77;   // a slot is cleared before its file is read
    loadMotionFiles();
    EXPECT_STREQ(gMotions[0].path, "idx/saffiel.idx");
    EXPECT_EQ(gMotions[0].sheetWidth, 0);
    EXPECT_EQ(gMotions[0].name[0], 0);
    EXPECT_STREQ(gMotions[1].name, "yoss");
    EXPECT_EQ(memcmp(&gMotions[1], &gMotions[2], sizeof(MotionRecord)), 0);
    EXPECT_EQ(gMotions[1].frames[0][5], 4);
    EXPECT_EQ(gMotions[1].frames[0][6], -1);
    EXPECT_EQ(gMotions[3].scalePercent, 120);
    EXPECT_EQ(gMotions[3].frames[0][5], 1023);
}
