// The pause menu over the shop floor, the dungeon, the town map, the market
// and the guilds: a column of entries, each opening a page that slides in.
#include "story/field_menu.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/render_states.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "engine/text.h"
#include "field/field.h"
#include "shop/shop.h"
#include "story/options_window.h"
#include "story/pause_cells.h"
#include "story/save_list.h"
#include "story/story.h"
#include "story/story_files.h"
#include "story/story_state.h"

FieldMenuState gFieldMenu;
GameState gGameStateBackup[2];

constexpr float PI_F = std::numbers::pi_v<float>;
constexpr int32_t CHOICE_TICKS = 15;
constexpr int32_t PAGE_SLIDE_MAX = 10;
constexpr int32_t EXIT_FADE_AT = 15;
constexpr int32_t FADE_KIND = 0;
constexpr int32_t FADE_TICKS = 17;
constexpr int32_t SAVE_TICKS = 60;
constexpr int32_t SLOT_TOP_MAX = SAVE_SLOT_COUNT - SLOT_LIST_VISIBLE;
constexpr int32_t EQUIP_ROWS = EQUIPMENT_SLOTS + 1;   // "Optimum Equipment" and the five slots
constexpr int32_t KEPT_BAG2_USED = 8;                 // bag entries 30..37 go to keptBag2
constexpr char DUNGEON_SAVE_NOTICE[] = "Saving here will save your data<BR>as it was prior to entering.";
constexpr char OVERWRITE_QUESTION[] = "Overwriting file. Are you sure?";
constexpr char EXIT_QUESTION[] = "Returning to title screen. Are you sure?";
constexpr char SAVE_FAILED[] = "The game could not be saved.";

// Cells of the pause sheet.
constexpr float LABEL_WIDTH = (float)PAUSE_LABEL_WIDTH;
constexpr float LABEL_HEIGHT = (float)PAUSE_LABEL_HEIGHT;
constexpr float LABEL_ROW = (float)PAUSE_LABEL_ROW;
constexpr SpriteSource FIXED_PLATE = {64.0f, 384.0f, 320.0f, 424.0f};
constexpr SpriteSource SAVE_BAND = {704.0f, 896.0f, 984.0f, 936.0f};


void resetFieldMenuState() {
    gFieldMenu = FieldMenuState{};
    for (int32_t& key : gFieldMenu.menuUsedItems) key = -1;
    memset(gGameStateBackup, 0, sizeof gGameStateBackup);
}

int32_t takeMenuUsedItem() {
    if (gFieldMenu.menuItemUsed != 1) return -1;
    for (int32_t& key : gFieldMenu.menuUsedItems) {
        if (key == -1) continue;
        int32_t taken = key;
        key = -1;
        return taken;
    }
    gFieldMenu.menuItemUsed = 0;
    return -1;
}

void backupGameState(int32_t n) {
    if (n < 0 || n > 1) return;
    gGameStateBackup[n] = runningGameState();
}

void restoreGameState(int32_t n) {
    if (n < 0 || n > 1) return;
    runningGameState() = gGameStateBackup[n];
}

// ---- Where the menu stands -------------------------------------------------

static int32_t interruptedMode() { return gOverlayScreen.savedMode; }

static bool onDungeonStage() {
    return interruptedMode() == GAME_MODE_FIELD && gCurrentStage && gCurrentStage->maptype >= 1;
}

// The adventurer the party page shows.
static int32_t shownAdventurer() {
    if (gAvailableAdventurerCount <= 0) return 0;
    int32_t i = std::clamp(gFieldMenu.partyIndex, 0, gAvailableAdventurerCount - 1);
    return gAvailableAdventurers[i];
}

// The adventurer of the expedition, whose equipment the equipment page and
// the optimum sort change.
static int32_t chosenAdventurer() { return std::clamp(gChosenAdventurer, 0, ADVENTURER_COUNT - 1); }

static int32_t selectedEntry() {
    const FieldMenuState& m = gFieldMenu;
    return m.menuCursor >= 0 && m.menuCursor < m.entryCount ? m.entryIds[m.menuCursor] : MENU_ITEMS;
}

static void buildEntries() {
    FieldMenuState& m = gFieldMenu;
    m.entryCount = 0;
    if (gAvailableAdventurerCount > 0) m.entryIds[m.entryCount++] = MENU_PARTY;
    m.entryIds[m.entryCount++] = MENU_ITEMS;
    if (onDungeonStage()) m.entryIds[m.entryCount++] = MENU_EQUIPMENT;
    for (int32_t id : {MENU_COLLECTION, MENU_OPTIONS, MENU_SAVE, MENU_TITLE}) m.entryIds[m.entryCount++] = id;
    m.entrySpacing = 12 * (11 - m.entryCount);
}

void openFieldMenu() {
    // The results and the item choice open through the same switch; they
    // set up their own screens, and the pointer stays theirs.
    if (gOverlayScreen.kind != OVERLAY_PAUSE_MENU) return;
    FieldMenuState& m = gFieldMenu;
    m = FieldMenuState{};
    listAvailableAdventurers();
    buildEntries();
    hidePointer();
    for (int32_t& key : m.menuUsedItems) key = -1;
    m.menuItemUsed = 0;
    refreshSkillUnlocks();
    buildCollection(0);
}

