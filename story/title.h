// story/title.h: the title screen (game mode 0).
// Every run starts here and every game returns here. The menu is built from
// what the file image gSaveImage holds; from it the title slides in the slot
// chooser, the options and the records windows (story/save_list.h,
// story/options_window.h), opens the Survival popup, and after a long idle
// spell fades out toward the opening movie. A chosen game is set up in the
// running slot and the scene switches to its mode (story/game_start.h).
// updateTitleScreen runs once per tick, drawTitleScreen once per frame;
// main thread only.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

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
constexpr char TITLE_MOVIE_FILE[] = "tolli_op.wmv";
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
};
extern TitleState gTitle;

extern float gTitleMenuSpacing;   // vertical distance between entries
extern float gTitleMenuOffset;    // offset of the first entry
extern int32_t gNewGameChosen;    // 1: the game to start is a new one, 0: from a slot
// Back to the values a fresh process starts with (a new boot in the same process).
void resetTitleState();

void enterTitleScreen();
// Rebuilds the entries, their layout and (with a played slot) the cursor.
void buildTitleMenu();
// Bit 1: some slot of the file image holds a cleared game; bit 2: some
// cleared game holds a True Card. Fills slotHasCard.
int32_t scanClearedSlots();
void updateTitleScreen();
void drawTitleScreen();
bool isTitleIdle();     // no sub-window shown or opening and nothing chosen
// The title offers no choice of music: always -1, so its own track plays.
int32_t getTitleMusicOverride();

// Pure helpers of the drawing and the menu.
struct TitleMenuLayout {
    float spacing;
    float offset;
};
TitleMenuLayout titleMenuLayout(int32_t entryCount);
// The illustration cell of a menu code.
int32_t titleMenuPictureCell(int32_t code);
// Grey level of an entry label: 95, or for the selected entry the flash of a
// confirmed choice over a slow pulse, at most 255.
int32_t titleEntryGrey(bool selected, int32_t choiceCounter, int32_t frameCounter);
// Alpha of the white fade before the movie; 0 until the fade starts.
int32_t titleIdleFadeAlpha(int32_t idleTicks);
