#include "dungeon/field_frame.h"

#include <cmath>
#include <cstdio>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/stage_index.h"
#include "dungeon/departure.h"
#include "dungeon/enemies.h"
#include "dungeon/field_events.h"
#include "dungeon/floor_objects.h"
#include "dungeon/pickups.h"
#include "dungeon/spawn_tables.h"
#include "dungeon/stage_scripts.h"
#include "dungeon/traps.h"
#include "engine/debug_text.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "field/field_state.h"
#include "story/story.h"
#include "story/story_state.h"

int32_t gDungeonIndex;
int32_t gRunEndState;
int32_t gRunEndTimer;
int32_t gSpecialMusicTimer;
int32_t gGateIsReturn;
int32_t gGateGuard;
int32_t gEquipPrompt;
int32_t gHitStopTimer;
int32_t gHitStopInput;
int32_t gSlowMotionTimer;
int32_t gFloorIntroTimer;
int32_t gFloorTime;
int32_t gLastHitTimer;
int32_t gCharDrawFlag;
int32_t gTrailDue;
float gBossCutFade = 1.0f;
int32_t gBossRushCourse = -1;
int32_t gBossRushBattle = -1;
int32_t gGatePrompt;
int32_t gSwitchCutTimer;
int32_t gStartVoiceTimer;
int32_t gPlayerControl = -1;

