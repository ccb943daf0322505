// adventurers/chara_table.cpp: the adventurers' stats by level from
// "data/chara.txt", read at start-up.
#include "adventurers/adventurers.h"

#include <cstring>

#include "engine/text_data.h"

// The row number of "%03d:" with the given first digit and 0 second digit:
// "00k:" or "10k:"; -1 for any other line.
static int32_t charaRowOf(const TextLine& line, char first) {
    if (line.end - line.start < 4) return -1;
    const char* p = line.start;
    if (p[0] != first || p[1] != '0' || p[2] < '0' || p[2] > '9' || p[3] != ':') return -1;
    return p[2] - '0';
}

// The position after the n-th comma from p, or the line's end.
static const char* afterCommas(const char* p, const char* end, int32_t n) {
    for (; n > 0 && p < end; n--) {
        const void* comma = memchr(p, ',', static_cast<size_t>(end - p));
        if (!comma) return end;
        p = static_cast<const char*>(comma) + 1;
    }
    return p;
}

void parseCharaTable(const char* text, int32_t length) {
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* values = line.start + 4;
        int32_t row = charaRowOf(line, '0');
        if (row >= 0) {
            CharaRecord& c = gCharaTable[row];
            int32_t ints[7] = {c.startLevel + 1, c.attack, c.defence, c.magic, c.magicDefence, c.hp, c.sp};
            float floats[3] = {c.walkSpeed, c.dashSpeed, c.criticalChance};
            if (parseTextInts(values, line.end, ',', ints, 7) == 7) {
                parseTextFloats(afterCommas(values, line.end, 7), line.end, ',', floats, 3);
            }
            c.startLevel = ints[0] == INT32_MIN ? INT32_MIN : ints[0] - 1;   // written 1-based
            c.attack = ints[1];
            c.defence = ints[2];
            c.magic = ints[3];
            c.magicDefence = ints[4];
            c.hp = ints[5];
            c.sp = ints[6];
            c.walkSpeed = floats[0];
            c.dashSpeed = floats[1];
            c.criticalChance = floats[2];
            continue;
        }
        row = charaRowOf(line, '1');
        if (row >= 0) {
            CharaRecord& c = gCharaTable[row];
            int32_t ints[6] = {c.attack100, c.defence100, c.magic100, c.magicDefence100, c.hp100, c.sp100};
            parseTextInts(values, line.end, ',', ints, 6);
            c.attack100 = ints[0];
            c.defence100 = ints[1];
            c.magic100 = ints[2];
            c.magicDefence100 = ints[3];
            c.hp100 = ints[4];
            c.sp100 = ints[5];
        }
    }
}

void loadCharaTable() {
    const CharaRecord defaults = {1, 50, 30, 10, 13, 5, 10, 0.15f, 0.2f, 0.0f, 0, 0, 0, 0, 0, 0};
    for (int32_t row = 0; row < CHARA_ROW_COUNT; row++) gCharaTable[row] = row < ADVENTURER_COUNT ? defaults : CharaRecord{};
    TextEntry entry = readTextEntry("data/chara.txt");
    parseCharaTable(entry.bytes.get(), entry.length);
}
