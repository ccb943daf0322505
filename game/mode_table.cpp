#include "game/mode_table.h"

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/scene_hooks.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "field/field.h"
#include "game/overlay_scene.h"
#include "game/startup.h"
#include "shop/shop.h"
#include "story/story.h"
#include "story/story_state.h"

// ---- the field's composites ----

static void updateFieldMode() {
    updateFieldFrame();
    tickHud();
}

static void drawFieldMode() {
    drawWorld3D();
    drawGameOverlay();
    drawItemGetPopup();
    drawOverlayEffects();
    drawAfterimage();
    drawBlackout();
}

// The field's world under a running event that has no background pictures.
static void drawFieldUnderEvent() {
    drawWorld3D();
    drawGameOverlay();
    drawOverlayEffects();
}

static void fieldEventTick() {
    updateDungeonScenery();
    tickHud();
}

// The town map under the HUD's top bar, the pointer and the screen effects.
static void drawWorldMapMode() {
    drawWorldMap();
    drawGameOverlay();
    drawOverlayEffects();
}

// The market's and the guild's screens, then the 3D effects with the
// alpha test on, then the overlay effects.
static void drawMarketMode() {
    drawMarketScene();
    if (gGfxDevice) {
        gGfxDevice->setRenderState(GFX_RS_ALPHATESTENABLE, 1);
        gGfxDevice->setRenderState(GFX_RS_ALPHAFUNC, GFX_CMP_GREATER);
        gGfxDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    }
    drawEffectObjects3D();
    drawOverlayEffects();
}

// The departure screen draws its own HUD pieces and scroll arrows; the
// overlay effects cover them.
static void drawDepartureMode() {
    drawDepartureScreen();
    drawOverlayEffects();
}

static void modePrelude() {
    tickHud();
    updateEffectObjects();
}

// ---- what each scene's loader does on its thread, and what it enters ----

// The loader thread loads pictures and models; whatever a scene sets up of
// its state is its enter, run by the main thread at the loader's end. Where
// a scene's setup came before its pictures, the pictures do not depend on it
// (fixed lists), and nothing reads the scene's state while it loads, so the
// order between the two sides does not show. The field is the exception:
// its floor is started on the loader thread after the stage's resources;
// the main thread meanwhile only steps the screen effects and draws the
// loading sign, and draws no random numbers, so the floor's draws keep
// their order.

// A stage of the field: its models unless the stage stays, then the floor's
// enemies, then the floor itself.
static void loadWorld(int32_t sameStage) {
    if (!sameStage) {
        releaseStageModels();
        bindStageModels();
    }
    releaseEnemyModels();
    loadFloorEnemies();
    startFloor();
}

static void loadFieldScene() {
    loadFieldResources();
    startFloor();
}

// ---- the rest of the engine's upward calls ----

// Main-thread state only: the music choice runs while a scene loads, when a
// new track waits for the load anyway; the field's words are left out then,
// as the floor start on the loader thread writes them.
static void readMusicInputs(MusicInputs& in) {
    in.titleIdleTicks = gTitle.idleTicks;
    in.titleMusicOverride = getTitleMusicOverride();
    in.eventMajor = gEventNumber.major;
    in.eventMinor = gEventNumber.minor;
    if (isSceneLoading()) return;
    in.runEndTimer = gRun.runEndTimer;
    in.runEndState = gRun.runEndState;
    in.specialMusicTimer = gRun.specialMusicTimer;
    in.dungeonIndex = gRun.dungeonIndex;
    in.shopOpen = gShopFloor.shopFloorState == SHOP_FLOOR_OPEN;
    in.trendBannerShown = getTrendBannerFrame() != 0;
}

static void movieSkipped() { gTitle.idleTicks = 0; }

// The collection counts the item table's rows; the adventurers start at
// their chara rows' levels (the first at level 1) with the first skill.
static void fillNewGame(GameState& game) {
    fillCollection(game, gItemDefinitions, gItemDefinitionCount);
    resetAdventurerRecords(game, true);
    for (AdventurerRecord& a : game.adventurers) a.skillUnlocked[0] = 1;
    recomputeLevelStats(game);
}

