// The effect banks: loading from loose files and the archive, the name
// lists, saving a bank with its dumps, and reading the dumps back.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/archive.h"
#include "field/effect_banks.h"
#include "field/field.h"
#include "field/field_state.h"
#include "platform/window.h"
#include "tests/temp_folder.h"
#include "tools/archive_writer.h"

namespace {

class EffectBank : public ::testing::Test {
protected:
    void SetUp() override {
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        inside = std::make_unique<WorkingDirectory>(folder.path());
        // No archive: every lookup there finds nothing.
        ArchiveBuilder b;
        std::string error;
        ASSERT_TRUE(writeArchiveFiles(b, ".", false, error)) << error;
        ASSERT_TRUE(openArchive());
    }
    void TearDown() override {
        inside.reset();
        resetEffectBanks();
        resetEffectEditor();
    }
    // A bank image of the records as they stand, then cut to length bytes.
    static std::vector<uint8_t> bankImage(int32_t bank, size_t length) {
        std::vector<uint8_t> bytes(EFFECT_BANK_FILE_BYTES);
        memcpy(bytes.data(), &gEffectBanks.definitions[bank * EFFECT_BANK_SIZE], EFFECT_BANK_DEFINITION_BYTES);
        memcpy(bytes.data() + EFFECT_BANK_DEFINITION_BYTES, &gEffectBanks.sets[bank * EFFECT_BANK_SIZE],
               EFFECT_BANK_SET_BYTES);
        bytes.resize(length);
        return bytes;
    }
    static void names(const std::string& text) { parseEffectNames(text.data(), (int32_t)text.size()); }

