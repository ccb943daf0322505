#include "story/title.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/movie.h"
#include "engine/render_states.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "story/game_records.h"
#include "story/game_start.h"
#include "story/options_window.h"
#include "story/save_list.h"

TitleState gTitle;

constexpr float PI_F = std::numbers::pi_v<float>;
constexpr int32_t SCANNED_CLEARED = 1;
constexpr int32_t SCANNED_CARD = 2;
constexpr char NEW_GAME_PLUS_NOTICE[] = "Please choose a file for New Game+ data.";
static const char* const SURVIVAL_LABELS[2] = {"Survival Hell", "Normal Survival"};

// The pictures of the title set.
static TextureSlot& background() { return gScenePictures[0]; }
static TextureSlot& logo() { return gScenePictures[1]; }
static TextureSlot& menuSheet() { return gScenePictures[2]; }
static TextureSlot& frame() { return gScenePictures[3]; }

TitleMenuLayout titleMenuLayout(int32_t entryCount) {
    switch (entryCount) {
    case 8: return TitleMenuLayout{27.0f, -36.0f};
    case 7: return TitleMenuLayout{30.0f, -36.0f};
    case 6: return TitleMenuLayout{33.0f, -30.0f};
    default: return TitleMenuLayout{33.0f, -16.0f};
    }
}

int32_t titleMenuPictureCell(int32_t code) {
    static const int32_t CELLS[9] = {0, 1, 2, 3, 4, 0, 7, 6, 5};
    return code >= 0 && code < 9 ? CELLS[code] : 0;
}

int32_t titleEntryGrey(bool selected, int32_t choiceCounter, int32_t frameCounter) {
    if (!selected) return 95;
    int32_t grey = 159 + (int32_t)(128.0f * std::sin(PI_F * (float)choiceCounter / 15.0f)) +
                   (int32_t)(32.0f * std::sin(2.0f * PI_F * (float)(frameCounter % 45) / 45.0f));
    return grey > 255 ? 255 : grey;
}

int32_t titleIdleFadeAlpha(int32_t idleTicks) {
    if (idleTicks <= TITLE_IDLE_FADE_START) return 0;
    int32_t alpha = 9 * idleTicks - 63990;
    return alpha > 255 ? 255 : alpha;
}

int32_t scanClearedSlots() {
    int32_t found = 0;
    for (int32_t k = 0; k < SAVE_SLOT_COUNT; ++k) {
        gTitle.slotHasCard[k] = 0;
        const GameState& game = gSaveImage.slots[k];
        if (game.playTicks <= 0 || game.playMode != PLAY_MODE_ENDLESS) continue;
        found |= SCANNED_CLEARED;
        for (int32_t i = 0, count = storedEntryCount(game); i < count; ++i) {
            if (!isTrueCardKey(game.storage[i])) continue;
            found |= SCANNED_CARD;
            gTitle.slotHasCard[k] = 1;
        }
    }
    return found;
}

static bool anySlotPlayed() {
    for (const GameState& game : gSaveImage.slots)
        if (game.playTicks > 0) return true;
    return false;
}

void buildTitleMenu() {
    TitleState& t = gTitle;
    int32_t scanned = scanClearedSlots();
    int32_t n = 0;
    if (scanned & SCANNED_CLEARED) {
        t.menuCodes[n++] = TITLE_NEW_GAME_FIRST;
        t.menuCodes[n++] = TITLE_NEW_GAME_PLUS;
    } else {
        t.menuCodes[n++] = TITLE_NEW_GAME;
    }
    if (scanned == (SCANNED_CLEARED | SCANNED_CARD)) t.menuCodes[n++] = TITLE_SURVIVAL;
    if (anySlotPlayed()) {
        t.menuCursor = n;
        t.menuCodes[n++] = TITLE_LOAD;
    }
    t.menuCodes[n++] = TITLE_COLLECTION;
    if (gRecordsUnlocked || (scanned & SCANNED_CLEARED)) t.menuCodes[n++] = TITLE_RECORDS;
    t.menuCodes[n++] = TITLE_OPTIONS;
    t.menuCodes[n++] = TITLE_QUIT;
    t.menuCount = n;
    TitleMenuLayout layout = titleMenuLayout(n);
    gTitle.titleMenuSpacing = layout.spacing;
    gTitle.titleMenuOffset = layout.offset;
}

