#include "adventurers/shop_floor.h"
#include "engine/math.h"

#include <cmath>

#include "adventurers/adventurers_files.h"
#include "adventurers/balloon.h"
#include "adventurers/dungeon_control.h"
#include "adventurers/motion.h"
#include "adventurers/party.h"
#include "adventurers/shop_floor_steps.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/config_index.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field_state.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/story.h"

ShopFloorState gShopFloor;

namespace {

constexpr int32_t MENU_SLIDE_MAX = 12;
constexpr int32_t TALK_COUNTDOWN = 20;
constexpr int32_t PROMPT_FADE_MAX = 10;
constexpr int32_t MORNING_HOLD_TICKS = 192;
constexpr int32_t MORNING_GREETING_TICKS = 200;
constexpr int32_t NIGHT_TALK_END = 160;
constexpr int32_t LAST_PHASE = 3;
constexpr int32_t NEWS_TICKER_SOUND_AT = 30;

enum PromptKind : int32_t {
    PROMPT_COUNTER = 0,
    PROMPT_TALK = 1,
    PROMPT_DOOR = 7,
};

struct EntrancePoint {
    float x;
    float z;
};
// [entrance][shop size]: 0 the door, 1 inside.
constexpr EntrancePoint SHOP_ENTRANCES[2][SHOP_SIZE_COUNT] = {
    {{-0.3f, 9.35f}, {-0.3f, 9.35f}, {-0.25f, 9.5f}, {10.7f, 17.0f}},
    {{2.0f, -3.24f}, {5.0f, -5.67f}, {5.0f, -5.67f}, {5.0f, -5.67f}},
};


// The night talk: the heroine's line, when her balloon closes, the fairy's answer.
struct NightTalk {
    int32_t heroineBalloon;
    const char* heroineVoice;
    int32_t closeAt;
    int32_t fairyAt;
    int32_t fairyBalloon;
    const char* fairyVoice;
};
constexpr NightTalk NIGHT_TALKS[3] = {
    {300, NIGHT_HEROINE_VOICES[0], 79, 90, 301, NIGHT_FAIRY_VOICES[0]},
    {302, NIGHT_HEROINE_VOICES[1], 79, 90, 303, NIGHT_FAIRY_VOICES[1]},
    {304, NIGHT_HEROINE_VOICES[2], 69, 80, 305, NIGHT_FAIRY_VOICES[2]},
};

int32_t stageCodeHere() {
    bool known = gStageIndex >= 0 && gStageIndex < gStageCount;
    return known ? gStages[gStageIndex].stageCode : 0;
}

float wrapAngle(float a) {
    while (a > PI) a -= 2.0f * PI;
    while (a < -PI) a += 2.0f * PI;
    return a;
}

bool isMorning() { return gShopSequence == SHOP_SEQUENCE_MORNING; }

// The front-row cells that sparkle when stocked.
constexpr int32_t SPARKLE_CELLS[] = {1, 2, 3, 4, 11, 12, 13};

void sparkleFrontRow() {
    const GameState& game = runningGameState();
    for (int32_t x : SPARKLE_CELLS) {
        int32_t shelf = findShelfAt(x, 0);
        if (shelf >= 0 && game.vendingModes[shelf] != 0) continue;
        if (game.shelves[0][x] == ITEM_KEY_NONE) continue;
        float px = (float)(2 * x - 9) + randomUnit() - 0.5f;
        float py = 2.0f + randomUnit();
        float pz = -7.0f + randomUnit() - 0.5f;
        spawnEffect(nullptr, px, py, pz, 59, 0.3f, EFFECT_LIFETIME_DEFAULT, 0.0f, 0);
    }
}

void stepMenuSlides() {
    bool menuShown = gShopFloor.shopFloorState == SHOP_FLOOR_MENU || gShopFloor.shopFloorState == SHOP_FLOOR_MENU_CHOSEN ||
                     gShopFloor.shopFloorState == SHOP_FLOOR_FAIRY_MENU || gShopFloor.shopFloorState == SHOP_FLOOR_FAIRY_CHOSEN ||
                     gShopFloor.shopFloorState == SHOP_FLOOR_LECTURES;
    if (menuShown && gShopFloor.shopMenuSlide < MENU_SLIDE_MAX) gShopFloor.shopMenuSlide++;
    if (!menuShown && gShopFloor.shopMenuSlide > 0) gShopFloor.shopMenuSlide--;
    bool lectures = gShopFloor.shopFloorState == SHOP_FLOOR_LECTURES;
    if (lectures && gShopFloor.lectureMenuSlide < MENU_SLIDE_MAX) gShopFloor.lectureMenuSlide++;
    if (!lectures && gShopFloor.lectureMenuSlide > 0) gShopFloor.lectureMenuSlide--;
}

void playMorningVoices() {
    if (gFieldTicks == 1) {
        if (gShopSequence == SHOP_SEQUENCE_FROM_TOWN) {
            playSoundEffect(336);
            playVoice(BACK_FROM_TOWN_VOICE);
        }
        if (isMorning()) gShopFloor.morningGreeting ^= 1;
    }
    if (!isMorning()) return;
    if (gShopFloor.morningGreeting) {
        if (gFieldTicks == 50) playVoice(MORNING_VOICES[0]);
        if (gFieldTicks == 110) playVoice(MORNING_VOICES[1]);
    } else {
        if (gFieldTicks == 50) playVoice(MORNING_VOICES[2]);
        if (gFieldTicks == 150) playVoice(MORNING_VOICES[3]);
    }
}

void endSteps(bool followers) {
    updateStatusOfPlayer();
    if (followers) moveFollowers();
    clampShopBounds();
    showActorMessage();
}

// Step 10: back from a town place, the day moves on a phase.
void returnFromTownPlace() {
    GameState& game = runningGameState();
    game.townVisited = 0;
    game.dayPhase++;
    if (game.date >= 9 && randomInt() % 5 == 0) {
        advanceMarketDay();
        startNewsBanner();
    }
    clearPlaceEventFlags();
    if (game.dayPhase > LAST_PHASE) {
        game.dayPhase = 4;
        gGameMode = GAME_MODE_FIELD;
        game.departedFlag = 0;
        gShopDayPhase = 1;
        enterShop();
    }
}

void stepNightTalk() {
    if (!(gShopSequence == SHOP_SEQUENCE_FROM_TOWN && gFieldTicks <= 199)) gShopDayPhase++;
    if (gShopDayPhase == 2) gShopFloor.nightTalkVariant = (gShopFloor.nightTalkVariant + 1) % 3;
    const NightTalk& talk = NIGHT_TALKS[gShopFloor.nightTalkVariant >= 0 && gShopFloor.nightTalkVariant < 3 ? gShopFloor.nightTalkVariant : 0];
    if (gShopDayPhase == 10) {
        setBalloon(talk.heroineBalloon, 0, 0, 1, 100);
        playVoice(talk.heroineVoice);
    }
    if (gShopDayPhase == talk.closeAt) closeShopBalloon();
    if (gShopDayPhase == talk.fairyAt) {
        setBalloon(talk.fairyBalloon, 0, 2, 0, -1);
        playVoice(talk.fairyVoice);
    }
    if (gShopDayPhase >= NIGHT_TALK_END) {
        openResultsScreen();
        gShopDayPhase = 0;
        gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
        closeShopBalloon();
    }
}

// Steps 4 and 5: the camera pans over the shop while a story scene waits.
void panShopCamera(bool atOnce) {
    float goalZ = 4.0f - 0.05f * (float)gFieldTicks;
    if (goalZ < -9.0f) goalZ = -9.0f;
    gFieldCamera.cameraMode = CAMERA_SCRIPTED;
    if (atOnce) {
        gFieldCamera.cameraTarget.x = -4.0f;
        gFieldCamera.cameraTarget.z = goalZ;
    }
    placeShopCamera(-4.0f, goalZ, 0.3f);
}

void stepEventPan() {
    gFieldTicks++;
    updateStreetCrowd();
    updateStatusOfPlayer();
    clampShopBounds();
    panShopCamera(false);
    if (gFieldTicks == 301) startFadeOut(0, 17);
    if (gFieldTicks > 301 && isFadeOutDone()) {
        startFadeIn(0, 17);
        setStoryFlag(FLAG_EVENT_9_1_DUE, 0);
        gFieldCamera.cameraMode = CAMERA_FOLLOW;
    }
}

void stepLeaveForDungeon() {
    gFieldTicks++;
    gFieldCamera.cameraReset = 1;
    for (int32_t& model : gParty.models) model = -1;
    panShopCamera(gFieldTicks == 1);
    if (gFieldTicks == 301) requestEvent(10, 6, 1);
    if (gFieldTicks == 302) startFadeOut(0, 80);
    if (gFieldTicks > 302 && isFadeOutDone()) {
        startFadeIn(0, 17);
        releaseFieldResources();
        selectDungeonStage();
        startSceneLoader();
        setStoryFlag(FLAG_STANDING_WALKER, 0);
        setStoryFlag(FLAG_DUNGEON_SCENE, 1);
    }
}

// Step 6: from date 9 the news ticker counts while it runs (its sound once
// it is in, when there is news), and a new morning restocks the market and
// moves it on a day.
void stepMarketMorning() {
    GameState& game = runningGameState();
    if (game.date < 9) return;
    int32_t& ticker = gConditionBanner.counter;
    if (ticker > 0 && ++ticker == NEWS_TICKER_SOUND_AT && game.newsCount > 0) playSoundEffect(SOUND_CONDITION_BANNER);
    if (!isMorning()) return;
    if (gFieldTicks == 0) {
        restockMarket(RESTOCK_DAILY);
        if (game.playMode != PLAY_MODE_SURVIVAL && game.date == 9) setStoryFlag(FLAG_EVENT_0_8_DUE, 1);
        advanceMarketDay();
    }
    if (gFieldTicks == 191) startNewsBanner();
}

struct Prompts {
    bool door;
    bool counter;
};

Prompts evaluatePrompts() {
    const Vector3& at = gParty.positions[0];
    int32_t code = stageCodeHere();
    int32_t size = shopLayoutIndex(runningGameState());
    Prompts p{false, false};
    float doorX = code == 0 ? 3.0f : code <= 4 ? 6.0f : 6.0f;
    float doorZ = code == 0 ? -3.4f : code <= 4 ? -6.7f : -6.8f;
    float doorHeading = code >= 1 && code <= 4 ? -PI : PI / 2.0f;
    float dx = at.x - doorX, dz = at.z - doorZ;
    bool nearDoor = std::sqrt(dx * dx + dz * dz) <= 1.8f;
    bool facingDoor = std::fabs(wrapAngle(gParty.facing - doorHeading)) <= PI / 10.0f;
    bool through = code == 0 ? at.x > 2.895f : at.z < -6.7f;
    p.door = nearDoor && !storyFlag(FLAG_DOOR_CLOSED) && facingDoor && through;
    float c = size == 3 ? 10.7f : 0.0f;
    float d = size == 3 ? 15.0f : 6.9f;
    p.counter = at.x > c - 5.0f && at.x < c && at.z > d && storyFlag(FLAG_SHELVES_FULL) && gParty.facing > -0.6f * PI &&
                gParty.facing < -0.4f * PI;
    // The talk prompt: the fairy near and ahead.
    bool talk = false;
    if (storyFlag(FLAG_FAIRY_TALK) && !storyFlag(FLAG_DOOR_CLOSED)) {
        const Vector3& fairy = gParty.positions[2];
        float fx = fairy.x - at.x, fz = fairy.z - at.z;
        float bearingGap = std::fabs(std::atan2(fx, fz) - gParty.facing);
        talk = std::sqrt(fx * fx + fz * fz) < 2.0f && (bearingGap < 0.2f * PI || bearingGap > 1.8f * PI);
    }
    if (talk) {
        gShopFloor.shopActionTimer[0] = TALK_COUNTDOWN;
    } else {
        if (gShopFloor.shopActionTimer[0] > 0) gShopFloor.shopActionTimer[0]--;
        gShopFloor.shopActionTimer[1] = 0;
    }
    if (gShopFloor.shopActionTimer[1]) gShopFloor.shopActionTimer[0] = 0;
    return p;
}

void showPrompt(bool shown, int32_t kind) {
    if (shown) {
        gParty.promptKind = kind;
        if (gParty.promptFade < PROMPT_FADE_MAX) gParty.promptFade++;
    } else if (gParty.promptFade > 0) {
        gParty.promptFade--;
    }
}

void probeShelfInFront() {
    if (storyFlag(FLAG_SHELF_LESSON)) findShelfInFront();
    else gShopPlacement.placementCell = {-1, -1};
}

void leaveThroughDoor() {
    gShopFloor.leavingShop = 1;
    startFadeOut(0, 17);
    gParty.promptKind = 0;
    gParty.promptFade = 0;
    if (!storyFlag(FLAG_LEFT_SHOP)) {
        setStoryFlag(FLAG_LEFT_SHOP, 1);
        setStoryFlag(FLAG_FIRST_OUTING, 1);
        setStoryFlag(FLAG_DOOR_CLOSED, 1);
        playVoice(FIRST_OUTING_VOICE);
    }
    playSoundEffect(336);
}

void talkToFairy() {
    gParty.actionState = 14;
    setMotion(gParty.motions[0], 6);
    gShopFloor.shopActionTimer[0] = 0;
    gParty.promptKind = 0;
    gParty.promptFade = 0;
    gShopFloor.shopFloorState = SHOP_FLOOR_FAIRY_MENU;
    gShopFloor.shopActionTimer[1] = 1;
    startShopDayMessages();
    gShopFloor.shopMenuCursor[0] = gShopFloor.shopMenuCursor[1] = 0;
    playRandomVoice(FAIRY_ASKS_VOICES, 2);
    setBalloon(3, 0, 2, 0, -1);
}

void goToCounter() {
    if (!storyFlag(FLAG_COUNTER_LESSONS)) {
        gShopFloor.shopFloorState = SHOP_FLOOR_MENU;
        gShopFloor.shopMenuCursor[0] = gShopFloor.shopMenuCursor[1] = 0;
        startShopDayMessages();
        playVoice(COUNTER_CLOSED_VOICE);
        playSoundEffect(372);
        return;
    }
    setStoryFlag(FLAG_STORY_TUTORIAL, 1);
    setTutorialLesson(0);
    openShopDay();
}

// The key on the probed cell when it is an ordinary shelf's; -2 none.
constexpr int32_t NO_SHELF = -2;
int32_t ordinaryShelfCellKey(int32_t* shelfOut) {
    *shelfOut = -1;
    if (gShopPlacement.placementCell.x < 0 || !storyFlag(FLAG_SHELF_LESSON) || storyFlag(FLAG_COUNTER_LESSONS_DONE)) return NO_SHELF;
    if (!isInShopGrid(gShopPlacement.placementCell.x, gShopPlacement.placementCell.z)) return NO_SHELF;
    int32_t shelf = findShelfAt(gShopPlacement.placementCell.x, gShopPlacement.placementCell.z);
    *shelfOut = shelf;
    const GameState& game = runningGameState();
    if (shelf >= 0 && game.vendingModes[shelf] != 0) return NO_SHELF;
    return game.shelves[gShopPlacement.placementCell.z][gShopPlacement.placementCell.x];
}

// Walking, free (edit mode 0).
void walkFree() {
    const uint16_t pressed = shopPressed();
    bool morningHold = isMorning() && gFieldTicks < MORNING_GREETING_TICKS;
    bool townHold = gShopSequence == SHOP_SEQUENCE_FROM_TOWN && gFieldTicks < 60;
    Prompts prompts{false, false};
    if (morningHold || townHold || gParty.actionState != 0) {
        if (townHold) {
            setMotion(gParty.motions[0], 0);
            setMotion(gParty.motions[2], 0);
            moveFollowers();
        }
        showPrompt(gShopFloor.shopActionTimer[0] > 0, PROMPT_TALK);
    } else {
        prompts = evaluatePrompts();
        bool talk = gShopFloor.shopActionTimer[0] > 0;
        if (prompts.door) showPrompt(true, PROMPT_DOOR);
        else if (prompts.counter) showPrompt(true, talk ? PROMPT_TALK : PROMPT_COUNTER);
        else showPrompt(talk, PROMPT_TALK);
    }
    if (morningHold) {
        faceFairy();
        setMotion(gParty.motions[0], 6);
        moveFollowers();
        return;
    }
    if (gShopSequence == SHOP_SEQUENCE_FROM_TOWN && gFieldTicks < 45) return;
    if (gParty.actionState != 0) {
        updateDungeonPlayer();
        probeShelfInFront();
        return;
    }
    int32_t shelf = -1;
    int32_t cellKey = ordinaryShelfCellKey(&shelf);
    if ((pressed & BUTTON_SUB) && !prompts.door && !prompts.counter && cellKey >= 0) {
        listAvailableAdventurers();
        gShopFloor.shopFloorState = SHOP_FLOOR_ITEM_INFO;
        showItemInfo(cellKey);
        openItemInfo(2);
        playSoundEffect(710);
        return;
    }
    if (pressed & BUTTON_CONFIRM) {
        if (prompts.door) {
            leaveThroughDoor();
            return;
        }
        if (gShopFloor.shopActionTimer[0] > 0) {
            talkToFairy();
            return;
        }
        if (prompts.counter) {
            goToCounter();
            return;
        }
        if (cellKey != NO_SHELF) {
            playRandomVoice(SHELF_VOICES, 3);
            setMotion(gParty.motions[0], 3);
            advanceMotion(gParty.motions[0], gParty.models[0], 1.0f);
            beginShelfStocking(cellKey);
            return;
        }
        if (shelf >= 0) {
            beginVendingStocking(shelf);
            return;
        }
    }
    if ((pressed & (BUTTON_SUB | BUTTON_CONFIRM | BUTTON_CANCEL)) == 0) updateDungeonPlayer();
    probeShelfInFront();
}

// Step 1 of walking: the lessons and level events that start by themselves.
bool startLessonsAndEvents() {
    GameState& game = runningGameState();
    if (isMorning() && gFieldTicks < MORNING_HOLD_TICKS) return false;
    int32_t level = game.merchantLevel;
    bool survival = game.playMode == PLAY_MODE_SURVIVAL;
    if (level > 0 && !storyFlag(FLAG_SELLERS) && !survival) {
        setStoryFlag(FLAG_SELLERS, 1);
        setStoryFlag(FLAG_STORY_TUTORIAL, 1);
        setStoryFlag(FLAG_TUTORIAL_REPEAT, 1);
        setTutorialLesson(1);
        openShopDay();
        closeShopBalloon();
        return true;
    }
    if (level > 1 && !storyFlag(FLAG_REQUESTS)) {
        setStoryFlag(FLAG_REQUESTS, 1);
        if (!survival) {
            setStoryFlag(FLAG_STORY_TUTORIAL, 1);
            setStoryFlag(FLAG_TUTORIAL_REPEAT, 1);
            setTutorialLesson(2);
            openShopDay();
            closeShopBalloon();
            return true;
        }
    }
    if (level > 5 && !storyFlag(FLAG_LEVEL_EVENT_6)) {
        if (requestEvent(19, 1, 1)) {
            setStoryFlag(FLAG_LEVEL_EVENT_6, 1);
            return true;
        }
    } else if (level > 13 && !storyFlag(FLAG_LEVEL_EVENT_14)) {
        if (requestEvent(19, 2, 1)) {
            setStoryFlag(FLAG_LEVEL_EVENT_14, 1);
            return true;
        }
    }
    return false;
}

void updateWalking() {
    if (startLessonsAndEvents()) return;
    if (storyFlag(FLAG_SCRIPTED_DAY)) {
        openShopDay();
        endSteps(false);
        return;
    }
    if (gShopFloor.shopEditMode == 1) {
        updateShelfStocking();
        endSteps(true);
        return;
    }
    if (gShopFloor.shopEditMode == 2) {
        updateVendingStocking();
        endSteps(true);
        return;
    }
    walkFree();
    endSteps(false);
}

// State 4: the heroine at the counter while the shop day runs.
void updateShopOpen() {
    Vector3& at = gParty.positions[0];
    if (storyFlag(FLAG_TUTORIAL_REPEAT)) {
        faceFairy();
        setMotion(gParty.motions[0], 6);
        setMotion(gParty.motions[2], 4);
    } else {
        gParty.facing = -gCamera.yaw;
        gParty.motions[0].direction = 0;
        if (!storyFlag(FLAG_FAIRY_TALK)) gParty.motions[2].direction = 0;
        setMotion(gParty.motions[0], 5);
        if (shopDayTimer() > 10) {
            int32_t code = stageCodeHere();
            float c = code <= 2 ? 0.0f : code <= 4 ? 10.7f : 0.0f;
            float d = code <= 2 ? 6.9f : code <= 4 ? 15.0f : 0.0f;
            if (at.z < d + 1.69f) at.z = std::fmin(at.z + 0.05f, d + 1.7f);
            else if (at.z > d + 1.7f) at.z = std::fmax(at.z - 0.05f, d + 1.69f);
            if (at.x > c - 4.5f) at.x = std::fmax(at.x - 0.125f, c - 4.5f);
            at.y = 0.5f;
        }
    }
    updateCustomers();
    updateShopDay();
    endSteps(false);
}

}  // namespace

