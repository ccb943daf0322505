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

RunState gRun;

namespace {

constexpr int32_t SOUND_PROMPT_OPENS = 371;
constexpr int32_t SOUND_CONDITION_BANNER = 701;
constexpr int32_t BANNER_PRESS_MASK = BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_SUB;
constexpr int32_t RUN_END_VOICE_FRAME = 60;
constexpr int32_t RUN_END_LEAVE = 119;
bool survivalPlay() { return runningGameState().playMode == PLAY_MODE_SURVIVAL; }

// Every opened return gate and every magic circle not disabled within reach
// of the character, in pool order: the last one decides gRun.gateIsReturn.
void scanGates() {
    if (gFieldCamera.cameraMode != CAMERA_FOLLOW || gRun.runEndState != RUN_GOES_ON || gRun.slowMotionTimer != 0 ||
        gRun.playerControl != PLAYER_FREE)
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
        gRun.gateIsReturn = o.kind == FLOOR_OBJECT_RETURN_GATE ? 1 : 0;
        if (gRun.gatePrompt == 0 && gRun.gateGuard == 0 && d < GATE_ARM_REACH) {
            gRun.gatePrompt = 1;
            gRun.gateGuard = GATE_GUARD_FRAMES;
        }
        if (gRun.gatePrompt == GATE_PROMPT_REFUSED && d > GATE_ARM_REACH) gRun.gatePrompt = 0;
    }
}

// The floor-condition banner; true when it ran (the frame then finishes).
bool runConditionBanner() {
    const StageRecord* stage = currentFieldStage();
    if (gConditionBanner.counter == 0 || !stage || stage->maptype == 0) return false;
    if (gRun.playerControl == PLAYER_FREE && gConditionBanner.counter > 0) {
        gConditionBanner.counter += gFloorConditionList.rollState == 2 ? 8 : 1;
        if (gConditionBanner.counter > 30 && (gInputState[0].pressed & BANNER_PRESS_MASK))
            gFloorConditionList.rollState = 2;
        if (gConditionBanner.counter == 30 && !isBossFloor() && gFloorConditionList.count > 0)
            playSoundEffect(SOUND_CONDITION_BANNER);
    }
    updateStatusOfPlayer();
    return true;
}

void closePrompt() {
    resetDialogs();
    hidePointer();
    gRun.playerControl = PLAYER_FREE;
}

void runEquipPrompt() {
    if (!isFadeInDone()) return;
    if (gRun.equipPrompt < PROMPT_COUNT_CEILING) gRun.equipPrompt++;
    if (gRun.equipPrompt == 2) {
        playSoundEffect(SOUND_PROMPT_OPENS);
        openYesNoWindow("Equip items in bag?", 1, 0);
    } else if (gRun.equipPrompt > 2) {
        int32_t answer = updateYesNoWindow(1);
        gRun.playerControl = PLAYER_LOCKED;
        if (answer == 1) {
            sortBagByStats();
            recomputeAdventurerTotals();
        }
        if (answer == 1 || answer == 2) {
            gRun.equipPrompt = 0;
            closePrompt();
        }
    }
}

void leaveThroughGate() {
    if (!gRun.gateIsReturn) {
        int32_t floor = gFloorIndex;
        int32_t stage = gStageIndex;
        gFloorIndex++;
        if (gRun.bossRushBattle >= 0) gRun.bossRushBattle++;
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
        if (!gRun.gateIsReturn) {
            gRun.gatePrompt = GATE_PROMPT_LEAVING;
            if (gFloorIndex == 98 && !storyFlag(FLAG_FLOOR_99_EVENT)) {
                requestEvent(12, 21, 0);
                setStoryFlag(FLAG_FLOOR_99_EVENT, 1);
                gRun.gatePrompt = GATE_PROMPT_LEAVE_NEXT;
            }
        } else {
            if (gFloorIndex == getDungeonFloorCount(gRun.dungeonIndex) - 1) {
                gRun.runEndState = RUN_CLEARED;
                playVoice(CLEARED_VOICE);
            } else {
                gRun.runEndState = RUN_RETURNED;
                playVoice(RETURNED_VOICE);
            }
            gRun.gatePrompt = 0;
        }
        gRun.playerControl = PLAYER_FREE;
    } else if (answer == 2) {
        gRun.gatePrompt = GATE_PROMPT_REFUSED;
        closePrompt();
    }
}

