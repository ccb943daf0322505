#include "engine/engine_state.h"

#include <array>

#include "engine/config_index.h"
#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/meshes.h"
#include "engine/movie.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/skin_models.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"

static void hashLoaders(StateHash& h, ChecksumScope scope) {
    h.record(gStageChange);
    for (int32_t v : {gSceneLoading, gShowLoading, gPartLoading, gShowPartLoading, gEventLoaderMode, gEventReady,
                      gEventJustLoaded, gPortraitState, gShopPartState})
        h.i32(v);
    h.i32(isLoaderThreadRunning() ? 1 : 0);
    if (scope == CHECKSUM_ALL) h.f32(gLoadingSignAngle);
}

static void hashFrameLoop(StateHash& h, ChecksumScope scope) {
    h.i32(gGameMode);
    h.i32(gTickCounter);
    h.i32(gUpdateCount);
    h.f32(gTimeOfDay);
    if (scope == CHECKSUM_ALL) h.i32(gFrameCounter);
}

static void hashOverlay(StateHash& h, ChecksumScope scope) {
    h.i32(gOverlayScreen.kind);
    h.i32(gOverlayScreen.openCounter);
    if (scope == CHECKSUM_ALL) h.i32(gOverlayScreen.renderCounter);
    h.i32(gOverlayScreen.opening);
    h.i32(gOverlayScreen.savedMode);
    h.i32(gFrozenFrameStep);
    h.i32(gAfterimageStep);
    h.i32(gAfterimageLength);
    if (scope == CHECKSUM_ALL) h.i32(gScreenCaptured);
}

static void hashDialogs(StateHash& h, ChecksumScope) {
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
}

static void hashSound(StateHash& h, ChecksumScope) {
    h.i32(gSound.ready);
    for (const AudioSegment& music : gSound.music) h.i32(music.starts);
    h.record(gSound.effectRequests);
    h.i32(gSound.voice.starts);
    for (const AudioSegment& effect : gEffectSegments) h.i32(effect.starts);
    for (int32_t v : {gCurrentTrack, gForcedTrack, gKeepEventMusic, gMusicFadeRequest, gMusicFadeDirection,
                      gMusicFadeFrame, gMusicFadeFrames})
        h.i32(v);
    h.f32(gMusicFadeFactor);
    h.i32(gReportMusicFlag);
    h.i32(gBossMusicFlag);
}

// The music choice and the start counts, not the loaded samples: a
// snapshot must not hand back a sound buffer released since.
static constexpr auto SOUND_SPANS = [] {
    std::array<StateSpan, 3 + MUSIC_TRACK_COUNT + SOUND_EFFECT_COUNT + 10> spans{};
    size_t n = 0;
    spans[n++] = {&gSound.ready, sizeof gSound.ready};
    spans[n++] = {&gSound.effectRequests, sizeof gSound.effectRequests};
    spans[n++] = {&gSound.voice.starts, sizeof gSound.voice.starts};
    for (AudioSegment& music : gSound.music) spans[n++] = {&music.starts, sizeof music.starts};
    for (AudioSegment& effect : gEffectSegments) spans[n++] = {&effect.starts, sizeof effect.starts};
    for (int32_t* word : {&gCurrentTrack, &gForcedTrack, &gKeepEventMusic, &gMusicFadeRequest, &gMusicFadeDirection,
                          &gMusicFadeFrame, &gMusicFadeFrames, &gReportMusicFlag, &gBossMusicFlag})
        spans[n++] = {word, sizeof *word};
    spans[n++] = {&gMusicFadeFactor, sizeof gMusicFadeFactor};
    return spans;
}();

static void hashCameraShake(StateHash& h, ChecksumScope) {
    h.i32(gCameraShake.spriteX);
    h.i32(gCameraShake.spriteY);
}

