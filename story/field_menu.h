// story/field_menu.h: the pause menu's pages that other story scenes use:
// the save page (the after-ending save opens it by itself) and the two
// copies of the running game the save works with. Main thread.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

// The menu's entries by id; the column shows the ones that apply in the
// order of FIELD_MENU_ORDER.
enum FieldMenuEntry : int32_t {
    MENU_PARTY = 0,
    MENU_ITEMS = 1,
    MENU_OPTIONS = 2,
    MENU_SAVE = 3,
    MENU_TITLE = 4,
    MENU_EQUIPMENT = 5,
    MENU_COLLECTION = 6,
};

// Opens the save page on its own: all 100 slots, sliding in.
void openSavePage();
// Slides the save page and runs it while it is open; 1 once it has slid shut.
int32_t stepSavePage();
// The save page's slot list, with the band over the row being saved.
void drawSlotListPage();
// One tick of the fully open save page (the notice in the dungeon, the save
// itself, the overwrite question, the list's movement).
void saveFromFieldMenu();

// Copies backup n (0 or 1, see backupGameState) back into the running game.
void restoreGameState(int32_t n);
extern GameState gGameStateBackup[2];
