// The shop floor's menus, the stocking of shelf cells and vending machines,
// the decoration preview and the table moves.
#include <cmath>

#include "adventurers/adventurers_files.h"
#include "adventurers/balloon.h"
#include "engine/math.h"
#include "adventurers/dungeon_control.h"
#include "adventurers/motion.h"
#include "adventurers/party.h"
#include "adventurers/shop_floor.h"
#include "adventurers/shop_floor_steps.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "field/field_state.h"
#include "shop/shop.h"

namespace {

constexpr int32_t MENU_INPUT_SLIDE = 9;
constexpr int32_t CHOICE_DELAY = 15;
constexpr int32_t PAGE_IN = 10;
constexpr int32_t ABILITY_LAST_ROW = 28;
constexpr int32_t ABILITY_VISIBLE_ROWS = 5;
constexpr int32_t VENDING_VISIBLE_ROWS = 6;
constexpr int32_t VENDING_FIRST = 5201;
constexpr int32_t VENDING_LAST = 5299;
constexpr int32_t VENDING_LEVEL = 14;
constexpr int32_t VENDING_FREE_LEVEL = 21;
constexpr int32_t VENDING_LIMIT = 3;
constexpr int32_t SHOP_PART_READY = 1;   // gShopPartState once the part loader has finished


bool isVendingKey(int32_t key) {
    int32_t id = itemKeyId(key);
    return key >= 0 && id >= VENDING_FIRST && id <= VENDING_LAST;
}

// The decoration kind a shop-menu code edits.
int32_t decorationKindOfMenu(int32_t code) {
    switch (code) {
    case SHOP_MENU_FLOORING: return DECORATION_FLOOR;
    case SHOP_MENU_WALLS: return DECORATION_WALL;
    case SHOP_MENU_RUG: return DECORATION_RUG;
    default: return DECORATION_TABLE;
    }
}

int32_t* decorationChoice(GameState& game, int32_t kind) {
    switch (kind) {
    case DECORATION_WALL: return &game.shopWall;
    case DECORATION_FLOOR: return &game.shopFloor;
    case DECORATION_RUG: return &game.shopRug;
    default: return &game.shopTable;
    }
}

// The decoration in use of a kind, as a stored item's key.
int32_t decorationKeyInUse(GameState& game, int32_t kind) {
    return makeItemKey(DECORATION_RANGES[kind].firstId + *decorationChoice(game, kind), 0, game.decorationPlus[kind] & ITEM_KEY_PLUS_MASK);
}

int32_t menuCodeA() {
    int32_t c = gShopFloor.shopMenuCursor[0];
    return c >= 0 && c < gShopFloor.shopMenuCountA ? gShopFloor.shopMenuListA[c] : SHOP_MENU_CANCEL;
}
int32_t menuCodeB() {
    int32_t c = gShopFloor.shopMenuCursor[0];
    return c >= 0 && c < gShopFloor.shopMenuCountB ? gShopFloor.shopMenuListB[c] : FAIRY_MENU_NEVER_MIND;
}

void moveMenuCursor(int32_t count) {
    uint16_t repeat = shopRepeat();
    if (count <= 0) return;
    int32_t& c = gShopFloor.shopMenuCursor[0];
    if (repeat & BUTTON_UP) {
        c = (c + count - 1) % count;
        playSoundEffect(326);
    } else if (repeat & BUTTON_DOWN) {
        c = (c + 1) % count;
        playSoundEffect(326);
    }
}

void endEditing() {
    gShopFloor.shopEditMode = 0;
    hidePointer();
    hideItemList();
}

// --- the shop menu and its choices -----------------------------------------------

void updateShopMenu() {
    setMotion(gParty.motions[0], 3);
    if (gShopFloor.shopMenuSlide <= MENU_INPUT_SLIDE) return;
    uint16_t pressed = shopPressed();
    if (pressed & BUTTON_CANCEL) {
        gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
        playSoundEffect(317);
    } else if (pressed & BUTTON_CONFIRM) {
        gShopFloor.shopFloorState = SHOP_FLOOR_MENU_CHOSEN;
        gShopFloor.shopMenuDelay = 0;
        playSoundEffect(323);
    } else {
        moveMenuCursor(gShopFloor.shopMenuCountA);
    }
}

void startPartLoader(int32_t code) {
    switch (code) {
    case SHOP_MENU_FLOORING: startFloorLoader(0); break;
    case SHOP_MENU_WALLS: startWallLoader(0); break;
    case SHOP_MENU_RUG: startRugLoader(0); break;
    default: startTableLoader(0); break;
    }
}

void actOnShopMenu() {
    if (++gShopFloor.shopMenuDelay != CHOICE_DELAY) return;
    GameState& game = runningGameState();
    int32_t code = menuCodeA();
    switch (code) {
    case SHOP_MENU_OPEN: {
        openShopDay();
        playRandomVoice(SHOP_OPEN_VOICES, 5);
        break;
    }
    case SHOP_MENU_FLOORING:
    case SHOP_MENU_WALLS:
    case SHOP_MENU_RUG:
    case SHOP_MENU_TABLES:
        for (int32_t k = 0; k < DECORATION_KIND_COUNT; k++) {
            gShopFloor.decorationBackup[k] = *decorationChoice(game, k);
            gShopFloor.decorationBackup[4 + k] = game.decorationPlus[k];
        }
        gShopFloor.shopFloorState = SHOP_FLOOR_HOLDS_OVERLAY;
        startPartLoader(code);
        playVoice(SHELF_VOICES[2]);
        break;
    case SHOP_MENU_MOVE_TABLES:
        gShopFloor.selectedShelf = 0;
        gShopFloor.shopFloorState = SHOP_FLOOR_EDITING;
        liftShelfItems(0, 1);
        break;
    default: gShopFloor.shopFloorState = SHOP_FLOOR_WALKING; break;
    }
}

// --- decorations ---------------------------------------------------------------

void openDecorationList() {
    if (gShopPartState != SHOP_PART_READY) return;
    GameState& game = runningGameState();
    int32_t kind = decorationKindOfMenu(menuCodeA());
    gShopFloor.shopFloorState = SHOP_FLOOR_DECORATING;
    int32_t key = decorationKeyInUse(game, kind);
    addItemToStorage(key);
    openItemList(DECORATION_RANGES[kind].listType, 1);
    moveListCursorToItem(key);
}

void decorationCamera(int32_t code) {
    gFieldCamera.cameraMode = CAMERA_SCRIPTED;
    switch (code) {
    case SHOP_MENU_WALLS:
        gCamera.yaw = turnToward(gCamera.yaw, 2.8274f, 0.0628f);
        gFieldCamera.cameraOffsets.distance = 19.0f - gFieldCamera.cameraDistance;
        gFieldCamera.cameraOffsets.elevation = 11.6f - gFieldCamera.cameraElevation;
        placeShopCamera(-2.0f, 0.0f, 1.0f);
        break;
    case SHOP_MENU_TABLES:
        gCamera.yaw = turnToward(gCamera.yaw, 2.9845f, 0.0628f);
        gFieldCamera.cameraOffsets.distance = 20.0f - gFieldCamera.cameraDistance;
        gFieldCamera.cameraOffsets.elevation = 17.6f - gFieldCamera.cameraElevation;
        placeShopCamera(0.0f, -5.0f, 1.0f);
        break;
    case SHOP_MENU_RUG: placeShopCamera(3.0f, 0.0f, 1.0f); break;
    default: placeShopCamera(1.0f, 0.0f, 1.0f); break;
    }
}

void releaseOtherVariants(int32_t kind) {
    switch (kind) {
    case DECORATION_WALL: releaseOtherShopWalls(); break;
    case DECORATION_FLOOR: releaseOtherShopFloors(); break;
    case DECORATION_RUG: releaseOtherShopRugs(); break;
    default: releaseOtherShopTables(); break;
    }
}

void previewDecoration(int32_t key) {
    if (key < 0) return;
    GameState& game = runningGameState();
    int32_t id = itemKeyId(key);
    for (int32_t k = 0; k < DECORATION_KIND_COUNT; k++) {
        const DecorationRange& r = DECORATION_RANGES[k];
        if (id < r.firstId || id > r.lastId) continue;
        *decorationChoice(game, k) = id - r.firstId;
        game.decorationPlus[k] = itemKeyPlus(key);
    }
}

void updateDecorating() {
    if (gShopPartState != SHOP_PART_READY) return;
    GameState& game = runningGameState();
    int32_t code = menuCodeA();
    decorationCamera(code);
    int32_t result = handleItemListInput(1);
    if (result == ITEM_LIST_CONFIRMED) playSoundEffect(323);
    if (result == ITEM_LIST_CHOSEN || result == ITEM_LIST_CANCELLED) {
        gShopFloor.shopFloorState = SHOP_FLOOR_MENU;
        hidePointer();
        hideItemList();
        gFieldCamera.cameraMode = CAMERA_FOLLOW;
        gCamera.yaw = PI;
        gParty.cameraYawTarget = PI;
        if (result == ITEM_LIST_CANCELLED) {
            for (int32_t k = 0; k < DECORATION_KIND_COUNT; k++) {
                *decorationChoice(game, k) = gShopFloor.decorationBackup[k];
                game.decorationPlus[k] = gShopFloor.decorationBackup[4 + k];
            }
            playSoundEffect(317);
        }
        int32_t kind = decorationKindOfMenu(code);
        removeStorageKey(decorationKeyInUse(game, kind));
        computeShopAtmosphere();
        releaseOtherVariants(kind);
        return;
    }
    previewDecoration(getSelectedListItemKey());
}

// --- moving tables ---------------------------------------------------------------

void tableCamera() {
    static const float GOALS[SHOP_SIZE_COUNT][2] = {{-2.0f, 0.0f}, {0.0f, 0.0f}, {5.0f, 0.0f}, {5.0f, 5.0f}};
    int32_t size = shopLayoutIndex(runningGameState());
    gFieldCamera.cameraMode = CAMERA_SCRIPTED;
    if (size >= 2) {
        gFieldCamera.cameraOffsets.distance = 0.0f;
        gFieldCamera.cameraOffsets.elevation = (size == 2 ? 24.6f : 29.6f) - gFieldCamera.cameraElevation;
    }
    placeShopCamera(GOALS[size][0], GOALS[size][1], 1.0f);
}

void updateMovingTables() {
    int32_t count = shopShelfCount();
    if (gShopFloor.selectedShelf < 0 || gShopFloor.selectedShelf >= count) gShopFloor.selectedShelf = 0;
    tableCamera();
    uint16_t pressed = shopPressed();
    int32_t raised = -1;
    if (pressed & BUTTON_CANCEL) {
        if (buildShelfOccupancy() == SHELF_LAYOUT_VALID) {
            gFieldCamera.cameraMode = CAMERA_FOLLOW;
            gShopFloor.shopFloorState = SHOP_FLOOR_MENU;
            liftShelfItems(gShopFloor.selectedShelf, 0);
            playVoice(TABLES_PLACED_VOICE);
        } else {
            playSoundEffect(362);
        }
    } else if (pressed & BUTTON_CONFIRM) {
        if (buildShelfOccupancy() == SHELF_LAYOUT_VALID) {
            liftShelfItems(gShopFloor.selectedShelf, 0);
            gShopFloor.selectedShelf = (gShopFloor.selectedShelf + 1) % count;
            liftShelfItems(gShopFloor.selectedShelf, 1);
            playSoundEffect(323);
        } else {
            playSoundEffect(362);
        }
    } else {
        raised = gShopFloor.selectedShelf;
        uint16_t repeat = shopRepeat();
        int32_t dx = (repeat & BUTTON_RIGHT ? 1 : 0) - (repeat & BUTTON_LEFT ? 1 : 0);
        int32_t dz = (repeat & BUTTON_DOWN ? 1 : 0) - (repeat & BUTTON_UP ? 1 : 0);
        int32_t sound = moveShelf(gShopFloor.selectedShelf, dx, dz);
        if (sound) playSoundEffect(sound);
    }
    placeShelfModels(raised);
    moveFollowers();
}

// --- the fairy's menu ------------------------------------------------------------

void updateFairyMenu() {
    if (gShopFloor.shopMenuCounter > 0) gShopFloor.shopMenuCounter--;
    faceFairy();
    if (gShopFloor.shopMenuSlide <= MENU_INPUT_SLIDE) return;
    uint16_t pressed = shopPressed();
    if (pressed & BUTTON_CANCEL) {
        gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
        playSoundEffect(317);
        gParty.actionState = 0;
        closeShopBalloon();
    } else if (pressed & BUTTON_CONFIRM) {
        gShopFloor.shopMenuDelay = 0;
        gShopFloor.shopFloorState = SHOP_FLOOR_FAIRY_CHOSEN;
        playSoundEffect(323);
    } else {
        moveMenuCursor(gShopFloor.shopMenuCountB);
    }
}

void actOnFairyMenu() {
    if (++gShopFloor.shopMenuDelay != CHOICE_DELAY) return;
    gShopFloor.shopFloorState = SHOP_FLOOR_OPEN;
    int32_t code = menuCodeB();
    switch (code) {
    case FAIRY_MENU_NEVER_MIND:
        gParty.actionState = 0;
        gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
        closeShopBalloon();
        break;
    case FAIRY_MENU_ATMOSPHERE:
    case FAIRY_MENU_NEWS:
    case FAIRY_MENU_ORDERS_DUE:
        gShopFloor.shopFloorState = SHOP_FLOOR_INFO_PAGE;
        gShopFloor.shopMenuCounter = 0;
        playSoundEffect(SOUND_LINE_ANSWERED);
        break;
    case FAIRY_MENU_LECTURES:
        gShopFloor.shopFloorState = SHOP_FLOOR_LECTURES;
        gShopFloor.shopMenuDelay = 0;
        gShopFloor.shopMenuCursor[1] = 0;
        playSoundEffect(372);
        break;
    case FAIRY_MENU_LEVEL:
        openAbilityList();
        playSoundEffect(372);
        break;
    case FAIRY_MENU_TIME:
        gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
        requestEvent(2, 14, 1);
        gParty.actionState = 0;
        closeShopBalloon();
        break;
    default:   // the lectures offered directly
        setStoryFlag(FLAG_STORY_TUTORIAL, 1);
        setStoryFlag(FLAG_TUTORIAL_REPEAT, 1);
        setTutorialLesson(code - 1);
        openShopDay();
        closeShopBalloon();
        break;
    }
}

void updateInfoPage() {
    if (gShopFloor.shopMenuCounter < PAGE_IN) {
        gShopFloor.shopMenuCounter++;
        return;
    }
    if (shopPressed() & (BUTTON_CONFIRM | BUTTON_CANCEL)) {
        gShopFloor.shopMenuDelay = 0;
        gShopFloor.shopFloorState = SHOP_FLOOR_FAIRY_MENU;
        playSoundEffect(SOUND_LINE_ANSWERED);
    }
}

float abilityRowY() { return (float)((gShopFloor.abilityListCursor - gShopFloor.abilityListTop) * 32 + 164); }

void updateAbilityList() {
    if (gShopFloor.shopMenuCounter < PAGE_IN) {
        gShopFloor.shopMenuCounter++;
        return;
    }
    uint16_t pressed = shopPressed();
    if (pressed & (BUTTON_CONFIRM | BUTTON_CANCEL)) {
        gShopFloor.shopFloorState = SHOP_FLOOR_FAIRY_MENU;
        hidePointer();
        playSoundEffect(372);
        return;
    }
    uint16_t repeat = shopRepeat();
    int32_t step = repeat & BUTTON_UP ? -1 : repeat & BUTTON_DOWN ? 1 : repeat & BUTTON_LEFT ? -5 : repeat & BUTTON_RIGHT ? 5 : 0;
    if (step == 0) return;
    int32_t c = gShopFloor.abilityListCursor + step;
    gShopFloor.abilityListCursor = c < 0 ? 0 : c > ABILITY_LAST_ROW ? ABILITY_LAST_ROW : c;
    if (gShopFloor.abilityListCursor < gShopFloor.abilityListTop) gShopFloor.abilityListTop = gShopFloor.abilityListCursor;
    if (gShopFloor.abilityListCursor >= gShopFloor.abilityListTop + ABILITY_VISIBLE_ROWS) gShopFloor.abilityListTop = gShopFloor.abilityListCursor - ABILITY_VISIBLE_ROWS + 1;
    if (gShopFloor.abilityListTop > ABILITY_LAST_ROW - ABILITY_VISIBLE_ROWS + 1) gShopFloor.abilityListTop = ABILITY_LAST_ROW - ABILITY_VISIBLE_ROWS + 1;
    if (gShopFloor.abilityListTop < 0) gShopFloor.abilityListTop = 0;
    playSoundEffect(326);
    glidePointerTo(152.0f, abilityRowY());
}

void updateLectures() {
    if (gShopFloor.shopMenuDelay == 0) {
        if (gShopFloor.lectureMenuSlide < 12) return;
        uint16_t pressed = shopPressed();
        if (pressed & BUTTON_CANCEL) {
            gShopFloor.shopFloorState = SHOP_FLOOR_FAIRY_MENU;
            hidePointer();
            playSoundEffect(372);
        } else if (pressed & BUTTON_CONFIRM) {
            gShopFloor.shopMenuDelay = 1;
        } else {
            int32_t n = 1 + (storyFlag(FLAG_SELLERS) ? 1 : 0) + (storyFlag(FLAG_REQUESTS) ? 1 : 0);
            uint16_t repeat = shopRepeat();
            int32_t& c = gShopFloor.shopMenuCursor[1];
            if ((repeat & BUTTON_UP) && c > 0) {
                c--;
                playSoundEffect(326);
            } else if ((repeat & BUTTON_DOWN) && c < n - 1) {
                c++;
                playSoundEffect(326);
            }
        }
        return;
    }
    if (++gShopFloor.shopMenuDelay < CHOICE_DELAY) return;
    setStoryFlag(FLAG_STORY_TUTORIAL, 1);
    setStoryFlag(FLAG_TUTORIAL_REPEAT, 1);
    setTutorialLesson(gShopFloor.shopMenuCursor[1]);
    openShopDay();
    closeShopBalloon();
}

void updateItemInformation() {
    setMotion(gParty.motions[0], 0);
    moveFollowers();
    if (shopPressed() & (BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_SUB)) {
        closeItemInfo();
        gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
        playSoundEffect(710);
    }
}

// --- vending slots -----------------------------------------------------------------

float vendingRowY() { return (float)((gShopFloor.shopFloorCursor[0] - gShopFloor.shopFloorCursor[1]) * 40 + 124); }

void showHoveredSlot(const GameState& game, int32_t shelf) {
    int32_t c = gShopFloor.shopFloorCursor[0];
    showItemInfo(c >= 2 && c - 2 < VENDING_STOCK_SLOTS ? game.vendingStock[shelf][c - 2] : ITEM_KEY_NONE);
}

void moveVendingCursor() {
    uint16_t repeat = shopRepeat();
    int32_t step = repeat & BUTTON_UP ? -1 : repeat & BUTTON_DOWN ? 1 : repeat & BUTTON_LEFT ? -6 : repeat & BUTTON_RIGHT ? 6 : 0;
    if (step == 0) return;
    int32_t last = gShopFloor.shopFloorCursor[2];
    int32_t c = gShopFloor.shopFloorCursor[0] + step;
    gShopFloor.shopFloorCursor[0] = c < 0 ? 0 : c > last ? last : c;
    int32_t& top = gShopFloor.shopFloorCursor[1];
    if (gShopFloor.shopFloorCursor[0] < top) top = gShopFloor.shopFloorCursor[0];
    if (gShopFloor.shopFloorCursor[0] >= top + VENDING_VISIBLE_ROWS) top = gShopFloor.shopFloorCursor[0] - VENDING_VISIBLE_ROWS + 1;
    playSoundEffect(326);
    glidePointerTo(16.0f, vendingRowY());
}

}  // namespace

