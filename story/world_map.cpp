#include "story/world_map.h"

#include <cmath>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "engine/text.h"
#include "field/field.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/place_events.h"
#include "story/place_visits.h"
#include "story/title.h"

const int32_t WORLD_MAP_GRID[WORLD_MAP_GRID_ROWS][WORLD_MAP_GRID_COLUMNS] = {
    {-1, -1, -1},
    {4, 5, 6},
    {1, 2, 3},
    {1, 0, 3},
    {0, -1, 0},
};

WorldMapState gWorldMap;

// The story flags the map reads and writes.

constexpr int32_t DELIVERY_EVENT_MAJOR = 12;
constexpr int32_t DELIVERY_EVENT_MINOR = 20;
constexpr int32_t DELIVERY_ITEM_KEY = 3408;

constexpr int32_t CLOSED_WEEKDAY = 3;   // date mod 7: the adventurers' guild rests
constexpr int32_t PHASE_EVENING = 2;
constexpr int32_t PHASE_NIGHT = 3;
constexpr float POINTER_SHOW_TICKS = 3.0f;
constexpr float SMALL_MAP_SCALE = 0.7f;
constexpr int32_t CURSOR_STEPS = 5;

constexpr uint32_t CLOSED_COLOUR = 0xFFFF3737;
static const char CLOSED_TEXT[] = "Closed";

// Where the pointer stands for a place.
static float pointerX(int32_t place) { return (float)(WORLD_MAP_PLACES[place].x - 16); }
static float pointerY(int32_t place) { return (float)(WORLD_MAP_PLACES[place].y + 28); }

static bool validPlace(int32_t place) { return place >= 0 && place < WORLD_MAP_PLACE_COUNT; }

// The cursor place as an index into the tables; a damaged value reads as the shop.
static int32_t cursorPlace() { return validPlace(gWorldMap.cursorPlace) ? gWorldMap.cursorPlace : TOWN_PLACE_SHOP; }

void prepareWorldMapPlaces() {
    const GameState& game = runningGameState();
    WorldMapState& m = gWorldMap;
    m.clock = 0.0f;
    m.leaveCounter = 0;
    gWorldMap.worldMapListCount = WORLD_MAP_PLACE_COUNT;
    for (int32_t p = 0; p < WORLD_MAP_PLACE_COUNT; ++p) {
        m.closedLabel[p] = 0;
        m.placeState[p] = PLACE_CLOSED;
        m.listedPlaces[p] = p;
    }
    if (game.storyFlags[FLAG_FIRST_OUTING]) {
        m.placeState[TOWN_PLACE_MERCHANTS_GUILD] = PLACE_MARKED;
    } else if (game.storyFlags[FLAG_SHOP_CALLS]) {
        m.placeState[TOWN_PLACE_SHOP] = PLACE_MARKED;
    } else {
        for (int32_t& state : m.placeState) state = PLACE_OPEN;
    }

    int32_t& guild = m.placeState[TOWN_PLACE_ADVENTURERS_GUILD];
    if (game.date % 7 == CLOSED_WEEKDAY) {
        guild = PLACE_CLOSED;
        m.closedLabel[TOWN_PLACE_ADVENTURERS_GUILD] = 1;
    }
    if (game.dayPhase == PHASE_NIGHT || (game.dayPhase == PHASE_EVENING && game.townVisited)) {
        guild = PLACE_CLOSED;
    } else if (game.storyFlags[FLAG_ADVENTURERS_GUILD_CALLS]) {
        guild = PLACE_MARKED;
        m.closedLabel[TOWN_PLACE_ADVENTURERS_GUILD] = 0;
    }

    if (game.dayPhase == PHASE_NIGHT) {
        m.placeState[TOWN_PLACE_MARKET] = PLACE_CLOSED;
        m.placeState[TOWN_PLACE_CHURCH] = PLACE_CLOSED;
    }
    if (game.dayPhase < PHASE_EVENING) m.placeState[TOWN_PLACE_TAVERN] = PLACE_CLOSED;

    for (int32_t p = TOWN_PLACE_MARKET; p <= TOWN_PLACE_CHURCH; ++p) {
        int32_t major = 0, minor = 0;
        if (m.placeState[p] != PLACE_CLOSED && findPlaceEvent(p, &major, &minor, 0)) m.placeState[p] = PLACE_MARKED;
    }
}

void enterWorldMap() {
    prepareWorldMapPlaces();
    int32_t place = cursorPlace();
    showPointer();
    setPointerPosition(pointerX(place), pointerY(place));
    beginExpedition();
    resetHudState();
}