void runGatePrompt() {
    if (gRun.gatePrompt < PROMPT_COUNT_CEILING) gRun.gatePrompt++;
    if (storyFlag(FLAG_DUNGEON_TUTORIAL)) {
        gRun.playerControl = PLAYER_LOCKED;
        if (gRun.gatePrompt == 2) {
            requestEvent(2, 12, 0);
        } else if (gRun.gatePrompt == 3) {
            gRun.gatePrompt = 0;
            setStoryFlag(FLAG_DUNGEON_TUTORIAL_GATE, 1);
            setStoryFlag(FLAG_DUNGEON_TUTORIAL, 0);
            setStoryFlag(FLAG_DUNGEON_TUTORIAL_DONE, 1);
            gRun.playerControl = PLAYER_FREE;
        }
    } else if (gRun.gatePrompt == 2) {
        playSoundEffect(SOUND_PROMPT_OPENS);
        openYesNoWindow(gRun.gateIsReturn ? "Return to town now?" : "Go to the next floor?", 1, 0);
        recordBestTime(
            bestTimeSlot(gRun.dungeonIndex, gFloorIndex, gRun.bossRushCourse, gRun.bossRushBattle, gRun.gateIsReturn));
    } else if (gRun.gatePrompt > 2 && gRun.gatePrompt <= PROMPT_COUNT_CEILING) {
        int32_t answer = updateYesNoWindow(1);
        gRun.playerControl = PLAYER_LOCKED;
        answerGate(answer);
    }
    if (gRun.gatePrompt == GATE_PROMPT_LEAVE_NEXT) {
        gRun.gatePrompt = GATE_PROMPT_LEAVING;
        return;
    }
    if (gRun.gatePrompt == GATE_PROMPT_LEAVING) leaveThroughGate();
}

void bumpRunCounter() {
    if (gChosenAdventurer < 0 || gChosenAdventurer >= ADVENTURER_COUNT) return;
    AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer];
    if (gRun.runEndState == RUN_DEFEATED) a.defeats++;
    if (gRun.runEndState == RUN_RETURNED) a.returns++;
    if (gRun.runEndState == RUN_CLEARED) a.clears++;
}

void runRunEnd() {
    gRun.playerControl = PLAYER_LOCKED;
    gFollower.autoWalk = 0;
    int32_t before = gRun.runEndTimer;
    if (gRun.runEndTimer == RUN_END_VOICE_FRAME && gRun.runEndState == RUN_DEFEATED) {
        const char* voice = defeatVoice(gChosenAdventurer);
        if (voice) playVoice(voice);
    }
    if (gRun.runEndTimer < PROMPT_COUNT_CEILING) gRun.runEndTimer++;
    if (gRun.runEndTimer >= PROMPT_COUNT_CEILING) {
        if (gRun.runEndState == RUN_DEFEATED) {
            if (!storyFlag(FLAG_FIRST_DEFEAT_SEEN)) {
                setStoryFlag(FLAG_FIRST_DEFEAT_SEEN, 1);
                if (!survivalPlay()) requestEvent(2, 13, 0);
            } else if (gInputState[0].pressed & BUTTON_CONFIRM) {
                gRun.runEndTimer = RUN_END_LEAVE;
            }
        } else {
            gRun.runEndTimer = RUN_END_LEAVE;
        }
    }
    // Only the frame that reaches 119 acts: the item selection takes the
    // game out of mode 1, and a frame that still ran after it must not
    // count the run twice.
    if (gRun.runEndTimer == RUN_END_LEAVE && before != RUN_END_LEAVE) {
        openItemSelectScreen();
        bumpRunCounter();
    }
}

