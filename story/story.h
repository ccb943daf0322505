// story/story.h: the story's front door. What the other folders call, read
// or rely on in the title, the events, the town and its places, the pause
// menu and the story's calendar, and the scene entry points and the table
// loader game/ wires. The state records are in story/story_state.h, the
// picture layouts the tools share in story/*_cells.h and the data file names
// they make in story/story_files.h; every other header of story/ is private
// to it.
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"
#include "engine/save_file.h"

// ---- The title screen (game mode 0)

// Enters the title: resets its screen's words, builds its menu, places and
// hides the pointer and clears the forced music track. At start-up, on the
// way back from a game and on the scene loader thread.
void enterTitleScreen();
void updateTitleScreen();
void drawTitleScreen();
// No sub-window shown or opening and nothing chosen: Escape may quit.
bool isTitleIdle();
// The title offers no choice of music: always -1, so its own track plays.
int32_t getTitleMusicOverride();

// ---- Events (game mode 5, and over any scene while one runs)

// Clears the skip question and begins the script of gEventNumber (main
// thread, before the loader thread starts).
void startEvent();
// One logic tick of the running event; 1 when it has ended (by its end step,
// marked seen, or by a yes to the skip question, not marked).
int32_t stepEvent();
// Opens the yes/no question that skips the running event; 1 when it did, 0
// when the script forbids skipping, the event has only just begun or the
// question is already open.
int32_t requestEventSkip();
// Loads into the event group the two sheets, every registered background
// model, background and named picture. Runs on the event loader thread, and
// again after a device reset.
void loadEventTextures();
// Backgrounds the running script registered; while above 0 the scene under
// the event is not drawn.
int32_t getEventBackgroundCount();
// The frame's event layer: 2D states, the scene, and the skip question.
void drawEventScene();

// ---- The staff roll (game mode 3), game over (2) and the after-ending save (7)

// Prepares mode 3 on the scene loader thread.
void startEnding();
// Enters mode 2; a game saved during this scene resumes after its carry-over.
void enterGameOverScene();
// Enters mode 7, the save after the ending (day 36 paid).
void enterEndingSaveScene();
void updateGameOverScene();
void drawGameOverScene();
void updateEndingSaveScene();
void drawEndingSaveScene();
// Gives the True Card to the available adventurer with the most adventures
// (the lower number on a tie): stored, her card flag set and the award
// message shown. 1 when a card was given; 0 when nobody is available or
// storage had no room for it.
int32_t awardTrueCard();

// ---- The town map (game mode 8)

// The places by number.
enum WorldMapPlaceNumber : int32_t {
    TOWN_PLACE_SHOP = 0,
    TOWN_PLACE_MARKET = 1,
    TOWN_PLACE_PLAZA = 2,
    TOWN_PLACE_MERCHANTS_GUILD = 3,
    TOWN_PLACE_TAVERN = 4,
    TOWN_PLACE_CHURCH = 5,
    TOWN_PLACE_ADVENTURERS_GUILD = 6,
};

// Prepares the map from the running game: place states, the pointer at the
// cursor place, the run state (a new expedition) and the HUD.
void enterWorldMap();
void updateWorldMap();
// Clears the screen and draws the map at full size.
void drawWorldMap();
// The cursor place outlives the map: the scenes the map leads to set it to
// the place the player comes back from, and the HUD reads it.
int32_t getWorldMapPlace();
void setWorldMapPlace(int32_t place);

// ---- The church, plaza and tavern visits (game modes 13 to 15)

void updateChurchVisit();
void updatePlazaVisit();
void updateTavernVisit();
// An opaque black screen: what the player sees is the event scene.
void drawChurchVisit();
void drawPlazaVisit();
void drawTavernVisit();

// ---- The town's place events

constexpr int32_t PLACE_EVENT_TABLE_COUNT = 4;
constexpr int32_t PLACE_EVENT_ROW_MAX = 100;     // rows a table holds, its end row included
constexpr int32_t PLACE_EVENT_WINDOW_MAX = 20;
constexpr int32_t PLACE_EVENT_OPEN_END = 999;    // a window's end that means "no end"

// The tables, in their order in gPlaceEventRules.
enum PlaceEventTable : int32_t {
    PLACE_TABLE_PLAZA = 0,
    PLACE_TABLE_MARKET = 1,
    PLACE_TABLE_CHURCH = 2,
    PLACE_TABLE_TAVERN = 3,
};