void installGameWiring() {
    // update, draw, reload after a device reset, load on the loader thread,
    // enter at the loader's end, prelude, event gate, draws its own afterimage
    static const GameModeEntry MODES[GAME_MODE_COUNT] = {
        {updateTitleScreen, drawTitleScreen, loadTitleTextures, loadTitleTextures, enterTitleScreen, 0, 0, 0},   // title
        {updateFieldMode, drawFieldMode, loadFieldResources, loadFieldScene, finishFloorStart, 0, 1, 1},  // field
        {updateGameOverScene, drawGameOverScene, loadGameOverTextures, loadGameOverTextures, nullptr, 1, 1, 0},                       // game over
        {nullptr, nullptr, loadEndingTextures, loadEndingTextures, startEnding, 1, 1, 0},                       // ending
        {nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0},                                                 // none
        // The event scene's script is compiled when its loader starts (its pictures are the script's).
        {nullptr, nullptr, loadEventTextures, loadEventTextures, nullptr, 0, 0, 0},                             // event scene
        {updateMarketScene, drawMarketMode, loadMarketTextures, loadMarketTextures, nullptr, 1, 1, 0},         // market
        {updateEndingSaveScene, drawEndingSaveScene, loadEndingSaveTextures, loadEndingSaveTextures, nullptr, 1, 1, 0},                   // ending save
        {updateWorldMap, drawWorldMapMode, loadWorldMapTextures, loadWorldMapTextures, enterWorldMap, 1, 1, 0},  // town map
        {nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0},                                                 // overlay screen
        {nullptr, nullptr, loadOpeningTextures, loadOpeningTextures, nullptr, 0, 0, 0},                         // opening
        {updateDepartureScreen, drawDepartureMode, loadDepartTextures, loadDepartTextures, initDepartureScreen, 1, 1, 0},  // departure
        {nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0},                                                 // none
        {updateChurchVisit, drawChurchVisit, loadChurchTextures, loadChurchTextures, nullptr, 1, 1, 0},         // church
        {updatePlazaVisit, drawPlazaVisit, loadPlazaTextures, loadPlazaTextures, nullptr, 1, 1, 0},             // plaza
        {updateTavernVisit, drawTavernVisit, loadTavernTextures, loadTavernTextures, nullptr, 1, 1, 0},         // tavern
        {nullptr, nullptr, loadPlazaIdleTextures, loadPlazaIdleTextures, nullptr, 1, 1, 0},                     // plaza, idle
    };
    for (int32_t mode = 0; mode < GAME_MODE_COUNT; ++mode) gGameModes[mode] = MODES[mode];

    // load on the loader thread, enter at its end, update, draw, reload
    gOverlayKinds[0] = {loadPauseTextures, nullptr, updateFieldMenu, drawFieldMenu, loadPauseTextures};
    gOverlayKinds[1] = {loadResultsTextures, openDayReport, updateDayReport, drawDayReport, loadResultsTextures};
    gOverlayKinds[2] = {loadItemSelectTextures, startItemChoice, updateItemChoice, drawItemChoice, loadItemSelectTextures};

    SceneHooks& h = gSceneHooks;
    h = SceneHooks{};
    h.modePrelude = modePrelude;
    h.fieldEventTick = fieldEventTick;
    h.openOverlayScreen = openFieldMenu;
    h.stepItemListSlide = stepItemListSlide;
    h.movieSkipped = movieSkipped;
    h.requestEventSkip = requestEventSkip;
    h.fieldOverlayRuling = fieldOverlayRuling;
    h.runEndHoldsOverlay = runEndHoldsOverlay;
    h.saveOverlayScene = saveOverlayScene;
    h.leaveOverlayScene = leaveOverlayScene;
    h.restoreOverlayScene = restoreOverlayScene;
    h.drawFieldUnderEvent = drawFieldUnderEvent;
    h.drawLoadingBand = drawLoadingBand;
    h.drawFieldOverlayEnd = emptyOverlayHook;
    h.releaseAllTextures = releaseAllTextures;
    h.returnToTitle = returnToTitle;
    h.startEvent = startEvent;
    h.loadEventTextures = loadEventTextures;
    h.stepEvent = stepEvent;
    h.drawEventScene = drawEventScene;
    h.eventBackgroundCount = getEventBackgroundCount;
    h.updateQueuedEvent = updateQueuedEvent;
    h.loadWorld = loadWorld;
    h.enterWorld = finishFloorStart;
    h.loadCustomerPortraits[0] = loadCustomerPortraitsA;
    h.loadCustomerPortraits[1] = loadCustomerPortraitsB;
    h.loadShopPart[0] = [] { loadShopWalls(1); };
    h.loadShopPart[1] = [] { loadShopFloors(1); };
    h.loadShopPart[2] = [] { loadShopRugs(1); };
    h.loadShopPart[3] = [] { loadShopTables(1); };
    h.loadEffectImageTextures = loadEffectImageTextures;
    h.loadItemIconSheets = loadItemIconSheets;
    h.readMusicInputs = readMusicInputs;
    h.fillNewGame = fillNewGame;
    h.modelPartName = modelPartName;
    h.exportModelBone = exportEnemyBone;
}
