// engine/stage_index.h: the stages of the stage index "idx/stage.idx" and
// the current one. loadIndexFiles fills gStages once at start-up; the field
// renderer, the field camera, map collision and the floor set-up read them.
#pragma once
#include <cstdint>

#include "engine/text_data.h"

constexpr int32_t STAGE_CODE_COUNT = 21;     // also the number of stage slots
constexpr int32_t SHOP_STAGE_LAST = 4;       // stage codes 0..4 are the shop's
constexpr int32_t STAGE_CODE_UNKNOWN = 20;   // the index a code of no stage gets
constexpr int32_t STAGE_MAP_MAX = 20;        // "map:" lines kept per stage
constexpr int32_t STAGE_CAMERA_MAX = 2;      // "mapcamera:" lines kept per stage
constexpr int32_t STAGE_NAME_SIZE = TEXT_STRING_MAX + 1;

// "0-1" to "0-5" (indexes 0 to 4), then "1-1" to "1-16" (5 to 20).
extern const char* const STAGE_CODES[STAGE_CODE_COUNT];

enum StageSunMode : int32_t {
    STAGE_SUN_NONE = 0,      // no sun, or "sunpos:off"
    STAGE_SUN_DAY = 1,       // "sunpos:"
    STAGE_SUN_SETTING = 2,   // "sunset:"
};

// One "stage:" block. Every field starts at zero, as every slot does at
// start-up; a "stage:" line then resets the fields that have a default and
// leaves the others (maptype, the file names, mapx/mapz, the hikari values,
// mapnumx/mapnumz, scroll, mapposy) as the slot held them.
struct StageRecord {
    int32_t backcolor[3] = {};   // the screen's clear colour on this stage (r, g, b)
    int32_t maptype = 0;         // 0 shop or town layout, above 0 dungeon
    char mapbg[STAGE_NAME_SIZE] = {};   // the background model file
    int32_t stageCode = 0;       // index into STAGE_CODES
    int32_t hasMapbg = 0;
    char mapcamera[STAGE_CAMERA_MAX][STAGE_NAME_SIZE] = {};
    int32_t mapcameraCount = 0;
    int32_t loopcamera = 0;
    char map[STAGE_MAP_MAX][STAGE_NAME_SIZE] = {};   // map models: display and collision
    char minimap[STAGE_NAME_SIZE] = {};
    char fishmap[STAGE_NAME_SIZE] = {};
    int32_t startpos[3] = {};
    char waterfile[STAGE_NAME_SIZE] = {};   // base name of the water animation frames
    int32_t wateranimnum = 0;     // water frames
    int32_t wateranimspeed = 0;   // ticks per water frame
    int32_t watersize = 0;
    int32_t mapCount = 0;
    float mapx = 0.0f;
    float mapz = 0.0f;
    float fog[2] = {};            // near, far
    int32_t drawcode = 0;         // colour operation of the map pass
    int32_t waterdrawcode = 0;
    int32_t wateralpha = 0;
    int32_t wateralpha_fish = 0;
    int32_t wateradd = 0;
    int32_t hikaridrawcode = 0;
    int32_t hikarialpha = 0;
    int32_t hikariadd = 0;
    int32_t farclip = 0;
    int32_t mapnumx = 0;
    int32_t mapnumz = 0;
    float scroll = 0.0f;
    float mapposy = 0.0f;
    float waterheight = 0.0f;
    int32_t mapviewarea = 0;
    float sunpos[3] = {};         // the sun's, the setting sun's or the moon's position
    int32_t sunMode = 0;          // StageSunMode
    int32_t moonOn = 0;
    int32_t fogcolor[3] = {};
    int32_t smokecolor[3] = {};
    float lightdir[3] = {};
    float lightcolor[3] = {};
    float lightamb[3] = {};
    int32_t gakecheck = 0;
    float chrlightoffset = 0.0f;
    int32_t maplight = 0;
    int32_t chrlight = 0;
    float maplightspeed = 0.0f;
    float maplightRange[6][2] = {};   // rows dr, dg, db, ar, ag, ab
    int32_t deathheight = 0;
    // Ambient effects of the stage.
    int32_t windlerf = 0;
    int32_t windsnow = 0;
    int32_t houshi = 0;
    int32_t windbouble = 0;
    int32_t windfire = 0;
    int32_t smallwater = 0;
    // "map:" lines past the 20th of the block: refused, the first with a message.
    int32_t mapLinesRefused = 0;
};

// A shop stage: codes 0..SHOP_STAGE_LAST; null is none.
inline bool isShopStage(const StageRecord* stage) { return stage && stage->stageCode <= SHOP_STAGE_LAST; }

extern StageRecord gStages[STAGE_CODE_COUNT];   // in file order
extern int32_t gStageCount;
// True when the index names a "stage:" block the stage index holds.
inline bool stageExists(int32_t index) { return index >= 0 && index < gStageCount; }
extern int32_t gStageIndex;          // the current stage, set by the scene code
extern int32_t gFloorIndex;          // the current floor of a dungeon, 0-based
// The current stage and floor back to a fresh process's; the table stays.
void resetStagePosition();
extern StageRecord* gCurrentStage;   // bound when the field loads a stage; null before
// Binds gCurrentStage to the record of gStageIndex (an index out of range
// binds nothing). Written only when it changes: the scene starter binds it
// on the main thread before a field load, so the loader thread, binding it
// again, only reads it while the main thread clears with its colour.
void bindCurrentStage();
// The shop's stages 0 to 3 are its four sizes: a field load asked for any
// of them takes the running game's shopSize instead (a size outside 0..3,
// from a damaged save, leaves the index as asked). Written only when it
// changes, for the same reason.
void followShopSize();

// The index of the code at the start of [from, end): every code of
// STAGE_CODES that matches over its own length overwrites the one before, so
// "1-12" ends at 16 although "1-1" matched first. No match: STAGE_CODE_UNKNOWN.
int32_t stageCodeIndex(const char* from, const char* end);

// Reads "idx/stage.idx" from the archive into gStages and gStageCount.
void loadStageIndex();
// The same from a text in memory. Lines before the first "stage:" line, lines
// of a block past the 21st and "mapcamera:" lines past the 2nd are ignored;
// "map:" lines past the 20th of a block are refused with a message.
void parseStageIndex(const char* text, int32_t length);