void enterTitleScreen() {
    TitleState& t = gTitle;
    cancelMessageWindow();
    t.windowClosing = 1;
    t.idleTicks = 0;
    t.startCounter = 0;
    t.windowOpen = 0;
    t.windowKind = 0;
    t.frameCounter = 0;
    t.rowCursor = 0;
    t.listTop = 0;
    t.scrollByOne = 0;
    t.scrollByThree = 0;
    t.menuCursor = 0;
    t.choiceCounter = 0;
    t.clearQuestionOpen = 0;
    t.noticePending = 0;
    t.survivalPopup = 0;
    t.survivalPopupClosing = 0;
    t.survivalChoice = 0;
    t.survivalChosenCounter = 0;
    t.optionsState = 0;
    buildTitleMenu();
    setPointerPosition(212.0f, 270.0f);
    hidePointer();
    clearForcedMusic();
}

bool isTitleIdle() { return gTitle.windowOpen == 0 && gTitle.choiceCounter == 0; }

int32_t getTitleMusicOverride() { return -1; }

static int32_t selectedCode() {
    const TitleState& t = gTitle;
    return t.menuCursor >= 0 && t.menuCursor < t.menuCount ? t.menuCodes[t.menuCursor] : TITLE_NEW_GAME;
}

static void openSubWindow(int32_t kind) {
    TitleState& t = gTitle;
    t.windowKind = kind;
    t.windowClosing = 0;
    t.rowCursor = 0;
    t.listTop = 0;
}

static void closeSubWindow() {
    gTitle.choiceCounter = 0;
    gTitle.windowClosing = 1;
}

// The chooser over the cleared games with a card, for New Game+ and Survival;
// the notice opens over it.
static void openCardSlotChooser() {
    TitleState& t = gTitle;
    t.cardListMode = 1;
    listClearDataSlots();
    t.rowCursor = 0;
    t.listTop = 0;
    t.noticePending = 1;
    gTitle.newGameChosen = 0;
    t.windowKind = TITLE_WINDOW_SLOTS;
    t.windowClosing = 0;
}

static void openLoadSlotChooser() {
    TitleState& t = gTitle;
    t.cardListMode = 0;
    listAllSaveSlots();
    t.noticePending = 0;
    // The header may hold any value: the cursor stays on the list.
    int32_t last = std::clamp(gLastSaveSlot, 0, SAVE_SLOT_COUNT - 1);
    t.rowCursor = last;
    t.listTop = std::max(last - 2, 0);
    gTitle.newGameChosen = 0;
    t.windowKind = TITLE_WINDOW_SLOTS;
    t.windowClosing = 0;
}

static void runChosenEntry() {
    TitleState& t = gTitle;
    switch (selectedCode()) {
    case TITLE_QUIT: {
        t.quitChosen = 1;
        WindowEvent close = {};
        close.kind = WINDOW_EVENT_CLOSE;
        windowPostEvent(close);
        break;
    }
    case TITLE_NEW_GAME:
    case TITLE_NEW_GAME_FIRST:
        t.startCounter = 1;
        gTitle.newGameChosen = 1;
        break;
    case TITLE_OPTIONS:
        openSubWindow(TITLE_WINDOW_OPTIONS);
        setPointerPosition(168.0f, 168.0f);
        break;
    case TITLE_RECORDS:
        openSubWindow(TITLE_WINDOW_RECORDS);
        break;
    case TITLE_SURVIVAL:
        t.survivalPopup = 1;
        t.survivalChoice = 0;
        setPointerPosition(170.0f, 272.0f);
        break;
    case TITLE_NEW_GAME_PLUS:
        openCardSlotChooser();
        break;
    case TITLE_COLLECTION:
        openSubWindow(TITLE_WINDOW_COLLECTION);
        showPointer();
        buildCollection(1);
        break;
    default:
        openLoadSlotChooser();
        break;
    }
}