    TempFolder folder{"effect_banks"};
    std::unique_ptr<WorkingDirectory> inside;
};

TEST_F(EffectBank, WithoutFilesEveryRecordHasItsDefaults) {
    gEffectEditor.bank = 3;
    gEffectEditor.clipboardHeld = 1;
    loadEffectBanks();
    for (int32_t n = 0; n < EFFECT_COUNT; n++) {
        const EffectDefinition& d = gEffectBanks.definitions[n];
        ASSERT_STREQ(d.name, "unknown") << n;
        ASSERT_EQ(d.count, 16) << n;
        ASSERT_EQ(d.vanishTime, 24) << n;
        ASSERT_EQ(d.alphaFallTime, 8) << n;
        ASSERT_EQ(d.speedXYRatio, 0.5f) << n;
        const EffectSet& s = gEffectBanks.sets[n];
        ASSERT_STREQ(s.name, "unknown") << n;
        for (int32_t k = 0; k < EFFECT_SET_SLOTS; k++) {
            ASSERT_EQ(s.effect[k], -1) << n;
            ASSERT_EQ(s.colour[k][3], 100) << n;
            ASSERT_EQ(s.scale[k], 1.0f) << n;
        }
    }
    EXPECT_EQ(gEffectEditor.bank, 0);
    EXPECT_EQ(gEffectEditor.clipboardHeld, 0);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
}

TEST_F(EffectBank, AShortLooseFileChangesOnlyTheLeadingDefinitionsOfItsBank) {
    resetEffectBanks();
    gEffectBanks.definitions[100].count = 5;
    gEffectBanks.definitions[101].count = 6;
    gEffectBanks.sets[100].effect[0] = 7;
    // Two definitions and half of the third of bank 1.
    folder.write("ef/effect2.dat", bankImage(1, 2 * sizeof(EffectDefinition) + 50));
    loadEffectBanks();
    EXPECT_EQ(gEffectBanks.definitions[100].count, 5);
    EXPECT_EQ(gEffectBanks.definitions[101].count, 6);
    EXPECT_EQ(gEffectBanks.definitions[102].count, 16);
    EXPECT_STREQ(gEffectBanks.definitions[102].name, "unknown");   // the cut one keeps its name's terminator
    EXPECT_EQ(gEffectBanks.sets[100].effect[0], -1);
    EXPECT_EQ(gEffectBanks.definitions[0].count, 16);
}

TEST_F(EffectBank, TheArchiveEntryFillsABankWithoutALooseFileAndExtraBytesAreIgnored) {
    resetEffectBanks();
    gEffectBanks.definitions[299].type = 5;
    gEffectBanks.sets[299].startFrame[6] = 40;
    std::vector<uint8_t> image = bankImage(2, EFFECT_BANK_FILE_BYTES);
    image.resize(image.size() + 300, 0xEE);
    ArchiveBuilder b;
    std::string error;
    ASSERT_TRUE(addIndexEntry(b, "ef/effect3.dat", image.data(), image.size(), error));
    ASSERT_TRUE(writeArchiveFiles(b, ".", false, error)) << error;
    ASSERT_TRUE(openArchive());
    loadEffectBanks();
    EXPECT_EQ(gEffectBanks.definitions[299].type, 5);
    EXPECT_EQ(gEffectBanks.sets[299].startFrame[6], 40);
    EXPECT_EQ(gEffectBanks.definitions[300].count, 16);   // bank 3 untouched by the extra bytes
}

TEST_F(EffectBank, DamagedRecordsAreMadeSound) {
    std::vector<uint8_t> image(EFFECT_BANK_FILE_BYTES, 0xFF);   // every byte 0xFF: no terminator, all out of range
    applyEffectBankImage(0, image.data(), (int32_t)image.size());
    const EffectDefinition& d = gEffectBanks.definitions[0];
    EXPECT_EQ(d.name[EFFECT_NAME_SIZE - 1], 0);
    EXPECT_EQ(d.image, 0);           // -1
    EXPECT_EQ(d.type, 0);            // -1
    EXPECT_EQ(d.drawMethod, 0);      // -1
    EXPECT_EQ(d.appearMode, 0);
    EXPECT_EQ(d.count, -1);          // counts are the particles' business
    EXPECT_EQ(gEffectBanks.sets[0].name[EFFECT_NAME_SIZE - 1], 0);
    for (int32_t k = 0; k < EFFECT_SET_SLOTS; k++) EXPECT_EQ(gEffectBanks.sets[0].effect[k], -1);   // -1 stays

    EffectDefinition big = defaultEffectDefinition();
    big.image = EFFECT_IMAGE_ROWS;
    big.type = EFFECT_TYPE_MAX + 1;
    big.drawMethod = EFFECT_DRAW_METHOD_MAX + 1;
    sanitizeEffectDefinition(big);
    EXPECT_EQ(big.image, 0);
    EXPECT_EQ(big.type, 0);
    EXPECT_EQ(big.drawMethod, 0);
    EffectSet set = defaultEffectSet();
    set.effect[0] = EFFECT_COUNT;
    set.effect[1] = EFFECT_COUNT - 1;
    set.effect[2] = -2;
    sanitizeEffectSet(set);
    EXPECT_EQ(set.effect[0], -1);
    EXPECT_EQ(set.effect[1], EFFECT_COUNT - 1);
    EXPECT_EQ(set.effect[2], -1);
}

TEST_F(EffectBank, NameListLinesNameTheDefinitionTheirNumberGives) {
    resetEffectBanks();
    // The second list names definition 5 of bank 0, not 105.
    folder.write("ef/efname2.txt", "/ comment\r\n005:spark\r\n012:\r\n399:last\n400:beyond\n05:short\nx05:odd\n");
    folder.write("ef/efname4.txt", "005:later wins\n");
    loadEffectBanks();
    EXPECT_STREQ(gEffectBanks.definitions[5].name, "later wins");
    EXPECT_STREQ(gEffectBanks.definitions[105].name, "unknown");
    EXPECT_STREQ(gEffectBanks.definitions[12].name, "");
    EXPECT_STREQ(gEffectBanks.definitions[399].name, "last");
    EXPECT_STREQ(gEffectBanks.definitions[0].name, "unknown");
}

TEST_F(EffectBank, ANameKeepsAtMost99BytesAndNoHalfCharacter) {
    resetEffectBanks();
    names("001:" + std::string(600, 'a') + "\n");
    EXPECT_EQ(strlen(gEffectBanks.definitions[1].name), 99u);
    // 98 bytes and a double-byte character that would end at byte 100.
    names("002:" + std::string(98, 'b') + "\x82\xa0" + "\n");
    EXPECT_EQ(std::string(gEffectBanks.definitions[2].name), std::string(98, 'b'));
}

TEST_F(EffectBank, SavingABankWritesItsFileAndBothDumps) {
    resetEffectBanks();
    std::filesystem::create_directories(folder.path() + "/ef");
    strcpy(gEffectBanks.definitions[205].name, "ring");
    gEffectBanks.definitions[205].type = 5;
    gEffectBanks.definitions[205].gravity = -0.25f;
    gEffectBanks.sets[205].effect[1] = 205;
    gEffectBanks.sets[205].position[1][2] = 1.5f;
    ASSERT_EQ(saveEffectBank(2), 1);
    std::vector<uint8_t> bank = readFile(folder.file("ef/effect3.dat"));
    ASSERT_EQ(bank.size(), (size_t)EFFECT_BANK_FILE_BYTES);
    EXPECT_EQ(bank, bankImage(2, EFFECT_BANK_FILE_BYTES));
    std::string dump = readTextFile(folder.file("ef/effect3.idx"));
    // /エフェクトの登録, an empty line, then the records by their global numbers.
    EXPECT_EQ(dump.rfind("/\x83G\x83t\x83\x46\x83N\x83g\x82\xcc\x93o\x98^\n\n200:\n", 0), 0u) << dump.substr(0, 40);
    EXPECT_NE(dump.find("205:\n\x96\xbc\x8f\xcc:ring\n"), std::string::npos);
    std::string sets = readTextFile(folder.file("effect_set.idx"));
    EXPECT_NE(sets.find("205:\n"), std::string::npos);
    EXPECT_EQ(sets.find("005:\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("ef/effect3.dat.tmp")));
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);

    // A later save of bank 0 replaces the set dump with bank 0's sets.
    ASSERT_EQ(saveEffectBank(0), 1);
    sets = readTextFile(folder.file("effect_set.idx"));
    EXPECT_NE(sets.find("005:\n"), std::string::npos);
    EXPECT_EQ(sets.find("205:\n"), std::string::npos);

    // Both dumps read back into the records they came from.
    EffectDefinition savedDefinition = gEffectBanks.definitions[205];
    EffectSet savedSet = gEffectBanks.sets[205];
    ASSERT_TRUE(writeSetDump("bank2_sets.idx", 2));
    resetEffectBanks();
    readDefinitionDump("ef/effect3.idx");
    readSetDump("bank2_sets.idx");
    EXPECT_EQ(memcmp(&gEffectBanks.definitions[205], &savedDefinition, offsetof(EffectDefinition, pad170)), 0);
    EXPECT_EQ(memcmp(&gEffectBanks.sets[205], &savedSet, sizeof savedSet), 0);
}

TEST_F(EffectBank, AFailedSaveLeavesTheOldFilesAndSaysSo) {
    folder.write("ef/effect3.dat", "old bank");
    folder.write("ef/effect3.idx", "old dump");
    // The temporary file cannot be made where a folder of its name stands.
    std::filesystem::create_directories(folder.file("ef/effect3.dat.tmp"));
    EXPECT_EQ(saveEffectBank(2), 0);
    EXPECT_EQ(readTextFile(folder.file("ef/effect3.dat")), "old bank");
    EXPECT_EQ(readTextFile(folder.file("ef/effect3.idx")), "old dump");
    EXPECT_FALSE(std::filesystem::exists(folder.file("effect_set.idx")));
    ASSERT_EQ(gHeadlessMessageBoxes.count, 1);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].text, "ef/effect3.dat");
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "error");
}

