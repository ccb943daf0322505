// dungeon/enemy_tables.cpp: the start-up readers of the enemy kinds' stats
// ("data/enemy.txt") and of the floors' enemy lists ("data/enemylist.txt").
#include <cstdio>
#include <cstring>

#include "dungeon/data_tables.h"
#include "dungeon/dungeon.h"
#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"

FloorSpawnRange gFloorSpawnTable[SPAWN_DUNGEONS][SPAWN_ROWS];
int32_t gWispDrops[SPAWN_DUNGEONS];

// Only this much of a line is looked at.
constexpr int32_t TABLE_LINE_MAX = 256;
constexpr int32_t TABLE_ITEM_NAME_MAX = 32;

// 無効な敵ネーム, 不明なアイテム2, 不明なアイテム4, 不明なアイテム6, 敵リスト登録オーバー
static const char UNKNOWN_KIND_CAPTION[] = "\x96\xb3\x8c\xf8\x82\xc8\x93G\x83l\x81[\x83\x80";
static const char UNKNOWN_ITEM2_CAPTION[] = "\x95s\x96\xbe\x82\xc8\x83\x41\x83\x43\x83\x65\x83\x80\x32";
static const char UNKNOWN_ITEM4_CAPTION[] = "\x95s\x96\xbe\x82\xc8\x83\x41\x83\x43\x83\x65\x83\x80\x34";
static const char UNKNOWN_ITEM6_CAPTION[] = "\x95s\x96\xbe\x82\xc8\x83\x41\x83\x43\x83\x65\x83\x80\x36";
static const char LIST_FULL_TEXT[] = "\x93G\x83\x8a\x83X\x83g\x93o\x98^\x83I\x81[\x83o\x81[";

static bool isBlankName(const char* name) {
    for (const char* p = name; *p; p++)
        if (*p != ' ') return false;
    return true;
}

int32_t findEnemyKindAt(const char* line, const char* end) {
    int32_t best = -1;
    size_t bestLength = 0;
    size_t available = line < end ? static_cast<size_t>(end - line) : 0;
    for (int32_t k = 0; k < ENEMY_KIND_CAPACITY && gEnemyKinds[k].modelKind != ENEMY_MODEL_END; k++) {
        const EnemyKind& kind = gEnemyKinds[k];
        size_t length = strnlen(kind.name, sizeof kind.name);
        // A name must be terminated in its field, and a blank one is no name.
        if (length == sizeof kind.name || isBlankName(kind.name)) continue;
        if (length > available || length <= bestLength) continue;
        if (memcmp(line, kind.name, length) == 0) {
            best = k;
            bestLength = length;
        }
    }
    return best;
}

// An item name from p: at most 32 bytes up to the line's end or a byte of
// stops. Returns where it ended.
static const char* readItemName(const char* p, const char* end, const char* stops, char name[TABLE_ITEM_NAME_MAX + 1]) {
    int32_t n = 0;
    while (p < end && n < TABLE_ITEM_NAME_MAX && !strchr(stops, *p) && *p) name[n++] = *p++;
    name[n] = 0;
    return p;
}

static void parseEnemyLine(const TextLine& line) {
    int32_t k = findEnemyKindAt(line.start, line.end);
    if (k < 0) {
        showTableMessage(line.start, line.end, UNKNOWN_KIND_CAPTION);
        return;
    }
    EnemyKind& kind = gEnemyKinds[k];
    kind.dropItems[0] = kind.dropItems[1] = -1;
    int32_t* stats[6] = {&kind.baseHp, &kind.baseExp, &kind.attack, &kind.defence, &kind.magic, &kind.magicDefence};
    const char* end = line.end - line.start > TABLE_LINE_MAX ? line.start + TABLE_LINE_MAX : line.end;
    int32_t field = 0;
    for (const char* p = line.start; p < end; p++) {
        if (!strchr("#:,;", *p) || !*p) continue;
        const char* value = p + 1;
        if (field < 6) {
            *stats[field] = parseTextInt(value, end);
        } else if (field < 8) {
            char name[TABLE_ITEM_NAME_MAX + 1];
            const char* after = readItemName(value, end, ":#", name);
            int32_t id = findItemIdByPrefix(name);
            if (id < 0) showTableMessage(name, name + strlen(name), UNKNOWN_ITEM2_CAPTION);
            else kind.dropItems[field - 6] = id;
            // A ',' or ';' inside the name belongs to it.
            p = after - 1;
        } else {
            break;
        }
        field++;
    }
}

void parseEnemyKinds(const char* text, int32_t length) {
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        if (*line.start == ' ') continue;
        parseEnemyLine(line);
    }
}

void loadEnemyKinds() {
    resetEnemyKinds();
    TextEntry entry = readTextEntry("data/enemy.txt");
    parseEnemyKinds(entry.bytes.get(), entry.length);
}

// Where the enemy list's lines go.
struct ListCursor {
    int32_t dungeon;   // 0..5
    int32_t rows;      // rows opened in the dungeon
    FloorSpawnRange* row;   // null until an "f:" line opens one
    int32_t entries;
};

