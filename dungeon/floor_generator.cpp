#include "dungeon/floor_generator.h"

#include "dungeon/departure.h"
#include "dungeon/field_frame.h"
#include "dungeon/spawn_tables.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"

FloorPlan gFloorPlan;

// Five shapes in four quarter turns: pattern p is shape p % 5 turned p / 5
// times. Only the centre and its four side neighbours are compared, given as
// up, left, centre, right, down.
constexpr int32_t BLOCK_PATTERN_COUNT = 20;
constexpr int32_t BLOCK_SHAPE_PATTERNS[BLOCK_PATTERN_COUNT][5] = {
    {1, 1, 1, 1, 1}, {0, 1, 1, 1, 0}, {1, 1, 1, 1, 0}, {1, 0, 1, 1, 0}, {0, 0, 1, 1, 0},   // turn 0
    {1, 1, 1, 1, 1}, {1, 0, 1, 0, 1}, {1, 0, 1, 1, 1}, {0, 0, 1, 1, 1}, {0, 0, 1, 0, 1},   // turn 1
    {1, 1, 1, 1, 1}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 1}, {0, 1, 1, 0, 1}, {0, 1, 1, 0, 0},   // turn 2
    {1, 1, 1, 1, 1}, {1, 0, 1, 0, 1}, {1, 1, 1, 0, 1}, {1, 1, 1, 0, 0}, {1, 0, 1, 0, 0},   // turn 3
};
// Map blocks of the stage by shape index: set A (0-4), then set B (5-9):
// cross, straight, T, corner, dead end.
constexpr int32_t BLOCK_IDS_BY_SHAPE[10] = {0, 2, 3, 4, 8, 1, 6, 7, 5, 10};

