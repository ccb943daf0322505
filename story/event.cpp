#include "story/event.h"

#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "story/event_script.h"

const int32_t EVENT_TEXT_SPEEDS[EVENT_SPEED_COUNT] = {16, 32, 1024};
const char EVENT_SKIP_QUESTION[] = "Skip this event?";

EventSprite gEventSprites[EVENT_SPRITE_MAX];
EventSceneState gEventScene;

namespace {


constexpr EventSprite SPRITE_START = {
    0.0f, 0.0f, 800.0f, 0.0f, 2.0f, 2.0f, 0.0f, 0, 0, 0, 0, 0,
    {255.0f, 255.0f, 255.0f, 255.0f}, {255.0f, 255.0f, 255.0f, 255.0f}, EVENT_BLEND_NORMAL_SHADE,
};

EventSceneState sceneStart() {
    EventSceneState s{};
    s.tickRate = 1;
    s.messageFirstLine = -1;
    s.slidePanelCounter = -1;
    s.musicTrack = -1;
    s.musicFadeLength = 60;
    s.textSpeed = EVENT_TEXT_SPEEDS[1];
    return s;
}

bool held(uint16_t button) { return ((gInputState[0].raw | gInputState[1].raw) & button) != 0; }
bool pressed(uint16_t button) { return ((gInputState[0].pressed | gInputState[1].pressed) & button) != 0; }

// Scripts name sprites by one digit; anything else finds no sprite.
EventSprite* spriteAt(int32_t index) {
    return index >= 0 && index < EVENT_SPRITE_MAX ? &gEventSprites[index] : nullptr;
}

// The running event's seen byte in this game, or null for numbers that have none.
uint8_t* runningSeenByte() {
    int32_t index = eventSeenIndex(gEventNumber.major, gEventNumber.minor);
    return index < 0 ? nullptr : &runningGameState().seenEvents[index];
}

bool fastSkipAllowed() {
    const uint8_t* seen = runningSeenByte();
    return (seen && *seen) || gOptionTextSkip != 0;
}

void markEventSeen() {
    int32_t index = eventSeenIndex(gEventNumber.major, gEventNumber.minor);
    if (index < 0) return;
    runningGameState().seenEvents[index] = 1;
    gSaveImage.header.seenEventsAll[index] = 1;
}

// Channel bytes of a packed colour step: red in bits 0-7, so the first value
// of "col:" (given blue first) lands in blue.
void unpackColor(int32_t packed, float* rgba) {
    uint32_t c = (uint32_t)packed;
    rgba[0] = (float)(c & 0xFF);
    rgba[1] = (float)(c >> 8 & 0xFF);
    rgba[2] = (float)(c >> 16 & 0xFF);
    rgba[3] = (float)(c >> 24 & 0xFF);
}

void moveAxis(float& at, float target, float speed) {
    if (at > target + (speed - 1.0f)) at -= speed;
    if (at < target - (speed - 1.0f)) at += speed;
}

void stepSprites() {
    for (EventSprite& s : gEventSprites) {
        if (!s.visible) continue;
        moveAxis(s.x, s.targetX, s.speedX);
        moveAxis(s.y, s.targetY, s.speedY);
        if (s.fadeTicksLeft > 0) {
            --s.fadeTicksLeft;
            for (int32_t ch = 0; ch < 4; ++ch) s.color[ch] += s.colorStep[ch];
        }
    }
}

void stepMusicRequests() {
    EventSceneState& e = gEventScene;
    if (e.musicTrackRequest) {
        forceMusicTrack(e.musicTrack);
        e.musicTrackRequest = 0;
    }
    if (e.musicFadeRequest == EVENT_MUSIC_FADE_IN) fadeInMusic(e.musicFadeLength);
    else if (e.musicFadeRequest == EVENT_MUSIC_FADE_OUT) fadeOutMusic(e.musicFadeLength);
    e.musicFadeRequest = EVENT_MUSIC_FADE_NONE;
}

void stepScreenFade() {
    EventSceneState& e = gEventScene;
    if (e.fadeMode == EVENT_FADE_NONE) return;
    if (++e.fadeCounter <= e.fadeLength) return;
    e.fadeCounter = e.fadeLength;
    // A fade-out holds its cover until a fade-in replaces it.
    if (e.fadeMode == EVENT_FADE_IN) e.fadeMode = EVENT_FADE_NONE;
}

void runEventTick(bool fastSkip) {
    EventSceneState& e = gEventScene;
    // Summed wide: a script's speed may be any number.
    int64_t offset = (int64_t)e.scrollOffset + e.scrollSpeed;
    e.scrollOffset = offset <= -EVENT_SCROLL_WRAP || offset >= EVENT_SCROLL_WRAP ? 0 : (int32_t)offset;

    if (e.revealCounter > 0) ++e.revealCounter;
    if (pressed(BUTTON_CONFIRM) || (fastSkip && held(BUTTON_SUB))) e.revealCounter = EVENT_REVEAL_MAX;
    if (e.revealCounter > EVENT_REVEAL_MAX) e.revealCounter = EVENT_REVEAL_MAX;
    if (e.textComplete) ++e.keyWaitTicks;

    if (e.backgroundRumble > 0) --e.backgroundRumble;
    if (e.spriteRumble > 0) --e.spriteRumble;
    stepSprites();
    stepMusicRequests();
    stepScreenFade();
    if (e.slidePanelCounter != -1 && e.slidePanelCounter < EVENT_SLIDE_PANEL_MAX) ++e.slidePanelCounter;
}

// The window opens and closes over 15 ticks; waits run down only while it rests.
void runWindowTick() {
    EventSceneState& e = gEventScene;
    bool shown = e.messageFirstLine != -1;
    if (shown && e.windowCounter < EVENT_WINDOW_OPEN) ++e.windowCounter;
    else if (!shown && e.windowCounter > 0) --e.windowCounter;
    else if (e.waitTimer > 0) --e.waitTimer;
}

void restorePointer() {
    EventSceneState& e = gEventScene;
    e.skipQuestionOpen = 0;
    if (e.pointerWasShown) setPointerPosition(e.pointerX, e.pointerY);
    else hidePointer();
}

// Runs steps from the program counter until one stays, yields or ends.
int32_t runSteps() {
    EventSceneState& e = gEventScene;
    for (;;) {
        // An empty entry or the table's end: the script has nothing left, so
        // the event ends rather than wait on it for ever (not marked seen).
        if (e.programCounter < 0 || e.programCounter >= EVENT_COMMAND_MAX) return 1;
        const EventCommand& step = gEventCommands[e.programCounter];
        if (!step.handler) return 1;
        int32_t result = step.handler(step.a, step.b);
        if (result == 0) return 0;
        if (result == 3) {
            markEventSeen();
            return 1;
        }
        ++e.programCounter;
        if (result == 2) return 0;
    }
}

}  // namespace

