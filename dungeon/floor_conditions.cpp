// dungeon/floor_conditions.cpp: the conditions of the current dungeon floor
// ("windy", "slippery", ...): their table from "data/snews.txt", rolled once
// per floor and shown by a banner.
#include <cstdio>
#include <cstring>

#include "dungeon/data_tables.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/game_folder.h"
#include "engine/random.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "engine/text_data.h"

FloorConditionList gFloorConditionList;
ConditionBanner gConditionBanner;
FloorConditionRange gFloorConditionRanges[CONDITION_DUNGEONS][CONDITION_ROWS];
FloorCondition gFloorConditions[CONDITION_COUNT];
int32_t gFloorConditionCount;

// 不明なニュース
static const char UNKNOWN_LINE_CAPTION[] = "\x95s\x96\xbe\x82\xc8\x83j\x83\x85\x81[\x83X";

// Story flags under which no floor has a condition.
constexpr int32_t NO_CONDITION_FLAGS[] = {154, 176};

int32_t isFloorConditionActive(int32_t id) {
    if (!gCurrentStage || gCurrentStage->maptype <= 0) return 0;
    const FloorConditionList& list = gFloorConditionList;
    for (int32_t i = 0; i < list.count && i < FLOOR_CONDITION_ACTIVE_MAX; i++)
        if (list.ids[i] == id) return 1;
    return 0;
}

// The row of the current dungeon whose range holds the floor, else row 0;
// null outside the dungeons the table has.
static const FloorConditionRange* conditionRow() {
    int32_t dungeon = gRun.dungeonIndex;
    if (dungeon < 0 || dungeon >= CONDITION_DUNGEONS) return nullptr;
    int32_t floor = gFloorIndex + 1;
    for (const FloorConditionRange& row : gFloorConditionRanges[dungeon]) {
        if (row.floorFrom == -1) break;
        if (row.floorFrom <= floor && floor <= row.floorTo) return &row;
    }
    return &gFloorConditionRanges[dungeon][0];
}

// The id the weights pick, drawing once; -1 when the weights sum to 0 or less.
static int32_t pickCondition(const FloorConditionRange& row) {
    int64_t sum = 0;
    for (const ConditionPair& pair : row.pairs)
        if (pair.id != -1) sum += pair.weight;
    if (sum <= 0 || sum > INT32_MAX) return -1;
    int64_t pick = randomInt() % sum;
    int64_t running = 0;
    for (const ConditionPair& pair : row.pairs) {
        if (pair.id == -1) continue;
        running += pair.weight;
        if (running > pick) return pair.id;
    }
    return -1;
}

void rollFloorConditions() {
    FloorConditionList& list = gFloorConditionList;
    list.count = 0;
    if (isBossFloor()) return;
    for (int32_t flag : NO_CONDITION_FLAGS)
        if (storyFlag(flag)) return;
    const FloorConditionRange* row = conditionRow();
    int32_t id = row ? pickCondition(*row) : -1;
    if (id >= 0 && id < CONDITION_COUNT && gFloorConditions[id].enabled) {
        list.ids[0] = id;
        snprintf(list.names[0], sizeof list.names[0], "%s", gFloorConditions[id].name);
        list.count = 1;
    }
    list.totalLength = 0;
    for (int32_t i = 0; i < list.count; i++) {
        list.nameOffsets[i] = list.totalLength;
        list.totalLength += (int32_t)strlen(list.names[i]) + 4;
    }
    list.rollState = 1;
}

void advanceConditionNameSlide() {
    if (gConditionBanner.tickerDone && gConditionBanner.nameSlide < CONDITION_NAME_SLIDE_MAX)
        gConditionBanner.nameSlide++;
}

void resetFloorConditions() {
    gFloorConditionList = FloorConditionList{};
    gConditionBanner = ConditionBanner{};
}

// The id in a line's first three characters: 0..999 written with three
// digits, CONDITION_NONE for "NON"; -1 for anything else.
static int32_t leadingConditionId(const TextLine& line) {
    if (line.end - line.start < 4) return -1;
    const char* p = line.start;
    if (memcmp(p, "NON", 3) == 0) return CONDITION_NONE;
    for (int32_t i = 0; i < 3; i++)
        if (p[i] < '0' || p[i] > '9') return -1;
    return (p[0] - '0') * 100 + (p[1] - '0') * 10 + (p[2] - '0');
}

static void addPair(FloorConditionRange* row, int32_t id, int32_t weight) {
    if (!row) return;
    for (ConditionPair& pair : row->pairs) {
        if (pair.id != -1) continue;
        pair = ConditionPair{id, weight};
        return;
    }
}

void parseFloorConditions(const char* text, int32_t length) {
    for (auto& dungeon : gFloorConditionRanges)
        for (FloorConditionRange& row : dungeon) {
            row.floorFrom = row.floorTo = -1;
            for (ConditionPair& pair : row.pairs) pair = ConditionPair{-1, 0};
        }
    for (FloorCondition& c : gFloorConditions) c = FloorCondition{};
    gFloorConditionCount = 0;

    int32_t dungeon = -1;
    int32_t rows = 0;
    FloorConditionRange* row = nullptr;   // entries go here; none until an "f:" line
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v;
        if ((v = lineValue(line, "DungeonNum_")) && v < line.end && *v >= '1' && *v <= '0' + CONDITION_DUNGEONS) {
            dungeon = *v - '1';
            rows = 0;
            row = nullptr;
            continue;
        }
        if ((v = lineValue(line, "f:"))) {
            int32_t from = v < line.end ? parseTextInt(v, line.end) : 0;
            if (v == line.end || from < 1) {
                writeDebugLog("loop err 14\n");
                row = nullptr;
                continue;
            }
            if (dungeon < 0 || rows >= CONDITION_ROWS) {
                row = nullptr;
                continue;
            }
            row = &gFloorConditionRanges[dungeon][rows++];
            const char* dash = static_cast<const char*>(memchr(v, '-', static_cast<size_t>(line.end - v)));
            row->floorFrom = from;
            row->floorTo = dash ? parseTextInt(dash + 1, line.end) : from;
            continue;
        }
        int32_t id = leadingConditionId(line);
        if (id != -1 && line.start[3] == ',') {
            addPair(row, id, parseTextInt(line.start + 4, line.end));
            continue;
        }
        if (id >= 0 && id < CONDITION_COUNT) {
            FloorCondition& c = gFloorConditions[id];
            c.enabled = 1;
            copyTextBounded(line.start + 4, line.end, c.name, CONDITION_NAME_SIZE - 1);
            if (!c.name[0]) showTableMessage(line.start + 3, line.end, "err");
            gFloorConditionCount++;
            continue;
        }
        showTableMessage(line.start, line.end, UNKNOWN_LINE_CAPTION);
    }
}

void loadFloorConditions() {
    TextEntry entry = readTextEntry("data/snews.txt");
    parseFloorConditions(entry.bytes.get(), entry.length);
}