// ---- The entry column ------------------------------------------------------

static void closePage() {
    gFieldMenu.pageOpen = 0;
    gFieldMenu.choiceCounter = 0;
}

static void openSaveList() {
    FieldMenuState& m = gFieldMenu;
    m.saveCounter = 0;
    m.noticeState = 0;
    m.pageMode = 0;
    gTitle.cardListMode = 0;
    listAllSaveSlots();
    m.slotCursor = std::clamp(gLastSaveSlot, 0, SAVE_SLOT_COUNT - 1);
    m.slotTop = std::clamp(m.slotCursor - 2, 0, SLOT_TOP_MAX);
}

static void openChosenPage() {
    FieldMenuState& m = gFieldMenu;
    int32_t entry = selectedEntry();
    switch (entry) {
    case MENU_TITLE: m.exitStep = 1; return;
    case MENU_PARTY:
        m.partyIndex = 0;
        for (int32_t i = 0; i < gAvailableAdventurerCount; ++i)
            if (gAvailableAdventurers[i] == gChosenAdventurer) m.partyIndex = i;
        m.detailShown = 0;
        break;
    case MENU_ITEMS:
        m.pageMode = 0;
        m.messageShown = 0;
        openItemList(onDungeonStage() ? ITEM_LIST_BAG : ITEM_LIST_STORAGE, 1);
        showItemList();
        break;
    case MENU_EQUIPMENT:
        openItemList(ITEM_LIST_BAG, 1);
        showItemList();
        m.actionCursor = 0;
        m.pageMode = 1;
        showPointer();
        glidePointerTo(16.0f, 80.0f);
        break;
    case MENU_COLLECTION:
        showPointer();
        setPointerPosition(72.0f, 112.0f);
        break;
    case MENU_OPTIONS:
        m.optionsRow = 0;
        m.optionsState = 0;
        showPointer();
        setPointerPosition(168.0f, 168.0f);
        break;
    case MENU_SAVE: openSaveList(); break;
    default: break;
    }
    m.pageOpen = 1;
    m.pageSlide = 1;
}

static void updateMenuCursor() {
    FieldMenuState& m = gFieldMenu;
    if (m.choiceCounter > 0) {
        if (++m.choiceCounter == CHOICE_TICKS) openChosenPage();
        return;
    }
    uint16_t pressed = gInputState[0].pressed;
    uint16_t repeat = gInputState[0].repeat;
    if (pressed & BUTTON_CONFIRM) {
        m.choiceCounter = 1;
        playSoundEffect(SOUND_CONFIRM);
    } else if (pressed & BUTTON_CANCEL) {
        toggleOverlayScreen(OVERLAY_PAUSE_MENU);
    } else if (repeat & (BUTTON_UP | BUTTON_DOWN)) {
        int32_t step = (repeat & BUTTON_UP) ? m.entryCount - 1 : 1;
        m.menuCursor = (m.menuCursor + step) % m.entryCount;
        playSoundEffect(SOUND_CURSOR);
    }
}

// ---- Party status ----------------------------------------------------------

static void updateFirstPage() {
    FieldMenuState& m = gFieldMenu;
    uint16_t pressed = gInputState[0].pressed;
    if (pressed & BUTTON_CANCEL) {
        if (m.detailShown) m.detailShown = 0;
        else closePage();
        playSoundEffect(SOUND_CANCEL);
    } else if (pressed & BUTTON_CONFIRM) {
        m.detailShown = !m.detailShown;
        playSoundEffect(SOUND_CONFIRM);
    } else if (gAvailableAdventurerCount >= 2 && (pressed & (BUTTON_LEFT | BUTTON_RIGHT))) {
        int32_t step = (pressed & BUTTON_LEFT) ? gAvailableAdventurerCount - 1 : 1;
        m.partyIndex = (m.partyIndex + step) % gAvailableAdventurerCount;
        playSoundEffect(SOUND_CURSOR);
    }
}

// ---- Food/Medicines --------------------------------------------------------

static void actionPointer() { glidePointerTo(32.0f, 108.0f + 56.0f * (float)gFieldMenu.actionCursor); }

static void closeActionChoice() {
    FieldMenuState& m = gFieldMenu;
    m.pageMode = 0;
    m.messageShown = 0;
    clearItemMessages();
    placeListCursor();
}

static void refuse(bool discard) {
    if (discard) startDiscardMessage();
    else startUseMessage();
    setItemUseResult(0, 0);
    playSoundEffect(SOUND_REFUSED);
    gFieldMenu.messageShown = 1;
}

static void throwAway(int32_t key) {
    FieldMenuState& m = gFieldMenu;
    playSoundEffect(SOUND_CONFIRM);
    m.menuItemUsed = 1;
    for (int32_t& used : m.menuUsedItems)
        if (used == -1) {
            used = key;
            break;
        }
    removeSelectedListItem();
    startDiscardMessage();
    m.messageShown = 1;
}