// --- shared steps ------------------------------------------------------------

uint16_t shopPressed() { return gInputState[0].pressed; }
uint16_t shopRepeat() { return gInputState[0].repeat; }

void faceFairy() {
    bool right = gParty.positions[2].x > gParty.positions[0].x;
    gParty.motions[0].direction = right ? 6 : 2;
    gParty.facing = right ? PI / 2.0f : -PI / 2.0f;
}

void closeShopBalloon() {
    if (gBalloon.age != 0) closePopupMessage(1);
    gBalloon.age = 0;
}

void playRandomVoice(const char* const* paths, int32_t count) { playVoice(paths[randomInt() % count]); }

void placeShopCamera(float goalX, float goalZ, float elevationScale) {
    gFieldCamera.cameraTarget.x += (goalX - gFieldCamera.cameraTarget.x) * 0.2f;
    gFieldCamera.cameraTarget.z += (goalZ - gFieldCamera.cameraTarget.z) * 0.2f;
    float distance = gFieldCamera.cameraDistance + gFieldCamera.cameraOffsets.distance;
    float elevation = (gFieldCamera.cameraElevation + gFieldCamera.cameraOffsets.elevation) * elevationScale;
    gFieldCamera.cameraEye.x = gFieldCamera.cameraTarget.x + std::sin(gCamera.yaw) * distance;
    gFieldCamera.cameraEye.y = gFieldCamera.cameraTarget.y + elevation;
    gFieldCamera.cameraEye.z = gFieldCamera.cameraTarget.z - std::cos(gCamera.yaw) * distance;
}

