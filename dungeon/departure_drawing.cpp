// The departure screen's drawing: it only reads gDepartureScreen, the bag,
// the item list and the running game. Panels are the system sheet's black
// cell under an alpha; the guild, map and portrait pictures are drawn whole.
#include <algorithm>
#include <cstdio>

#include "adventurers/adventurers_state.h"
#include "dungeon/departure.h"
#include "engine/dialogs.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "engine/story_flags.h"
#include "engine/text.h"
#include "field/field.h"
#include "shop/shop.h"
#include "story/story_state.h"

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t DIM = 0xFF8F8F8F;
constexpr uint32_t GOLD = 0xFFFFE080;
constexpr SpriteSource SYSTEM_BLACK = {9.0f, 1.0f, 15.0f, 7.0f};
constexpr SpriteSource BACKDROP = {0.0f, 0.0f, 640.0f, 480.0f};
constexpr SpriteSource PORTRAIT = {0.0f, 0.0f, 512.0f, 512.0f};
constexpr int32_t PORTRAIT_FIRST_PICTURE = 4;
constexpr int32_t TICKS_PER_SECOND = 60;

static void drawPicture(const TextureSlot& sheet, const SpriteSource& src, float x, float y, float w, float h,
                        uint32_t colour) {
    bindSpriteTexture(sheet);
    addSpriteRect(x, y, w, h, src, sheet, colour);
    flushSprites();
}

static void drawPanel(float x, float y, float w, float h) {
    drawPicture(gSystemTexture, SYSTEM_BLACK, x, y, w, h, 0xB0000000);
}

static const DepartureScreenState& screen() { return gDepartureScreen; }

static void drawAdventurerList() {
    const DepartureScreenState& d = screen();
    const GameState& g = runningGameState();
    drawPanel(320.0f, 104.0f, 300.0f, 5 * 43.0f + 8.0f);
    for (int32_t k = 0; k < DEPARTURE_ADVENTURER_ROWS; ++k) {
        int32_t row = d.adventurerScroll + k;
        if (row > gAvailableAdventurerCount) break;
        float y = 116.0f + 43.0f * (float)k;
        uint32_t colour = row == d.adventurerCursor ? WHITE : DIM;
        const char* title = row == 0 ? "Leave" : ADVENTURER_PROFILES[gAvailableAdventurers[row - 1]].title;
        drawText(344.0f, y, title, colour, 1.0f);
    }
    int32_t a = departureCursorAdventurer();
    if (a < 0) return;
    // The portrait behind the list's left side, its lines under it.
    drawPicture(gScenePictures[PORTRAIT_FIRST_PICTURE + a], PORTRAIT, 24.0f, 80.0f, 256.0f, 256.0f, WHITE);
    drawPanel(16.0f, 336.0f, 604.0f, 128.0f);
    char line[96];
    snprintf(line, sizeof line, "Level:%d %s", (int)g.adventurers[a].level + 1, ADVENTURER_PROFILES[a].title);
    drawText(32.0f, 344.0f, line, WHITE, 1.0f);
    for (int32_t i = 0; i < 3; ++i) drawText(32.0f, 374.0f + 26.0f * (float)i, ADVENTURER_PROFILES[a].lines[i], DIM, 0.9f);
    char fee[32];
    if (!storyFlag(FLAG_DUNGEON_TUTORIAL_GATE)) snprintf(fee, sizeof fee, "Free");
    else snprintf(fee, sizeof fee, "%d", (int)departureFeeShown());
    drawTextRight(604.0f, 344.0f, fee, GOLD, 1.0f);
}

static void drawBagList() {
    const DepartureScreenState& d = screen();
    drawPanel(8.0f, 104.0f, 300.0f, 6 * 40.0f + 8.0f);
    int32_t rows = std::min(gBagCapacity, BAG_SIZE);
    for (int32_t k = 0; k < DEPARTURE_BAG_ROWS; ++k) {
        int32_t row = d.bagScroll + k;
        if (row > rows) break;
        float y = 112.0f + 40.0f * (float)k;
        if (row == 0) {
            drawText(48.0f, y, "Depart!", row == d.bagCursor ? GOLD : DIM, 1.0f);
            continue;
        }
        int32_t key = gBag[row - 1];
        if (key == ITEM_KEY_NONE) drawText(48.0f, y, "-", row == d.bagCursor ? WHITE : DIM, 1.0f);
        else drawItemListEntry(44.0f, y - 4.0f, key, row == d.bagCursor ? 255 : 160);
    }
}

