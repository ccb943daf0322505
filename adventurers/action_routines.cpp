// What the action routines share: the warp that moves the whole party.
#include "adventurers/action_routines.h"

void warpToRandomCell() {}