static void updateItemUsePage() {
    FieldMenuState& m = gFieldMenu;
    uint16_t pressed = gInputState[0].pressed;
    if (m.messageShown) {
        if (pressed & (BUTTON_CONFIRM | BUTTON_CANCEL)) {
            closeActionChoice();
            showPointer();
        }
        return;
    }
    if (!m.pageMode) {
        int32_t result = handleItemListInput(1);
        if (result == ITEM_LIST_CONFIRMED) {
            playSoundEffect(SOUND_CONFIRM);
        } else if (result == ITEM_LIST_CANCELLED) {
            hidePointer();
            hideItemList();
            playSoundEffect(SOUND_CANCEL);
            closePage();
        } else if (result == ITEM_LIST_CHOSEN && onDungeonStage()) {
            m.pageMode = 1;
            m.actionCursor = 0;
            actionPointer();
        }
        return;
    }
    uint16_t repeat = gInputState[0].repeat;
    if (pressed & BUTTON_CANCEL) {
        closeActionChoice();
        playSoundEffect(SOUND_CANCEL);
    } else if (repeat & (BUTTON_UP | BUTTON_DOWN)) {
        m.actionCursor ^= 1;
        playSoundEffect(SOUND_CURSOR);
        actionPointer();
    } else if (pressed & BUTTON_CONFIRM) {
        int32_t key = getSelectedListItemKey();
        bool discard = m.actionCursor == 1;
        if (key < 0 || (key & ITEM_KEY_POSSESSED) || (!discard && (key & ITEM_KEY_UNIDENTIFIED))) refuse(discard);
        else if (discard) throwAway(key);
        // Eating and medicines belong to the dungeon's own use of items,
        // which the menu does not take over.
        else refuse(false);
    }
}

// ---- Equipment -------------------------------------------------------------

static void slotPointer() { glidePointerTo(16.0f, 80.0f + 36.0f * (float)gFieldMenu.actionCursor); }

static int32_t& equipSlotKey(int32_t adventurer, int32_t slot) {
    return runningGameState().adventurers[adventurer].equipment[slot];
}

// The bag's empty entries close up; the others keep their order.
static void packBag() {
    int32_t kept = 0;
    for (int32_t i = 0; i < gBagCapacity; ++i)
        if (gBag[i] != ITEM_KEY_NONE) gBag[kept++] = gBag[i];
    for (int32_t i = kept; i < gBagCapacity; ++i) gBag[i] = ITEM_KEY_NONE;
}

static int32_t statSum(int32_t key) {
    int32_t totals[ITEM_STAT_COUNT] = {};
    getItemStats(key, totals);
    return totals[0] + totals[1] + totals[2] + totals[3];
}

void sortBagByStats() {
    int32_t a = chosenAdventurer();
    for (int32_t s = 0; s < EQUIPMENT_SLOTS; ++s) {
        for (int32_t i = 0; i < gBagCapacity; ++i) {
            int32_t key = gBag[i];
            if (key == ITEM_KEY_NONE || (key & ITEM_KEY_UNIDENTIFIED) || !canEquip(a, s, key)) continue;
            int32_t& worn = equipSlotKey(a, s);
            if (statSum(key) <= statSum(worn)) continue;
            gBag[i] = worn;
            worn = key;
        }
    }
    packBag();
}

static void updateEquipPage() {
    FieldMenuState& m = gFieldMenu;
    uint16_t pressed = gInputState[0].pressed;
    int32_t a = chosenAdventurer();
    if (m.pageMode) {
        if (getItemInfoState() != 0) {
            if (pressed & (BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_SUB)) {
                closeItemInfo();
                playSoundEffect(SOUND_INFO_POPUP);
            }
            return;
        }
        uint16_t repeat = gInputState[0].repeat;
        if (pressed & BUTTON_CANCEL) {
            playSoundEffect(SOUND_CANCEL);
            hideItemList();
            hidePointer();
            closePage();
        } else if ((pressed & BUTTON_SUB) && m.actionCursor > 0 && equipSlotKey(a, m.actionCursor - 1) >= 0) {
            showItemInfo(equipSlotKey(a, m.actionCursor - 1));
            openItemInfo(0);
            playSoundEffect(SOUND_INFO_POPUP);
        } else if (pressed & BUTTON_CONFIRM) {
            playSoundEffect(SOUND_CONFIRM);
            if (m.actionCursor == 0) {
                sortBagByStats();
                openItemList(ITEM_LIST_BAG, 0);
                slotPointer();
            } else {
                m.pageMode = 0;
                setItemListEquipTarget(a, m.actionCursor - 1);
                openItemList(ITEM_LIST_BAG, 0);
                placeListCursor();
            }
        } else if (repeat & (BUTTON_UP | BUTTON_DOWN)) {
            int32_t step = (repeat & BUTTON_UP) ? EQUIP_ROWS - 1 : 1;
            m.actionCursor = (m.actionCursor + step) % EQUIP_ROWS;
            playSoundEffect(SOUND_CURSOR);
            slotPointer();
        }
        return;
    }
    int32_t slot = m.actionCursor - 1;
    int32_t result = handleItemListInput(1);
    if (result == ITEM_LIST_CANCELLED) {
        playSoundEffect(SOUND_CANCEL);
        m.pageMode = 1;
        setItemListEquipTarget(-1, -1);
        slotPointer();
    } else if (result == ITEM_LIST_CONFIRMED) {
        int32_t key = getSelectedListItemKey();
        if (key < 0 || (key & ITEM_KEY_UNIDENTIFIED) || !canEquip(a, slot, key)) {
            playSoundEffect(SOUND_REFUSED);
            clearListBusy();
        } else {
            playSoundEffect(SOUND_CONFIRM);
        }
    } else if (result == ITEM_LIST_CHOSEN) {
        int32_t key = getSelectedListItemKey();
        if (key >= 0 && !(key & ITEM_KEY_UNIDENTIFIED) && canEquip(a, slot, key)) {
            int32_t old = equipSlotKey(a, slot);
            equipSlotKey(a, slot) = key;
            replaceSelectedListItem(old);
            packBag();
            setItemListEquipTarget(-1, -1);
            openItemList(ITEM_LIST_BAG, 0);
        }
        m.pageMode = 1;
        slotPointer();
    }
}

