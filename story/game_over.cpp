// Game over and the new loop (mode 2) and the save after the ending (mode 7):
// two black scenes whose steps start the closing events, keep the records
// and turn the finished game into the next one.
#include <cstdio>

#include "dungeon/dungeon.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "engine/story_flags.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/field_menu.h"
#include "story/game_records.h"
#include "story/story.h"
#include "story/story_state.h"

GameEndState gGameEnd;

void resetGameEndState() { gGameEnd = GameEndState{}; }

constexpr int32_t FADE_KIND = 0;
constexpr int32_t FADE_TICKS = 17;
constexpr int32_t LEAVE_FADE_AT = 10;
constexpr int32_t LEAVE_STEP = 8;
constexpr int32_t RESUMED_STEP = 5;   // a game saved during game over resumes after its carry-over
constexpr int32_t ENDLESS_DATE = 36;

static void enterGameEnd() {
    gGameEnd = GameEndState{};
    hidePointer();
}

void enterGameOverScene() {
    enterGameEnd();
    if (runningGameState().resumeLocation == 2) gGameEnd.step = RESUMED_STEP;
}

void enterEndingSaveScene() { enterGameEnd(); }

// The scene's leaving, first each tick; true while it runs (nothing else
// then happens in the tick).
static bool stepLeaving(int32_t mode) {
    GameEndState& g = gGameEnd;
    if (g.leaveCounter == 0) {
        if (g.step >= LEAVE_STEP) g.leaveCounter = 1;
        return false;
    }
    ++g.leaveCounter;
    if (g.leaveCounter == LEAVE_FADE_AT) startFadeOut(FADE_KIND, FADE_TICKS);
    if (g.leaveCounter <= LEAVE_FADE_AT || !isFadeOutDone()) return true;
    GameState& game = runningGameState();
    if (mode == GAME_MODE_GAME_OVER) {
        releaseGameOverTextures();
        if (game.playMode == PLAY_MODE_SURVIVAL) {
            gGameMode = GAME_MODE_TITLE;
        } else {
            if (game.shopSize >= 0 && game.shopSize < SHOP_SIZE_COUNT) gStageIndex = game.shopSize;
            gTimeOfDay = (float)game.dayPhase;
            gShopSequence = SHOP_SEQUENCE_MORNING;
            gGameMode = GAME_MODE_FIELD;
        }
    } else {
        releaseEndingSaveTextures();
        gGameMode = GAME_MODE_TITLE;
    }
    g.leaveCounter = 0;
    g.step = 0;
    startSceneLoader();
    startFadeIn(FADE_KIND, FADE_TICKS);
    return true;
}

// Survival keeps the day it reached when that beats the record of its kind.
static void keepSurvivalRecord(const GameState& game) {
    int32_t& record = game.survivalHell ? gRecordHellDays : gRecordNormalDays;
    if (game.date <= record) return;
    record = game.date;
    startSaveSlotWrite(-1);
}

void updateGameOverScene() {
    GameEndState& g = gGameEnd;
    if (stepLeaving(GAME_MODE_GAME_OVER)) return;
    GameState& game = runningGameState();
    bool survival = game.playMode == PLAY_MODE_SURVIVAL;
    if (g.step >= LEAVE_STEP) return;
    // A game loaded at this scene has nothing left to do but leave.
    if (gDayEndUnpaid || gDayEndFinal) {
        if (g.step == 1) requestEvent(0, gDayEndUnpaid ? 1 : 3, 0);
        if (g.step == RESUMED_STEP) {
            if (survival) keepSurvivalRecord(game);
            carryOverRecord(game, CARRY_OVER_NEW_LOOP);
            // A save made from here resumes at this scene.
            gOverlayScreen.savedMode = GAME_MODE_GAME_OVER;
        }
        if (g.step == 7 && !survival) requestEvent(0, 2, 0);
    }
    ++g.step;
}

int32_t awardTrueCard() {
    GameState& game = runningGameState();
    int32_t winner = -1, best = 0;
    for (int32_t a = 0; a < ADVENTURER_COUNT; ++a) {
        if (!game.storyFlags[FLAG_ADVENTURER_AVAILABLE + a] && !game.storyFlags[FLAG_ADVENTURER_CARD + a]) continue;
        game.trueCards[a] = 1;
        int32_t score = game.adventurers[a].adventures + 1;
        if (winner < 0 || score > best) {
            winner = a;
            best = score;
        }
    }
    if (winner < 0) return 0;
    // The card is claimed only once storage has taken it.
    if (!addItemToStorage(makeItemKey(TRUE_CARD_FIRST + winner, 0, 0))) return 0;
    game.storyFlags[FLAG_ADVENTURER_CARD + winner] = 1;
    char text[DIALOG_LINE_BYTES];
    snprintf(text, sizeof text, "Received %s's True Card!", ADVENTURER_NAMES[winner].name);
    openMessageWindow(text);
    return 1;
}

// Step 3: the end-game records, written at once when they improve.
static void keepEndingRecords(const GameState& game) {
    bool changed = false;
    if (game.totalScore > gRecordScore) {
        gRecordScore = game.totalScore;
        changed = true;
    }
    if (game.money > gRecordMoney) {
        gRecordMoney = game.money;
        changed = true;
    }
    if (changed) startSaveSlotWrite(-1);
}

// Step 6: the game turns endless, and the question is asked.
static void askToSave(GameState& game) {
    openYesNoWindow("Save the game?", 0, 0);
    game.weekEndDay = 0;
    game.date = ENDLESS_DATE;
    game.dayPhase = 0;
    game.playMode = PLAY_MODE_ENDLESS;
    game.storyFlags[FLAG_ENDLESS] = 1;
    gRecordsUnlocked = 1;
    gOverlayScreen.savedMode = GAME_MODE_ENDING_SAVE;
}

void updateEndingSaveScene() {
    GameEndState& g = gGameEnd;
    if (stepLeaving(GAME_MODE_ENDING_SAVE)) return;
    GameState& game = runningGameState();
    if (g.savePageOpen) {
        if (stepSavePage()) {
            g.savePageOpen = 0;
            g.step = 6;
        }
        updatePointer();
        return;
    }
    switch (g.step) {
    case 0: ++g.step; break;
    case 1: requestEvent(1, 20, 0); ++g.step; break;
    case 2: requestEvent(1, 21, 0); ++g.step; break;
    case 3:
        keepEndingRecords(game);
        g.step = awardTrueCard() ? 4 : 5;
        break;
    case 4:
        if (updateMessageWindow() >= 0) g.step = 5;
        break;
    case 5: requestEvent(1, 22, 0); g.step = 6; break;
    case 6: askToSave(game); g.step = 7; break;
    case 7: {
        int32_t answer = updateYesNoWindow(0);
        if (answer == 1) {
            openSavePage();
            g.savePageOpen = 1;
        } else if (answer == 2) {
            g.step = LEAVE_STEP;
        }
        break;
    }
    default: break;
    }
    updatePointer();
}

static void drawGameEnd(bool savePage) {
    set2DRenderStates();
    bindSpriteTexture(gScenePictures[0]);
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SpriteSource{0.0f, 0.0f, 640.0f, 480.0f}, gScenePictures[0], 0xFF000000);
    flushSprites();
    if (savePage) drawSlotListPage();
    drawYesNoWindow();
    drawPointer();
    drawMessageWindow();
}

void drawGameOverScene() { drawGameEnd(false); }
void drawEndingSaveScene() { drawGameEnd(gGameEnd.savePageOpen != 0); }
