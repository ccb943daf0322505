#include "engine/stage_index.h"

#include <cstring>

#include "engine/save_file.h"
#include "platform/window.h"

const char* const STAGE_CODES[STAGE_CODE_COUNT] = {
    "0-1", "0-2", "0-3", "0-4", "0-5",   "1-1",  "1-2",  "1-3",  "1-4",  "1-5", "1-6",
    "1-7", "1-8", "1-9", "1-10", "1-11", "1-12", "1-13", "1-14", "1-15", "1-16",
};

StageRecord gStages[STAGE_CODE_COUNT];
int32_t gStageCount;
int32_t gStageIndex;
int32_t gFloorIndex;
StageRecord* gCurrentStage;

void followShopSize() {
    int32_t size = runningGameState().shopSize;
    if (gStageIndex < 0 || gStageIndex > 3 || size < 0 || size > 3) return;
    if (gStageIndex != size) gStageIndex = size;
}

void bindCurrentStage() {
    if (gStageIndex < 0 || gStageIndex >= STAGE_CODE_COUNT) return;
    StageRecord* stage = &gStages[gStageIndex];
    if (gCurrentStage != stage) gCurrentStage = stage;
}

int32_t stageCodeIndex(const char* from, const char* end) {
    int32_t index = STAGE_CODE_UNKNOWN;
    size_t available = from < end ? static_cast<size_t>(end - from) : 0;
    for (int32_t i = 0; i < STAGE_CODE_COUNT; i++) {
        size_t n = strlen(STAGE_CODES[i]);
        if (n <= available && memcmp(from, STAGE_CODES[i], n) == 0) index = i;
    }
    return index;
}

// The values a "stage:" line gives its record; the fields not named here
// keep what the slot held.
static void beginStageRecord(StageRecord& s, int32_t stageCode) {
    s.stageCode = stageCode;
    s.hasMapbg = 0;
    s.mapcameraCount = 0;
    s.loopcamera = 0;
    s.startpos[0] = s.startpos[1] = s.startpos[2] = 0;
    s.wateranimnum = 1;
    s.wateranimspeed = 4;
    s.watersize = 64;
    s.mapCount = 0;
    s.mapLinesRefused = 0;
    s.fog[0] = s.fog[1] = 1.0f;
    s.drawcode = 0;
    s.waterdrawcode = 0;
    s.wateralpha = 127;
    s.wateralpha_fish = -1;
    s.wateradd = 0;
    s.farclip = 600;
    s.waterheight = -1000.0f;
    s.mapviewarea = 0;
    s.sunpos[0] = s.sunpos[1] = s.sunpos[2] = 0.0f;
    s.sunMode = STAGE_SUN_NONE;
    s.moonOn = 0;
    s.fogcolor[0] = s.fogcolor[1] = s.fogcolor[2] = 0;
    s.smokecolor[0] = 255;
    s.smokecolor[1] = 204;
    s.smokecolor[2] = 178;
    s.backcolor[0] = s.backcolor[1] = s.backcolor[2] = 0;
    s.lightdir[0] = s.lightdir[1] = s.lightdir[2] = 1.0f;
    s.lightcolor[0] = s.lightcolor[1] = s.lightcolor[2] = 0.0f;
    s.lightamb[0] = s.lightamb[1] = s.lightamb[2] = 0.0f;
    s.gakecheck = 0;
    s.chrlightoffset = 0.0f;
    s.maplight = 0;
    s.chrlight = 0;
    s.maplightspeed = 0.0f;
    for (float(&row)[2] : s.maplightRange) row[0] = row[1] = 1.0f;
    s.deathheight = -70;
    s.windlerf = 0;
    s.windsnow = 0;
    s.houshi = 0;
    s.windbouble = 0;
    s.windfire = 0;
    s.smallwater = 0;
}

static void readInt(const char* v, const char* end, int32_t& field) { parseTextInts(v, end, ':', &field, 1); }