// ---- Options ---------------------------------------------------------------

static float optionsPointerY(int32_t row) { return 168.0f + 40.0f * (float)row; }

static void updateOptionsPage() {
    FieldMenuState& m = gFieldMenu;
    if (m.optionsState == 2) {
        startSaveSlotWrite(-1);
        m.optionsState = 3;
    }
    if (m.optionsState == 3) {
        playSoundEffect(SOUND_CONFIRM);
        closePage();
        hidePointer();
        m.optionsState = 0;
        return;
    }
    uint16_t pressed = gInputState[0].pressed;
    uint16_t repeat = gInputState[0].repeat;
    if (pressed & (BUTTON_CONFIRM | BUTTON_CANCEL)) {
        hidePointer();
        m.optionsState = m.optionsState == 1 ? 2 : 3;
        return;
    }
    int32_t step = (repeat & BUTTON_LEFT) ? -1 : (repeat & BUTTON_RIGHT) ? 1 : 0;
    if (step != 0 && changeOptionSetting(m.optionsRow, step)) m.optionsState = 1;
    if (repeat & (BUTTON_UP | BUTTON_DOWN)) {
        int32_t rows = OPTION_ROW_TEXT_SKIP + 1;
        m.optionsRow = (m.optionsRow + ((repeat & BUTTON_UP) ? rows - 1 : 1)) % rows;
        playSoundEffect(SOUND_CURSOR);
        glidePointerTo(168.0f, optionsPointerY(m.optionsRow));
    }
}

// ---- Saving ----------------------------------------------------------------

// Where a game saved now resumes, and the bag a departure screen had packed.
static void prepareResumePoint(GameState& game) {
    for (int32_t& key : game.keptBag) key = ITEM_KEY_NONE;
    for (int32_t i = 0; i < KEPT_BAG2_USED; ++i) game.keptBag2[i] = ITEM_KEY_NONE;
    switch (interruptedMode()) {
    case GAME_MODE_FIELD: game.resumeLocation = onDungeonStage() ? 1 : 0; break;
    case GAME_MODE_GAME_OVER: game.resumeLocation = 2; break;
    case GAME_MODE_ENDING_SAVE: game.resumeLocation = 0; break;
    case GAME_MODE_MARKET: game.resumeLocation = gMarketMode == MARKET_MODE_GUILD ? 3 : 4; break;
    case GAME_MODE_DEPARTURE:
        game.resumeLocation = 1;
        for (int32_t i = 0; i < KEPT_BAG_SIZE; ++i) game.keptBag[i] = gBag[i];
        for (int32_t i = 0; i < KEPT_BAG2_USED; ++i) game.keptBag2[i] = gBag[KEPT_BAG_SIZE + i];
        break;
    default: game.resumeLocation = 1; break;
    }
}

// The game goes into the slot as it stands (in the dungeon: as it stood at
// the departure screen) with its resume point; the running game itself is
// left exactly as it was. A failed write leaves the slot as it was, in the
// file and in the image, and says so.
static void saveIntoSlot(int32_t slot) {
    playVoice(MENU_SAVE_VOICE);
    gLastSaveSlot = slot;
    static GameState previous;
    previous = gSaveImage.slots[slot];
    backupGameState(1);
    if (onDungeonStage()) restoreGameState(0);
    prepareResumePoint(runningGameState());
    bool written = writeSaveSlot(slot);
    restoreGameState(1);
    gFieldMenu.saveFailed = !written;
    if (!written) {
        gSaveImage.slots[slot] = previous;
        openMessageWindow(SAVE_FAILED);
    }
}

static void startSave() { gFieldMenu.saveCounter = 1; }

