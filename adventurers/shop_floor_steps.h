// adventurers/shop_floor_steps.h: the steps of the shop floor's tick that
// adventurers/shop_floor.cpp (walking, the day's sequence) and
// adventurers/shop_menus.cpp (menus, stocking, decorating, moving tables)
// share. Only those two files include it.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

uint16_t shopPressed();
uint16_t shopRepeat();

// The heroine turns toward the fairy: direction 6 and pi/2 when the fairy
// is to her right, else 2 and -pi/2.
void faceFairy();
// The balloon closes, with its popup's sound.
void closeShopBalloon();
// One of the paths, by the shared generator.
void playRandomVoice(const char* const* paths, int32_t count);
// The scripted camera eases toward a goal target (x, z) and sets its eye
// from the yaw, distance and elevation.
void placeShopCamera(float goalX, float goalZ, float elevationScale);
// Opens the shop day, the floor in its open state.
void openShopDay();

// The walking state's stocking of the shelf cell or vending machine in
// front (edit modes 1 and 2), and the states other than walking and open.
void beginShelfStocking(int32_t cellKey);
void updateShelfStocking();
void updateVendingStocking();
void updateShopMenuStates();
// The merchant-level list opens (fairy menu code 5).
void openAbilityList();
