// The floor generator: the carve limits, the one-cell floors, the carve of a
// 5 x 5 grid, and over many seeds and floors the shape of what it makes:
// a connected route whose every cell got a fitting block, the exit in the
// second half of the route and the start in the first, chests and traps
// apart from both, traps on even route entries; and one seed, one floor.
#include "dungeon/floor_generator.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dungeon/field_frame.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"

namespace {

class FloorGen : public ::testing::Test {
protected:
    void SetUp() override {
        previousStage = gCurrentStage;
        stage.maptype = 1;
        gCurrentStage = &stage;
        memset(runningGameState().storyFlags, 0, sizeof runningGameState().storyFlags);
        resetFloorGenerator();
        resetFloorMap();
    }
    void TearDown() override {
        gCurrentStage = previousStage;
        gRun.dungeonIndex = 0;
        gFloorIndex = 0;
        resetFloorGenerator();
        resetFloorMap();
    }
    void generate(int32_t dungeon, int32_t floor, uint32_t seed) {
        gRun.dungeonIndex = dungeon;
        gFloorIndex = floor;
        seedRandom(seed);
        generateFloor();
    }
    StageRecord stage;
    StageRecord* previousStage = nullptr;
};

bool sameCell(GridCell a, GridCell b) { return a.col == b.col && a.row == b.row; }

// The links of a cell as the block's shape and rotation give them: up,
// left, right, down (rotation 4: none fitted).
void shapeLinks(int32_t shape, int32_t rotation, int32_t links[4]) {
    // At rotation 0, by shape: cross, straight, T, corner, dead end.
    const int32_t AT_ZERO[5][4] = {{1, 1, 1, 1}, {0, 1, 1, 0}, {1, 1, 1, 0}, {1, 0, 1, 0}, {0, 0, 1, 0}};
    // A quarter turn takes right to down, down to left, left to up, up to right.
    int32_t up = AT_ZERO[shape % 5][0], left = AT_ZERO[shape % 5][1];
    int32_t right = AT_ZERO[shape % 5][2], down = AT_ZERO[shape % 5][3];
    for (int32_t r = 0; r < rotation; ++r) {
        int32_t u = left, l = down, d = right, ri = up;
        up = u, left = l, down = d, right = ri;
    }
    links[0] = up, links[1] = left, links[2] = right, links[3] = down;
}

}  // namespace

TEST(FloorGenLimits, CarveLimitsByGrid) {
    const struct {
        int32_t columns, rows, limit;
    } CASES[] = {{3, 3, 0}, {3, 5, 2}, {5, 5, 6}, {7, 7, 15}, {9, 9, 27}, {5, 9, 13}, {9, 5, 13}};
    for (const auto& c : CASES)
        EXPECT_EQ(carveLimit(c.columns, c.rows), c.limit) << c.columns << " x " << c.rows;
}

// Every one-cell grid: the start room at (1, 1), no pattern fits it, and it
// takes block 9, or the fixed floor's block.
TEST_F(FloorGen, AOneCellFloorIsTheStartRoomWithBlockNine) {
    const struct {
        int32_t dungeon, floor, block, single;
    } CASES[] = {
        {5, 32, 9, 0},   // the Boss Rush floors are 3 x 3
        {5, 29, 12, 1},  // fixed floors laid out as one block
        {5, 45, 0, 1},
        {3, 49, 0, 1},
        {0, 4, 12, 0},   // the trial floor's boss
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(testing::Message() << "dungeon " << c.dungeon << " floor " << c.floor);
        gFloorGrid.singleBlockFloor = 0;
        generate(c.dungeon, c.floor, 7);
        ASSERT_EQ(gFloorGrid.roomsX, 3);
        ASSERT_EQ(gFloorGrid.roomsY, 3);
        EXPECT_EQ(gFloorPlan.routeCount, 1);
        EXPECT_EQ(gFloorPlan.roomCount, 1);
        EXPECT_TRUE(sameCell(gFloorPlan.routeCells[0], GridCell{1, 1}));
        EXPECT_EQ(gFloorGrid.mapGrid[1][1].rotation, 4);
        EXPECT_EQ(gFloorGrid.mapGrid[1][1].blockId, c.block);
        EXPECT_EQ(gFloorGrid.singleBlockFloor, c.single);
        EXPECT_FLOAT_EQ(gFloorPlan.floorStartPos.x, -40.0f);
        EXPECT_FLOAT_EQ(gFloorPlan.floorStartPos.z, -40.0f);
        EXPECT_EQ(gLayoutCells.count, 0);
        for (const TrapEntry& trap : gFloorPlan.trapList) EXPECT_EQ(trap.kind, 0);
    }
}