// Keys whose number is written as an integer but kept as a float.
static void readIntAsFloat(const char* v, const char* end, float& field) {
    int32_t value;
    if (parseTextInts(v, end, ':', &value, 1) == 1) field = static_cast<float>(value);
}

static void readFloat(const char* v, const char* end, float& field) { parseTextFloats(v, end, ':', &field, 1); }

static const char* const MAPLIGHT_KEYS[6] = {
    "maplight_dr:", "maplight_dg:", "maplight_db:", "maplight_ar:", "maplight_ag:", "maplight_ab:",
};

// Tests one line against the keys in the record's field order. No key is a
// prefix of another, so a line sets one field at most.
static void readStageLine(StageRecord& s, const TextLine& line) {
    const char* e = line.end;
    const char* v;
    if ((v = lineValue(line, "maptype:"))) readInt(v, e, s.maptype);
    if ((v = lineValue(line, "mapbg:"))) {
        copyTextString(v, e, s.mapbg);
        s.hasMapbg = 1;
    }
    if ((v = lineValue(line, "mapcamera:")) && s.mapcameraCount < STAGE_CAMERA_MAX)
        copyTextString(v, e, s.mapcamera[s.mapcameraCount++]);
    if (lineValue(line, "loopcamera:")) s.loopcamera = 1;
    if ((v = lineValue(line, "map:"))) {
        if (s.mapCount < STAGE_MAP_MAX)
            copyTextString(v, e, s.map[s.mapCount++]);
        else if (s.mapLinesRefused++ == 0)
            // The stage has one mesh and one collision slot per map model.
            showMessageBox("idx/stage.idx: a stage has more than 20 map: lines; the rest are not loaded", "error",
                           MESSAGE_BOX_OK);
    }
    if ((v = lineValue(line, "minimap:"))) copyTextString(v, e, s.minimap);
    if ((v = lineValue(line, "fishmap:"))) copyTextString(v, e, s.fishmap);
    if ((v = lineValue(line, "startpos:"))) parseTextInts(v, e, ':', s.startpos, 3);
    if ((v = lineValue(line, "waterfile:"))) copyTextString(v, e, s.waterfile);
    if ((v = lineValue(line, "wateranimnum:"))) readInt(v, e, s.wateranimnum);
    if ((v = lineValue(line, "wateranimspeed:"))) readInt(v, e, s.wateranimspeed);
    if ((v = lineValue(line, "watersize:"))) readInt(v, e, s.watersize);
    if ((v = lineValue(line, "mapx:"))) readIntAsFloat(v, e, s.mapx);
    if ((v = lineValue(line, "mapz:"))) readIntAsFloat(v, e, s.mapz);
    if ((v = lineValue(line, "fog:"))) parseTextFloats(v, e, ':', s.fog, 2);
    if ((v = lineValue(line, "drawcode:"))) readInt(v, e, s.drawcode);
    if ((v = lineValue(line, "waterdrawcode:"))) readInt(v, e, s.waterdrawcode);
    if ((v = lineValue(line, "wateralpha:"))) readInt(v, e, s.wateralpha);
    if ((v = lineValue(line, "wateralpha_fish:"))) readInt(v, e, s.wateralpha_fish);
    if ((v = lineValue(line, "wateradd:"))) readInt(v, e, s.wateradd);
    if ((v = lineValue(line, "hikaridrawcode:"))) readInt(v, e, s.hikaridrawcode);
    if ((v = lineValue(line, "hikarialpha:"))) readInt(v, e, s.hikarialpha);
    if ((v = lineValue(line, "hikariadd:"))) readInt(v, e, s.hikariadd);
    if ((v = lineValue(line, "farclip:"))) readInt(v, e, s.farclip);
    if ((v = lineValue(line, "mapnumx:"))) readInt(v, e, s.mapnumx);
    if ((v = lineValue(line, "mapnumz:"))) readInt(v, e, s.mapnumz);
    if ((v = lineValue(line, "scroll:"))) readFloat(v, e, s.scroll);
    if ((v = lineValue(line, "mapposy:"))) readFloat(v, e, s.mapposy);
    if ((v = lineValue(line, "waterheight:"))) readIntAsFloat(v, e, s.waterheight);
    if ((v = lineValue(line, "mapviewarea:"))) readInt(v, e, s.mapviewarea);
    // "sunpos:off" is looked at before "sunpos:" reads numbers from it.
    if (lineValue(line, "sunpos:off")) {
        s.sunMode = STAGE_SUN_NONE;
    } else if ((v = lineValue(line, "sunpos:"))) {
        parseTextFloats(v, e, ':', s.sunpos, 3);
        s.sunMode = STAGE_SUN_DAY;
    }
    if ((v = lineValue(line, "sunset:"))) {
        parseTextFloats(v, e, ':', s.sunpos, 3);
        s.sunMode = STAGE_SUN_SETTING;
    }
    if ((v = lineValue(line, "moonpos:"))) {
        parseTextFloats(v, e, ':', s.sunpos, 3);
        s.moonOn = 1;
    }
    if ((v = lineValue(line, "fogcolor:"))) parseTextInts(v, e, ':', s.fogcolor, 3);
    if ((v = lineValue(line, "smokecolor:"))) parseTextInts(v, e, ':', s.smokecolor, 3);
    if ((v = lineValue(line, "backcolor:"))) parseTextInts(v, e, ':', s.backcolor, 3);
    if ((v = lineValue(line, "lightdir:"))) parseTextFloats(v, e, ':', s.lightdir, 3);
    if ((v = lineValue(line, "lightcolor:"))) parseTextFloats(v, e, ':', s.lightcolor, 3);
    if ((v = lineValue(line, "lightamb:"))) parseTextFloats(v, e, ':', s.lightamb, 3);
    if (lineValue(line, "gakecheck:")) s.gakecheck = 1;
    if ((v = lineValue(line, "chrlightoffset:"))) readFloat(v, e, s.chrlightoffset);
    if ((v = lineValue(line, "maplight:"))) readInt(v, e, s.maplight);
    if ((v = lineValue(line, "chrlight:"))) readInt(v, e, s.chrlight);
    if ((v = lineValue(line, "maplightspeed:"))) readFloat(v, e, s.maplightspeed);
    for (int32_t row = 0; row < 6; row++) {
        if ((v = lineValue(line, MAPLIGHT_KEYS[row]))) parseTextFloats(v, e, ' ', s.maplightRange[row], 2);
    }
    if ((v = lineValue(line, "deathheight:"))) readInt(v, e, s.deathheight);
    if (lineValue(line, "windlerf:")) s.windlerf = 1;
    if (lineValue(line, "windsnow:")) s.windsnow = 1;
    if (lineValue(line, "houshi:")) s.houshi = 1;
    if (lineValue(line, "windbouble:")) s.windbouble = 1;
    if (lineValue(line, "windfire:")) s.windfire = 1;
    if (lineValue(line, "smallwater:")) s.smallwater = 1;
}

void parseStageIndex(const char* text, int32_t length) {
    TextCursor cursor = beginText(text, length);
    TextLine line;
    int32_t count = 0;
    StageRecord* current = nullptr;   // null before the first block and past the last slot
    while (nextDataLine(cursor, line)) {
        if (const char* code = lineValue(line, "stage:")) {
            current = count < STAGE_CODE_COUNT ? &gStages[count++] : nullptr;
            if (current) beginStageRecord(*current, stageCodeIndex(code, line.end));
            continue;
        }
        if (current) readStageLine(*current, line);
    }
    gStageCount = count;
}

void loadStageIndex() {
    TextEntry entry = readTextEntry("idx/stage.idx");
    parseStageIndex(entry.bytes.get(), entry.length);
}

void resetStagePosition() {
    gStageIndex = 0;
    gFloorIndex = 0;
    gCurrentStage = nullptr;
}