constexpr int32_t DIRECTION_STEPS[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

static bool storyFloorFlags() { return storyFlag(FLAG_TOWER_STORY_FLOOR) || storyFlag(FLAG_TOWER_TOP); }

int32_t roomLinkAt(int32_t col, int32_t row) {
    if (col < 0 || row < 0 || col >= gFloorGrid.roomsX || row >= gFloorGrid.roomsY) return 0;
    return gFloorPlan.roomLinks[row * gFloorGrid.roomsX + col];
}

Vector3 cellCentre(GridCell cell) { return Vector3{-40.0f * (float)cell.col, 0.0f, -40.0f * (float)cell.row}; }

int32_t storedRouteCount() { return gFloorPlan.routeCount < ROUTE_CELL_MAX ? gFloorPlan.routeCount : ROUTE_CELL_MAX; }

int32_t carveLimit(int32_t columns, int32_t rows) {
    int32_t p = (columns - 2) * (rows - 2);
    return p - p / 15 - ((rows - 2) / 2) * (columns - 3) - 1;
}

// A route cell joins the grid and the list; the list keeps the first 100.
static void addRouteCell(int32_t col, int32_t row) {
    gFloorPlan.routeGrid[row][col] = 1;
    if (gFloorPlan.routeCount < ROUTE_CELL_MAX) gFloorPlan.routeCells[gFloorPlan.routeCount] = GridCell{col, row};
    ++gFloorPlan.routeCount;
}

static void shuffleDirections(int32_t order[4]) {
    for (int32_t i = 0; i < 4; ++i) order[i] = i;
    for (int32_t i = 0; i < 4; ++i) {
        int32_t j = randomInt() & 3;
        int32_t t = order[i];
        order[i] = order[j];
        order[j] = t;
    }
}

void carveRoute(int32_t col, int32_t row, int32_t dx, int32_t dy) {
    if (gFloorPlan.routeCount >= carveLimit(gFloorGrid.roomsX, gFloorGrid.roomsY)) return;
    int32_t toCol = col + 2 * dx;
    int32_t toRow = row + 2 * dy;
    if (toCol < 0 || toRow < 0 || toCol >= gFloorGrid.roomsX || toRow >= gFloorGrid.roomsY) return;
    if (gFloorPlan.routeGrid[toRow][toCol]) return;
    addRouteCell(toCol, toRow);
    addRouteCell(col + dx, row + dy);
    int32_t order[4];
    shuffleDirections(order);
    for (int32_t d : order) carveRoute(toCol, toRow, DIRECTION_STEPS[d][0], DIRECTION_STEPS[d][1]);
}

static void setGrid(int32_t columns, int32_t rows) {
    gFloorGrid.roomsX = columns;
    gFloorGrid.roomsY = rows;
}

// The second draw of a grid rule: 5 or 7 (base 5), 7 or 9 (base 7).
static int32_t drawSide(int32_t base) { return (randomInt() & 1) * 2 + base; }

static void chooseGridSize() {
    int32_t d = gRun.dungeonIndex;
    int32_t f = gFloorIndex;
    if (d == 3 && f == 49) return setGrid(3, 3);
    if (d == 5) {
        if (f >= 29) return setGrid(3, 3);
        switch (randomInt() & 3) {
        case 0: return setGrid(5, 9);
        case 1: return setGrid(9, 5);
        case 2: return setGrid(7, 7);
        default: return setGrid(7, 9);
        }
    }
    if (f % 5 == 4) return hasBossOnFloor() ? setGrid(3, 3) : setGrid(3, 5);
    if (storyFloorFlags()) return setGrid(3, 3);
    if (d == 0 || (d == 1 && f <= 2)) {
        if (f <= 2) return (randomInt() & 1) ? setGrid(3, 5) : setGrid(5, 3);
        return setGrid(5, 5);
    }
    if (d == 1) {
        if (f <= 10) return setGrid(5, 5);
        return (randomInt() & 1) ? setGrid(7, 5) : setGrid(5, 7);
    }
    if (f <= 10) {
        if (randomInt() & 1) return setGrid(5, drawSide(5));
        return setGrid(drawSide(5), 5);
    }
    if (f <= 20) return setGrid(7, 7);
    if (f <= 30) {
        if (randomInt() & 1) return setGrid(7, drawSide(7));
        return setGrid(drawSide(7), 7);
    }
    int32_t columns = drawSide(7);
    return setGrid(columns, drawSide(7));
}

// Fills an empty cell that bridges two route cells across it (left and
// right, or above and below) while the other two sides stay empty.
static int32_t scanForLoops(int32_t pass) {
    int32_t added = 0;
    int32_t from = pass == 0 ? 2 : 1;
    int32_t step = pass == 0 ? 2 : 1;
    for (int32_t row = from; row <= gFloorGrid.roomsY - 2; row += step)
        for (int32_t col = from; col <= gFloorGrid.roomsX - 2; col += step) {
            if (gFloorPlan.routeGrid[row][col]) continue;
            bool considered = pass == 0 ? (randomInt() & 3) != 0 : (randomInt() & 1) != 0;
            if (!considered) continue;
            int32_t left = gFloorPlan.routeGrid[row][col - 1], right = gFloorPlan.routeGrid[row][col + 1];
            int32_t up = gFloorPlan.routeGrid[row - 1][col], down = gFloorPlan.routeGrid[row + 1][col];
            if ((left && right && !up && !down) || (up && down && !left && !right)) {
                addRouteCell(col, row);
                ++added;
            }
        }
    return added;
}

// The grid grows by a column and a row; each new line takes stubs from the
// route cells beside it.
static int32_t growEdges() {
    int32_t added = 0;
    ++gFloorGrid.roomsX;
    if (gFloorGrid.roomsY - 1 > 2) {
        for (int32_t row = 2; row < gFloorGrid.roomsY - 1; ++row) {
            if (randomInt() % 5 == 0 || !gFloorPlan.routeGrid[row][gFloorGrid.roomsX - 3]) continue;
            addRouteCell(gFloorGrid.roomsX - 2, row);
            ++added;
            if (randomInt() & 1) ++row;
        }
    }
    ++gFloorGrid.roomsY;
    if (gFloorGrid.roomsX - 1 > 2) {
        for (int32_t col = 2; col < gFloorGrid.roomsX - 1; ++col) {
            if (randomInt() % 5 == 0 || !gFloorPlan.routeGrid[gFloorGrid.roomsY - 3][col]) continue;
            addRouteCell(col, gFloorGrid.roomsY - 2);
            ++added;
            if (randomInt() & 1) ++col;
        }
    }
    return added;
}

static void addLoopsAndEdges() {
    int32_t keptX = gFloorGrid.roomsX;
    int32_t keptY = gFloorGrid.roomsY;
    int32_t added = 0;
    for (int32_t attempt = 0; attempt < 3; ++attempt) {
        for (int32_t pass = 0; pass < 2; ++pass) {
            added += scanForLoops(pass);
            added += growEdges();
        }
        if (added == 0) setGrid(keptX, keptY);
        bool narrow =
            (gFloorGrid.roomsX == 3 && gFloorGrid.roomsY == 5) || (gFloorGrid.roomsX == 5 && gFloorGrid.roomsY == 3);
        if (!narrow || added >= 2) break;
    }
}

void layoutRooms() {
    chooseGridSize();
    for (int32_t(&row)[MAP_GRID_SIZE] : gFloorPlan.routeGrid)
        for (int32_t& cell : row) cell = 0;
    int32_t col = (randomInt() % (gFloorGrid.roomsX / 2)) * 2 + 1;
    int32_t row = (randomInt() % (gFloorGrid.roomsY / 2)) * 2 + 1;
    addRouteCell(col, row);
    gFloorPlan.startCell = GridCell{col, row};

    int32_t order[4];
    shuffleDirections(order);
    for (int32_t d : order) {
        bool fits = (d == 0 && col < gFloorGrid.roomsX - 2) || (d == 1 && col > 2) ||
                    (d == 2 && row < gFloorGrid.roomsY - 2) || (d == 3 && row > 2);
        if (!fits) continue;
        carveRoute(col, row, DIRECTION_STEPS[d][0], DIRECTION_STEPS[d][1]);
        break;
    }
    if (!(gFloorGrid.roomsX == 3 && gFloorGrid.roomsY == 3)) addLoopsAndEdges();

    gFloorPlan.floorStartPos = cellCentre(gFloorPlan.startCell);
    for (int32_t r = 0; r < gFloorGrid.roomsY; ++r)
        for (int32_t c = 0; c < gFloorGrid.roomsX; ++c)
            gFloorPlan.roomLinks[r * gFloorGrid.roomsX + c] = gFloorPlan.routeGrid[r][c];
}

static int32_t matchPattern(int32_t col, int32_t row) {
    int32_t links[5] = {roomLinkAt(col, row - 1), roomLinkAt(col - 1, row), roomLinkAt(col, row),
                        roomLinkAt(col + 1, row), roomLinkAt(col, row + 1)};
    for (int32_t p = 0; p < BLOCK_PATTERN_COUNT; ++p) {
        bool same = true;
        for (int32_t k = 0; k < 5; ++k) same = same && links[k] == BLOCK_SHAPE_PATTERNS[p][k];
        if (same) return p;
    }
    return BLOCK_PATTERN_COUNT;
}

// The fixed floors' blocks replace the fitted one; the last rule that
// applies wins, and some lay the floor out as one block in world space.
static int32_t applyFloorOverrides(int32_t blockId) {
    int32_t d = gRun.dungeonIndex;
    int32_t f = gFloorIndex;
    bool single = gFloorGrid.roomsX == 3 && gFloorGrid.roomsY == 3;
    if (single) blockId = 9;
    if ((d == 0 && f == 4) || (d == 1 && f == 9) || (d == 5 && f == 31)) blockId = 12;
    if (d == 2 && f == 19) blockId = 9;
    if (d == 2 && f == 29) {
        blockId = 12;
        gFloorGrid.singleBlockFloor = 1;
    }
    if (single && getStageKeyForFloor() == 15) gFloorGrid.singleBlockFloor = 1;
    if ((d == 3 && f == 49) || (d == 4 && f == 99)) {
        blockId = 0;
        gFloorGrid.singleBlockFloor = 1;
    }
    if (d == 5 && (f == 29 || f == 37 || f == 59)) {
        blockId = 12;
        gFloorGrid.singleBlockFloor = 1;
    }
    if (d == 5 && (f == 45 || f == 58)) {
        blockId = 0;
        gFloorGrid.singleBlockFloor = 1;
    }
    if (storyFloorFlags()) blockId = 0;
    return blockId;
}

static void fitBlocks() {
    bool setsAlternate = gCurrentStage && gCurrentStage->maptype == 1;
    for (int32_t row = 1; row <= gFloorGrid.roomsY - 2; ++row)
        for (int32_t col = 1; col <= gFloorGrid.roomsX - 2; ++col) {
            if (!roomLinkAt(col, row)) continue;
            int32_t p = matchPattern(col, row);
            int32_t shape = p % 5;
            if (setsAlternate && (randomInt() & 1)) shape += 5;
            MapCell& cell = gFloorGrid.mapGrid[row][col];
            cell.blockId = applyFloorOverrides(BLOCK_IDS_BY_SHAPE[shape]);
            cell.rotation = p / 5;
            cell.shapeIndex = shape;
        }
}

static bool sameCell(GridCell a, GridCell b) { return a.col == b.col && a.row == b.row; }

// The start, exit and chest cells. Only the chest entries are counted; the
// start entry always names the start, so traps keep off it on every floor.
static void chooseLayoutCells() {
    gLayoutCells.count = 0;
    for (GridCell& cell : gLayoutCells.cells) cell = GridCell{-1, -1};
    gLayoutCells.cells[0] = gFloorPlan.startCell;
    if (storyFloorFlags()) return;
    int32_t stored = storedRouteCount();
    if (isBossFloor()) {
        if (hasBossOnFloor()) return;
        int32_t n = stored < LAYOUT_CELL_MAX ? stored : LAYOUT_CELL_MAX;
        for (int32_t i = 0; i < n; ++i) gLayoutCells.cells[i] = gFloorPlan.routeCells[i];
        gFloorPlan.floorStartPos = cellCentre(gLayoutCells.cells[0]);
        return;
    }
    if (stored <= 2) return;
    int32_t half = stored / 2;
    int32_t exitIndex = half + randomInt() % half;
    int32_t startIndex = randomInt() % half;
    gLayoutCells.cells[1] = gFloorPlan.routeCells[exitIndex];
    gLayoutCells.cells[0] = gFloorPlan.routeCells[startIndex];
    gFloorPlan.floorStartPos = cellCentre(gLayoutCells.cells[0]);

    int32_t others = stored - 2;
    int32_t chests = (randomInt() & 1) + stored / 8 + 1;
    if (chests > others) chests = others;
    GridCell list[ROUTE_CELL_MAX];
    int32_t n = 0;
    for (int32_t i = 0; i < stored; ++i)
        if (i != startIndex && i != exitIndex) list[n++] = gFloorPlan.routeCells[i];
    for (int32_t i = 0; i < n; ++i) {
        int32_t j = randomInt() % n;
        GridCell t = list[i];
        list[i] = list[j];
        list[j] = t;
    }
    // Mended: the layout list holds 8 chest cells; a long route asked for
    // more and wrote past it.
    if (chests > LAYOUT_CHEST_MAX) chests = LAYOUT_CHEST_MAX;
    for (int32_t i = 0; i < chests; ++i) gLayoutCells.cells[LAYOUT_CHEST_FIRST + i] = list[i];
    gLayoutCells.count = chests;
}

static bool isLayoutCell(GridCell cell) {
    if (sameCell(cell, gLayoutCells.cells[0]) || sameCell(cell, gLayoutCells.cells[1])) return true;
    for (int32_t i = 0; i < gLayoutCells.count; ++i)
        if (sameCell(cell, gLayoutCells.cells[LAYOUT_CHEST_FIRST + i])) return true;
    return false;
}

static void placeTraps() {
    int32_t traps = 0;
    int32_t stored = storedRouteCount();
    for (int32_t i = 0; i < stored && traps < TRAP_MAX; i += 2) {
        GridCell cell = gFloorPlan.routeCells[i];
        if (isLayoutCell(cell)) continue;
        TrapEntry& trap = gFloorPlan.trapList[traps++];
        trap.armed = randomInt() & 1;
        trap.position = cellCentre(cell);
        trap.cell = cell;
        bool setB = gFloorGrid.mapGrid[cell.row][cell.col].shapeIndex >= 5;
        if (!setB) {
            trap.kind = 2;
        } else if (gRun.dungeonIndex == 0) {
            trap.kind = 4;
        } else {
            constexpr int32_t SET_B_KINDS[3] = {4, 1, 9};
            trap.kind = SET_B_KINDS[randomInt() % 3];
        }
    }
}

void generateFloor() {
    for (int32_t attempt = 0; attempt < FLOOR_TRIES; ++attempt) {
        gFloorPlan.routeCount = 0;
        layoutRooms();
        if ((gFloorGrid.roomsX == 3 && gFloorGrid.roomsY == 3) || gFloorPlan.routeCount > 6) break;
    }
    for (MapCell(&row)[MAP_GRID_SIZE] : gFloorGrid.mapGrid)
        for (MapCell& cell : row) cell = MapCell{-1, 0, 0, 0};
    for (TrapEntry& trap : gFloorPlan.trapList) trap = TrapEntry{};
    fitBlocks();
    chooseLayoutCells();
    placeTraps();
    gFloorPlan.roomCount = gFloorPlan.routeCount;
}

void resetFloorGenerator() {
    gFloorPlan = FloorPlan{};
    gLayoutCells = LayoutCells{};
}