namespace {

constexpr int32_t SOUND_PROMPT_OPENS = 371;
constexpr int32_t SOUND_CONDITION_BANNER = 701;
constexpr int32_t BANNER_PRESS_MASK = BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_6;
constexpr int32_t RUN_END_VOICE_FRAME = 60;
constexpr int32_t RUN_END_LEAVE = 119;
bool storyFlag(int32_t n) { return runningGameState().storyFlags[n] != 0; }
void setStoryFlag(int32_t n, uint8_t value) { runningGameState().storyFlags[n] = value; }
bool survivalPlay() { return runningGameState().playMode == PLAY_MODE_SURVIVAL; }

// Every opened return gate and every magic circle not disabled within reach
// of the character, in pool order: the last one decides gGateIsReturn.
void scanGates() {
    if (gCameraMode != CAMERA_FOLLOW || gRunEndState != RUN_GOES_ON || gSlowMotionTimer != 0 ||
        gPlayerControl != PLAYER_FREE)
        return;
    const Vector3& p = gParty.positions[0];
    for (const FloorObject& o : gFloorObjects) {
        bool counts = (o.kind == FLOOR_OBJECT_RETURN_GATE && o.state == FLOOR_OBJECT_ACTIVE) ||
                      (o.kind == FLOOR_OBJECT_MAGIC_CIRCLE && o.state != FLOOR_OBJECT_HIDDEN);
        if (!counts) continue;
        float dx = o.position.x - p.x;
        float dz = o.position.z - p.z;
        float d = sqrtf(dx * dx + dz * dz);
        if (!(d < GATE_NOTICE_REACH)) continue;
        gGateIsReturn = o.kind == FLOOR_OBJECT_RETURN_GATE ? 1 : 0;
        if (gGatePrompt == 0 && gGateGuard == 0 && d < GATE_ARM_REACH) {
            gGatePrompt = 1;
            gGateGuard = GATE_GUARD_FRAMES;
        }
        if (gGatePrompt == GATE_PROMPT_REFUSED && d > GATE_ARM_REACH) gGatePrompt = 0;
    }
}

// The floor-condition banner; true when it ran (the frame then finishes).
bool runConditionBanner() {
    const StageRecord* stage = currentFieldStage();
    if (gConditionBannerCounter == 0 || !stage || stage->maptype == 0) return false;
    if (gPlayerControl == PLAYER_FREE && gConditionBannerCounter > 0) {
        gConditionBannerCounter += gFloorConditionList.rollState == 2 ? 8 : 1;
        if (gConditionBannerCounter > 30 && (gInputState[0].pressed & BANNER_PRESS_MASK))
            gFloorConditionList.rollState = 2;
        if (gConditionBannerCounter == 30 && !isBossFloor() && gFloorConditionList.count > 0)
            playSoundEffect(SOUND_CONDITION_BANNER);
    }
    updateStatusOfPlayer();
    return true;
}

void closePrompt() {
    resetDialogs();
    hidePointer();
    gPlayerControl = PLAYER_FREE;
}

void runEquipPrompt() {
    if (!isFadeInDone()) return;
    if (gEquipPrompt < PROMPT_COUNT_CEILING) gEquipPrompt++;
    if (gEquipPrompt == 2) {
        playSoundEffect(SOUND_PROMPT_OPENS);
        openYesNoWindow("Equip items in bag?", 1, 0);
    } else if (gEquipPrompt > 2) {
        int32_t answer = updateYesNoWindow(1);
        gPlayerControl = PLAYER_LOCKED;
        if (answer == 1) {
            sortBagByStats();
            recomputeAdventurerTotals();
        }
        if (answer == 1 || answer == 2) {
            gEquipPrompt = 0;
            closePrompt();
        }
    }
}

void leaveThroughGate() {
    if (!gGateIsReturn) {
        int32_t floor = gFloorIndex;
        int32_t stage = gStageIndex;
        gFloorIndex++;
        if (gBossRushBattle >= 0) gBossRushBattle++;
        selectDungeonStage();
        int32_t next = gStageIndex;
        gFloorIndex = floor;
        gStageIndex = stage;
        requestStageChange(next, 0, 0, gFloorIndex + 1);
    } else {
        openItemSelectScreen();
    }
    resetDialogs();
    hidePointer();
}

void answerGate(int32_t answer) {
    if (answer == 1) {
        gParty.velocity = Vector3{0.0f, 0.0f, 0.0f};
        if (!gGateIsReturn) {
            gGatePrompt = GATE_PROMPT_LEAVING;
            if (gFloorIndex == 98 && !storyFlag(FLAG_FLOOR_99_EVENT)) {
                requestEvent(12, 21, 0);
                setStoryFlag(FLAG_FLOOR_99_EVENT, 1);
                gGatePrompt = GATE_PROMPT_LEAVE_NEXT;
            }
        } else {
            if (gFloorIndex == getDungeonFloorCount(gDungeonIndex) - 1) {
                gRunEndState = RUN_CLEARED;
                playVoice(CLEARED_VOICE);
            } else {
                gRunEndState = RUN_RETURNED;
                playVoice(RETURNED_VOICE);
            }
            gGatePrompt = 0;
        }
        gPlayerControl = PLAYER_FREE;
    } else if (answer == 2) {
        gGatePrompt = GATE_PROMPT_REFUSED;
        closePrompt();
    }
}

void runGatePrompt() {
    if (gGatePrompt < PROMPT_COUNT_CEILING) gGatePrompt++;
    if (storyFlag(FLAG_DUNGEON_TUTORIAL)) {
        gPlayerControl = PLAYER_LOCKED;
        if (gGatePrompt == 2) {
            requestEvent(2, 12, 0);
        } else if (gGatePrompt == 3) {
            gGatePrompt = 0;
            setStoryFlag(FLAG_DUNGEON_TUTORIAL_GATE, 1);
            setStoryFlag(FLAG_DUNGEON_TUTORIAL, 0);
            setStoryFlag(FLAG_DUNGEON_TUTORIAL_DONE, 1);
            gPlayerControl = PLAYER_FREE;
        }
    } else if (gGatePrompt == 2) {
        playSoundEffect(SOUND_PROMPT_OPENS);
        openYesNoWindow(gGateIsReturn ? "Return to town now?" : "Go to the next floor?", 1, 0);
        recordBestTime(bestTimeSlot(gDungeonIndex, gFloorIndex, gBossRushCourse, gBossRushBattle, gGateIsReturn));
    } else if (gGatePrompt > 2 && gGatePrompt <= PROMPT_COUNT_CEILING) {
        int32_t answer = updateYesNoWindow(1);
        gPlayerControl = PLAYER_LOCKED;
        answerGate(answer);
    }
    if (gGatePrompt == GATE_PROMPT_LEAVE_NEXT) {
        gGatePrompt = GATE_PROMPT_LEAVING;
        return;
    }
    if (gGatePrompt == GATE_PROMPT_LEAVING) leaveThroughGate();
}

void bumpRunCounter() {
    if (gChosenAdventurer < 0 || gChosenAdventurer >= ADVENTURER_COUNT) return;
    AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer];
    if (gRunEndState == RUN_DEFEATED) a.defeats++;
    if (gRunEndState == RUN_RETURNED) a.returns++;
    if (gRunEndState == RUN_CLEARED) a.clears++;
}