static void updateMainMenu() {
    TitleState& t = gTitle;
    if (t.choiceCounter > 0) {
        if (t.choiceCounter < TITLE_CHOICE_TICKS && ++t.choiceCounter == TITLE_CHOICE_TICKS) runChosenEntry();
        return;
    }
    // Only ticks on the bare menu count; cursor moves do not hold the movie back.
    ++t.idleTicks;
    if (t.idleTicks < TITLE_IDLE_INPUT_END) {
        uint16_t pressed = gInputState[0].pressed;
        uint16_t repeat = gInputState[0].repeat;
        if (pressed & BUTTON_CONFIRM) {
            t.choiceCounter = 1;
            playSoundEffect(SOUND_CONFIRM);
        } else if (repeat & BUTTON_UP) {
            t.menuCursor = (t.menuCursor + t.menuCount - 1) % t.menuCount;
            playSoundEffect(SOUND_CURSOR);
        } else if (repeat & BUTTON_DOWN) {
            t.menuCursor = (t.menuCursor + 1) % t.menuCount;
            playSoundEffect(SOUND_CURSOR);
        }
    }
    if (t.idleTicks == TITLE_IDLE_MOVIE && !playMovie(TITLE_MOVIE_FILE)) {
        // No movie: the title music starts again and the wait starts over.
        gCurrentTrack = -1;
        t.idleTicks = 0;
    }
}

static void updateSurvivalPopup() {
    TitleState& t = gTitle;
    if (t.survivalChosenCounter > 0) {
        hidePointer();
        if (++t.survivalChosenCounter == TITLE_CHOICE_TICKS) {
            t.survivalChosenCounter = 0;
            openCardSlotChooser();
        }
        return;
    }
    if (t.survivalPopupClosing == 0) {
        if (++t.survivalPopup <= TITLE_SURVIVAL_POPUP_OPEN) return;
        t.survivalPopup = TITLE_SURVIVAL_POPUP_OPEN;
        showPointer();
        uint16_t pressed = gInputState[0].pressed;
        if (pressed & BUTTON_CANCEL) {
            playSoundEffect(SOUND_CANCEL);
            t.survivalPopupClosing = 1;
            hidePointer();
        } else if (pressed & BUTTON_CONFIRM) {
            playSoundEffect(SOUND_CONFIRM);
            t.survivalChosenCounter = 1;
            hidePointer();
        } else if (pressed & (BUTTON_UP | BUTTON_DOWN)) {
            t.survivalChoice ^= 1;
            playSoundEffect(SOUND_CURSOR);
            glidePointerTo(170.0f, 272.0f + 36.0f * (float)t.survivalChoice);
        }
        return;
    }
    if (--t.survivalPopup <= 0) {
        t.survivalPopup = 0;
        t.survivalPopupClosing = 0;
        closeSubWindow();
    }
}

// Confirm in the slot chooser. A card list admits only cleared games holding
// a True Card, and an empty list admits nothing.
static void chooseSlot() {
    TitleState& t = gTitle;
    int32_t slot = t.rowCursor >= 0 && t.rowCursor < gSlotListCount ? t.slotList[t.rowCursor] : -1;
    bool qualifies = false;
    if (slot >= 0 && slot < SAVE_SLOT_COUNT)
        qualifies = t.cardListMode ? isCardSlot(slot) : gSaveImage.slots[slot].playTicks > 0;
    if (!qualifies) {
        playSoundEffect(SOUND_REFUSED);
        return;
    }
    loadSlot(slot);
    t.startCounter = 1;
    playSoundEffect(SOUND_CONFIRM);
    gLastSaveSlot = slot;
}

static void updateSlotChooser() {
    TitleState& t = gTitle;
    if (t.noticePending) {
        t.noticePending = 0;
        openMessageWindow(NEW_GAME_PLUS_NOTICE);
    }
    uint16_t pressed = gInputState[0].pressed;
    if (pressed & BUTTON_CANCEL) {
        playSoundEffect(SOUND_CANCEL);
        closeSubWindow();
    } else if (pressed & BUTTON_CONFIRM) {
        chooseSlot();
    } else if (navigateSlotList(SlotListCursor{t.rowCursor, t.listTop, t.scrollByOne, t.scrollByThree}, gSlotListCount,
                                gInputState[0].repeat)) {
        playSoundEffect(SOUND_CURSOR);
    }
}