static int32_t cursorSlot() {
    int32_t p = std::clamp(gFieldMenu.slotCursor, 0, SAVE_SLOT_COUNT - 1);
    return gTitle.slotList[p];
}

void saveFromFieldMenu() {
    FieldMenuState& m = gFieldMenu;
    if (onDungeonStage() && m.noticeState != 2) {
        if (m.noticeState == 0) {
            openMessageWindow(DUNGEON_SAVE_NOTICE);
            m.noticeState = 1;
        } else if (updateMessageWindow() >= 0) {
            m.noticeState = 2;
        }
        return;
    }
    if (m.saveCounter > 0) {
        if (m.saveCounter == 1) saveIntoSlot(cursorSlot());
        if (++m.saveCounter > SAVE_TICKS) m.saveCounter = 0;
        return;
    }
    if (updateMessageWindow() == -1) return;
    if (m.pageMode) {
        int32_t answer = updateYesNoWindow(0);
        if (answer == 1) startSave();
        if (answer != -1 && answer != 0) m.pageMode = 0;
        return;
    }
    uint16_t pressed = gInputState[0].pressed;
    if (m.scrollByOne == 0 && m.scrollByThree == 0 && (pressed & BUTTON_CANCEL)) {
        playSoundEffect(SOUND_CANCEL);
        hidePointer();
        closePage();
        return;
    }
    if (m.scrollByOne == 0 && m.scrollByThree == 0 && (pressed & BUTTON_CONFIRM)) {
        playSoundEffect(SOUND_CONFIRM);
        if (gSaveImage.slots[cursorSlot()].playTicks == 0) {
            startSave();
        } else {
            openYesNoWindow(OVERWRITE_QUESTION, 1, 0);
            m.pageMode = 1;
        }
        return;
    }
    if (navigateSlotList(SlotListCursor{m.slotCursor, m.slotTop, m.scrollByOne, m.scrollByThree}, SAVE_SLOT_COUNT,
                         gInputState[0].repeat))
        playSoundEffect(SOUND_CURSOR);
}

void openSavePage() {
    FieldMenuState& m = gFieldMenu;
    openSaveList();
    m.pageOpen = 1;
    m.pageSlide = 1;
}

int32_t stepSavePage() {
    FieldMenuState& m = gFieldMenu;
    if (m.pageOpen && m.pageSlide < PAGE_SLIDE_MAX) ++m.pageSlide;
    else if (!m.pageOpen && m.pageSlide > 0) --m.pageSlide;
    if (m.pageOpen && m.pageSlide == PAGE_SLIDE_MAX) saveFromFieldMenu();
    return !m.pageOpen && m.pageSlide == 0;
}

// ---- Collection ------------------------------------------------------------

static void updateCollectionPage() {
    if (updateCollectionScreen() != 1) return;
    closePage();
    hidePointer();
}

// ---- One tick --------------------------------------------------------------

static void runPage() {
    switch (selectedEntry()) {
    case MENU_PARTY: updateFirstPage(); break;
    case MENU_ITEMS: updateItemUsePage(); break;
    case MENU_EQUIPMENT: updateEquipPage(); break;
    case MENU_COLLECTION: updateCollectionPage(); break;
    case MENU_OPTIONS: updateOptionsPage(); break;
    case MENU_SAVE: saveFromFieldMenu(); break;
    default: break;
    }
}

static void releaseInterruptedScene() {
    switch (interruptedMode()) {
    case GAME_MODE_MARKET: releaseMarketTextures(); break;
    case GAME_MODE_WORLD_MAP: releaseWorldMapTextures(); break;
    case GAME_MODE_FIELD: releaseFieldResources(); break;
    case GAME_MODE_DEPARTURE: releaseTextureGroup(TEXTURE_GROUP_PLACE); break;
    default: break;
    }
}

static void stepReturnToTitle() {
    FieldMenuState& m = gFieldMenu;
    if (m.exitConfirmed == 0) {
        if (m.exitStep == 1) openYesNoWindow(EXIT_QUESTION, 1, 0);
        ++m.exitStep;
        int32_t answer = updateYesNoWindow(1);
        if (answer == 1) {
            m.exitConfirmed = 1;
        } else if (answer == 2) {
            m.exitStep = 0;
            m.choiceCounter = 0;
        }
        return;
    }
    ++m.exitConfirmed;
    if (m.exitConfirmed == EXIT_FADE_AT) startFadeOut(FADE_KIND, FADE_TICKS);
    if (m.exitConfirmed <= EXIT_FADE_AT - 1 || !isFadeOutDone()) return;
    clearOverlayOpening();
    releaseInterruptedScene();
    releasePauseTextures();
    hideItemList();
    m.exitStep = 0;
    m.exitConfirmed = 0;
    gGameMode = GAME_MODE_TITLE;
    startSceneLoader();
    startFadeIn(FADE_KIND, FADE_TICKS);
}

