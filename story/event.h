// story/event.h: the event player. An event runs a compiled script
// (story/event_script.h) over whatever scene is current: startEvent compiles
// it on the main thread when the event loader starts, and once the loader
// has loaded its pictures the frame loop calls stepEvent once per logic tick
// in place of the mode's update, until it reports the end. The step handlers
// below are what the compiler writes into gEventCommands. The drawing of the
// scene is in story/event_drawing.h. Main thread only.
#pragma once
#include <cstdint>

#include "story/event_drawing.h"
#include "story/story.h"
#include "story/story_state.h"

constexpr int32_t EVENT_WINDOW_OPEN = 15;      // window counter when fully open
constexpr int32_t EVENT_REVEAL_MAX = 2048;     // reveal counter of a text shown whole
constexpr int32_t EVENT_KEY_WAIT_TICKS = 15;   // ticks a text must stand complete before a confirm counts
constexpr int32_t EVENT_SLIDE_PANEL_MAX = 40;
constexpr int32_t EVENT_SCROLL_WRAP = 1024000; // one background width, thousandths of a pixel
constexpr int32_t EVENT_SEEN_MINORS = 60;      // seen byte = major * 60 + minor
constexpr int32_t EVENT_TICK_RATE_FAST = 80;   // the skip button on a seen event
constexpr int32_t EVENT_SPEED_COUNT = 3;
// Text speed by the message-speed option: half, one or 32 characters a tick.
extern const int32_t EVENT_TEXT_SPEEDS[EVENT_SPEED_COUNT];
// Asked when the menu button is pressed during an event.
extern const char EVENT_SKIP_QUESTION[];

// Resets the event player, then compiles the script (story/event_script.h).
void beginEventScript();
// The seen byte of an event, or -1 when its numbers lie outside 0..39, 0..59.
int32_t eventSeenIndex(int32_t major, int32_t minor);

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