// --- stocking shelves and machines ---------------------------------------------------

int32_t vendingSlotCount(int32_t machineKey) {
    int32_t id = itemKeyId(machineKey);
    return id == 5201 ? 6 : id == 5202 ? 8 : 10;
}

int32_t vendingPlacementRefusal(int32_t merchantLevel, int32_t placed) {
    if (merchantLevel < VENDING_LEVEL) return 1;
    if (merchantLevel < VENDING_FREE_LEVEL && placed >= VENDING_LIMIT) return 2;
    return 0;
}

int32_t placeKeyOnCell(int32_t x, int32_t z, int32_t key) {
    GameState& game = runningGameState();
    if (!isInShopGrid(x, z)) return 0;
    int32_t& cell = game.shelves[z][x];
    if (!isVendingKey(key)) {
        int32_t old = cell;
        cell = key;
        removeStorageKey(key);
        addItemToStorage(old);
        computeShopAtmosphere();
        if (z == 0) setStoryFlag(FLAG_FRONT_ROW_STOCKED, 1);
        if (!storyFlag(FLAG_SHELVES_FULL)) {
            bool full = countStoredItems() == 0;
            if (!full) {
                full = true;
                for (int32_t i = 0; i < SHOP_GRID_ROWS * SHOP_GRID_COLUMNS && full; i++) {
                    int32_t code = gShopGrid[i];
                    if (code >= SHOP_CELL_SQUARE && code <= SHOP_CELL_ALONG_Z &&
                        game.shelves[i / SHOP_GRID_COLUMNS][i % SHOP_GRID_COLUMNS] == ITEM_KEY_NONE)
                        full = false;
                }
            }
            if (full) {
                setStoryFlag(FLAG_SHELVES_FULL, 1);
                setStoryFlag(FLAG_SHELF_LESSON, 0);
            }
        }
        return 0;
    }
    int32_t placed = 0;
    for (int32_t i = 0; i < SHELF_LAYOUT_COUNT; i++)
        if (game.vendingModes[i] != 0) placed++;
    int32_t refusal = vendingPlacementRefusal(game.merchantLevel, placed);
    if (refusal == 1) {
        openMessageWindow("Vending machines cannot<BR>be placed at our level.");
        return refusal;
    }
    if (refusal == 2) {
        openMessageWindow("We are at our level's vending machine limit.");
        return refusal;
    }
    int32_t shelf = findShelfAt(x, z);
    if (shelf < 0) return 0;
    clearShelf(shelf);
    game.vendingModes[shelf] = key;
    cell = key;
    removeStorageKey(key);
    computeShopAtmosphere();
    return 0;
}