static bool isListed(int32_t place) {
    for (int32_t i = 0; i < gWorldMap.worldMapListCount && i < WORLD_MAP_PLACE_COUNT; ++i)
        if (gWorldMap.listedPlaces[i] == place) return true;
    return false;
}

// From (row, column), up to CURSOR_STEPS cells in the direction, wrapping;
// the first listed place other than from, or -1.
static int32_t searchGrid(int32_t row, int32_t column, int32_t dRow, int32_t dColumn, int32_t from) {
    for (int32_t step = 0; step < CURSOR_STEPS; ++step) {
        row = (row + dRow + WORLD_MAP_GRID_ROWS) % WORLD_MAP_GRID_ROWS;
        column = (column + dColumn + WORLD_MAP_GRID_COLUMNS) % WORLD_MAP_GRID_COLUMNS;
        int32_t place = WORLD_MAP_GRID[row][column];
        if (place >= 0 && place != from && isListed(place)) return place;
    }
    return -1;
}

void moveWorldMapCursor(int32_t small) {
    uint16_t repeat = gInputState[0].repeat;
    int32_t dRow = 0, dColumn = 0;
    if (repeat & BUTTON_LEFT) dColumn = -1;
    else if (repeat & BUTTON_RIGHT) dColumn = 1;
    else if (repeat & BUTTON_UP) dRow = -1;
    else if (repeat & BUTTON_DOWN) dRow = 1;
    else return;

    int32_t from = cursorPlace();
    int32_t row = 0, column = 0;
    for (int32_t cell = 0; cell < WORLD_MAP_GRID_ROWS * WORLD_MAP_GRID_COLUMNS; ++cell) {
        if (WORLD_MAP_GRID[cell / WORLD_MAP_GRID_COLUMNS][cell % WORLD_MAP_GRID_COLUMNS] != from) continue;
        row = cell / WORLD_MAP_GRID_COLUMNS;
        column = cell % WORLD_MAP_GRID_COLUMNS;
        break;
    }
    int32_t to = searchGrid(row, column, dRow, dColumn, from);
    if (to < 0 && dColumn != 0) to = searchGrid((row + 1) % WORLD_MAP_GRID_ROWS, column, 0, dColumn, from);
    if (to < 0) return;
    gWorldMap.cursorPlace = to;
    float k = small ? SMALL_MAP_SCALE : 1.0f;
    glidePointerTo(pointerX(to) * k, pointerY(to) * k);
    playSoundEffect(SOUND_CURSOR);
}

// The story's item delivery: 1 when its event started this tick.
static bool deliverStoryItem() {
    GameState& game = runningGameState();
    if (!game.storyFlags[FLAG_DELIVERY_DUE]) return false;
    if (game.playMode == PLAY_MODE_SURVIVAL) {
        game.storyFlags[FLAG_DELIVERY_DUE] = 0;
        return false;
    }
    if (!requestEvent(DELIVERY_EVENT_MAJOR, DELIVERY_EVENT_MINOR, 0)) return false;
    game.storyFlags[FLAG_DELIVERY_DUE] = 0;
    addItemToStorage(DELIVERY_ITEM_KEY);
    game.storyFlags[FLAG_ADVENTURER_7_AVAILABLE] = 1;
    hidePointer();
    return true;
}

// The fade-out after a choice is done: the chosen place's mode is entered.
static void enterChosenPlace() {
    GameState& game = runningGameState();
    int32_t place = cursorPlace();
    gGameMode = WORLD_MAP_PLACES[place].gameMode;
    switch (place) {
    case TOWN_PLACE_SHOP:
        game.shopEntryKind = 1;
        gShopSequence = SHOP_SEQUENCE_FROM_TOWN;
        gShopDayPhase = 0;
        gStageIndex = game.shopSize;
        resetHudState();
        break;
    case TOWN_PLACE_MARKET: enterMarketScene(MARKET_MODE_MARKET); break;
    case TOWN_PLACE_MERCHANTS_GUILD: enterMarketScene(MARKET_MODE_GUILD); break;
    case TOWN_PLACE_PLAZA: resetPlazaVisit(); break;
    case TOWN_PLACE_TAVERN: resetTavernVisit(); break;
    case TOWN_PLACE_CHURCH: resetChurchVisit(); break;
    default: break;
    }
    releaseWorldMapTextures();
    resetSwitchState();
    startFloor();
    startFadeIn(0, WORLD_MAP_FADE_TICKS);
    startSceneLoader();
    gWorldMap.leaveCounter = 0;
}