static void updateOpenWindow() {
    switch (gTitle.windowKind) {
    case TITLE_WINDOW_SLOTS: updateSlotChooser(); break;
    case TITLE_WINDOW_OPTIONS: updateTitleOptions(); break;
    case TITLE_WINDOW_COLLECTION:
        if (updateCollectionScreen()) {
            closeSubWindow();
            hidePointer();
        }
        break;
    case TITLE_WINDOW_RECORDS:
        if (gInputState[0].pressed & (BUTTON_CONFIRM | BUTTON_CANCEL)) {
            playSoundEffect(SOUND_CONFIRM);
            closeSubWindow();
        }
        break;
    default: break;
    }
}

// The options window is left on the tick after its choice: the header is
// written first when a setting changed.
static void leaveOptions() {
    TitleState& t = gTitle;
    if (t.optionsState == 2) startSaveSlotWrite(-1);
    closeSubWindow();
    hidePointer();
    buildTitleMenu();
    for (int32_t i = 0; i < t.menuCount; ++i)
        if (t.menuCodes[i] == TITLE_OPTIONS) t.menuCursor = i;
    t.optionsState = 0;
}

void updateTitleScreen() {
    TitleState& t = gTitle;
    if (updateMessageWindow() == -1) return;
    if (t.optionsState == 2 || t.optionsState == 3) leaveOptions();
    if (t.startCounter > 0) {
        stepGameStart();
    } else {
        if (t.windowClosing == 1) {
            if (t.windowOpen > 0) --t.windowOpen;
        } else if (t.windowOpen < TITLE_WINDOW_SLIDE) {
            ++t.windowOpen;
        }
        if (t.windowOpen == TITLE_WINDOW_SLIDE) updateOpenWindow();
        else if (t.survivalPopup > 0) {
            if (t.windowOpen == 0) updateSurvivalPopup();
        } else if (t.windowOpen == 0) {
            updateMainMenu();
        }
    }
    ++t.frameCounter;
    updatePointer();
}

// ---- Drawing ----

static SpriteSource labelCell(int32_t code) {
    return SpriteSource{224.0f, 32.0f * (float)code, 384.0f, 32.0f * (float)code + 32.0f};
}

static void drawBackdrop(float slide) {
    const TitleState& t = gTitle;
    // The view climbs to the top of the picture while the title waits.
    float top = 360.0f - 360.0f * (float)t.idleTicks / (float)TITLE_IDLE_MOVIE;
    bindSpriteTexture(background());
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SpriteSource{0.0f, top, 640.0f, top + 480.0f}, background(), 0xFFFFFFFF);
    flushSprites();
    bindSpriteTexture(frame());
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SpriteSource{0.0f, 0.0f, 640.0f, 480.0f}, frame(), 0xFFFFFFFF);
    flushSprites();
    bindSpriteTexture(menuSheet());
    addSpriteRect(112.0f, 448.0f, 416.0f, 32.0f, SpriteSource{0.0f, 992.0f, 416.0f, 1024.0f}, menuSheet(), 0xFFFFFFFF);
    flushSprites();
    bindSpriteTexture(logo());
    addSpriteRect(64.0f + slide, 0.0f, 512.0f, 256.0f, SpriteSource{0.0f, 0.0f, 512.0f, 256.0f}, logo(), 0xFFFFFFFF);
    flushSprites();
}

static void drawMenuEntries(float slide) {
    const TitleState& t = gTitle;
    bindSpriteTexture(menuSheet());
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    for (int32_t i = 0; i < t.menuCount; ++i) {
        bool selected = i == t.menuCursor;
        float s = selected ? 1.0f : 0.8f;
        float y = (float)i * gTitle.titleMenuSpacing + gTitle.titleMenuOffset + 288.0f - 16.0f * s;
        addSpriteRect(320.0f + slide - 80.0f * s, y, 160.0f * s, 32.0f * s, labelCell(t.menuCodes[i]), menuSheet(),
             greyArgb(255, titleEntryGrey(selected, t.choiceCounter, t.frameCounter)));
    }
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
    if (t.menuCursor < 0 || t.menuCursor >= t.menuCount) return;
    float yc = (float)t.menuCursor * gTitle.titleMenuSpacing + gTitle.titleMenuOffset + 288.0f;
    int32_t cell = titleMenuPictureCell(t.menuCodes[t.menuCursor]);
    float cellX = 224.0f * (float)(cell / 4);
    float cellY = 336.0f + 128.0f * (float)(cell % 4);
    addSpriteRect(32.0f + slide, yc - 72.0f, 224.0f, 112.0f, SpriteSource{0.0f, 0.0f, 224.0f, 112.0f}, menuSheet(), 0xFFFFFFFF);
    addSpriteRect(32.0f + slide, yc - 72.0f, 224.0f, 128.0f, SpriteSource{cellX, cellY, cellX + 224.0f, cellY + 128.0f}, menuSheet(),
         0xFFFFFFFF);
    addSpriteRect(224.0f + slide, yc + 8.0f, 192.0f, 16.0f, SpriteSource{0.0f, 144.0f, 192.0f, 160.0f}, menuSheet(), 0xFFFFFFFF);
    flushSprites();
}

