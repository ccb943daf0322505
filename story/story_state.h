// story/story_state.h: the story's state records, one per concern: the
// title's, the town map's, the town places', the pause menu's and the event
// player's, the running event's number and the adventurers the story has
// made available, with the constants that give their fields meaning and the
// resets the game's state registry runs (story/story_state.cpp lists them).
#pragma once
#include <cstdint>

#include "engine/state_table.h"

#include "engine/adventurer_record.h"
#include "engine/save_file.h"
#include "story/world_map_cells.h"

// The running event script "iv/iv<major>_<minor>.ivt"; set by whoever starts
// an event, read when it is compiled and when it is marked seen.
struct EventNumber {
    int32_t major;
    int32_t minor;
};
extern EventNumber gEventNumber;

// ---- The title screen (game mode 0)

// The menu entries; the label of an entry is cell `code` of the menu sheet's
// label column.
enum TitleMenuCode : int32_t {
    TITLE_NEW_GAME = 0,         // no slot holds a cleared game
    TITLE_LOAD = 1,
    TITLE_OPTIONS = 2,
    TITLE_QUIT = 3,
    TITLE_NEW_GAME_PLUS = 4,
    TITLE_NEW_GAME_FIRST = 5,   // New Game standing before New Game+
    TITLE_SURVIVAL = 6,
    TITLE_COLLECTION = 7,
    TITLE_RECORDS = 8,
};

enum TitleWindowKind : int32_t {
    TITLE_WINDOW_SLOTS = 1,
    TITLE_WINDOW_OPTIONS = 2,
    TITLE_WINDOW_COLLECTION = 3,
    TITLE_WINDOW_RECORDS = 4,
};

constexpr int32_t TITLE_MENU_MAX = 10;
constexpr int32_t TITLE_CHOICE_TICKS = 15;      // a confirmed entry flashes this long before it acts
constexpr int32_t TITLE_WINDOW_SLIDE = 10;      // ticks of a sub-window's slide (64 pixels each)
constexpr int32_t TITLE_SURVIVAL_POPUP_OPEN = 8;
// Idle ticks on the bare menu: input stops, the screen starts to fade, the movie starts.
constexpr int32_t TITLE_IDLE_INPUT_END = 7110;
constexpr int32_t TITLE_IDLE_FADE_START = 7110;
constexpr int32_t TITLE_IDLE_MOVIE = 7140;

struct TitleState {
    uint8_t slotHasCard[SAVE_SLOT_COUNT];    // the slot is a cleared game holding a True Card
    int32_t menuCodes[TITLE_MENU_MAX];   // TitleMenuCode in display order
    int32_t slotList[SAVE_SLOT_COUNT];    // the slots the chooser shows, in order
    int32_t menuCount;           // 4..8
    int32_t idleTicks;           // ticks on the bare menu: music fade, screen fade, movie
    int32_t startCounter;        // 0, or ticks since a game was chosen
    int32_t windowOpen;          // 0..10 slide of the sub-window
    int32_t windowKind;          // TitleWindowKind
    int32_t windowClosing;       // 1 while it slides out or is closed
    int32_t frameCounter;        // every tick of the title
    int32_t rowCursor;           // slot list position or options row
    int32_t listTop;             // first visible slot list position
    int32_t scrollByOne;         // -5..5 slot list scroll animations
    int32_t scrollByThree;
    int32_t menuCursor;
    int32_t choiceCounter;       // 0, or ticks since an entry was confirmed (to 15)
    int32_t clearQuestionOpen;   // the "Clear Save Data" question is open
    int32_t noticePending;       // the New Game+ notice is still to be shown
    int32_t survivalPopup;       // 0 closed .. 8 open
    int32_t survivalPopupClosing;
    int32_t survivalChoice;      // 0 Survival Hell, 1 Normal Survival
    int32_t survivalChosenCounter;   // 0..15 ticks since a kind was confirmed
    int32_t optionsState;        // 0 unchanged, 1 changed, 2 leave and write, 3 leave
    int32_t cardListMode;        // the slot list holds cleared games with a card
    int32_t quitChosen;          // Quit was chosen: the close asks no question
    int32_t slotListFrame;       // counts the slot list's drawn frames
    float titleMenuSpacing;      // vertical distance between entries
    float titleMenuOffset;       // offset of the first entry
    int32_t newGameChosen;       // 1: the game to start is a new one, 0: from a slot
};
extern TitleState gTitle;

extern int32_t gSlotListCount;    // entries of gTitle.slotList in use

