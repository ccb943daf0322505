// story/event.h: the running event script's step and drawing.
#pragma once
#include <cstdint>

// Compiles the script of gEventNumber and registers its pictures (main thread).
void startEvent();
// Resets the event player, then compiles the script (story/event_script.h).
void beginEventScript();
void resetEventState();
int32_t stepEvent();               // 1 on the tick the script ends
int32_t getEventBackgroundCount();
// Opens the yes/no question that skips the running event; 1 when it did.
int32_t requestEventSkip();
void drawEventScene();
void loadEventTextures();

// The step handlers the compiler writes into gEventCommands. Each takes the
// step's two arguments and returns 0 (stay on the step), 1 (done, run the
// next step now), 2 (done, run the next step next tick) or 3 (the end).
int32_t eventCmdSe(int32_t a, int32_t b);
int32_t eventCmdBgScroll(int32_t a, int32_t b);
int32_t eventCmdWindowSet(int32_t a, int32_t b);
int32_t eventCmdColor(int32_t a, int32_t b);
int32_t eventCmdWindowPos(int32_t a, int32_t b);
int32_t eventCmdSkip(int32_t a, int32_t b);
int32_t eventCmdBgSet(int32_t a, int32_t b);
int32_t eventCmdRumble(int32_t a, int32_t b);
int32_t eventCmdSpeaker(int32_t a, int32_t b);
int32_t eventCmdShowMessage(int32_t a, int32_t b);
int32_t eventCmdWaitKey(int32_t a, int32_t b);
int32_t eventCmdCloseWindow(int32_t a, int32_t b);
int32_t eventCmdWait(int32_t a, int32_t b);
int32_t eventCmdChrDisp(int32_t a, int32_t b);
int32_t eventCmdChrDir(int32_t a, int32_t b);
int32_t eventCmdChrMoveX(int32_t a, int32_t b);
int32_t eventCmdChrMoveY(int32_t a, int32_t b);
int32_t eventCmdChrMoveToX(int32_t a, int32_t b);
int32_t eventCmdChrMoveToY(int32_t a, int32_t b);
int32_t eventCmdChrCenter(int32_t a, int32_t b);
int32_t eventCmdChrSpeed(int32_t a, int32_t b);
int32_t eventCmdChrFadeFrame(int32_t a, int32_t b);
int32_t eventCmdChrImage(int32_t a, int32_t b);
int32_t eventCmdChrBlend(int32_t a, int32_t b);
int32_t eventCmdChrCol(int32_t a, int32_t b);
int32_t eventCmdChrColTo(int32_t a, int32_t b);
int32_t eventCmdHoldMusic(int32_t a, int32_t b);
int32_t eventCmdMusic(int32_t a, int32_t b);
int32_t eventCmdMusicFadeIn(int32_t a, int32_t b);
int32_t eventCmdMusicFadeOut(int32_t a, int32_t b);
int32_t eventCmdFadeIn(int32_t a, int32_t b);
int32_t eventCmdFadeOut(int32_t a, int32_t b);
int32_t eventCmdLightOn(int32_t a, int32_t b);
int32_t eventCmdLightOff(int32_t a, int32_t b);
int32_t eventCmdEnd(int32_t a, int32_t b);
