// shop/tutorial_scripts.h: the three counter lessons, read at start-up from
// "data/tuto1.txt" to "data/tuto3.txt" (a loose file first, else the
// archive). A lesson runs its rows in order until a row of command -1.
#pragma once
#include <cstdint>

constexpr int32_t TUTORIAL_LESSON_COUNT = 3;   // 0 selling, 1 buying, 2 a request
constexpr int32_t TUTORIAL_STEP_MAX = 200;
constexpr int32_t TUTORIAL_TEXT_SIZE = 256;
constexpr int32_t TUTORIAL_TARGET_COUNT = 7;   // jump targets A to G

enum TutorialCommand : int32_t {
    TUTORIAL_UNKNOWN = -2,          // a word the loader did not know; the row keeps its place
    TUTORIAL_END = -1,
    TUTORIAL_SHOPKEEPER_SAYS = 0,   // "CHR0"
    TUTORIAL_CUSTOMER_SAYS = 1,     // "CHR1"
    TUTORIAL_SHOW_ITEM = 2,         // "TAGD"
    TUTORIAL_SHOW_PRICE = 3,        // "PRID"
    TUTORIAL_ENTER_PRICE = 4,       // "PRIA"
    TUTORIAL_PRICE_BRANCH = 5,      // "BUN0", "PRCE"
    TUTORIAL_GOTO = 6,              // "GOTO"
    TUTORIAL_HIDE_ITEM = 8,         // "TAGN"
    TUTORIAL_SWAP_CUSTOMER = 9,     // "TOUT"
    TUTORIAL_OPEN_LIST = 10,        // "INVENTORY"
    TUTORIAL_WEAPON_BRANCH = 11,    // "SLSWRD"
    TUTORIAL_HIGH_BRANCH = 12,      // "HIGH"
    TUTORIAL_DISCOUNT_BRANCH = 13,  // "DISC"
    TUTORIAL_COST_BRANCH = 14,      // "COST"
    TUTORIAL_REMEMBER_PRICE = 20,   // "INIT_MNT_DTR"
};

struct TutorialStep {
    int32_t step;                              // jump label; -2, -3, -4 comment rows
    int32_t command;                           // TutorialCommand
    char text[TUTORIAL_TEXT_SIZE];             // speech, or a comment row's text
    int32_t targets[TUTORIAL_TARGET_COUNT];    // step numbers A to G
    int32_t face;
};
extern TutorialStep gTutorialScripts[TUTORIAL_LESSON_COUNT][TUTORIAL_STEP_MAX];

// One lesson (0..2); its rows end with a row of command -1.
void parseTutorialScript(int32_t lesson, const char* text, int32_t length);