int32_t eventSeenIndex(int32_t major, int32_t minor) {
    if (major < 0 || minor < 0 || minor >= EVENT_SEEN_MINORS) return -1;
    int32_t index = major * EVENT_SEEN_MINORS + minor;
    return index < SEEN_EVENT_COUNT ? index : -1;
}

void startEvent() {
    gEventScene.skipQuestionOpen = 0;
    beginEventScript();
}

void beginEventScript() {
    resetEventState();
    gEventScene.programCounter = 0;
    compileEventScript();
}

void resetEventPlayer() {
    for (EventSprite& s : gEventSprites) s = SPRITE_START;
    gEventScene = sceneStart();
}

void resetEventState() {
    resetEventPlayer();
    // The meshes of the last event go before its table entries are renamed.
    for (EventMesh& m : gEventResources.meshes) releaseMesh(&m.mesh);
    resetEventScript();
    if (gOptionMessageSpeed < 0) gOptionMessageSpeed = 0;
    if (gOptionMessageSpeed >= EVENT_SPEED_COUNT) gOptionMessageSpeed = EVENT_SPEED_COUNT - 1;
    gEventScene.textSpeed = EVENT_TEXT_SPEEDS[gOptionMessageSpeed];
}

int32_t stepEvent() {
    EventSceneState& e = gEventScene;
    ++e.framesRun;
    if (e.skipQuestionOpen) {
        int32_t answer = updateYesNoWindow(0);
        if (answer == 1) {
            restorePointer();
            return 1;
        }
        if (answer == 2) restorePointer();
        return 0;
    }

    bool fastSkip = fastSkipAllowed();
    e.tickRate = 1;
    if (held(BUTTON_CANCEL)) {
        e.tickRate = 2;
        stopVoice();
    } else if (held(BUTTON_SUB) && fastSkip) {
        e.tickRate = EVENT_TICK_RATE_FAST;
        stopVoice();
    }
    for (int32_t i = 0; i < e.tickRate; ++i) runEventTick(fastSkip);
    for (int32_t i = 0; i < e.tickRate; ++i) runWindowTick();
    if (e.waitTimer > 0) return 0;
    return runSteps();
}