TEST_F(EffectBank, SetDumpSlotsAdvanceAfterEachPositionLine) {
    resetEffectBanks();
    // エフェクト番号:
    const std::string effect = "\x83G\x83t\x83\x46\x83N\x83g\x94\xd4\x8d\x86:";
    std::string text = "017:\n" + effect + "3\nframe:4\npos:1,2,3\n" + effect + "9\nscale:2.5\ncol:1,2,3,4\npos:0,0,7\n";
    for (int32_t k = 0; k < 8; k++) text += effect + "1\npos:0,0,0\n";   // past the seventh slot: dropped
    text += "018:\n" + effect + "999\n";
    parseSetDump(text.data(), (int32_t)text.size());
    const EffectSet& s = gEffectBanks.sets[17];
    EXPECT_EQ(s.effect[0], 3);
    EXPECT_EQ(s.startFrame[0], 4);
    EXPECT_EQ(s.position[0][2], 3.0f);
    EXPECT_EQ(s.effect[1], 9);
    EXPECT_EQ(s.scale[1], 2.5f);
    EXPECT_EQ(s.colour[1][3], 4);
    EXPECT_EQ(s.position[1][2], 7.0f);
    EXPECT_EQ(gEffectBanks.sets[18].effect[0], -1);   // out of range
}

}  // namespace
