// Which enemies a floor holds: the drop rows (variants, the wisp, Boss Rush
// courses), the kinds a floor loads, the clamp on list counts, and whole
// floors started through the real stage change on the sample data with a
// list of the test's own: the rooms' groups, their distances and the boss
// group.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "dungeon/enemies.h"
#include "dungeon/spawn_tables.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "tests/harness/harness.h"
#include "tests/harness/saved_game.h"

namespace {

void lists(const std::string& t) { parseFloorEnemyLists(t.data(), (int32_t)t.size()); }

void setRow(int32_t d, int32_t row, int32_t from, int32_t to, std::initializer_list<SpawnEntry> entries) {
    FloorSpawnRange& r = gFloorSpawnTable[d][row];
    r.floorFrom = from;
    r.floorTo = to;
    int32_t i = 0;
    for (const SpawnEntry& e : entries) {
        r.entries[i] = e;
        for (int32_t s = 0; s < SPAWN_DROPS; s++) r.drops[i][s] = 100 * (i + 1) + s;
        i++;
    }
    r.entries[i].kind = -1;
    gFloorSpawnTable[d][row + 1].floorFrom = -1;
}

class SpawnTable : public ::testing::Test {
protected:
    void SetUp() override {
        lists("");
        gRun.bossRushCourse = gRun.bossRushBattle = -1;
    }
    void TearDown() override {
        lists("");
        gRun.dungeonIndex = 0;
        gRun.bossRushCourse = gRun.bossRushBattle = -1;
        gFloorIndex = 0;
    }
};

}  // namespace

TEST_F(SpawnTable, DropsFollowTheVariantThenTheKindAndTheWispOnlyFromSlotOne) {
    gRun.dungeonIndex = 2;
    gFloorIndex = 3;
    setRow(2, 0, 2, 4, {{5, 0, 1}, {5, 1, 2}, {7, 0, 1}});
    gWispDrops[2] = 4003;
    const struct {
        int32_t kind, slot, variant, want;
    } CASES[] = {
        {5, 0, 0, 100}, {5, 2, 1, 202},   // each variant its own drops
        {5, 1, 3, 101},                   // an unlisted variant: the kind's first entry
        {7, 2, 0, 302}, {9, 0, 0, -1},    // an unlisted kind
        {5, 3, 0, -1},                    // no fourth slot
        {KIND_WISP, 0, 0, -1}, {KIND_WISP, 1, 0, 4003}, {KIND_WISP, 2, 0, -1},
    };
    for (const auto& c : CASES)
        EXPECT_EQ(getKindDropItem(c.kind, c.slot, c.variant), c.want) << c.kind << " " << c.slot << " " << c.variant;
    gFloorIndex = 5;   // past the row
    EXPECT_EQ(getKindDropItem(5, 0, 0), -1);
    EXPECT_EQ(getKindDropItem(KIND_WISP, 1, 0), 4003);
}

// A Boss Rush fights dungeon 5's floors but drops by the course's dungeon at
// the battle's listed floor; its levels run by 5f - 145 in that dungeon.
TEST_F(SpawnTable, BossRushDropsComeFromTheCourseRowsAndLevelsFromTheCourse) {
    gRun.dungeonIndex = 5;
    gFloorIndex = 35;
    setRow(5, 0, 30, 58, {{9, 0, 1}});
    setRow(2, 0, 0, 10, {{9, 0, 1}});
    setRow(2, 1, 11, 20, {{8, 0, 1}, {9, 0, 1}});
    gRun.bossRushCourse = 2;
    gRun.bossRushBattle = 1;   // floor 9
    EXPECT_EQ(getKindDropItem(9, 0, 0), 100);
    gRun.bossRushBattle = 2;   // floor 19
    EXPECT_EQ(getKindDropItem(9, 0, 0), 200);
    gRun.bossRushBattle = 5;   // course 2 has five battles
    EXPECT_EQ(getKindDropItem(9, 0, 0), -1);
    gRun.bossRushBattle = 1;
    gFloorIndex = 33;          // dungeon 2 at floor 5 x 33 - 145 = 20: 20 / 3 + 6
    EXPECT_EQ(getFloorEnemyLevel(9), 12);
    gRun.bossRushCourse = -1;
    gFloorIndex = 40;
    EXPECT_EQ(getKindDropItem(9, 0, 0), 100) << "outside a Boss Rush dungeon 5's own row";
}