int32_t requestEventSkip() {
    EventSceneState& e = gEventScene;
    if (e.skipOff || e.framesRun < 2 || e.skipQuestionOpen) return 0;
    e.pointerWasShown = isPointerShown() ? 1 : 0;
    getPointerPosition(&e.pointerX, &e.pointerY);
    e.skipQuestionOpen = 1;
    openYesNoWindow(EVENT_SKIP_QUESTION, 1, 0);
    return 1;
}

int32_t eventCmdSe(int32_t a, int32_t) {
    // At double or fast speed the voices are not played.
    if (gEventScene.tickRate == 1 && a >= 0 && a < EVENT_SOUND_MAX) playVoice(gEventResources.soundNames[a]);
    return 1;
}

int32_t eventCmdBgScroll(int32_t a, int32_t) {
    gEventScene.scrollSpeed = a;
    return 1;
}

int32_t eventCmdWindowSet(int32_t a, int32_t) {
    gEventScene.slidePanelCounter = a;
    return 1;
}

// A colour keyword only names a colour; nothing shows it.
int32_t eventCmdColor(int32_t, int32_t) { return 1; }

int32_t eventCmdWindowPos(int32_t a, int32_t b) {
    gEventScene.windowY = a;
    gEventScene.balloonStyle = b;
    return 1;
}

int32_t eventCmdSkip(int32_t a, int32_t) {
    gEventScene.skipOff = a;
    return 1;
}

int32_t eventCmdBgSet(int32_t a, int32_t) {
    gEventScene.background = a;
    gEventScene.scrollOffset = 0;
    return 1;
}

int32_t eventCmdRumble(int32_t a, int32_t b) {
    gEventScene.backgroundRumble = a;
    gEventScene.spriteRumble = b;
    return 1;
}

int32_t eventCmdSpeaker(int32_t a, int32_t b) {
    gEventScene.speakerSprite = a;
    gEventScene.plateCell = b;
    return 1;
}

int32_t eventCmdShowMessage(int32_t a, int32_t b) {
    EventSceneState& e = gEventScene;
    e.messageFirstLine = a;
    e.messageLineCount = b;
    e.revealCounter = 0;
    e.keyWaitTicks = 0;
    e.newMessage = 1;
    return 2;
}

// A confirm counts only once the text has stood complete for 15 ticks, so
// one press never both completes a text and moves on.
int32_t eventCmdWaitKey(int32_t, int32_t) {
    if (gEventScene.keyWaitTicks < EVENT_KEY_WAIT_TICKS) return 0;
    if (held(BUTTON_CANCEL) || held(BUTTON_SUB)) return 2;
    if (pressed(BUTTON_CONFIRM)) {
        playSoundEffect(SOUND_LINE_ANSWERED);
        return 2;
    }
    return 0;
}

int32_t eventCmdCloseWindow(int32_t, int32_t) {
    gEventScene.messageFirstLine = -1;
    return 1;
}

