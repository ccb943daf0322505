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

constexpr int32_t EVENT_SPRITE_MAX = 100;
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

enum EventBlend : int32_t {
    EVENT_BLEND_NORMAL_SHADE = 0,   // alpha blended, texture x colour
    EVENT_BLEND_NORMAL_ADD = 1,     // alpha blended, texture + colour
    EVENT_BLEND_ADD_SHADE = 2,      // added to the screen, texture x colour
    EVENT_BLEND_ADD_ADD = 3,        // added to the screen, texture + colour
};
enum EventFadeMode : int32_t { EVENT_FADE_NONE = 0, EVENT_FADE_OUT = 1, EVENT_FADE_IN = 2 };
enum EventMusicFade : int32_t { EVENT_MUSIC_FADE_NONE = 0, EVENT_MUSIC_FADE_IN = 1, EVENT_MUSIC_FADE_OUT = 2 };

// One picture actor of the scene; scripts address 0..9.
struct EventSprite {
    float x, y;               // top-left corner, 640 x 480 screen
    float targetX, targetY;   // where it moves to
    float speedX, speedY;     // pixels per tick
    float center;             // the message window's anchor, off the picture's middle
    int32_t fadeLength;       // ticks of a colto: fade
    int32_t fadeTicksLeft;
    int32_t visible;
    int32_t facing;           // 1 drawn mirrored
    int32_t picture;          // index into gEventResources.pictures
    float color[4];           // red, green, blue, alpha, 0..255
    float colorStep[4];       // per tick, same order
    int32_t blend;            // EventBlend
};
extern EventSprite gEventSprites[EVENT_SPRITE_MAX];

struct EventSceneState {
    int32_t skipQuestionOpen;
    int32_t pointerWasShown;   // before the question opened
    float pointerX, pointerY;
    int32_t framesRun;         // stepEvent calls since the start
    int32_t tickRate;          // 1, 2 (cancel held) or EVENT_TICK_RATE_FAST
    int32_t programCounter;    // next step in gEventCommands
    int32_t waitTimer;         // ticks
    int32_t windowCounter;     // 0 closed .. EVENT_WINDOW_OPEN
    int32_t messageFirstLine;  // -1 no message
    int32_t messageLineCount;
    int32_t newMessage;        // the drawing starts the reveal
    int32_t revealCounter;     // 0..EVENT_REVEAL_MAX
    int32_t textComplete;      // set by the drawing
    int32_t keyWaitTicks;      // ticks the text has stood complete
    int32_t keyCursorCounter;  // drawn frames of the confirm cursor
    int32_t speakerSprite;
    int32_t plateCell;
    int32_t windowY;           // the balloon's top, pixels
    int32_t balloonStyle;      // -1, 0, 1 or 2
    int32_t slidePanelCounter; // -1 off, else 0..EVENT_SLIDE_PANEL_MAX
    int32_t background;        // index into gEventResources.backgrounds
    int32_t scrollOffset;      // thousandths of a pixel
    int32_t scrollSpeed;       // thousandths of a pixel per tick
    int32_t backgroundRumble;  // ticks left
    int32_t spriteRumble;
    int32_t lightOn;
    float lightFrequency;      // radians per drawn frame
    float lightAmplitude;
    int32_t lightCounter;      // drawn frames of the light
    int32_t fadeMode;          // EventFadeMode
    int32_t fadeCounter;
    int32_t fadeLength;        // ticks
    uint32_t fadeColor;        // 0xAARRGGBB
    int32_t musicTrackRequest;
    int32_t musicTrack;        // -1 none
    int32_t musicFadeRequest;  // EventMusicFade
    int32_t musicFadeLength;   // ticks
    int32_t skipOff;
    int32_t textSpeed;         // from EVENT_TEXT_SPEEDS
};
extern EventSceneState gEventScene;

// Clears the skip question and begins the script of gEventNumber (main
// thread, before the loader thread starts).
void startEvent();
// Resets the event player, then compiles the script (story/event_script.h).
void beginEventScript();
// Every sprite, the scene state, the picture table and the message lines to
// their start values; clamps the message-speed option to 0..2 (writing it
// back) and takes the text speed from it.
void resetEventState();
// The player as a fresh process has it (a new boot in the same process);
// leaves the options alone.
void resetEventPlayer();
// One logic tick of the running event; 1 when it has ended (by its end step,
// marked seen, or by a yes to the skip question, not marked).
int32_t stepEvent();
// Opens the yes/no question that skips the running event; 1 when it did, 0
// when the script forbids skipping, the event has only just begun or the
// question is already open.
int32_t requestEventSkip();
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