TEST_F(SpawnTable, TheFloorMarksItsKindsAndThoseEventsAdd) {
    gRun.dungeonIndex = 1;
    gFloorIndex = 0;
    int32_t flags[ENEMY_KIND_CAPACITY] = {};
    markFloorEnemyKinds(flags);
    for (int32_t f : flags) EXPECT_EQ(f, 0) << "a floor without a row marks nothing";
    setRow(1, 0, 0, 3, {{12, 0, 1}, {45, 2, 3}});
    markFloorEnemyKinds(flags);
    for (int32_t k = 0; k < ENEMY_KIND_CAPACITY; k++) {
        bool want = k == 12 || k == 45 || k == 2 || (k >= 29 && k <= 34) || k == 37;
        EXPECT_EQ(flags[k], want ? 1 : 0) << "kind " << k;
    }
}

TEST_F(SpawnTable, BossTestsFollowTheFloorAndItsRow) {
    const struct {
        int32_t dungeon, floor;
        bool bossFloor;
    } FLOORS[] = {{0, 4, true}, {1, 9, true}, {1, 10, false}, {5, 28, false}, {5, 29, true}, {5, 44, true}};
    for (const auto& f : FLOORS) {
        gRun.dungeonIndex = f.dungeon;
        gFloorIndex = f.floor;
        EXPECT_EQ(isBossFloor(), f.bossFloor) << f.dungeon << " " << f.floor;
    }
    gRun.dungeonIndex = 1;
    gFloorIndex = 9;
    setRow(1, 0, 9, 9, {{3, 0, 1}});
    EXPECT_FALSE(hasBossOnFloor()) << "a boss floor whose row lists no boss";
    setRow(1, 0, 9, 9, {{3, 0, 1}, {KIND_KING_SLIME, 0, 1}});
    EXPECT_TRUE(hasBossOnFloor());
    gFloorIndex = 8;
    setRow(1, 0, 8, 8, {{KIND_KING_SLIME, 0, 1}});
    EXPECT_FALSE(hasBossOnFloor()) << "a boss kind off a boss floor";
    gRun.dungeonIndex = 4;
    gFloorIndex = 99;
    EXPECT_TRUE(hasBossOnFloor());
}

// A count beyond what a floor holds is clamped by the loader; a row whose
// counts are all 0 gives an empty pool, which places nothing.
TEST_F(SpawnTable, CountsAreClampedAndAnEmptyPoolPlacesNothing) {
    int32_t kind = -1;
    for (int32_t k = 0; k < ENEMY_KIND_CAPACITY && kind < 0; k++)
        if (gEnemyKinds[k].name[0]) kind = k;
    if (kind < 0) {
        std::strcpy(gEnemyKinds[3].name, "testkind");
        kind = 3;
    }
    lists(std::string("DungeonNum_2\nf:3\n") + gEnemyKinds[kind].name + " x99999\n" + gEnemyKinds[kind].name +
          " x0\n");
    const FloorSpawnRange& row = gFloorSpawnTable[1][0];
    EXPECT_EQ(row.floorFrom, 2);
    EXPECT_EQ(row.floorTo, 2);
    EXPECT_EQ(row.entries[0].count, SPAWN_COUNT_MAX);
    EXPECT_EQ(row.entries[1].count, 0);

    gRun.dungeonIndex = 1;
    gFloorIndex = 2;
    setRow(1, 0, 2, 2, {{kind, 0, 0}});
    resetEnemies();
    gFloorPlan.roomCount = 6;
    populateFloor();
    for (const Enemy& e : gEnemies) EXPECT_EQ(e.state, ENEMY_FREE);
}

