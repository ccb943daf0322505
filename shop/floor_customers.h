// shop/floor_customers.h: the customers walking through the shop floor
// while it is open, the street crowd outside before it opens and the story
// visitors' figures. The day's planner hands the customers the lineup of
// customer types; the counter clears them when a phase closes. Main thread.
#pragma once
#include <cstdint>

#include "shop/shop.h"

// The sprite model of each customer type that walks on the floor; a type
// without a row never does. Ended by model -1.
struct CustomerModel {
    int32_t model;
    int32_t customerType;
};
constexpr int32_t CUSTOMER_MODEL_ROWS = 18;
extern const CustomerModel CUSTOMER_MODELS[CUSTOMER_MODEL_ROWS + 1];
// The CUSTOMER_MODELS rows of the six street walkers.
extern const int32_t CROWD_MODEL_ROWS[CROWD_WALKER_COUNT];

// Appends, for each customer type up to the first negative entry (at most
// 20), the first CUSTOMER_MODELS row of that type; nothing while the
// simplified display is on.
void setCustomerLineup(const int32_t* lineup);
// The first free slot takes the row at the shop's door; the slot number, or
// -1 when all 30 are walking.
int32_t spawnCustomer(int32_t modelRow);
// A slot starts at the door cell, about to choose where to browse.
void placeAtShopDoor(CustomerSlot& slot, int32_t slotNumber);
// One grid step toward the target, or along the slot's heading; a slot
// whose four neighbours are blocked stays.
void chooseCustomerStep(CustomerSlot& slot);
// Inside the 20 x 15 grid on a walkable cell (codes 0 and 9).
bool isShopCellFree(int32_t x, int32_t y);
// One tick of a slot's walk: choose a shelf, step, browse.
void moveCustomer(CustomerSlot& slot);
// One tick of the six walkers; only while the shop has not opened.
void stepStreetCrowd();

// The model number of a CUSTOMER_MODELS row; -1 out of range.
int32_t customerModelNumber(int32_t row);
// Grid cell centres in world units.
float shopCellX(int32_t gx);
float shopCellZ(int32_t gy);
// The eight-way sprite direction of a figure moving or looking along
// (dx, dz), as the camera's yaw shows it.
int32_t spriteDirectionOf(float dx, float dz);
