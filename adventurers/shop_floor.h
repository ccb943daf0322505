// adventurers/shop_floor.h: control of the heroine on the shop floor, the
// shop day's phase and sequence words the shop scenes share, and the shelf
// layout of the shop's size.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

// 0 and 10 first menu, 1 walking, 2 editing shelves, 4 the shop is open,
// 15 to 18 information panels, 30 lecture menu, 50 item information.
extern int32_t gShopFloorState;
constexpr int32_t SHOP_FLOOR_OPEN = 4;
constexpr int32_t SHOP_FLOOR_WALKING = 1;
constexpr int32_t SHOP_FLOOR_EDITING = 2;
constexpr int32_t SHOP_FLOOR_HOLDS_OVERLAY = 23;
constexpr int32_t SHOP_FLOOR_ITEM_INFO = 50;
extern int32_t gFieldTicks;      // the shop floor's tick counter
extern int32_t gSelectedShelf;   // the shelf picked while editing shelves
// Back to the values a fresh process starts with (a new boot in the same process).
void resetShopFloorState();

// 0 before the shop opens (the street crowd walks only then); 1..160 while
// the night talk runs after closing.
extern int32_t gShopDayPhase;
// How the shop scene began: 0 none, 1 a new morning, 2 back from the town map.
extern int32_t gShopSequence;
enum ShopSequence : int32_t {
    SHOP_SEQUENCE_NONE = 0,
    SHOP_SEQUENCE_MORNING = 1,
    SHOP_SEQUENCE_FROM_TOWN = 2,
};
// Back to the values a fresh process starts with.
void resetShopDayState();

// Re-applies the shelf layout for the game's shopSize, after the size changed.
void applyShopLayout(GameState& game);

// The shop's atmosphere: the decoration total and the item total, the point
// customers compare their liking with. Kept at (0, 0), where every customer
// matches best, until the shop floor computes it.
struct ShopAtmosphere {
    int32_t decoration;
    int32_t items;
};
extern ShopAtmosphere gShopAtmosphere;
void computeShopAtmosphere();

// The shop floor's per-tick control on shop and town stages. Until the
// heroine's side of it is built it only runs the open shop's counter.
void updateShopFloor();

// Enters the shop through its door (game mode 1) once the day report has
// ended normally; the shop floor's control arrives with it.
void enterShopFromDoor();
// The last phase of the day has closed: the closed shop's floor starts.
void startClosedShopFloor();
// A phase has closed: the controlled character's action state is reset and
// the shopkeeper stands behind the counter at (x, z), facing the camera.
void placeShopkeeper(float x, float z);
