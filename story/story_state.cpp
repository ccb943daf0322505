// The story's state records that no single scene owns, and the story's rows
// of the game's state registry.
#include "story/story_state.h"

#include <cstddef>

#include "engine/state_table.h"
#include "story/story.h"
#include "story/event.h"
#include "story/event_drawing.h"
#include "story/event_script.h"

EventNumber gEventNumber;

void resetEventNumber() { gEventNumber = EventNumber{}; }

static void hashTitle(StateHash& h, ChecksumScope scope) {
    TitleState title = gTitle;
    if (scope != CHECKSUM_ALL) title.slotListFrame = 0;
    // The words before the menu layout hold no float and no padding, so
    // they go in as bytes.
    static_assert(offsetof(TitleState, titleMenuSpacing) == offsetof(TitleState, slotListFrame) + sizeof(int32_t));
    h.add(&title, offsetof(TitleState, titleMenuSpacing));
    h.f32(title.titleMenuSpacing);
    h.f32(title.titleMenuOffset);
    h.i32(title.newGameChosen);
}

static void hashTown(StateHash& h, ChecksumScope) {
    const WorldMapState& map = gWorldMap;
    h.record(map.placeState);
    h.record(map.listedPlaces);
    h.f32(map.clock);
    h.record(map.closedLabel);
    h.i32(map.leaveCounter);
    h.i32(map.cursorPlace);
    h.i32(map.worldMapListCount);
}

static void hashEvent(StateHash& h, ChecksumScope scope) {
    for (const EventSprite& s : gEventSprites) {
        for (float v : {s.x, s.y, s.targetX, s.targetY, s.speedX, s.speedY, s.center}) h.f32(v);
        for (int32_t v : {s.fadeLength, s.fadeTicksLeft, s.visible, s.facing, s.picture, s.blend}) h.i32(v);
        for (int32_t ch = 0; ch < 4; ++ch) {
            h.f32(s.color[ch]);
            h.f32(s.colorStep[ch]);
        }
    }
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
    if (scope == CHECKSUM_ALL) {
        h.i32(e.keyCursorCounter);
        h.i32(e.lightCounter);
    }
}

// The pause menu's words (its pages and the thrown-away items) are
// snapshotted but left out of the run checksum, as they always were.
static const StateRow ROWS[] = {
    stateRow<gFieldMenu>("field menu", resetFieldMenuState, nullptr),
    stateRow<gGameEnd>("game end", resetGameEndState, hashWords<gGameEnd>),
    stateRow<gTitle>("title", resetTitleState, hashTitle),
    stateRow<gSlotListCount>("save list", resetSaveListState, hashWords<gSlotListCount>),
    stateRow<gAvailableAdventurers, gAvailableAdventurerCount>(
        "available adventurers", resetAvailableAdventurers,
        hashWords<gAvailableAdventurers, gAvailableAdventurerCount>),
    stateRow<gWorldMap>("town", resetWorldMapState, hashTown),
    stateRow<gPlaceVisit>("place visits", resetChurchVisit, hashWords<gPlaceVisit>),
    resetRow("event script", resetEventScript),
    stateRow<gEventSprites, gEventScene>("event", resetEventPlayer, hashEvent),
    resetRow("event sheets", resetEventDrawing),
    stateRow<gEventNumber>("event number", resetEventNumber, hashWords<gEventNumber>),
};
const StateTable STORY_STATE = {"story", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};