int32_t moveShelf(int32_t shelf, int32_t dx, int32_t dz) {
    if (shelf < 0 || shelf >= SHELF_LAYOUT_COUNT || (dx == 0 && dz == 0)) return 0;
    ShelfPlace& at = runningGameState().shelfLayout[shelf];
    ShelfPlace before = at;
    at.x += dx;
    at.z += dz;
    int32_t check = buildShelfOccupancy();
    if (check == SHELF_LAYOUT_NEGATIVE || (check & SHELF_LAYOUT_ON_WALL)) {
        at = before;
        buildShelfOccupancy();
        return 362;
    }
    return 326;
}

void revertVendingMachine(int32_t shelf) {
    if (shelf < 0 || shelf >= SHELF_LAYOUT_COUNT) return;
    GameState& game = runningGameState();
    // The machine stands in the shelf's cell: clearing the shelf returns it.
    clearShelf(shelf);
    for (int32_t& key : game.vendingStock[shelf]) {
        addItemToStorage(key);
        key = ITEM_KEY_NONE;
    }
    game.vendingModes[shelf] = 0;
    computeShopAtmosphere();
}

void beginShelfStocking(int32_t cellKey) {
    gShopFloor.shopEditMode = 1;
    openItemList(ITEM_LIST_SHELF, gShopFloor.stockListOpened ? 0 : 1);
    gShopFloor.stockListOpened = 1;
    setItemListHeader(cellKey == ITEM_KEY_NONE ? 1 : 2);
}