void updateFieldMenu() {
    FieldMenuState& m = gFieldMenu;
    easeGauges();
    if (m.exitStep == 0) {
        if (m.pageSlide == 0) {
            updateMenuCursor();
        } else {
            if (m.pageOpen && m.pageSlide < PAGE_SLIDE_MAX) ++m.pageSlide;
            else if (!m.pageOpen) --m.pageSlide;
            if (m.pageOpen && m.pageSlide == PAGE_SLIDE_MAX) runPage();
        }
    } else {
        stepReturnToTitle();
    }
    updatePointer();
}

// ---- Drawing ---------------------------------------------------------------

static uint32_t argb(int32_t alpha, int32_t grey) {
    return (uint32_t)alpha << 24 | (uint32_t)grey << 16 | (uint32_t)grey << 8 | (uint32_t)grey;
}

static void drawEntryColumn() {
    const FieldMenuState& m = gFieldMenu;
    const TextureSlot& sheet = gPauseTextures[0];
    bindSpriteTexture(sheet);
    setSpriteColourOp(GFX_TOP_ADD);
    for (int32_t i = 0; i < m.entryCount; ++i) {
        bool chosen = i == m.menuCursor;
        if (!chosen && m.pageSlide > 7) continue;
        float x = 432.0f + 80.0f * (float)(i % 2);
        float y = 32.0f + (float)m.entrySpacing * (float)i;
        // Added to the label: black leaves it as drawn, the flash lights it.
        int32_t grey = 0;
        if (chosen) {
            float k = (float)m.pageSlide / (float)PAGE_SLIDE_MAX;
            x += (32.0f - x) * k;
            y += (-8.0f - y) * k;
            if (m.choiceCounter > 0) grey = (int32_t)(128.0f * std::sin(PI_F * (float)m.choiceCounter / 15.0f));
        }
        float left = (float)PAUSE_LABEL_LEFT + (chosen ? LABEL_WIDTH : 0.0f);
        float top = LABEL_ROW * (float)m.entryIds[i];
        addSpriteRect(x, y, LABEL_WIDTH, LABEL_HEIGHT, SpriteSource{left, top, left + LABEL_WIDTH, top + LABEL_HEIGHT}, sheet,
                      argb(255, std::clamp(grey, 0, 255)));
    }
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
    bindSpriteTexture(sheet);
    addSpriteRect(368.0f, 428.0f, 256.0f, 40.0f, FIXED_PLATE, sheet, 0xFFFFFFFF);
    flushSprites();
}

static void drawCalendarPanel() {
    const FieldMenuState& m = gFieldMenu;
    const GameState& game = runningGameState();
    float shift = -64.0f * (float)m.pageSlide;
    drawNumber(256.0f + shift, 28.0f, game.money, 0, 0xFFFFFFFF, 1);
    drawDayNumber(192.0f + shift, 64.0f, game.merchantLevel, 0xFFFFFFFF);
    int32_t span = game.levelExpNext - game.levelExpFloor;
    int32_t into = game.merchantExp - game.levelExpFloor;
    float bar = span > 0 ? 142.0f * (float)std::clamp(into, 0, span) / (float)span : 0.0f;
    setSpriteColourOp(GFX_TOP_MODULATE);
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(40.0f + shift, 92.0f, bar, 6.0f, SpriteSource{704.0f, 896.0f, 705.0f, 897.0f}, gItemWindowTexture,
                  0xFFFFD040);
    flushSprites();
    bindSpriteTexture(gCalendarTexture);
    addSpriteRect(shift, 100.0f, 380.0f, 380.0f, SpriteSource{0.0f, 0.0f, 380.0f, 380.0f}, gCalendarTexture, 0xFFFFFFFF);
    flushSprites();
    int32_t weekEnd = getWeekEndDay();
    if (weekEnd == 0) return;
    int32_t d = getDayInSeason(game);
    drawText(24.0f + 45.0f * (float)((d + 4) % 7) + shift, 132.0f + 48.0f * (float)((d + 4) / 7), "@", 0xFFFF4040, 1.0f);
    if (game.playMode == PLAY_MODE_ENDLESS) return;
    bool survival = game.playMode == PLAY_MODE_SURVIVAL;
    float px = 24.0f + 45.0f * (survival ? 3.0f : 4.0f) + shift;
    float py = 132.0f + 48.0f * (float)(weekEnd / 7 + (survival ? 1 : 0));
    drawText(px, py, "$", 0xFFFFD040, 1.0f);
    // The figure ends at the row's right edge, clear of the marker whatever
    // its number of digits (the digits are drawn leftward from x - 12.8).
    drawNumber(24.0f + 45.0f * 7.0f - 4.0f + 12.8f + shift, py, getQuota(), 0, 0xFFFFFFFF, 1);
}