void openShopDay() {
    gShopFloor.shopFloorState = SHOP_FLOOR_OPEN;
    beginShopDay();
}

// --- entry points ------------------------------------------------------------

void resetShopFloorState() {
    gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
    gShopFloor.leavingShop = 0;
}

void startShopDayMessages() {
    const GameState& game = runningGameState();
    int32_t level = game.merchantLevel;
    int32_t* a = gShopFloor.shopMenuListA;
    int32_t n = 0;
    a[n++] = SHOP_MENU_OPEN;
    if (level >= 5) a[n++] = SHOP_MENU_WALLS;
    if (level >= 7) a[n++] = SHOP_MENU_FLOORING;
    if (level >= 8) a[n++] = SHOP_MENU_RUG;
    if (level >= 9) a[n++] = SHOP_MENU_MOVE_TABLES;
    if (level >= 13) a[n++] = SHOP_MENU_TABLES;
    a[n++] = SHOP_MENU_CANCEL;
    gShopFloor.shopMenuCountA = n;
    int32_t* b = gShopFloor.shopMenuListB;
    n = 0;
    b[n++] = FAIRY_MENU_ATMOSPHERE;
    b[n++] = FAIRY_MENU_LEVEL;
    b[n++] = FAIRY_MENU_LECTURES;
    if (game.date >= 9) b[n++] = FAIRY_MENU_NEWS;
    if (level >= 6) b[n++] = FAIRY_MENU_ORDERS_DUE;
    if (storyFlag(FLAG_TIME_LECTURE)) b[n++] = FAIRY_MENU_TIME;
    b[n++] = FAIRY_MENU_NEVER_MIND;
    gShopFloor.shopMenuCountB = n;
}