static void clearSpawnTable() {
    for (auto& dungeon : gFloorSpawnTable)
        for (FloorSpawnRange& row : dungeon) {
            row.floorFrom = -1;
            row.floorTo = -1;
            for (SpawnEntry& e : row.entries) e = SpawnEntry{-1, 0, 0};
            for (auto& drops : row.drops)
                for (int32_t& d : drops) d = -1;
        }
    for (int32_t& w : gWispDrops) w = -1;
}

// "wisp" d, a separator, an item name: dungeon d's wisp drop (d 1..6).
static void parseWispLine(const TextLine& line) {
    if (line.end - line.start < 6) return;
    char digit = line.start[4];
    if (digit < '1' || digit > '0' + SPAWN_FILE_DUNGEONS) return;
    char name[TABLE_ITEM_NAME_MAX + 1];
    readItemName(line.start + 6, line.end, ":#;", name);
    if (!name[0]) return;
    int32_t id = findItemIdByName(name);
    if (id < 0) showTableMessage(name, name + strlen(name), UNKNOWN_ITEM4_CAPTION);
    else gWispDrops[digit - '1'] = id;
}

// "f:" a-b, 1-based: opens the dungeon's next row for floors a-1..b-1. A row
// without a floor number of 1 or more ends the dungeon's list.
static void parseFloorRangeLine(ListCursor& c, const char* value, const char* end) {
    if (c.dungeon < 0 || c.rows >= SPAWN_ROWS) {
        c.row = nullptr;
        return;
    }
    FloorSpawnRange& row = gFloorSpawnTable[c.dungeon][c.rows++];
    c.row = &row;
    c.entries = 0;
    row.entries[0].kind = -1;
    int32_t from = value < end ? parseTextInt(value, end) : 0;
    if (from < 1) {
        writeDebugLog("loop err 16\n");
        row.floorFrom = -1;
        return;
    }
    const char* dash = static_cast<const char*>(memchr(value, '-', static_cast<size_t>(end - value)));
    int32_t to = dash ? parseTextInt(dash + 1, end) : from;
    row.floorFrom = from - 1;
    row.floorTo = to - 1;
}

static void parseEntryLine(ListCursor& c, const TextLine& line) {
    int32_t kind = findEnemyKindAt(line.start, line.end);
    if (kind < 0) {
        showTableMessage(line.start, line.end, UNKNOWN_KIND_CAPTION);
        return;
    }
    if (!c.row || c.entries >= SPAWN_ENTRIES) return;
    int32_t index = c.entries;
    SpawnEntry& entry = c.row->entries[index];
    int32_t* drops = c.row->drops[index];
    entry = SpawnEntry{kind, 0, 1};
    for (int32_t s = 0; s < SPAWN_DROPS; s++) drops[s] = -1;
    if (index + 1 < SPAWN_ENTRIES) c.row->entries[index + 1].kind = -1;
    const char* end = line.end - line.start > TABLE_LINE_MAX ? line.start + TABLE_LINE_MAX : line.end;
    int32_t slot = 0;
    for (const char* p = line.start; p < end && slot < SPAWN_DROPS; p++) {
        if (*p == 'x' && p + 1 < end && p[1] >= '0' && p[1] <= '9') {
            // A unit count beyond what a floor can hold is the file's error.
            int32_t n = parseTextInt(p + 1, end);
            entry.count = n < 0 ? 0 : n > SPAWN_COUNT_MAX ? SPAWN_COUNT_MAX : n;
        } else if (*p == '(') {
            entry.variant = parseTextInt(p + 1, end);
        } else if (*p == ':' || *p == '#') {
            char name[TABLE_ITEM_NAME_MAX + 1];
            const char* after = readItemName(p + 1, end, ":#;", name);
            if (name[0]) {
                int32_t id = findItemIdByName(name);
                if (id < 0) showTableMessage(name, name + strlen(name), UNKNOWN_ITEM6_CAPTION);
                else drops[slot] = id;
            }
            slot++;
            p = after - 1;
        }
    }
    c.entries++;
    if (c.entries == SPAWN_ENTRIES) {
        char text[64];
        snprintf(text, sizeof text, "%s %d", LIST_FULL_TEXT, (int)c.entries);
        showMessageBox(text, "system", MESSAGE_BOX_OK);
    }
}

void parseFloorEnemyLists(const char* text, int32_t length) {
    clearSpawnTable();
    ListCursor c = {-1, 0, nullptr, 0};
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v;
        if (lineValue(line, "wisp")) {
            parseWispLine(line);
        } else if ((v = lineValue(line, "DungeonNum_"))) {
            int32_t number = v < line.end ? *v - '0' : 0;
            if (number < 1 || number > SPAWN_FILE_DUNGEONS) {
                showTableMessage(line.start, line.end, UNKNOWN_KIND_CAPTION);
                continue;
            }
            c = ListCursor{number - 1, 0, nullptr, 0};
        } else if ((v = lineValue(line, "f:"))) {
            parseFloorRangeLine(c, v, line.end);
        } else {
            parseEntryLine(c, line);
        }
    }
}

void loadFloorEnemyLists() {
    TextEntry entry = readTextEntry("data/enemylist.txt");
    parseFloorEnemyLists(entry.bytes.get(), entry.length);
}