void runRunEnd() {
    gPlayerControl = PLAYER_LOCKED;
    gAutoWalk = 0;
    int32_t before = gRunEndTimer;
    if (gRunEndTimer == RUN_END_VOICE_FRAME && gRunEndState == RUN_DEFEATED) {
        const char* voice = defeatVoice(gChosenAdventurer);
        if (voice) playVoice(voice);
    }
    if (gRunEndTimer < PROMPT_COUNT_CEILING) gRunEndTimer++;
    if (gRunEndTimer >= PROMPT_COUNT_CEILING) {
        if (gRunEndState == RUN_DEFEATED) {
            if (!storyFlag(FLAG_FIRST_DEFEAT_SEEN)) {
                setStoryFlag(FLAG_FIRST_DEFEAT_SEEN, 1);
                if (!survivalPlay()) requestEvent(2, 13, 0);
            } else if (gInputState[0].pressed & BUTTON_CONFIRM) {
                gRunEndTimer = RUN_END_LEAVE;
            }
        } else {
            gRunEndTimer = RUN_END_LEAVE;
        }
    }
    // Only the frame that reaches 119 acts: the item selection takes the
    // game out of mode 1, and a frame that still ran after it must not
    // count the run twice.
    if (gRunEndTimer == RUN_END_LEAVE && before != RUN_END_LEAVE) {
        openItemSelectScreen();
        bumpRunCounter();
    }
}

// Steps 1 to 8 of an ordinary frame; false when slow motion skips the rest
// of the frame, the closing steps included.
bool runOrdinaryFrame() {
    if (gSpecialMusicTimer > 0) gSpecialMusicTimer--;
    if (gFloorIntroTimer == 0) gStartVoiceTimer++;
    if (gRunEndState == RUN_GOES_ON) gFloorTime++;
    if (gRunEndState > RUN_GOES_ON) runRunEnd();
    if (gSlowMotionTimer > 0) {
        gSlowMotionTimer--;
        if (gSlowMotionTimer % 3 != 0) return false;
    }
    if (gFloorIntroTimer > 0) {
        gFloorIntroTimer--;
        gPlayerControl = PLAYER_LOCKED;
        if (gFloorIntroTimer == 1 && !storyFlag(FLAG_FIRST_FLOOR_SEEN)) {
            setStoryFlag(FLAG_FIRST_FLOOR_SEEN, 1);
            if (!survivalPlay()) requestEvent(2, 10, 0);
        }
        if (gFloorIntroTimer == 0) gEquipPrompt = 1;
    }
    checkFallOut();
    const StageRecord* stage = currentFieldStage();
    if (stage && stage->stageCode <= SHOP_STAGE_LAST) {
        updateShopFloor();
    } else if (stage) {
        updateDungeonParty();
    }
    if (gFloorIntroTimer == 0) {
        checkTrapProximity();
        updateEnemies();
        updateAttackObjects();
        updateEnemyMotionFrames();
        animateFloorObjects();
    }
    if (gLastHitTimer > 0) gLastHitTimer--;
    updatePickups();
    for (NumberPopup& popup : gNumberPopups)
        if (popup.timer > 0) popup.timer--;
    gTrailDue = 1;
    return true;
}

void closeFrame() {
    bool equipFirst = (gBossRushCourse >= 0 && gBossRushBattle == 0) || (gDungeonIndex == 5 && gFloorIndex == 30);
    if (equipFirst ? (gEquipPrompt == 0 || gEquipPrompt == 1) : gHitStopTimer == 0) runStageScript();
    updateEffectObjects();
    updateDefeatOrbit();
    // The random draw is kept: every frame that closes advances the shared
    // sequence by one number.
    char line[80];
    snprintf(line, sizeof line, "%d", randomInt());
    printDebugText(0, 4, line);
    const Vector3& p = gParty.positions[0];
    snprintf(line, sizeof line, "X:%f", static_cast<double>(p.x));
    printDebugText(0, 4, line);
    snprintf(line, sizeof line, "Y:%f", static_cast<double>(p.y));
    printDebugText(0, 5, line);
    snprintf(line, sizeof line, "Z:%f", static_cast<double>(p.z));
    printDebugText(0, 6, line);
}