void placePlayerAtEntrance(int32_t entrance) {
    int32_t e = entrance == 0 ? 0 : 1;
    const EntrancePoint& p = SHOP_ENTRANCES[e][shopLayoutIndex(runningGameState())];
    gParty.positions[0] = Vector3{p.x, 0.0f, p.z};
    gParty.positions[1] = Vector3{p.x, 0.0f, p.z};
    gParty.positions[2] = Vector3{p.x + 0.9f, 3.0f, p.z};
}

void enterShop() {
    startFloor();
    finishFloorStart();
    placePlayerAtEntrance(1);
    faceFairy();
    setMotion(gParty.motions[0], 6);
    gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
    gParty.actionState = 15;
    gFieldTicks = 300;
}

void enterShopFromDoor() {
    GameState& game = runningGameState();
    closeShopBalloon();
    gParty.promptKind = 0;
    gParty.promptFade = 0;
    gShopFloor.shopActionTimer[0] = 0;
    gShopFloor.shopActionTimer[1] = 1;
    placePlayerAtEntrance(0);
    faceFairy();
    setMotion(gParty.motions[0], 6);
    gParty.actionState = 0;
    gFieldCamera.cameraMode = CAMERA_FOLLOW;
    bool story = game.playMode != PLAY_MODE_SURVIVAL && game.dayPhase == 0;
    if (story && game.date == 8 && !storyFlag(FLAG_STORY_VISIT_SEEN)) {
        startStoryVisit();
        setStoryFlag(FLAG_STORY_VISIT, 1);
        gFieldCamera.cameraReset = 1;
    }
    if (story && game.date == 15 && !storyFlag(FLAG_EVENT_9_1_SEEN)) {
        setStoryFlag(FLAG_EVENT_9_1_DUE, 1);
        gFieldCamera.cameraReset = 1;
    }
    setStoryFlag(FLAG_DOOR_ENTRY, 0);
}

