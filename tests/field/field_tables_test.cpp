// The field's start-up tables: the model table and its bone-export names,
// and the effect image groups.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/archive.h"
#include "engine/skin_models.h"
#include "field/effect_banks.h"
#include "field/effect_images.h"
#include "field/field.h"
#include "field/model_table.h"
#include "platform/window.h"
#include "tests/harness/harness.h"
#include "tests/temp_folder.h"
#include "tools/archive_writer.h"

namespace {

void models(const std::string& text) { parseModelTable(text.data(), (int32_t)text.size()); }
void groups(const std::string& text) { parseEffectGroupFile(text.data(), (int32_t)text.size()); }

TEST(FieldTablesModels, RowsNameTheirFileAndParts) {
    gModelTable[4].partCount = 9;   // cleared before reading
    gModelTable[4].partPresent[7] = 1;
    models("no:3\nfname:xfile/enemy/crab.x\n00:eye\n03:Claw_l\n19:tail\n20:beyond\n"
           "no:25\nfname:lost.x\n01:lost\n"
           "no:4\n02:" + std::string(40, 'n') + "\n");
    const ModelEntry& crab = gModelTable[3];
    EXPECT_STREQ(crab.fileName, "xfile/enemy/crab.x");
    EXPECT_EQ(crab.partCount, 3);
    EXPECT_STREQ(crab.partNames[3], "Claw_l");
    EXPECT_EQ(crab.partPresent[19], 1);
    EXPECT_EQ(crab.partPresent[1], 0);
    // Row 25 does not exist: its lines change nothing.
    for (const ModelEntry& row : gModelTable) EXPECT_STRNE(row.fileName, "lost.x");
    EXPECT_EQ(gModelTable[4].partCount, 1);
    EXPECT_EQ(gModelTable[4].partPresent[7], 0);
    EXPECT_EQ(strlen(gModelTable[4].partNames[2]), 31u);

    // The export names: the flags decide, and only the first ten parts export.
    EXPECT_STREQ(modelPartName(3, 0), "eye");
    EXPECT_EQ(modelPartName(3, 1), nullptr);
    EXPECT_EQ(modelPartName(3, 19), nullptr);
    EXPECT_EQ(modelPartName(-1, 0), nullptr);
    EXPECT_EQ(modelPartName(MODEL_TABLE_ROWS, 0), nullptr);
    models("");
    EXPECT_EQ(modelPartName(3, 0), nullptr);
}

TEST(FieldTablesModels, TheExportWritesTheEnemysBone) {
    Enemy e = {};
    Matrix4 combined = matrixTranslation(1.0f, 2.0f, 3.0f);
    exportEnemyBone(&e, 1, combined);
    EXPECT_EQ(e.attachWritten, 2);
    EXPECT_EQ(e.attachPos[1].x, 1.0f);
    EXPECT_EQ(e.attachPos[1].z, 3.0f);
    EXPECT_EQ(memcmp(&e.attachMatrix[1], &combined, sizeof combined), 0);
    exportEnemyBone(&e, MODEL_EXPORT_BONES, combined);   // no such bone: nothing written
    EXPECT_EQ(e.attachWritten, 2);
}

TEST(FieldTablesEffectImages, GroupsAndRowsWithTheirFrames) {
    gEffectGroupCount = 0;
    gEffectImageCount = 0;
    groups("/ pictures\nGRP00:bmp/effect/ef01.bmp\nGRP07:bmp/effect/ef02.bmp\nGRP:bad\n"
           "000:0(0,0,64,64)\n"
           "012:1(64.5,0,128,32)(4,3,1)\n"
           "998:1(0,0,1,1)\n999:0(0,0,1,1)\n");
    ASSERT_EQ(gEffectGroupCount, 2);
    EXPECT_STREQ(gEffectImageGroups[1], "bmp/effect/ef02.bmp");
    EXPECT_EQ(gEffectImageCount, 999);
    const EffectImage& first = gEffectImages[0];
    EXPECT_EQ(first.group, 0);
    EXPECT_EQ(first.x1, 64.0f);
    EXPECT_EQ(first.frames, 1);
    EXPECT_EQ(first.interval, 1);
    EXPECT_EQ(first.loop, 0);
    const EffectImage& strip = gEffectImages[12];
    EXPECT_EQ(strip.group, 1);
    EXPECT_EQ(strip.x0, 64.5f);
    EXPECT_EQ(strip.y1, 32.0f);
    EXPECT_EQ(strip.frames, 4);
    EXPECT_EQ(strip.interval, 3);
    EXPECT_EQ(strip.loop, 1);

    // Groups beyond the texture slots are dropped, not written past the table.
    std::string many;
    for (int32_t g = 0; g < EFFECT_GROUP_MAX + 5; g++) many += "GRP01:bmp/" + std::to_string(g) + ".bmp\n";
    groups(many);
    EXPECT_EQ(gEffectGroupCount, EFFECT_GROUP_MAX);
}

TEST(FieldTablesEffectImages, TheLooseGroupFileWinsOverTheArchive) {
    TempFolder folder("effect_groups");
    WorkingDirectory inside(folder.path());
    ArchiveBuilder b;
    std::string error;
    const std::string archived = "GRP00:bmp/archived.bmp\n";
    const std::string second = "GRP00:bmp/second.bmp\n005:1(0,0,8,8)\n";
    ASSERT_TRUE(addIndexEntry(b, "ef/grp1.idx", (const uint8_t*)archived.data(), archived.size(), error));
    ASSERT_TRUE(addIndexEntry(b, "ef/grp2.idx", (const uint8_t*)second.data(), second.size(), error));
    ASSERT_TRUE(writeArchiveFiles(b, ".", false, error)) << error;
    ASSERT_TRUE(openArchive());
    folder.write("ef/grp1.idx", "GRP00:bmp/loose.bmp\n");
    loadEffectGroups();
    ASSERT_EQ(gEffectGroupCount, 2);
    EXPECT_STREQ(gEffectImageGroups[0], "bmp/loose.bmp");
    EXPECT_STREQ(gEffectImageGroups[1], "bmp/second.bmp");
    EXPECT_EQ(gEffectImageCount, 6);
}

TEST(FieldTablesSample, RowsForEveryDungeonAndTheShippedEffects) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
    for (int32_t d = 0; d < SPAWN_FILE_DUNGEONS; ++d) {
        EXPECT_EQ(gFloorSpawnTable[d][0].floorFrom, 0) << "dungeon " << d;
        EXPECT_NE(gFloorSpawnTable[d][0].entries[0].kind, -1) << "dungeon " << d;
        EXPECT_NE(gWispDrops[d], -1) << "dungeon " << d;
        EXPECT_EQ(gFloorConditionRanges[d][0].floorFrom, 1) << "dungeon " << d;
    }
    EXPECT_GT(gFloorConditionCount, 0);
    EXPECT_GT(gEffectImageCount, 0);
    EXPECT_STREQ(gEffectBanks.definitions[0].name, "spark");       // named by ef/efname1.txt
    EXPECT_EQ(gEffectBanks.definitions[0].count, 12);              // built by tools/makeeffects
    EXPECT_EQ(gEffectBanks.sets[1].effect[1], 10);
    EXPECT_STREQ(gEffectBanks.definitions[100].name, "score spark");   // bank 2 holds the day score's sparks
    EXPECT_EQ(gEffectBanks.sets[100].effect[0], 100);
    EXPECT_STREQ(gEffectBanks.definitions[200].name, "unknown");   // banks 3 and 4 are left at the defaults
    EXPECT_STREQ(gModelTable[10].partNames[0], "eye");
    harnessShutdown();
}

}  // namespace