static int32_t currentStageIndex() {
    if (!gCurrentStage) return -1;
    if (gCurrentStage >= gStages && gCurrentStage < gStages + STAGE_CODE_COUNT) return (int32_t)(gCurrentStage - gStages);
    return -2;   // a record of a test's own
}

static void hashStage(StateHash& h, ChecksumScope) {
    h.i32(gStageIndex);
    h.i32(gFloorIndex);
    h.i32(currentStageIndex());
}

// The file records name their padding; they are read from the file or
// cleared whole, so every byte is defined.
static void hashSave(StateHash& h, ChecksumScope) {
    h.i32(gCurrentSlot);
    h.record(runningGameState());
    h.i32(gSaveConverted);
    h.record(gSaveImage);
}

static void resetSprites() {
    resetSpriteState();
    resetScreenMapping();
}

static const StateRow ROWS[] = {
    stateRow<gStageChange, gSceneLoading, gShowLoading, gPartLoading, gShowPartLoading, gEventLoaderMode, gEventReady,
             gEventJustLoaded, gPortraitState, gShopPartState, gLoadingSignAngle>("loaders", resetLoaderState,
                                                                                  hashLoaders),
    stateRow<gGameMode, gTickCounter, gUpdateCount, gFrameCounter, gTimeOfDay>("frame loop", resetFrameLoopState,
                                                                               hashFrameLoop),
    stateRow<gRandomState>("random", resetRandom, hashWords<gRandomState>),
    stateRow<gDeviceOk>("device", resetDeviceFlags, hashWords<gDeviceOk>),
    // What the settings and configuration files set: read afresh at every
    // boot, so nothing resets them, but a test that changes one gets it back.
    stateRow<gScreenSize, gWindowed, gWindowAspectLock, gUseWindowPos, gWindowPos, gFrameSkip, gDispFps, gSfNoUse,
             gIniVolumes, gTexLevel, gEasyDisp, gEasyDispTextures, gSEasyDisp, gUseMipmap, gUseFog, gUseLightTex,
             gNoLight, gUseTree, gTooriOff, gIniPath, gFontAllCodes, gFontEdgeWidth, gFontEdgeFalloff, gFontFaceName>(
        "settings", nullptr, nullptr),
    // The frame's view and projection, set again by every drawn frame.
    stateRow<gCamera>("camera", nullptr, nullptr),
    stateRow<gFadeState, gFadeCounter, gFadeKind, gFadeLength, gBlackout>(
        "fades", resetFades, hashWords<gFadeState, gFadeCounter, gFadeKind, gFadeLength, gBlackout>),
    stateRow<gOverlayScreen, gFrozenFrameStep, gAfterimageStep, gAfterimageLength, gScreenCaptured>(
        "overlay", resetOverlayScreen, hashOverlay),
    stateRow<gMessageWindow, gYesNoWindow, gPointer>("dialogs", resetDialogState, hashDialogs),
    stateRow<gInputState, gPadBindings>("input", resetInputState, hashWords<gInputState, gPadBindings>),
    StateRow{"sound", resetSoundState, hashSound, SOUND_SPANS.data(), (int32_t)SOUND_SPANS.size()},
    stateRow<gCameraShake, gFontStyle, gScreenMapping, gYawMatrix, gBillboardMatrix>("sprites", resetSprites,
                                                                                      hashCameraShake),
    stateRow<gStageIndex, gFloorIndex, gCurrentStage>("stage", resetStagePosition, hashStage),
    stateRow<gOpeningVariant>("opening", resetOpeningVariant, hashWords<gOpeningVariant>),
    stateRow<gSaveImage, gWorkImage, gCurrentSlot, gSaveConverted>("save", resetSaveState, hashSave),
    resetRow("character textures", resetCharacterTextures),
    stateRow<gShowFps>("debug text", resetDebugText, nullptr),
    resetRow("mesh textures", resetMeshTextures),
    resetRow("skin models", resetSkinModels),
    resetRow("media", resetMedia),
};
const StateTable ENGINE_STATE = {"engine", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};