void updateWorldMap() {
    WorldMapState& m = gWorldMap;
    if (deliverStoryItem()) return;
    int32_t place = cursorPlace();
    if (m.clock < POINTER_SHOW_TICKS) {
        showPointer();
        setPointerPosition(pointerX(place), pointerY(place));
    }
    gTitle.newGameChosen = 0;
    if (m.leaveCounter > 0) {
        ++m.leaveCounter;
        if (isFadeOutDone()) enterChosenPlace();
    } else if (m.clock > (float)WORLD_MAP_CHOICE_TICKS) {
        if (gInputState[0].pressed & BUTTON_CONFIRM) {
            if (m.placeState[place] != PLACE_CLOSED) {
                startFadeOut(0, WORLD_MAP_FADE_TICKS);
                m.leaveCounter = 1;
                playSoundEffect(SOUND_CONFIRM);
            } else {
                playSoundEffect(SOUND_REFUSED);
            }
        } else {
            moveWorldMapCursor(0);
        }
    }
    m.clock += 1.0f;
}

static int32_t iconGrey(int32_t state) {
    switch (state) {
    case PLACE_CLOSED: return 64;
    case PLACE_MARKED: return 143 + (int32_t)(16.0f * std::sin(0.15f * gWorldMap.clock));
    default: return 127;
    }
}

// Phases 0 and 1 show the day picture, 2 the evening one, 3 the night one.
static int32_t backgroundIndex(int32_t phase) {
    if (phase < 0) return 0;
    return phase < 2 ? phase : 2;
}

void drawWorldMapPanel(float scale) {
    const GameState& game = runningGameState();
    set2DRenderStates();
    SpriteSource screen{0.0f, 0.0f, 640.0f, 480.0f};
    float w = 640.0f * scale, h = 480.0f * scale;
    const TextureSlot& under = gScenePictures[backgroundIndex(game.dayPhase - 2)];
    bindSpriteTexture(under);
    addSpriteRect(0.0f, 0.0f, w, h, screen, under, 0xFFFFFFFF);
    flushSprites();
    // The new phase's picture fades in as the shown time of day eases toward it.
    float fade = 255.0f - 255.0f * ((float)game.dayPhase - gTimeOfDay);
    int32_t alpha = fade < 0.0f ? 0 : fade > 255.0f ? 255 : (int32_t)fade;
    const TextureSlot& over = gScenePictures[backgroundIndex(game.dayPhase - 1)];
    bindSpriteTexture(over);
    addSpriteRect(0.0f, 0.0f, w, h, screen, over, greyArgb(alpha, 255));
    flushSprites();

    const WorldMapState& m = gWorldMap;
    bindSpriteTexture(gScenePicture);
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    for (int32_t i = 0; i < gWorldMap.worldMapListCount && i < WORLD_MAP_PLACE_COUNT; ++i) {
        int32_t place = m.listedPlaces[i];
        if (!validPlace(place)) continue;
        const WorldMapPlace& p = WORLD_MAP_PLACES[place];
        bool current = place == m.cursorPlace;
        float iw = current ? 180.0f : 144.0f, ih = current ? 56.0f : 44.8f;
        float top = 56.0f * (float)p.iconCell;
        addSpriteRect((float)p.x + 90.0f - iw * 0.5f, (float)p.y + 28.0f - ih * 0.5f, iw, ih,
                      SpriteSource{0.0f, top, 180.0f, top + 56.0f}, gScenePicture,
                      greyArgb(current ? 255 : 200, iconGrey(m.placeState[place])));
    }
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
    for (int32_t i = 0; i < gWorldMap.worldMapListCount && i < WORLD_MAP_PLACE_COUNT; ++i) {
        int32_t place = m.listedPlaces[i];
        if (!validPlace(place) || !m.closedLabel[place]) continue;
        const WorldMapPlace& p = WORLD_MAP_PLACES[place];
        drawTextCentered((float)p.x + 94.0f, (float)p.y + 16.0f, CLOSED_TEXT, CLOSED_COLOUR, 1.2f);
    }
}

void drawWorldMap() {
    if (gGfxDevice) gGfxDevice->clear(GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    drawWorldMapPanel(1.0f);
}

int32_t getWorldMapPlace() { return gWorldMap.cursorPlace; }
void setWorldMapPlace(int32_t place) { gWorldMap.cursorPlace = place; }
void clearWorldMapPlace() { gWorldMap.cursorPlace = TOWN_PLACE_SHOP; }

void resetWorldMapState() {
    gWorldMap = WorldMapState{};
}