void clampShopBounds() {
    Vector3& at = gParty.positions[0];
    bool open = gShopFloor.shopFloorState == SHOP_FLOOR_OPEN;
    if (runningGameState().shopSize == 3) {
        if (at.z > 17.0f) at.z = 17.0f;
        if (!open && at.z > 11.5f && at.x > 5.0f && at.x < 9.5f) at.x = 9.5f;
    } else {
        if (at.z > 9.5f) at.z = 9.5f;
        if (!open && at.z > 7.0f && at.x < -1.5f) at.x = -1.5f;
    }
}

void drawShopPlacementGrid() {
    if (gShopFloor.shopFloorState != SHOP_FLOOR_EDITING) return;
    if (gShopFloor.selectedShelf < 0 || gShopFloor.selectedShelf >= SHELF_LAYOUT_COUNT) return;
    ShelfPlace cells[SHELF_CELL_COUNT];
    shelfCellsAt(gShopFloor.selectedShelf, runningGameState().shelfLayout[gShopFloor.selectedShelf], cells);
    for (int32_t k = 0; k < SHELF_CELL_COUNT; k++)
        if (gShopPlacement.shelfCarry[k] != ITEM_KEY_NONE) drawCellItemIcon(cells[k].x, cells[k].z, gShopPlacement.shelfCarry[k], 0.5f);
}