static void drawBestTime(float x, float y, int32_t slot) {
    const GameState& g = runningGameState();
    int32_t ticks = slot >= 0 && slot < DUNGEON_COUNT * BEST_TIME_SECTIONS
                        ? g.bestTimes[slot / BEST_TIME_SECTIONS][slot % BEST_TIME_SECTIONS]
                        : 0;
    char text[32];
    // Minutes, seconds and hundredths of the block's floor time.
    if (ticks <= 0) snprintf(text, sizeof text, "--:--:--");
    else
        snprintf(text, sizeof text, "%02d:%02d:%02d", (int)std::min(ticks / (60 * TICKS_PER_SECOND), 99),
                 (int)(ticks / TICKS_PER_SECOND % 60), (int)(ticks % TICKS_PER_SECOND * 100 / TICKS_PER_SECOND));
    drawTextRight(x, y, text, DIM, 0.9f);
}

static void drawBlockList() {
    const DepartureScreenState& d = screen();
    int32_t dungeon = std::clamp(d.dungeonCursor, 0, DEPARTURE_DUNGEONS - 1);
    drawPanel(176.0f, 132.0f, 400.0f, 7 * 40.0f + 8.0f);
    for (int32_t k = 0; k < DEPARTURE_BLOCK_ROWS; ++k) {
        int32_t entry = d.floorScroll + k;
        if (entry >= d.unlocked[dungeon]) break;
        float y = 144.0f + 40.0f * (float)k;
        char text[48];
        bool bossRush = dungeon == BOSS_RUSH_DUNGEON ? entry == 3 : entry == DUNGEON_FLOOR_BLOCKS[dungeon];
        int32_t span = dungeon == BOSS_RUSH_DUNGEON ? 10 : 5;
        if (bossRush) snprintf(text, sizeof text, "Boss Rush");
        else snprintf(text, sizeof text, "Floor %d - %d", (int)(span * entry + 1), (int)(span * entry + span));
        drawText(216.0f, y, text, entry == d.floorCursor ? WHITE : DIM, 1.0f);
        drawBestTime(560.0f, y, departureBestTimeSlot(dungeon, entry));
    }
}

static void drawDungeonMap() {
    const DepartureScreenState& d = screen();
    drawPicture(gScenePictures[2], BACKDROP, 0.0f, 0.0f, 640.0f, 480.0f, WHITE);
    for (int32_t k = 0; k < d.dungeonCount && k < DEPARTURE_DUNGEONS; ++k) {
        const DungeonMapPlace& p = DUNGEON_MAP_PLACES[k];
        drawText(p.x + DUNGEON_MAP_NAME_DX, p.y + DUNGEON_MAP_NAME_DY, DUNGEON_NAMES[k], k == d.dungeonCursor ? WHITE : DIM, 0.9f);
    }
}

void drawDepartureScrollArrows() {
    const DepartureScreenState& d = screen();
    if (d.bagState == BAG_NOT_PACKING && !d.adventurerMode) return;
    if (d.adventurerMode) return;
    if (d.bagScroll > 0) drawText(150.0f, 92.0f, "^", GOLD, 1.0f);
    if (d.bagScroll + DEPARTURE_BAG_ROWS <= std::min(gBagCapacity, BAG_SIZE)) drawText(150.0f, 352.0f, "v", GOLD, 1.0f);
}

void drawDepartureScreen() {
    const DepartureScreenState& d = screen();
    set2DRenderStates();
    drawPicture(gScenePictures[0], BACKDROP, 0.0f, 0.0f, 640.0f, 480.0f, WHITE);
    if (d.dungeonMode || d.floorMode) {
        drawDungeonMap();
        if (d.floorMode) drawBlockList();
    } else if (d.adventurerMode) {
        drawAdventurerList();
    } else {
        drawBagList();
        drawDepartureScrollArrows();
        drawItemListWindow(0.0f, 0.0f);
        if (d.infoOpen) drawItemInfoPanel();
    }
    drawPointer();
    drawMessageWindow();
    drawHudBar();
}
