// adventurers/adventurers_state.h: the state of the adventurers and combat
// that the other folders read or write, and the state the game's registry
// resets, hashes and snapshots (adventurers/adventurers_state.cpp). Main
// thread.
#pragma once
#include <cstdint>

#include "engine/state_table.h"

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

// ---- Motion: the follower and the fairy.
// The fairy's wandering on shop and town stages: 0 rest, 1 fly to the
// target, 2 and 3 two idle poses.
struct FairyWander {
    int32_t phase;
    int32_t ticks;
    float targetX;
    float targetZ;
};
struct FollowerState {
    FairyWander fairyWander;
    // Set by stage and floor scripts: the follower walks to autoWalkTarget
    // instead of following member 0.
    int32_t autoWalk;
    Vector3 autoWalkTarget;
};
extern FollowerState gFollower;
// Back to the values a fresh process starts with.
void resetMotionState();

// ---- Attack objects (free when the kind is 0) and the words their hits
// leave behind.
extern AttackObject gAttackObjects[ATTACK_OBJECT_POOL_SIZE];
struct CombatState {
    int32_t attackSerial;   // the serial the next object gets
    int32_t hitCheckRan;    // 1 once the object's hit test got past its gates this tick
    int32_t lastDamage;     // the damage of the last hit resolved
};
extern CombatState gCombat;
// Every object free, serials from 0.
void resetAttackObjects();

// ---- The bag.
extern int32_t gBag[BAG_SIZE];
extern int32_t gBagCapacity;
// The bag as packed at the departure screen (items taken from storage);
// the item choice strikes off each key that comes back.
extern int32_t gBagAtDeparture[BAG_SIZE];
// A worn item that broke: ticks since (0 none) until its announcement, and its key.
extern int32_t gBrokenItemTimer;
extern int32_t gBrokenItemKey;
// Back to the values a fresh process starts with: empty, all 38 usable,
// nothing packed at departure, no broken item pending.
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
struct DungeonControlState {
    int32_t forcedInput = -1;    // -1, or the raw pad word member 0 reads this tick
    int32_t inputBlocked;        // 0 right after a floor start: the first tick clears the input
    int32_t warpTimer;           // the warp trap's sequence, 0 none
    int32_t heroineCommentDelay;
    int32_t heroineCommentCooldown;
    // The entry hop's push (per hundred) and length in ticks, set with hopTimer.
    int32_t hopPush;
    int32_t hopLength;
};
extern DungeonControlState gDungeonControl;
// The floor's time-out (adventurers/time_limit.cpp).
struct TimeOutState {
    int32_t timeOutStarted;      // 0, then counts up from 1 once time-out enemies appeared
    int32_t timeOutSpawns;
};
extern TimeOutState gTimeOut;
// No time-out yet (a fresh process).
void resetTimeLimitState();
// Back to the values a fresh process starts with.
void resetDungeonControlState();

// ---- The shop floor.
// The shop floor's control, menus, cursors and talk words, written by the
// shop-floor update; the HUD, the overlay and the drawing read them.
struct ShopFloorState {
    int32_t shopFloorState;      // ShopFloorStateCode
    // 0 walking, 1 choosing an item for a shelf cell, 2 stocking a vending machine.
    int32_t shopEditMode;

    // The menus: slides 0..12 (input above 9), the 15 ticks between a choice
    // and its effect, the cursors (shop or fairy menu; lecture list).
    int32_t shopMenuSlide;
    int32_t lectureMenuSlide;
    int32_t shopMenuDelay;
    int32_t shopMenuCursor[2];
    int32_t shopMenuListA[SHOP_MENU_A_MAX];
    int32_t shopMenuCountA;
    int32_t shopMenuListB[SHOP_MENU_B_MAX];
    int32_t shopMenuCountB;
    int32_t shopMenuCounter;     // the information pages' page-in, up to 10
    int32_t abilityListCursor;   // merchant-level list row 0..28
    int32_t abilityListTop;      // its top row 0..24
    int32_t selectedShelf;       // the table being moved
    // The vending machine's slot list: cursor (0 revert, 1 done, 2.. slots),
    // top row, last cursor value.
    int32_t shopFloorCursor[3];
    int32_t vendingListOpen;     // the storage list is open for a slot
    int32_t vendingSlotsShown[VENDING_STOCK_SLOTS];
    int32_t stockListOpened;     // the shelf list has been opened once, cursors reset
    // The four decoration choices and plus levels when a decoration list opened.
    int32_t decorationBackup[8];
    // The talk prompt's countdown and the talk lock.
    int32_t shopActionTimer[2];
    int32_t leavingShop;
    int32_t morningGreeting;     // toggles every morning
    int32_t nightTalkVariant;    // 0..2
};
extern ShopFloorState gShopFloor;

// Back to the values a fresh process starts with (a new boot in the same process).
void resetShopFloorBootState();

// ---- The shop grid.
// index z * SHOP_GRID_COLUMNS + x; ShopCell codes (2..8 shelf cells).
extern int32_t gShopGrid[SHOP_GRID_ROWS * SHOP_GRID_COLUMNS];
// The placement cursor in front of the heroine and the shelf being stocked
// or moved.
struct ShopPlacementState {
    // The shelf cell in front of the heroine and its world x, z.
    ShopCellPos placementCell = {-1, -1};
    float placementCursorPos[2];
    // The shelf whose vending machine is being stocked; the vending shelf in front + 1 (0 none).
    int32_t shopEditState[2];
    // The items of the shelf being moved.
    int32_t shelfCarry[SHELF_CELL_COUNT];
};
extern ShopPlacementState gShopPlacement;
extern ShopAtmosphere gShopAtmosphere;
// Back to the values a fresh process starts with.
void resetShopGridState();

// This folder's rows of the game's state registry.
extern const StateTable ADVENTURERS_STATE;