namespace {

// A game on its first morning, continued from its save; the test's list
// replaces the sample's before each floor.
class SpawnFloor : public ::testing::Test {
protected:
    void SetUp() override {
        HarnessOptions options;
        ASSERT_TRUE(harnessBootSavedGame(options));
    }
    void TearDown() override {
        harnessShutdown();
        lists("");
        gRun.dungeonIndex = 0;
    }
    static int32_t kindNamed(const char* name) {
        for (int32_t k = 0; k < ENEMY_KIND_CAPACITY; k++)
            if (std::strcmp(gEnemyKinds[k].name, name) == 0) return k;
        return -1;
    }
    static int32_t stageWithKey(int32_t key) {
        for (int32_t s = 0; s < gStageCount; ++s)
            if (gStages[s].stageCode == key) return s;
        return -1;
    }
    void enterFloor(int32_t dungeon, int32_t floor, int32_t key) {
        gRun.dungeonIndex = dungeon;
        requestStageChange(stageWithKey(key), 0, 0, floor);
        harnessRunTicks(18);
        ASSERT_GE(harnessRunTicksWhile(isSceneLoading), 0);
        ASSERT_EQ(gFloorIndex, floor);
    }
    // Live enemies of a kind by the room cell of their spawn point.
    static std::map<std::pair<int32_t, int32_t>, int32_t> unitsByRoom(int32_t kind) {
        std::map<std::pair<int32_t, int32_t>, int32_t> rooms;
        for (const Enemy& e : gEnemies) {
            if (e.state == ENEMY_FREE || e.kind != kind) continue;
            int32_t col = (int32_t)lroundf(-e.home.x / 40.0f), row = (int32_t)lroundf(-e.home.z / 40.0f);
            float d = hypotf(e.home.x + 40.0f * (float)col, e.home.z + 40.0f * (float)row);
            EXPECT_GE(d, 5.0f - 1e-3f);
            EXPECT_LT(d, 19.0f + 1e-3f);
            EXPECT_FLOAT_EQ(e.home.y, 0.5f);
            rooms[{col, row}]++;
        }
        return rooms;
    }
};

}  // namespace

// Rooms minus the start and the gate take groups by the pattern 2, 1, 1, 1,
// 3: a room of size 1 two single units, of size 2 a pair, of size 3 three;
// each unit 5..19 from its room's centre.
TEST_F(SpawnFloor, EachRoomButTheStartAndGateTakesItsGroups) {
    int32_t kind = kindNamed("slime_green");
    ASSERT_GE(kind, 0);
    lists("DungeonNum_2\nf:1-10\nslime_green x2\n");
    enterFloor(1, 2, 6);
    std::map<std::pair<int32_t, int32_t>, int32_t> rooms = unitsByRoom(kind);
    int32_t n = gFloorPlan.roomCount - 2;
    ASSERT_GT(n, 3);
    EXPECT_EQ((int32_t)rooms.size(), n);
    int32_t threes = 0;
    for (const auto& [cell, units] : rooms) {
        EXPECT_TRUE(units == 2 || units == 3) << units;
        threes += units == 3;
        for (int32_t c = 0; c < 2; c++)
            EXPECT_FALSE(cell.first == gLayoutCells.cells[c].col && cell.second == gLayoutCells.cells[c].row)
                << "the start and the gate stay empty";
    }
    EXPECT_EQ(threes, n / 5) << "one room of three per five";
}

// A boss floor whose row lists no boss fills its rooms with groups of 4..6;
// one whose row starts with a boss places the boss group instead.
TEST_F(SpawnFloor, BossFloorsTakeLargeGroupsOrTheBossGroup) {
    int32_t slime = kindNamed("slime_green"), king = kindNamed("king_slime");
    ASSERT_GE(slime, 0);
    ASSERT_EQ(king, KIND_KING_SLIME);
    lists("DungeonNum_2\nf:5\nslime_green x1\n");
    enterFloor(1, 4, 6);
    std::map<std::pair<int32_t, int32_t>, int32_t> rooms = unitsByRoom(slime);
    EXPECT_FALSE(rooms.empty());
    for (const auto& [cell, units] : rooms) {
        EXPECT_GE(units, 4);
        EXPECT_LE(units, 6);
    }

    lists("DungeonNum_2\nf:5\nking_slime x3\nslime_green x2\n");
    enterFloor(1, 4, 6);
    int32_t bosses = 0, others = 0;
    for (const Enemy& e : gEnemies) {
        if (e.state == ENEMY_FREE) continue;
        if (e.kind != king) {
            others++;
            continue;
        }
        float want = 10.0f * (float)bosses - 50.0f;
        EXPECT_FLOAT_EQ(e.home.x, want);
        EXPECT_FLOAT_EQ(e.home.z, bosses == 1 ? -34.0f : -38.0f);
        bosses++;
    }
    EXPECT_EQ(bosses, 3);
    EXPECT_EQ(others, 0);
}