// Steps 1 to 8 of an ordinary frame; false when slow motion skips the rest
// of the frame, the closing steps included.
bool runOrdinaryFrame() {
    if (gRun.specialMusicTimer > 0) gRun.specialMusicTimer--;
    if (gRun.floorIntroTimer == 0) gRun.startVoiceTimer++;
    if (gRun.runEndState == RUN_GOES_ON) gRun.floorTime++;
    if (gRun.runEndState > RUN_GOES_ON) runRunEnd();
    if (gRun.slowMotionTimer > 0) {
        gRun.slowMotionTimer--;
        if (gRun.slowMotionTimer % 3 != 0) return false;
    }
    if (gRun.floorIntroTimer > 0) {
        gRun.floorIntroTimer--;
        gRun.playerControl = PLAYER_LOCKED;
        if (gRun.floorIntroTimer == 1 && !storyFlag(FLAG_FIRST_FLOOR_SEEN)) {
            setStoryFlag(FLAG_FIRST_FLOOR_SEEN, 1);
            if (!survivalPlay()) requestEvent(2, 10, 0);
        }
        if (gRun.floorIntroTimer == 0) gRun.equipPrompt = 1;
    }
    checkFallOut();
    const StageRecord* stage = currentFieldStage();
    if (stage && stage->stageCode <= SHOP_STAGE_LAST) {
        updateShopFloor();
    } else if (stage) {
        updateDungeonParty();
    }
    if (gRun.floorIntroTimer == 0) {
        checkTrapProximity();
        updateEnemies();
        updateAttackObjects();
        updateEnemyMotionFrames();
        animateFloorObjects();
    }
    if (gRun.lastHitTimer > 0) gRun.lastHitTimer--;
    updatePickups();
    for (NumberPopup& popup : gNumberPopups)
        if (popup.timer > 0) popup.timer--;
    gRun.trailDue = 1;
    return true;
}

void closeFrame() {
    bool equipFirst =
        (gRun.bossRushCourse >= 0 && gRun.bossRushBattle == 0) || (gRun.dungeonIndex == 5 && gFloorIndex == 30);
    if (equipFirst ? (gRun.equipPrompt == 0 || gRun.equipPrompt == 1) : gRun.hitStopTimer == 0) runStageScript();
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
    if (gRun.switchCutTimer > 0) {
        gRun.switchCutTimer--;
        updateSwitchCut();
        return true;
    }
    InputRecord& input = gInputState[0];
    if (gRun.hitStopTimer > 0) {
        gRun.hitStopInput |= input.pressed;
    } else {
        input.pressed = static_cast<uint16_t>(input.pressed | gRun.hitStopInput);
        gRun.hitStopInput = 0;
    }
    if (runConditionBanner()) return true;
    if (gRun.hitStopTimer > 0) {
        gRun.hitStopTimer--;
        gFieldCamera.cameraFrozen = 1;
        return true;
    }
    if (gRun.equipPrompt > 0 && (!storyFlag(FLAG_HUD_CUTSCENE) || storyFlag(FLAG_HUD_CUTSCENE_2))) {
        runEquipPrompt();
        return true;
    }
    if (gRun.gatePrompt > 0) {
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

bool charactersHidden() { return gRun.charDrawFlag != 0; }
int32_t floorIntroFrames() { return gRun.floorIntroTimer; }
int32_t startVoiceFrame() { return gRun.startVoiceTimer; }
bool playerControlFree() { return gRun.playerControl == PLAYER_FREE; }

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
    if (record == 0 || record > gRun.floorTime) record = gRun.floorTime;
}

void updateFieldFrame() {
    gRun.charDrawFlag = 0;
    gFieldCamera.cameraFrozen = 0;
    if (gRun.gateGuard > 0) gRun.gateGuard--;
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
    gRun = RunState{};
}