void placeShopkeeper(float x, float z) {
    gParty.actionState = 0;
    gParty.positions[0].x = x;
    gParty.positions[0].z = z;
    gParty.facing = -gCamera.yaw;
    gParty.motions[0].direction = 0;
}

void updateShopFloor() {
    GameState& game = runningGameState();
    if (updateMessageWindow() != 0) return;
    if (gTickCounter % 8 == 3) sparkleFrontRow();
    if (storyFlag(FLAG_STORY_VISIT)) {
        gFieldTicks++;
        if (gFieldTicks > 120) {
            updateStreetCrowd();
            if (storyFlag(FLAG_STORY_VISIT_HOLD)) updateStatusOfPlayer();
            else updateDungeonPlayer();
        }
        clampShopBounds();
        setStoryFlag(FLAG_STORY_VISIT_SEEN, 1);
        setStoryFlag(FLAG_STORY_VISIT_STARTED, 1);
        return;
    }
    if (storyFlag(FLAG_EVENT_9_1_DUE)) {
        stepEventPan();
        return;
    }
    if (storyFlag(FLAG_STANDING_WALKER)) {
        stepLeaveForDungeon();
        return;
    }
    stepMarketMorning();
    if (storyFlag(FLAG_EVENT_0_8_DUE)) {
        gFieldTicks++;
        updateStreetCrowd();
        updateDungeonPlayer();
        clampShopBounds();
        return;
    }
    updateStreetCrowd();
    if (gEffectEditorOn) {
        updateEffectEditor();
        return;
    }
    if (gFieldTicks == 0 && buildShelfOccupancy() != SHELF_LAYOUT_VALID && repairShelfLayout(game)) buildShelfOccupancy();
    if (shopPressed() & BUTTON_VIEW) game.shopCameraView = (game.shopCameraView + 2) % 4;
    if (gShopFloor.shopFloorState == SHOP_FLOOR_WALKING && gShopFloor.shopEditMode == 0 && game.townVisited == 1) returnFromTownPlace();
    if (gShopDayPhase == 1) enterShop();
    stepMenuSlides();
    playMorningVoices();
    gFieldTicks++;
    if (gShopDayPhase > 0) {
        stepNightTalk();
        endSteps(false);
        return;
    }
    if (gShopFloor.leavingShop == 1) {
        if (isFadeOutDone()) {
            gGameMode = GAME_MODE_WORLD_MAP;
            setWorldMapPlace(0);
            releaseFieldResources();
            startFadeIn(0, 17);
            startSceneLoader();
        }
        endSteps(false);
        return;
    }
    switch (gShopFloor.shopFloorState) {
    case SHOP_FLOOR_WALKING: updateWalking(); break;
    case SHOP_FLOOR_OPEN: updateShopOpen(); break;
    default:
        updateShopMenuStates();
        endSteps(false);
        break;
    }
}

void resetShopFloorBootState() {
    gShopFloor = ShopFloorState{};
    for (int32_t& v : gShopFloor.vendingSlotsShown) v = ITEM_KEY_NONE;
}