static void drawSurvivalPopup(float slide) {
    const TitleState& t = gTitle;
    float k = (float)t.survivalPopup / (float)TITLE_SURVIVAL_POPUP_OPEN;
    float cx = 320.0f + slide;
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    bindSpriteTexture(gSaveWindowTexture);
    addSpriteRect(cx - 256.0f * k, 288.0f - 64.0f * k, 512.0f * k, 128.0f * k, SpriteSource{0.0f, 0.0f, 512.0f, 128.0f},
         gSaveWindowTexture, greyArgb(255, 127));
    flushSprites();
    int32_t alpha = (int32_t)(255.0f * k);
    int32_t chosen = 127 + (int32_t)(64.0f * std::sin(PI_F * (float)t.survivalChosenCounter / 15.0f));
    for (int32_t i = 0; i < 2; ++i)
        drawTextCentered(cx, 264.0f + 32.0f * (float)i, SURVIVAL_LABELS[i], greyArgb(alpha, i == t.survivalChoice ? chosen : 96),
                         1.0f);
    setSpriteColourOp(GFX_TOP_MODULATE);
}

// The header plate of a sub-window with the label cell of its menu entry.
static void drawWindowHeader(float x, float y, int32_t code) {
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(x + 200.0f, y, 240.0f, 80.0f, SpriteSource{448.0f, 816.0f, 688.0f, 896.0f}, gItemWindowTexture, 0xFFFFFFFF);
    flushSprites();
    bindSpriteTexture(menuSheet());
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    addSpriteRect(x + 240.0f, y + 20.0f, 160.0f, 32.0f, labelCell(code), menuSheet(), greyArgb(255, 127));
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
}

static void drawSubWindow() {
    const TitleState& t = gTitle;
    float x = 640.0f - 64.0f * (float)t.windowOpen;
    switch (t.windowKind) {
    case TITLE_WINDOW_SLOTS:
        drawSaveSlotList(x, t.rowCursor, t.listTop, t.scrollByThree, t.scrollByOne, t.startCounter);
        drawWindowHeader(x, 0.0f, TITLE_LOAD);
        break;
    case TITLE_WINDOW_OPTIONS:
        drawOptionsWindow(x, 48.0f, t.rowCursor, t.optionsState == 2);
        drawWindowHeader(x, 48.0f, TITLE_OPTIONS);
        break;
    case TITLE_WINDOW_COLLECTION:
        drawCollectionScreen(x, 0.0f);
        break;
    case TITLE_WINDOW_RECORDS:
        drawRecordsWindow(x, 48.0f);
        drawWindowHeader(x, 48.0f, TITLE_RECORDS);
        break;
    default: break;
    }
}

static void drawIdleFade() {
    int32_t alpha = titleIdleFadeAlpha(gTitle.idleTicks);
    if (alpha <= 0) return;
    bindSpriteTexture(gSystemTexture);
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SpriteSource{0.0f, 0.0f, 7.0f, 7.0f}, gSystemTexture, greyArgb(alpha, 255));
    flushSprites();
}

void drawTitleScreen() {
    const TitleState& t = gTitle;
    float slide = -64.0f * (float)t.windowOpen;
    if (gGfxDevice) gGfxDevice->clear(GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    set2DRenderStates();
    drawBackdrop(slide);
    drawMenuEntries(slide);
    if (t.survivalPopup > 0) drawSurvivalPopup(slide);
    if (t.windowOpen > 0) drawSubWindow();
    drawYesNoWindow();
    drawPointer();
    drawMessageWindow();
    drawIdleFade();
}

void resetTitleState() {
    gTitle = TitleState{};
}
