// field/resources.h: the field's models and pictures, and the full release
// of every texture group.
#pragma once

// Releases texture groups 0 to 29 and the off-screen render targets: before
// a device reset, on the return to the title and at shut-down.
void releaseAllTextures();
void loadFieldResources();

// The current stage's models: released unless the stage stays the same,
// then bound for the new stage.
void releaseStageModels();
void bindStageModels();
void releaseEnemyModels();
void loadFloorEnemies();
// The shop day's customer pictures: the first set, and a visitor's own.
void loadCustomerPortraitsA();
void loadCustomerPortraitsB();
// Every picture or model of one shop part except the chosen one.
void loadShopWalls();
void loadShopFloors();
void loadShopRugs();
void loadShopTables();
