// adventurers/adventurers_state.h: the state of the adventurers and combat
// that the other folders read or write, and the state the game's registry
// resets, hashes and snapshots (adventurers/adventurers_state.cpp). Main
// thread.
#pragma once
#include <cstdint>

#include "adventurers/adventurers.h"
#include "engine/save_file.h"
#include "shop/shop_state.h"

// ---- The party.
extern PartyState gParty;
// The adventurer of the current dungeon run, 0..7.
extern int32_t gChosenAdventurer;
// The open skill slots of each adventurer and the skill id in each slot.
extern int32_t gSkillCounts[ADVENTURER_COUNT];
extern int32_t gSkillSlots[ADVENTURER_COUNT][SKILL_SLOTS];
// Back to the values a fresh process starts with (a new boot in the same process).
void resetPartyState();

// ---- Motion: the fairy's wandering on shop and town stages: 0 rest, 1 fly
// to the target, 2 and 3 two idle poses.
struct FairyWander {
    int32_t phase;
    int32_t ticks;
    float targetX;
    float targetZ;
};
extern FairyWander gFairyWander;
// Set by stage and floor scripts: the follower walks to gAutoWalkTarget
// instead of following member 0.
extern int32_t gAutoWalk;
extern Vector3 gAutoWalkTarget;
// Back to the values a fresh process starts with.
void resetMotionState();

// ---- Attack objects (free when the kind is 0).
extern AttackObject gAttackObjects[ATTACK_OBJECT_POOL_SIZE];
// Every object free.
void resetAttackObjects();

// ---- The bag.
extern int32_t gBag[BAG_SIZE];
extern int32_t gBagCapacity;
// The bag as packed at the departure screen (items taken from storage);
// the item choice strikes off each key that comes back.
extern int32_t gBagAtDeparture[BAG_SIZE];
// Back to the values a fresh process starts with: empty, all 38 usable,
// nothing packed at departure.
void resetBagState();

// ---- The speech balloon.
struct BalloonState {
    int32_t value;      // an ItemKey when the text needs one
    int32_t member;     // 0..2, the member it hangs over
    int32_t side;       // 1 mirrored, to the left of the member
    int32_t age;        // 0 off; 1 on the first tick
    int32_t duration;   // ticks; -1 until closed
    int32_t code;       // the text
};
extern BalloonState gBalloon;
// Back to the values a fresh process starts with: no balloon.
void resetBalloonState();

// ---- The player's control on dungeon floors.
extern int32_t gForcedInput;         // -1, or the raw pad word member 0 reads this tick
extern int32_t gInputBlocked;        // 0 right after a floor start: the first tick clears the input
extern int32_t gWarpTimer;           // the warp trap's sequence, 0 none
extern int32_t gHeroineCommentDelay;
extern int32_t gHeroineCommentCooldown;
// The entry hop's push (per hundred) and length in ticks, set with hopTimer.
extern int32_t gHopPush;
extern int32_t gHopLength;
extern int32_t gTimeOutStarted;      // 0, then counts up from 1 once time-out enemies appeared
extern int32_t gTimeOutSpawns;
// Back to the values a fresh process starts with.
void resetDungeonControlState();

// ---- The shop floor.
extern int32_t gShopFloorState;      // ShopFloorStateCode
// 0 walking, 1 choosing an item for a shelf cell, 2 stocking a vending machine.
extern int32_t gShopEditMode;

// The menus: slides 0..12 (input above 9), the 15 ticks between a choice
// and its effect, the cursors (shop or fairy menu; lecture list).
extern int32_t gShopMenuSlide;
extern int32_t gLectureMenuSlide;
extern int32_t gShopMenuDelay;
extern int32_t gShopMenuCursor[2];
extern int32_t gShopMenuListA[SHOP_MENU_A_MAX];
extern int32_t gShopMenuCountA;
extern int32_t gShopMenuListB[SHOP_MENU_B_MAX];
extern int32_t gShopMenuCountB;
extern int32_t gShopMenuCounter;     // the information pages' page-in, up to 10
extern int32_t gAbilityListCursor;   // merchant-level list row 0..28
extern int32_t gAbilityListTop;      // its top row 0..24
extern int32_t gSelectedShelf;       // the table being moved
// The vending machine's slot list: cursor (0 revert, 1 done, 2.. slots),
// top row, last cursor value.
extern int32_t gShopFloorCursor[3];
extern int32_t gVendingListOpen;     // the storage list is open for a slot
extern int32_t gVendingSlotsShown[VENDING_STOCK_SLOTS];
extern int32_t gStockListOpened;     // the shelf list has been opened once, cursors reset
// The four decoration choices and plus levels when a decoration list opened.
extern int32_t gDecorationBackup[8];
// The talk prompt's countdown and the talk lock.
extern int32_t gShopActionTimer[2];
extern int32_t gLeavingShop;
extern int32_t gMorningGreeting;     // toggles every morning
extern int32_t gNightTalkVariant;    // 0..2

// Back to the values a fresh process starts with (a new boot in the same process).
void resetShopFloorBootState();
void resetShopDayState();

// ---- The shop grid.
// index z * SHOP_GRID_COLUMNS + x; ShopCell codes (2..8 shelf cells).
extern int32_t gShopGrid[SHOP_GRID_ROWS * SHOP_GRID_COLUMNS];
// The shelf cell in front of the heroine and its world x, z.
extern ShopCellPos gPlacementCell;
extern float gPlacementCursorPos[2];
// The shelf whose vending machine is being stocked; the vending shelf in front + 1 (0 none).
extern int32_t gShopEditState[2];
// The items of the shelf being moved.
extern int32_t gShelfCarry[SHELF_CELL_COUNT];
extern ShopAtmosphere gShopAtmosphere;
// Back to the values a fresh process starts with.
void resetShopGridState();