void beginVendingStocking(int32_t shelf) {
    const GameState& game = runningGameState();
    gShopFloor.shopEditMode = 2;
    openItemList(ITEM_LIST_SHELF, gShopFloor.stockListOpened ? 0 : 1);
    gShopFloor.stockListOpened = 1;
    gShopFloor.vendingListOpen = 0;
    gShopFloor.shopFloorCursor[0] = 2;
    gShopFloor.shopFloorCursor[1] = 0;
    gShopFloor.shopFloorCursor[2] = vendingSlotCount(game.vendingModes[shelf]) + 1;
    gShopPlacement.shopEditState[0] = shelf;
    for (int32_t i = 0; i < VENDING_STOCK_SLOTS; i++) gShopFloor.vendingSlotsShown[i] = game.vendingStock[shelf][i];
    glidePointerTo(16.0f, vendingRowY());
}

void updateShelfStocking() {
    const GameState& game = runningGameState();
    int32_t x = gShopPlacement.placementCell.x, z = gShopPlacement.placementCell.z;
    int32_t cellKey = isInShopGrid(x, z) ? game.shelves[z][x] : ITEM_KEY_NONE;
    int32_t result = handleItemListInput(1);
    int32_t key = getSelectedListItemKey();
    bool something = key != ITEM_KEY_NONE || cellKey != ITEM_KEY_NONE;
    if (result == ITEM_LIST_CANCELLED) {
        endEditing();
        playSoundEffect(317);
    } else if (result == ITEM_LIST_CONFIRMED && something) {
        gParty.actionState = 12;
        setMotion(gParty.motions[0], 4);
        playSoundEffect(323);
    } else if (result == ITEM_LIST_CHOSEN && something) {
        setStoryFlag(FLAG_SHELF_STOCKED, 1);
        playRandomVoice(SHELF_PLACED_VOICES, 2);
        placeKeyOnCell(x, z, key);
        endEditing();
    }
}