// Days counted from 1 (the first day of a game is day 1); start -1: no window.
struct PlaceEventWindow {
    int32_t start;
    int32_t end;
};

struct PlaceEventRule {
    int32_t major;              // event script "iv/iv<major>_<minor>.ivt"; -1 ends the table
    int32_t minor;
    int32_t ownFlag;            // recorded when the rule fires, which it does only while clear; -1 none
    int32_t requiredFlags[3];   // all must be set; -1 no condition
    int32_t phaseMin;           // day phases 0..3 in which the rule fires, inclusive
    int32_t phaseMax;
    PlaceEventWindow windows[PLACE_EVENT_WINDOW_MAX];
    int32_t minLoop;            // least loop count
    int32_t minMoney;           // least money
};

// Read from "data/event.txt" once at start-up; never changed after.
extern PlaceEventRule gPlaceEventRules[PLACE_EVENT_TABLE_COUNT][PLACE_EVENT_ROW_MAX];

// Fills the tables from the archive's "data/event.txt": the plaza's built-in
// rule first, then the file's rules; a missing file leaves only the built-in
// rule.
void loadPlaceEventRules();
// 1 and the event's numbers when a rule of the place's table fires now in
// the running game, else 0 (no table, Survival play, the place done for this
// phase, or no rule holds). With commit the rule is consumed: the place's
// done flag and the rule's own flag are set and today's score rises by 100.
int32_t findPlaceEvent(int32_t place, int32_t* major, int32_t* minor, int32_t commit);
// A day phase passed: every place may fire again.
void clearPlaceEventFlags();

// ---- The pause menu (overlay kind 0 in game mode 9)

// Once, when an overlay screen switches to mode 9.
void openFieldMenu();
void updateFieldMenu();
void drawFieldMenu();
// The counter's comparison panel: "Attack", "Defense", "Magic", "MDef" of
// what the adventurer wears in the slot against the item key.
void drawStatCompare(float x, float y, int32_t slot, int32_t adventurer, int32_t itemKey);
// Moves the best bag items the chosen adventurer can equip into the
// equipment, then packs the bag.
void sortBagByStats();
// Items thrown away in the menu during a dungeon run wait for the dungeon
// control to scatter them as pickups: each call hands over the next one's
// key and forgets it; -1 when none waits.
int32_t takeMenuUsedItem();

// ---- The adventurers, the calendar and the message windows

// Fills gAvailableAdventurers with the adventurers whose availability flag
// the running game holds, in number order, and sets its count.
void listAvailableAdventurers();
// Copies the running game into backup n (0 or 1); backup 0 is the game as
// it stood when the departure screen opened.
void backupGameState(int32_t n);
// The first stage whose code is the key; gStageCount when none is.
int32_t findStageByCode(int32_t code);

// The eight adventurers' names and class names, in adventurer order.
constexpr int32_t ADVENTURER_NAME_SIZE = 20;
constexpr int32_t ADVENTURER_CLASS_SIZE = 108;
struct AdventurerName {
    char name[ADVENTURER_NAME_SIZE];
    char className[ADVENTURER_CLASS_SIZE];
};
static_assert(sizeof(AdventurerName) == 128);
extern const AdventurerName ADVENTURER_NAMES[ADVENTURER_COUNT];

// The date in story and New Game+ play; date mod 35 in survival play;
// (date - 36) mod 35 in endless play.
int32_t getDayInSeason(const GameState& game);
// The last day of the running game's 7-day block: (d / 7) x 7 + 6 in
// survival and endless play, else 7 on day 0 and ((d - 1) / 7 + 1) x 7;
// stored in weekEndDay.
int32_t getWeekEndDay();

// The pop-in and pop-out curve shared by every window that grows from its
// centre (the event balloon, the counter's speech and price panels, the top
// bar).
constexpr int32_t WINDOW_POP_STEPS = 15;
struct WindowPop {
    float scaleX;
    float scaleY;
    int32_t alpha;   // 0..255
};
// The window's scales and alpha at step 0..15 of opening, or of closing when
// closing is nonzero. Opening it squashes and stretches a little before it
// settles at 1. Pure.
WindowPop computeWindowPopCurve(int32_t step, int32_t closing);

// Lets the last event's pictures and meshes go: every sprite, the scene
// state, the picture table and the message lines to their start values;
// clamps the message-speed option to 0..2 (writing it back) and takes the
// text speed from it.
void resetEventState();