static void drawPartyStatusPage(float x) {
    const FieldMenuState& m = gFieldMenu;
    if (gAvailableAdventurerCount <= 0) return;
    int32_t a = shownAdventurer();
    const GameState& game = runningGameState();
    const AdventurerRecord& r = game.adventurers[a];
    const TextureSlot& portrait = gPausePictures[ADVENTURER_PICTURE_COUNT + a];
    bindSpriteTexture(portrait);
    addSpriteRect(x, 0.0f, 480.0f, 480.0f, SpriteSource{0.0f, 0.0f, 512.0f, 512.0f}, portrait, 0xFFFFFFFF);
    flushSprites();
    drawText(x + 320.0f, 40.0f, ADVENTURER_NAMES[a].name, 0xFFFFFFFF, 1.23f);
    int32_t totals[ITEM_STAT_COUNT] = {};
    for (int32_t key : r.equipment) getItemStats(key, totals);
    const int32_t bases[ITEM_STAT_COUNT] = {r.attack, r.defence, r.magic, r.magicDefence};
    static const char* const STAT_LABELS[ITEM_STAT_COUNT] = {"Attack", "Defense", "Magic", "MDef"};
    char text[64];
    drawText(x + 320.0f, 90.0f, "Class", 0xFFC0C0C0, 0.8f);
    drawText(x + 420.0f, 90.0f, ADVENTURER_NAMES[a].className, 0xFFFFFFFF, 0.8f);
    const int32_t values[3] = {r.level + 1, r.adventures, r.defeats};
    static const char* const COUNT_LABELS[3] = {"Level", "Adventures", "Defeats"};
    for (int32_t i = 0; i < 3; ++i) {
        snprintf(text, sizeof text, "%d", values[i]);
        drawText(x + 320.0f, 116.0f + 26.0f * (float)i, COUNT_LABELS[i], 0xFFC0C0C0, 0.8f);
        drawText(x + 470.0f, 116.0f + 26.0f * (float)i, text, 0xFFFFFFFF, 0.8f);
    }
    for (int32_t i = 0; i < ITEM_STAT_COUNT; ++i) {
        snprintf(text, sizeof text, "%d", bases[i] + totals[i]);
        drawText(x + 320.0f, 200.0f + 26.0f * (float)i, STAT_LABELS[i], 0xFFC0C0C0, 0.8f);
        drawText(x + 470.0f, 200.0f + 26.0f * (float)i, text, 0xFFFFFFFF, 0.8f);
    }
    drawAdventurerPanel(x + 320.0f, 320.0f, a, 1);
    if (game.storyFlags[FLAG_ADVENTURER_CARD + a]) drawText(x + 320.0f, 400.0f, "True Card", 0xFFFFD040, 0.8f);
    if (m.detailShown) {
        const TextureSlot& controls = gPausePictures[a];
        bindSpriteTexture(controls);
        addSpriteRect(x, 0.0f, 640.0f, 480.0f, SpriteSource{0.0f, 0.0f, 640.0f, 480.0f}, controls, 0xFFFFFFFF);
        flushSprites();
    }
}

static void drawItemPage(float x) {
    const FieldMenuState& m = gFieldMenu;
    if (onDungeonStage()) {
        drawAdventurerPanel(x, 8.0f, chosenAdventurer(), 0);
        static const char* const ACTIONS[2] = {"Use", "Throw Away"};
        for (int32_t i = 0; i < 2; ++i) {
            bool chosen = m.pageMode && m.actionCursor == i;
            drawText(x + (chosen ? 32.0f : 16.0f), 80.0f + 56.0f * (float)i, ACTIONS[i], chosen ? 0xFFFFFFFF : 0xFF808080, 1.0f);
        }
    }
    drawItemListWindow(0.0f, 0.0f);
    drawItemMessagePanel(0.0f, 0.0f);
}

void drawStatCompare(float x, float y, int32_t slot, int32_t adventurer, int32_t itemKey) {
    if (adventurer < 0 || adventurer >= ADVENTURER_COUNT || slot < 0 || slot >= EQUIPMENT_SLOTS) return;
    const AdventurerRecord& r = runningGameState().adventurers[adventurer];
    int32_t worn[ITEM_STAT_COUNT] = {}, item[ITEM_STAT_COUNT] = {};
    getItemStats(r.equipment[slot], worn);
    getItemStats(itemKey, item);
    int32_t now[ITEM_STAT_COUNT] = {}, with[ITEM_STAT_COUNT] = {};
    for (int32_t key : r.equipment) getItemStats(key, now);
    for (int32_t i = 0; i < ITEM_STAT_COUNT; ++i) with[i] = now[i] - worn[i] + item[i];
    const int32_t bases[ITEM_STAT_COUNT] = {r.attack, r.defence, r.magic, r.magicDefence};
    static const char* const LABELS[ITEM_STAT_COUNT] = {"Attack", "Defense", "Magic", "MDef"};
    int32_t rows = 0;
    for (int32_t i = 0; i < ITEM_STAT_COUNT; ++i)
        if (worn[i] != 0 || item[i] != 0) ++rows;
    float step = rows >= 4 ? 15.0f : rows == 3 ? 20.0f : 24.0f;
    float scale = rows >= 4 ? 0.7f : 0.8f;
    bool candidate = itemKey >= 0 && !(itemKey & ITEM_KEY_UNIDENTIFIED) && canEquip(adventurer, slot, itemKey) &&
                     gFieldMenu.pageMode == 0;
    char text[16];
    float ry = y;
    for (int32_t i = 0; i < ITEM_STAT_COUNT; ++i) {
        if (worn[i] == 0 && item[i] == 0) continue;
        drawText(x, ry, LABELS[i], 0xFFFFFFFF, scale);
        snprintf(text, sizeof text, "%4d", bases[i] + now[i]);
        drawText(x + 80.0f, ry, text, 0xFFFFFFFF, scale);
        drawText(x + 130.0f, ry, "\x81\xa8", 0xFFFFFFFF, scale);
        if (candidate) {
            int32_t total = bases[i] + with[i];
            uint32_t colour = total > bases[i] + now[i]   ? 0xFFFF9B9B
                              : total < bases[i] + now[i] ? 0xFF9B9BFF
                                                          : 0xFFFFFFFF;
            snprintf(text, sizeof text, "%4d", total);
            drawText(x + 160.0f, ry, text, colour, scale);
        }
        ry += step;
    }
}