// ---- The town map (game mode 8)

// WorldMapState::placeState.
enum WorldMapPlaceState : int32_t {
    PLACE_CLOSED = 0,
    PLACE_OPEN = 1,
    PLACE_MARKED = 2,   // open, and a story or place event waits there
};

struct WorldMapState {
    int32_t placeState[WORLD_MAP_PLACE_COUNT];    // WorldMapPlaceState
    int32_t listedPlaces[WORLD_MAP_PLACE_COUNT];  // the places shown, in order
    float clock;                                  // ticks since the map was entered
    int32_t closedLabel[WORLD_MAP_PLACE_COUNT];   // 1: "Closed" is written over the place
    int32_t leaveCounter;                         // 0, or ticks since a place was chosen
    int32_t cursorPlace;
    int32_t worldMapListCount;                    // entries of listedPlaces
};
extern WorldMapState gWorldMap;

constexpr int32_t WORLD_MAP_CHOICE_TICKS = 10;   // the map takes no choice before this clock
constexpr int32_t WORLD_MAP_FADE_TICKS = 17;

// ---- The church, plaza and tavern visits (game modes 13 to 15)

struct PlaceVisitState {
    int32_t leaving;        // the scene is fading out
    int32_t frameCounter;   // ticks since the scene started
};
extern PlaceVisitState gPlaceVisit;

// ---- The adventurers the story has made available, in number order

extern int32_t gAvailableAdventurers[ADVENTURER_COUNT];
extern int32_t gAvailableAdventurerCount;

// ---- Game over and the new loop (mode 2), the save after the ending (mode 7)

struct GameEndState {
    int32_t leaveCounter;   // 0, or ticks since the scene decided to leave
    int32_t savePageOpen;   // the pause menu's save page is open (mode 7)
    int32_t step;           // GAME_END_LEAVE_STEP ends the scene
};
extern GameEndState gGameEnd;

// ---- The pause menu

// Items thrown away in the menu during a dungeon run, handed to the dungeon
// control by takeMenuUsedItem: 20 keys, -1 empty; the flag is 1 while any
// are waiting.
constexpr int32_t MENU_USED_ITEMS_MAX = 20;
constexpr int32_t FIELD_MENU_ENTRY_MAX = 8;
struct FieldMenuState {
    int32_t menuUsedItems[MENU_USED_ITEMS_MAX];
    int32_t menuItemUsed;
    int32_t entryIds[FIELD_MENU_ENTRY_MAX];   // FieldMenuEntry in column order
    int32_t entryCount;
    int32_t entrySpacing;     // 12 x (11 - entryCount)
    int32_t menuCursor;
    int32_t choiceCounter;    // 0, or ticks since an entry was confirmed (the page opens at 15)
    int32_t pageSlide;        // 0..10
    int32_t pageOpen;         // 1 slides in, 0 slides out
    int32_t exitStep;         // ticks since the return-to-title question was asked
    int32_t exitConfirmed;    // ticks since it was answered yes
    int32_t partyIndex;       // position in gAvailableAdventurers
    int32_t detailShown;      // the party page shows the skills
    int32_t optionsRow;
    int32_t optionsState;     // 0 unchanged, 1 changed, 2 leave and write the header, 3 leave
    int32_t slotCursor;
    int32_t slotTop;
    int32_t scrollByOne;      // -5..5
    int32_t scrollByThree;
    int32_t saveCounter;      // 0, or ticks since a save was started (to 60)
    int32_t noticeState;      // 0, 1 the dungeon notice shown, 2 read
    int32_t pageMode;         // overwrite question / action choice / slot column
    int32_t actionCursor;
    int32_t messageShown;     // the items page shows a result
    int32_t saveFailed;       // the last save did not reach the disk
};
extern FieldMenuState gFieldMenu;

// ---- The event player

constexpr int32_t EVENT_SPRITE_MAX = 100;

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

// ---- Back to the values a fresh process starts with (a new boot in the same
// process), for the reset at start-up and in tests.

void resetEventNumber();
void resetTitleState();
void resetSaveListState();
void resetWorldMapState();
void resetChurchVisit();
void resetAvailableAdventurers();
void resetFieldMenuState();
void resetGameEndState();
// The script tables, the player (leaving the options alone) and the sheets'
// texture slots.
void resetEventScript();
void resetEventPlayer();
void resetEventDrawing();

// This folder's rows of the game's state registry.
extern const StateTable STORY_STATE;