// From any room of a 5 x 5 grid the carve reaches all four rooms and the
// three corridors between them, then stops at the limit.
TEST_F(FloorGen, TheCarveOfAFiveByFiveGridMakesSevenCells) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        seedRandom(seed);
        gFloorGrid.roomsX = gFloorGrid.roomsY = 5;
        for (auto& row : gFloorPlan.routeGrid)
            for (int32_t& cell : row) cell = 0;
        const GridCell START = {seed % 2 ? 1 : 3, seed % 4 < 2 ? 1 : 3};
        gFloorPlan.routeGrid[START.row][START.col] = 1;
        gFloorPlan.routeCells[0] = START;
        gFloorPlan.routeCount = 1;
        carveRoute(START.col, START.row, START.col == 1 ? 1 : -1, 0);
        EXPECT_EQ(gFloorPlan.routeCount, 7) << "seed " << seed;
        int32_t marked = 0;
        for (auto& row : gFloorPlan.routeGrid)
            for (int32_t cell : row) marked += cell;
        EXPECT_EQ(marked, 7) << "seed " << seed;
        for (int32_t room : {0, 1, 2, 3}) EXPECT_EQ(gFloorPlan.routeGrid[1 + 2 * (room / 2)][1 + 2 * (room % 2)], 1);
    }
}