static void drawOptimumEquipButton(float x) {
    const FieldMenuState& m = gFieldMenu;
    const AdventurerRecord& r = runningGameState().adventurers[chosenAdventurer()];
    for (int32_t row = 0; row < EQUIP_ROWS; ++row) {
        bool active = m.pageMode && row == m.actionCursor;
        float px = x + (active ? 32.0f : 16.0f);
        float py = 64.0f + 36.0f * (float)row;
        bindSpriteTexture(gItemWindowTexture);
        addSpriteRect(px, py, 200.0f, 32.0f, SAVE_BAND, gItemWindowTexture, active ? 0xFFFFFFFF : 0xFF808080);
        flushSprites();
        if (row == 0) drawText(px + 40.0f, py + 6.0f, "Optimum Equipment", 0xFFFFFFFF, 0.8f);
        else drawItemListEntry(px + 8.0f, py, r.equipment[row - 1], 255);
    }
}

static void drawEquipPage(float x) {
    const FieldMenuState& m = gFieldMenu;
    drawOptimumEquipButton(x);
    if (m.actionCursor > 0) drawStatCompare(x + 16.0f, 300.0f, m.actionCursor - 1, chosenAdventurer(), getSelectedListItemKey());
    drawItemListWindow(0.0f, 0.0f);
    drawItemInfoPanel();
}

void drawSlotListPage() {
    const FieldMenuState& m = gFieldMenu;
    float x = 640.0f - 64.0f * (float)m.pageSlide;
    int32_t flash = std::clamp(m.saveCounter - 30, 0, 30);
    drawSaveSlotList(x, m.slotCursor, m.slotTop, m.scrollByThree, m.scrollByOne, flash);
    if (m.saveCounter <= 0) return;
    float width = 280.0f * (float)std::min(m.saveCounter, 30) / 30.0f;
    int32_t grey = m.saveCounter > 30 ? 127 + (int32_t)(128.0f * std::sin(PI_F * (float)(m.saveCounter - 30) / 30.0f)) : 255;
    int32_t alpha = m.saveCounter >= 53 ? std::clamp(1919 - 32 * m.saveCounter, 0, 255) : 255;
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(x + 180.0f, 96.0f + 140.0f * (float)(m.slotCursor - m.slotTop), width, 40.0f, SAVE_BAND, gItemWindowTexture,
                  argb(alpha, std::clamp(grey, 0, 255)));
    flushSprites();
}

static void drawOptionsPage() {
    float x = std::min(0.0f, 64.0f * (float)gFieldMenu.pageSlide - 640.0f);
    drawOptionsWindow(x, 48.0f, gFieldMenu.optionsRow, gFieldMenu.optionsState == 2);
}

static void drawPage() {
    float x = 640.0f - 64.0f * (float)gFieldMenu.pageSlide;
    switch (selectedEntry()) {
    case MENU_PARTY: drawPartyStatusPage(x); break;
    case MENU_ITEMS: drawItemPage(x); break;
    case MENU_EQUIPMENT: drawEquipPage(x); break;
    case MENU_COLLECTION: drawCollectionScreen(x, 0.0f); break;
    case MENU_OPTIONS: drawOptionsPage(); break;
    case MENU_SAVE: drawSlotListPage(); break;
    default: break;
    }
}

void drawFieldMenu() {
    const FieldMenuState& m = gFieldMenu;
    set2DRenderStates();
    int32_t alpha = 255;
    if (selectedEntry() == MENU_PARTY) alpha = std::max(0, 255 - 26 * m.pageSlide);
    bindSpriteTexture(gPauseTextures[1]);
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SpriteSource{0.0f, 0.0f, 640.0f, 480.0f}, gPauseTextures[1], argb(alpha, 255));
    flushSprites();
    drawEntryColumn();
    if (m.pageSlide < PAGE_SLIDE_MAX) drawCalendarPanel();
    if (m.pageSlide > 0) drawPage();
    drawYesNoWindow();
    drawPointer();
    drawMessageWindow();
}