void updateVendingStocking() {
    GameState& game = runningGameState();
    int32_t shelf = gShopPlacement.shopEditState[0];
    if (shelf < 0 || shelf >= SHELF_LAYOUT_COUNT) {
        endEditing();
        return;
    }
    int32_t* stock = game.vendingStock[shelf];
    uint16_t pressed = shopPressed();
    if (gShopFloor.vendingListOpen) {
        int32_t result = handleItemListInput(1);
        if (result == ITEM_LIST_CANCELLED) {
            gShopFloor.vendingListOpen = 0;
            playSoundEffect(317);
            glidePointerTo(16.0f, vendingRowY());
        } else if (result == ITEM_LIST_CONFIRMED) {
            playSoundEffect(323);
        } else if (result == ITEM_LIST_CHOSEN) {
            int32_t slot = gShopFloor.shopFloorCursor[0] - 2;
            if (slot >= 0 && slot < VENDING_STOCK_SLOTS) {
                int32_t key = getSelectedListItemKey();
                addItemToStorage(stock[slot]);
                stock[slot] = key;
                gShopFloor.vendingSlotsShown[slot] = key;
                removeStorageKey(key);
                openItemList(ITEM_LIST_SHELF, 0);
            }
        }
        return;
    }
    if (getItemInfoState() != 0) {
        if (pressed & (BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_SUB)) {
            closeItemInfo();
            showPointer();
            playSoundEffect(710);
        }
        return;
    }
    int32_t cursor = gShopFloor.shopFloorCursor[0];
    if (pressed & BUTTON_CANCEL) {
        endEditing();
        playSoundEffect(317);
    } else if ((pressed & BUTTON_SUB) && cursor >= 2 && stock[cursor - 2] != ITEM_KEY_NONE) {
        showItemInfo(stock[cursor - 2]);
        openItemInfo(2);
        hidePointer();
        playSoundEffect(710);
    } else if (pressed & BUTTON_CONFIRM) {
        if (cursor == 0) {
            revertVendingMachine(shelf);
            endEditing();
        } else if (cursor == 1) {
            endEditing();
        } else {
            gShopFloor.vendingListOpen = 1;
            placeListCursor();
        }
        playSoundEffect(323);
    } else {
        moveVendingCursor();
        showHoveredSlot(game, shelf);
    }
}

