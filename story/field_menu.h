// story/field_menu.h: the pause menu's content.
#pragma once
#include <cstdint>

#include "story/story.h"
#include "story/story_state.h"

// Items thrown away in the menu during a dungeon run, handed to the dungeon
// control by takeMenuUsedItem: 20 keys, -1 empty; the flag is 1 while any
// are waiting.
constexpr int32_t MENU_USED_ITEMS_MAX = 20;
extern int32_t gMenuUsedItems[MENU_USED_ITEMS_MAX];
extern int32_t gMenuItemUsed;