// The frame's exclusive phases; true when one ran and the frame closes.
bool runPhase() {
    if (gSwitchCutTimer > 0) {
        gSwitchCutTimer--;
        updateSwitchCut();
        return true;
    }
    InputRecord& input = gInputState[0];
    if (gHitStopTimer > 0) {
        gHitStopInput |= input.pressed;
    } else {
        input.pressed = static_cast<uint16_t>(input.pressed | gHitStopInput);
        gHitStopInput = 0;
    }
    if (runConditionBanner()) return true;
    if (gHitStopTimer > 0) {
        gHitStopTimer--;
        gCameraFrozen = 1;
        return true;
    }
    if (gEquipPrompt > 0 && (!storyFlag(FLAG_HUD_CUTSCENE) || storyFlag(FLAG_HUD_CUTSCENE_2))) {
        runEquipPrompt();
        return true;
    }
    if (gGatePrompt > 0) {
        runGatePrompt();
        return true;
    }
    return false;
}

}  // namespace

const StageRecord* currentFieldStage() {
    if (gStageIndex < 0 || gStageIndex >= gStageCount || gStageIndex >= STAGE_CODE_COUNT) return nullptr;
    return &gStages[gStageIndex];
}

bool charactersHidden() { return gCharDrawFlag != 0; }
int32_t floorIntroFrames() { return gFloorIntroTimer; }
int32_t startVoiceFrame() { return gStartVoiceTimer; }

const char* defeatVoice(int32_t adventurer) {
    if (adventurer < 0 || adventurer >= ADVENTURER_COUNT) return nullptr;
    return DEFEAT_VOICES[adventurer];
}

int32_t bestTimeSlot(int32_t dungeon, int32_t floor, int32_t bossRushCourse, int32_t bossRushBattle,
                     int32_t atReturnGate) {
    constexpr int32_t COLUMNS = BEST_TIME_SECTIONS;
    constexpr int32_t LAST_ROW = DUNGEON_COUNT - 1;
    // Dungeon 5 keeps its three ten-floor blocks and the run from floor 30 in
    // columns 0..3; a course whose dungeon fills its whole row (course 4)
    // takes the next free column there instead of running into column 0.
    constexpr int32_t SPARE_COLUMN = 4;
    if (bossRushBattle >= 0) {
        if (!atReturnGate || bossRushCourse < 1 || bossRushCourse > 4) return -1;
        int32_t column = getDungeonFloorCount(bossRushCourse) / 5;
        if (column < COLUMNS) return bossRushCourse * COLUMNS + column;
        return LAST_ROW * COLUMNS + SPARE_COLUMN;
    }
    if (floor < 0) return -1;
    if (dungeon == LAST_ROW) {
        if (floor < 30) return floor % 10 == 9 ? LAST_ROW * COLUMNS + floor / 10 : -1;
        return atReturnGate ? LAST_ROW * COLUMNS + 3 : -1;
    }
    if (dungeon < 0 || dungeon > LAST_ROW || floor % 5 != 4 || floor / 5 >= COLUMNS) return -1;
    return dungeon * COLUMNS + floor / 5;
}

void recordBestTime(int32_t slot) {
    if (slot < 0 || slot >= DUNGEON_COUNT * BEST_TIME_SECTIONS) return;
    int32_t& record = runningGameState().bestTimes[slot / BEST_TIME_SECTIONS][slot % BEST_TIME_SECTIONS];
    if (record == 0 || record > gFloorTime) record = gFloorTime;
}

void updateFieldFrame() {
    gCharDrawFlag = 0;
    gCameraFrozen = 0;
    if (gGateGuard > 0) gGateGuard--;
    scanGates();
    if (!runPhase() && !runOrdinaryFrame()) return;
    closeFrame();
}

void updateDungeonScenery() {
    updateIdleParty();
    tickEnemyAnimations();
    updateAttackObjects();
    animateFloorObjects();
    updateEffectObjects();
    updateDefeatOrbit();
}

void resetFieldFrameState() {
    gDungeonIndex = 0;
    gRunEndState = RUN_GOES_ON;
    gRunEndTimer = 0;
    gSpecialMusicTimer = 0;
    gGateIsReturn = 0;
    gGateGuard = 0;
    gEquipPrompt = 0;
    gHitStopTimer = 0;
    gHitStopInput = 0;
    gSlowMotionTimer = 0;
    gFloorIntroTimer = 0;
    gStartVoiceTimer = 0;
    gFloorTime = 0;
    gLastHitTimer = 0;
    gCharDrawFlag = 0;
    gTrailDue = 0;
    gBossCutFade = 1.0f;
    gBossRushCourse = -1;
    gBossRushBattle = -1;
    gGatePrompt = 0;
    gSwitchCutTimer = 0;
    gPlayerControl = -1;
}
