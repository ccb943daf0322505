#include "engine/motion_files.h"

#include <cstring>

#include "engine/text_data.h"

MotionRecord gMotions[MOTION_FILE_COUNT];

const char* const MOTION_FILES[MOTION_FILE_COUNT] = {
    "idx/saffiel.idx",       "idx/yoss.idx",          "idx/yoss.idx",         "idx/kensi.idx",
    "idx/sraim.idx",         "idx/sraim.idx",         "idx/sraim.idx",        "idx/sraim.idx",
    "idx/sraim.idx",         "idx/sraim.idx",         "idx/mobu_men01.idx",   "idx/alyman.idx",
    "idx/alyman.idx",        "idx/alyman.idx",        "idx/alyman.idx",       "idx/killer_bee.idx",
    "idx/killer_bee.idx",    "idx/killer_bee.idx",    "idx/kinoko.idx",       "idx/kabocha.idx",
    "idx/kobolt.idx",        "idx/ropper.idx",        "idx/ropper.idx",       "idx/ropper.idx",
    "idx/ropper.idx",        "idx/ropper.idx",        "idx/yukiusagi.idx",    "idx/felm.idx",
    "idx/zirezuz.idx",       "idx/vuror_shop.idx",    "idx/zazuru_action.idx", "idx/doda_action.idx",
    "idx/felm_shop.idx",     "idx/boss_sraim.idx",    "idx/kinoko.idx",       "idx/mobu_yungmen01.idx",
    "idx/mobu_madam01.idx",  "idx/mobu_girl01.idx",   "idx/mobu_jisan01.idx", "idx/mobu_guild_m.idx",
    "idx/zuzi.idx",          "idx/dedar_act.idx",     "idx/zoze_act.idx",     "idx/mirel.idx",
    "idx/moai.idx",          "idx/moai.idx",          "idx/foe.idx",          "idx/danbo.idx",
    "idx/wren.idx",          "idx/bom.idx",           "idx/bom.idx",          "idx/bom.idx",
    "idx/bom.idx",           "idx/nomal_knight.idx",  "idx/nomal_knight.idx", "idx/nomal_knight.idx",
    "idx/nomal_knight.idx",  "idx/nomal_knight.idx",  "idx/nomal_knight.idx", "idx/skelton.idx",
    "idx/skelton.idx",       "idx/ghost.idx",         "idx/ghost.idx",        "idx/boss_alyman.idx",
    "idx/boss_kabocha.idx",  "idx/saff_papa.idx",     "idx/prime.idx",        "idx/prime.idx",
};

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The line's first word: from the line start to the first blank.
const char* wordEnd(const char* start, const char* end) {
    const char* p = start;
    while (p < end && !isBlank(*p)) p++;
    return p;
}

// Writes a value at the block position. The last entry of a block is kept
// for its closing -1, so a block that was closed always ends within its
// 256 values; values beyond, and blocks past the 20th, are dropped.
void putValue(MotionRecord& record, int32_t block, int32_t& position, int32_t value) {
    if (block >= 0 && block < MOTION_BLOCK_COUNT && position < MOTION_BLOCK_VALUES - 1)
        record.frames[block][position] = value;
    position++;
}

void closeBlock(MotionRecord& record, int32_t block, int32_t position) {
    if (block < 0 || block >= MOTION_BLOCK_COUNT) return;
    record.frames[block][position < MOTION_BLOCK_VALUES - 1 ? position : MOTION_BLOCK_VALUES - 1] = MOTION_LOOP;
}

}  // namespace

void parseMotionFile(const char* text, int32_t length, MotionRecord& record) {
    int32_t stage = 0;
    int32_t block = -1;   // none open yet
    int32_t position = 0;
    TextCursor cursor = beginText(text, length);
    while (cursor.next < cursor.end) {
        const char* start = cursor.next;
        const char* end = start;
        while (end < cursor.end && *end != '\r' && *end != '\n') end++;
        cursor.next = end < cursor.end ? end + 1 : end;
        if (end == start) continue;
        const char* word = wordEnd(start, end);
        int32_t values[MOTION_ROW_VALUES];
        switch (stage) {
        case 0: {
            if (*start == '/' || *start == '[') break;
            size_t n = (size_t)(word - start);
            if (n > sizeof record.name - 1) n = sizeof record.name - 1;
            memcpy(record.name, start, n);
            record.name[n] = 0;
            stage = 1;
            break;
        }
        case 1:
            values[0] = record.sheetWidth;
            values[1] = record.sheetHeight;
            parseTextInts(start, word, ',', values, 2);
            record.sheetWidth = values[0];
            record.sheetHeight = values[1];
            stage = 2;
            break;
        case 2:
            values[0] = record.layoutWidth;
            values[1] = record.headerB;
            parseTextInts(start, word, ',', values, 2);
            record.layoutWidth = values[0];
            record.headerB = values[1];
            stage = 3;
            break;
        case 3:
            record.layoutTop = parseTextInt(start, word);
            stage = 4;
            break;
        case 4:
            record.scalePercent = parseTextInt(start, word);
            stage = 5;
            break;
        case 5:
            stage = 6;
            break;
        default:
            if (*start == '/') {
                closeBlock(record, block, position);
                block++;
                position = 0;
            } else if (word - start >= 4 && memcmp(start, "HALT", 4) == 0) {
                for (int32_t k = 0; k < MOTION_ROW_VALUES; k++) putValue(record, block, position, MOTION_HOLD);
            } else {
                int32_t got = parseTextInts(start, word, ',', values, MOTION_ROW_VALUES);
                for (int32_t k = 0; k < got; k++) putValue(record, block, position, values[k]);
            }
            break;
        }
    }
}

void loadMotionFiles() {
    for (int32_t slot = 0; slot < MOTION_FILE_COUNT; slot++) {
        MotionRecord& record = gMotions[slot];
        memset(&record, 0, sizeof record);
        strncpy(record.path, MOTION_FILES[slot], sizeof record.path - 1);
        TextEntry entry = readTextEntry(MOTION_FILES[slot]);
        parseMotionFile(entry.bytes.get(), entry.length, record);
    }
}
