#include "game/state_checksum.h"

#include <bit>
#include <vector>

#include "adventurers/bag.h"
#include "adventurers/motion.h"
#include "adventurers/shop_floor.h"
#include "dungeon/field_events.h"
#include "dungeon/field_frame.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "game/headless_run.h"
#include "game/window_proc.h"
#include "shop/shop_state.h"
#include "story/available_adventurers.h"
#include "story/event.h"
#include "story/save_list.h"
#include "story/place_visits.h"
#include "story/title.h"
#include "story/world_map.h"

static int32_t currentStageIndex() {
    if (!gCurrentStage) return -1;
    if (gCurrentStage >= gStages && gCurrentStage < gStages + STAGE_CODE_COUNT) return (int32_t)(gCurrentStage - gStages);
    return -2;   // a record of a test's own
}

static uint64_t hashState(ChecksumScope scope, StateSection* sections, int32_t sectionMax, int32_t* sectionCount) {
    const bool frames = scope == CHECKSUM_ALL;
    StateHash h;
    h.sections = sections;
    h.sectionMax = sections ? sectionMax : 0;

    h.tag("frame loop");
    h.i32(gGameMode);
    h.i32(gTickCounter);
    h.i32(gUpdateCount);
    h.f32(gTimeOfDay);
    if (frames) h.i32(gFrameCounter);
    h.u32(gRandomState);
    h.i32(gAppActive);
    h.i32(gDeviceOk);

    h.tag("fades");
    h.i32(gFadeState);
    h.i32(gFadeCounter);
    h.i32(gFadeKind);
    h.i32(gFadeLength);
    h.i32(gBlackout);

    h.tag("loaders");
    h.record(gStageChange);
    h.i32(gSceneLoading);
    h.i32(gShowLoading);
    h.i32(gPartLoading);
    h.i32(gShowPartLoading);
    h.i32(gEventLoaderMode);
    h.i32(gEventReady);
    h.i32(gEventJustLoaded);
    h.i32(gPortraitState);
    h.i32(gShopPartState);
    h.i32(isLoaderThreadRunning() ? 1 : 0);
    if (frames) h.f32(gLoadingSignAngle);

    h.tag("overlay");
    h.i32(gOverlayScreen.kind);
    h.i32(gOverlayScreen.openCounter);
    if (frames) h.i32(gOverlayScreen.renderCounter);
    h.i32(gOverlayScreen.opening);
    h.i32(gOverlayScreen.savedMode);
    h.i32(gFrozenFrameStep);
    h.i32(gAfterimageStep);
    h.i32(gAfterimageLength);
    if (frames) h.i32(gScreenCaptured);
    h.i32(gCameraShake.spriteX);
    h.i32(gCameraShake.spriteY);

    h.tag("input");
    h.record(gInputState);
    h.record(gPadBindings);

    h.tag("stage");
    h.i32(gStageIndex);
    h.i32(gFloorIndex);
    h.i32(currentStageIndex());
    h.i32(gOpeningVariant);

    h.tag("sound");
    h.i32(gSound.ready);
    for (const AudioSegment& music : gSound.music) h.i32(music.starts);
    h.record(gSound.effectRequests);
    h.i32(gSound.voice.starts);
    for (const AudioSegment& effect : gEffectSegments) h.i32(effect.starts);
    h.i32(gCurrentTrack);
    h.i32(gForcedTrack);
    h.i32(gKeepEventMusic);
    h.i32(gMusicFadeRequest);
    h.i32(gMusicFadeDirection);
    h.i32(gMusicFadeFrame);
    h.i32(gMusicFadeFrames);
    h.f32(gMusicFadeFactor);
    h.i32(gReportMusicFlag);
    h.i32(gBossMusicFlag);

    h.tag("dialogs");
    h.i32(gMessageWindow.openCounter);
    h.i32(gMessageWindow.closing);
    h.i32(gMessageWindow.markerCount);
    for (const auto& line : gMessageWindow.lines) h.text(line, sizeof line);
    h.i32(gYesNoWindow.openCounter);
    h.i32(gYesNoWindow.closingCounter);
    h.i32(gYesNoWindow.result);
    h.i32(gYesNoWindow.cancelAllowed);
    h.i32(gYesNoWindow.choice);
    h.i32(gYesNoWindow.lineCount);
    h.f32(gYesNoWindow.rowOffset);
    for (const auto& line : gYesNoWindow.lines) h.text(line, sizeof line);
    h.f32(gPointer.x);
    h.f32(gPointer.y);
    h.f32(gPointer.dx);
    h.f32(gPointer.dy);
    h.i32(gPointer.glideFrames);
    h.i32(gPointer.shown);
    h.i32(gPointer.bobCounter);

    h.tag("title");
    TitleState title = gTitle;
    if (!frames) title.slotListFrame = 0;
    h.record(title);
    h.f32(gTitleMenuSpacing);
    h.f32(gTitleMenuOffset);
    h.i32(gNewGameChosen);
    h.i32(gSlotListCount);

    h.tag("shop");
    h.record(gCounter);
    h.i32(gMarketMode);
    h.record(gMarket);
    h.record(gDayPlan.dayCandidates);
    h.record(gDayPlan.visitPlan);
    h.i32(gDayPlan.visitPlanCount);
    h.record(gDayPlan.visitOrder);
    h.record(gDayPlan.dayLineup);
    h.record(gShopAtmosphere);
    h.record(gDayReport);
    h.record(gItemChoice);
    h.i32(gDayEndUnpaid);
    h.i32(gDayEndFinal);
    h.i32(gShopFloorState);
    h.i32(gShopDayPhase);
    h.i32(gShopSequence);
    for (int32_t v : {gFieldTicks, gShopEditMode, gSelectedShelf, gShopMenuSlide, gShopMenuDelay, gShopMenuCursor[0],
                      gLeavingShop, gMorningGreeting, gNightTalkVariant, gShopActionTimer[0], gShopActionTimer[1]})
        h.i32(v);
    h.record(gShopGrid);
    h.record(gShelfCarry);
    const ItemListState& list = gItemList;
    for (int32_t v : {list.type, list.open, list.slide, list.pageCount, list.page, list.savedPage, list.flash,
                      list.infoItemKey, list.infoItemStock, list.infoState, list.header, list.equipAdventurer,
                      list.equipSlot, list.useTimer, list.discardTimer})
        h.i32(v);
    h.f32(list.infoPriceFactor);
    h.record(list.pageStart);
    h.record(list.pageSize);
    h.record(list.pageKey);
    h.record(list.scroll);
    h.record(list.cursor);
    h.record(list.savedScroll);
    h.record(list.savedCursor);
    h.record(list.useValues);
    h.record(list.entries);
    h.record(gAvailableAdventurers);
    h.i32(gAvailableAdventurerCount);

    h.tag("town");
    const WorldMapState& map = gWorldMap;
    h.record(map.placeState);
    h.record(map.listedPlaces);
    h.f32(map.clock);
    h.record(map.closedLabel);
    h.i32(map.leaveCounter);
    h.i32(map.cursorPlace);
    h.i32(gWorldMapListCount);
    h.record(gPlaceVisit);

    h.tag("dungeon");
    h.i32(gDungeonIndex);
    h.i32(gRunEndState);
    h.i32(gRunEndTimer);
    h.record(gBag);
    h.i32(gBagCapacity);
    h.record(gBagAtDeparture);
    h.i32(gSpecialMusicTimer);
    h.record(gEventNumber);
    for (int32_t word : {gBossRushCourse, gBossRushBattle, gGatePrompt, gGateIsReturn, gGateGuard, gEquipPrompt,
                         gSwitchCutTimer, gHitStopTimer, gHitStopInput, gSlowMotionTimer, gFloorIntroTimer,
                         gFloorTime, gLastHitTimer, gPlayerControl, gTrailDue, gAutoWalk, gFallTimer})
        h.i32(word);
    h.i32(gFairyWander.phase);
    h.i32(gFairyWander.ticks);
    h.f32(gFairyWander.targetX);
    h.f32(gFairyWander.targetZ);

    h.tag("event");
    for (const EventSprite& s : gEventSprites) {
        for (float v : {s.x, s.y, s.targetX, s.targetY, s.speedX, s.speedY, s.center}) h.f32(v);
        for (int32_t v : {s.fadeLength, s.fadeTicksLeft, s.visible, s.facing, s.picture, s.blend}) h.i32(v);
        for (int32_t ch = 0; ch < 4; ++ch) {
            h.f32(s.color[ch]);
            h.f32(s.colorStep[ch]);
        }
    }
    {
        const EventSceneState& e = gEventScene;
        for (int32_t v : {e.skipQuestionOpen, e.pointerWasShown, e.framesRun, e.tickRate, e.programCounter, e.waitTimer,
                          e.windowCounter, e.messageFirstLine, e.messageLineCount, e.newMessage, e.revealCounter,
                          e.textComplete, e.keyWaitTicks, e.speakerSprite, e.plateCell, e.windowY, e.balloonStyle,
                          e.slidePanelCounter, e.background, e.scrollOffset, e.scrollSpeed, e.backgroundRumble,
                          e.spriteRumble, e.lightOn, e.fadeMode, e.fadeCounter, e.fadeLength, e.musicTrackRequest,
                          e.musicTrack, e.musicFadeRequest, e.musicFadeLength, e.skipOff, e.textSpeed})
            h.i32(v);
        for (float v : {e.pointerX, e.pointerY, e.lightFrequency, e.lightAmplitude}) h.f32(v);
        h.u32(e.fadeColor);
        if (frames) {
            h.i32(e.keyCursorCounter);
            h.i32(e.lightCounter);
        }
    }

    // The file records name their padding; they are read from the file or
    // cleared whole, so every byte is defined.
    h.tag("running game");
    h.i32(gCurrentSlot);
    h.record(runningGameState());
    h.tag("save image");
    h.i32(gSaveConverted);
    h.record(gSaveImage);
    if (sectionCount) *sectionCount = h.sectionCount;
    return h.hash;
}

uint64_t headlessStateChecksum(ChecksumScope scope) { return hashState(scope, nullptr, 0, nullptr); }

int32_t headlessStateSections(ChecksumScope scope, StateSection* sections, int32_t max) {
    int32_t count = 0;
    hashState(scope, sections, max, &count);
    return count;
}

bool headlessFrameChecksum(uint64_t& checksum) {
    static std::vector<uint32_t> pixels;
    int32_t width = gScreenSize.width, height = gScreenSize.height;
    if (width <= 0 || height <= 0) return false;
    pixels.resize((size_t)width * (size_t)height);
    if (!headlessReadFrame(pixels.data(), width, height)) return false;
    static_assert(std::endian::native == std::endian::little);
    checksum = fnv1a64(pixels.data(), pixels.size() * sizeof(uint32_t));
    return true;
}