void openAbilityList() {
    int32_t rows = openedAbilityRows(runningGameState().merchantLevel);
    gShopFloor.abilityListCursor = rows > ABILITY_LAST_ROW ? ABILITY_LAST_ROW : rows;
    int32_t top = gShopFloor.abilityListCursor - 1;
    gShopFloor.abilityListTop = top < 0 ? 0 : top > 24 ? 24 : top;
    gShopFloor.shopFloorState = SHOP_FLOOR_LEVEL_LIST;
    gShopFloor.shopMenuCounter = 0;
    setPointerPosition(152.0f, abilityRowY());
}

void updateShopMenuStates() {
    switch (gShopFloor.shopFloorState) {
    case SHOP_FLOOR_MENU: updateShopMenu(); break;
    case SHOP_FLOOR_MENU_CHOSEN: actOnShopMenu(); break;
    case SHOP_FLOOR_EDITING: updateMovingTables(); break;
    case SHOP_FLOOR_DECORATING: updateDecorating(); break;
    case SHOP_FLOOR_HOLDS_OVERLAY: openDecorationList(); break;
    case SHOP_FLOOR_FAIRY_MENU: updateFairyMenu(); break;
    case SHOP_FLOOR_FAIRY_CHOSEN: actOnFairyMenu(); break;
    case SHOP_FLOOR_INFO_PAGE: updateInfoPage(); break;
    case SHOP_FLOOR_LEVEL_LIST: updateAbilityList(); break;
    case SHOP_FLOOR_LECTURES: updateLectures(); break;
    case SHOP_FLOOR_ITEM_INFO: updateItemInformation(); break;
    default: break;
    }
}