int32_t eventCmdWait(int32_t a, int32_t) {
    gEventScene.waitTimer = a;
    return 2;
}

int32_t eventCmdChrDisp(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->visible = b;
    return 1;
}

int32_t eventCmdChrDir(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->facing = b;
    return 1;
}

int32_t eventCmdChrMoveX(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->x = s->targetX = (float)b;
    return 1;
}

int32_t eventCmdChrMoveY(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->y = s->targetY = (float)b;
    return 1;
}

int32_t eventCmdChrMoveToX(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->targetX = (float)b;
    return 1;
}

int32_t eventCmdChrMoveToY(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->targetY = (float)b;
    return 1;
}

int32_t eventCmdChrCenter(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->center = (float)b;
    return 1;
}

int32_t eventCmdChrSpeed(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->speedX = s->speedY = (float)(b % 65536) / 1000.0f;
    return 1;
}

int32_t eventCmdChrFadeFrame(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->fadeLength = b;
    return 1;
}

int32_t eventCmdChrImage(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->picture = b;
    return 1;
}

int32_t eventCmdChrBlend(int32_t a, int32_t b) {
    if (EventSprite* s = spriteAt(a)) s->blend = b;
    return 1;
}

// A colour set outright also ends a colto: fade still running, which would
// otherwise keep adding its steps to the new colour.
int32_t eventCmdChrCol(int32_t a, int32_t b) {
    EventSprite* s = spriteAt(a);
    if (!s) return 1;
    unpackColor(b, s->color);
    unpackColor(b, s->colorStep);
    s->fadeTicksLeft = 0;
    return 1;
}

int32_t eventCmdChrColTo(int32_t a, int32_t b) {
    EventSprite* s = spriteAt(a);
    if (!s) return 1;
    s->fadeTicksLeft = s->fadeLength;
    if (s->fadeLength <= 0) return 1;
    float target[4];
    unpackColor(b, target);
    for (int32_t ch = 0; ch < 4; ++ch) s->colorStep[ch] = (target[ch] - s->color[ch]) / (float)s->fadeLength;
    return 1;
}

int32_t eventCmdHoldMusic(int32_t, int32_t) {
    setKeepEventMusic(1);
    return 1;
}

int32_t eventCmdMusic(int32_t a, int32_t) {
    gEventScene.musicTrackRequest = 1;
    gEventScene.musicTrack = a;
    return 1;
}

int32_t eventCmdMusicFadeIn(int32_t a, int32_t) {
    gEventScene.musicFadeRequest = EVENT_MUSIC_FADE_IN;
    gEventScene.musicFadeLength = a;
    return 1;
}

int32_t eventCmdMusicFadeOut(int32_t a, int32_t) {
    gEventScene.musicFadeRequest = EVENT_MUSIC_FADE_OUT;
    gEventScene.musicFadeLength = a;
    return 1;
}

static void startScreenFade(int32_t mode, int32_t color, int32_t length) {
    gEventScene.fadeMode = mode;
    gEventScene.fadeColor = (uint32_t)color;
    gEventScene.fadeLength = length;
    gEventScene.fadeCounter = 0;
}

int32_t eventCmdFadeIn(int32_t a, int32_t b) {
    startScreenFade(EVENT_FADE_IN, a, b);
    return 1;
}

int32_t eventCmdFadeOut(int32_t a, int32_t b) {
    startScreenFade(EVENT_FADE_OUT, a, b);
    return 1;
}

int32_t eventCmdLightOn(int32_t a, int32_t b) {
    gEventScene.lightOn = 1;
    gEventScene.lightFrequency = (float)a / 1000.0f;
    gEventScene.lightAmplitude = (float)b / 1000.0f;
    return 1;
}

int32_t eventCmdLightOff(int32_t a, int32_t b) {
    gEventScene.lightOn = 0;
    gEventScene.lightFrequency = (float)a / 1000.0f;
    gEventScene.lightAmplitude = (float)b / 1000.0f;
    return 1;
}

int32_t eventCmdEnd(int32_t, int32_t) { return 3; }
