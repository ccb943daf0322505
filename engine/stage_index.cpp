#include "engine/stage_index.h"

int32_t gStageIndex;
StageRecord* gCurrentStage;
