#include "story/event.h"

#include "story/event_script.h"

void startEvent() { beginEventScript(); }

void beginEventScript() {
    resetEventState();
    compileEventScript();
}

// The event player's own state arrives with the event runtime; the
// compiler empties its tables itself.
void resetEventState() {}
int32_t stepEvent() { return 1; }
int32_t getEventBackgroundCount() { return gEventScriptCounts.backgrounds; }
int32_t requestEventSkip() { return 0; }
void drawEventScene() {}
void loadEventTextures() {}

// The handlers' effects arrive with the event runtime; until then each only
// gives its step's result.
int32_t eventCmdSe(int32_t, int32_t) { return 1; }
int32_t eventCmdBgScroll(int32_t, int32_t) { return 1; }
int32_t eventCmdWindowSet(int32_t, int32_t) { return 1; }
int32_t eventCmdColor(int32_t, int32_t) { return 1; }
int32_t eventCmdWindowPos(int32_t, int32_t) { return 1; }
int32_t eventCmdSkip(int32_t, int32_t) { return 1; }
int32_t eventCmdBgSet(int32_t, int32_t) { return 1; }
int32_t eventCmdRumble(int32_t, int32_t) { return 1; }
int32_t eventCmdSpeaker(int32_t, int32_t) { return 1; }
int32_t eventCmdShowMessage(int32_t, int32_t) { return 2; }
int32_t eventCmdWaitKey(int32_t, int32_t) { return 2; }
int32_t eventCmdCloseWindow(int32_t, int32_t) { return 1; }
int32_t eventCmdWait(int32_t, int32_t) { return 2; }
int32_t eventCmdChrDisp(int32_t, int32_t) { return 1; }
int32_t eventCmdChrDir(int32_t, int32_t) { return 1; }
int32_t eventCmdChrMoveX(int32_t, int32_t) { return 1; }
int32_t eventCmdChrMoveY(int32_t, int32_t) { return 1; }
int32_t eventCmdChrMoveToX(int32_t, int32_t) { return 1; }
int32_t eventCmdChrMoveToY(int32_t, int32_t) { return 1; }
int32_t eventCmdChrCenter(int32_t, int32_t) { return 1; }
int32_t eventCmdChrSpeed(int32_t, int32_t) { return 1; }
int32_t eventCmdChrFadeFrame(int32_t, int32_t) { return 1; }
int32_t eventCmdChrImage(int32_t, int32_t) { return 1; }
int32_t eventCmdChrBlend(int32_t, int32_t) { return 1; }
int32_t eventCmdChrCol(int32_t, int32_t) { return 1; }
int32_t eventCmdChrColTo(int32_t, int32_t) { return 1; }
int32_t eventCmdHoldMusic(int32_t, int32_t) { return 1; }
int32_t eventCmdMusic(int32_t, int32_t) { return 1; }
int32_t eventCmdMusicFadeIn(int32_t, int32_t) { return 1; }
int32_t eventCmdMusicFadeOut(int32_t, int32_t) { return 1; }
int32_t eventCmdFadeIn(int32_t, int32_t) { return 1; }
int32_t eventCmdFadeOut(int32_t, int32_t) { return 1; }
int32_t eventCmdLightOn(int32_t, int32_t) { return 1; }
int32_t eventCmdLightOff(int32_t, int32_t) { return 1; }
int32_t eventCmdEnd(int32_t, int32_t) { return 3; }