// The floors of every dungeon, many seeds each.
TEST_F(FloorGen, EveryFloorIsConnectedFittedAndKeepsItsCellsApart) {
    const struct {
        int32_t dungeon, floor;
    } FLOORS[] = {{0, 0}, {0, 2}, {1, 1}, {1, 7}, {1, 12}, {2, 3}, {2, 15}, {3, 25}, {4, 33}, {4, 80}, {5, 5}, {5, 21}};
    int32_t chestFloors = 0, trapFloors = 0;
    for (const auto& f : FLOORS)
        for (uint32_t seed = 1; seed <= 60; ++seed) {
            SCOPED_TRACE(testing::Message() << "dungeon " << f.dungeon << " floor " << f.floor << " seed " << seed);
            stage.maptype = seed % 2 ? 1 : 2;
            generate(f.dungeon, f.floor, seed);
            ASSERT_GT(gFloorPlan.routeCount, 6);
            ASSERT_LE(gFloorGrid.roomsX, 11);
            ASSERT_LE(gFloorGrid.roomsY, 11);
            int32_t n = storedRouteCount();
            ASSERT_EQ(n, gFloorPlan.routeCount);

            // Each route cell is a room, a corridor or a fill inside the
            // border, once; its block links exactly to its route neighbours.
            int32_t reached[MAP_GRID_SIZE][MAP_GRID_SIZE] = {};
            for (int32_t i = 0; i < n; ++i) {
                GridCell c = gFloorPlan.routeCells[i];
                ASSERT_TRUE(c.col >= 1 && c.col <= gFloorGrid.roomsX - 2 && c.row >= 1 &&
                            c.row <= gFloorGrid.roomsY - 2);
                ASSERT_EQ(roomLinkAt(c.col, c.row), 1);
                const MapCell& cell = gFloorGrid.mapGrid[c.row][c.col];
                ASSERT_LT(cell.rotation, 4);
                if (stage.maptype != 1) {
                    ASSERT_LT(cell.shapeIndex, 5);
                }
                int32_t links[4];
                shapeLinks(cell.shapeIndex, cell.rotation, links);
                EXPECT_EQ(links[0], roomLinkAt(c.col, c.row - 1));
                EXPECT_EQ(links[1], roomLinkAt(c.col - 1, c.row));
                EXPECT_EQ(links[2], roomLinkAt(c.col + 1, c.row));
                EXPECT_EQ(links[3], roomLinkAt(c.col, c.row + 1));
            }
            // All of them reachable from the first room.
            GridCell stack[ROUTE_CELL_MAX];
            int32_t top = 0, seen = 0;
            stack[top++] = gFloorPlan.routeCells[0];
            reached[gFloorPlan.routeCells[0].row][gFloorPlan.routeCells[0].col] = 1;
            while (top > 0) {
                GridCell c = stack[--top];
                ++seen;
                const int32_t STEPS[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                for (const auto& s : STEPS) {
                    int32_t col = c.col + s[0], row = c.row + s[1];
                    if (!roomLinkAt(col, row) || reached[row][col]) continue;
                    reached[row][col] = 1;
                    stack[top++] = GridCell{col, row};
                }
            }
            EXPECT_EQ(seen, n);

            // The start in the first half of the route, the exit in the second.
            int32_t half = n / 2, startAt = -1, exitAt = -1;
            for (int32_t i = 0; i < n; ++i) {
                if (sameCell(gFloorPlan.routeCells[i], gLayoutCells.cells[0])) startAt = i;
                if (sameCell(gFloorPlan.routeCells[i], gLayoutCells.cells[1])) exitAt = i;
            }
            EXPECT_TRUE(startAt >= 0 && startAt < half) << startAt;
            EXPECT_TRUE(exitAt >= half && exitAt < 2 * half) << exitAt;
            EXPECT_FLOAT_EQ(gFloorPlan.floorStartPos.x, -40.0f * (float)gLayoutCells.cells[0].col);
            EXPECT_FLOAT_EQ(gFloorPlan.floorStartPos.z, -40.0f * (float)gLayoutCells.cells[0].row);

            // Chests on route cells, apart from each other, the start and the exit.
            ASSERT_GE(gLayoutCells.count, 1);
            ASSERT_LE(gLayoutCells.count, LAYOUT_CHEST_MAX);
            chestFloors += gLayoutCells.count > 1;
            for (int32_t k = 0; k < gLayoutCells.count; ++k) {
                GridCell chest = gLayoutCells.cells[LAYOUT_CHEST_FIRST + k];
                EXPECT_EQ(roomLinkAt(chest.col, chest.row), 1);
                EXPECT_FALSE(sameCell(chest, gLayoutCells.cells[0]));
                EXPECT_FALSE(sameCell(chest, gLayoutCells.cells[1]));
                for (int32_t j = 0; j < k; ++j)
                    EXPECT_FALSE(sameCell(chest, gLayoutCells.cells[LAYOUT_CHEST_FIRST + j]));
            }

            // Traps on the even route entries that are none of those.
            int32_t traps = 0, expected = 0;
            for (int32_t i = 0; i < n && expected < TRAP_MAX; i += 2) {
                bool layout = false;
                for (int32_t k = 0; k < LAYOUT_CHEST_FIRST + gLayoutCells.count; ++k)
                    layout = layout || sameCell(gFloorPlan.routeCells[i], gLayoutCells.cells[k]);
                if (layout) continue;
                const TrapEntry& trap = gFloorPlan.trapList[expected++];
                EXPECT_TRUE(sameCell(trap.cell, gFloorPlan.routeCells[i])) << "trap " << expected - 1;
            }
            for (const TrapEntry& trap : gFloorPlan.trapList) {
                if (trap.kind == 0) continue;
                ++traps;
                EXPECT_TRUE(trap.kind == 1 || trap.kind == 2 || trap.kind == 4 || trap.kind == 9) << trap.kind;
                EXPECT_TRUE(trap.armed == 0 || trap.armed == 1);
                EXPECT_EQ(trap.kind == 2, gFloorGrid.mapGrid[trap.cell.row][trap.cell.col].shapeIndex < 5);
                if (f.dungeon == 0) {
                    EXPECT_TRUE(trap.kind == 2 || trap.kind == 4);
                }
                EXPECT_FLOAT_EQ(trap.position.x, -40.0f * (float)trap.cell.col);
                EXPECT_FLOAT_EQ(trap.position.z, -40.0f * (float)trap.cell.row);
            }
            EXPECT_EQ(traps, expected);
            EXPECT_LE(traps, TRAP_MAX);
            trapFloors += traps > 0;
        }
    EXPECT_GT(chestFloors, 0);
    EXPECT_GT(trapFloors, 0);
}

TEST_F(FloorGen, TheSameSeedGivesTheSameFloor) {
    struct Floor {
        int32_t roomsX, roomsY, routeCount;
        GridCell cells[ROUTE_CELL_MAX];
        MapCell grid[MAP_GRID_SIZE][MAP_GRID_SIZE];
        LayoutCells layout;
        TrapEntry traps[TRAP_MAX];
        uint32_t randomAfter;
    };
    auto take = [](Floor& f) {
        memset(&f, 0, sizeof f);
        f.roomsX = gFloorGrid.roomsX, f.roomsY = gFloorGrid.roomsY, f.routeCount = gFloorPlan.routeCount;
        memcpy(f.cells, gFloorPlan.routeCells, sizeof f.cells);
        memcpy(f.grid, gFloorGrid.mapGrid, sizeof f.grid);
        f.layout = gLayoutCells;
        memcpy(f.traps, gFloorPlan.trapList, sizeof f.traps);
        f.randomAfter = gRandomState;
    };
    static Floor first, second, other;
    generate(4, 33, 1234);
    take(first);
    generate(2, 8, 99);   // something else in between
    generate(4, 33, 1234);
    take(second);
    EXPECT_EQ(memcmp(&first, &second, sizeof first), 0);
    generate(4, 33, 1235);
    take(other);
    EXPECT_NE(memcmp(&first, &other, sizeof first), 0);
}

// The grid's size by dungeon and floor; the story floors are one cell.
TEST_F(FloorGen, GridSizesFollowTheDungeonAndFloor) {
    const struct {
        int32_t dungeon, floor, minSide, maxSide;
    } CASES[] = {
        {0, 3, 5, 9},    // 5 x 5, grown by the edges
        {1, 12, 5, 11},
        {2, 15, 7, 9},   // 7 x 7 and its growth
        {4, 40, 7, 11},
    };
    for (const auto& c : CASES)
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            generate(c.dungeon, c.floor, seed);
            EXPECT_GE(gFloorGrid.roomsX < gFloorGrid.roomsY ? gFloorGrid.roomsX : gFloorGrid.roomsY, c.minSide)
                << c.dungeon << "/" << c.floor;
            EXPECT_LE(gFloorGrid.roomsX > gFloorGrid.roomsY ? gFloorGrid.roomsX : gFloorGrid.roomsY, c.maxSide)
                << c.dungeon << "/" << c.floor;
        }
    runningGameState().storyFlags[154] = 1;
    generate(3, 2, 5);
    EXPECT_EQ(gFloorGrid.roomsX, 3);
    EXPECT_EQ(gFloorPlan.routeCount, 1);
    EXPECT_EQ(gFloorGrid.mapGrid[1][1].blockId, 0);
    runningGameState().storyFlags[154] = 0;
}
