// engine/stage_index.h: the stages of the stage index and the current one.
#pragma once
#include <cstdint>

struct StageRecord {
    int32_t backcolor[3];   // the screen's clear colour on this stage (r, g, b)
};

extern int32_t gStageIndex;           // the current stage, set by the scene code
extern StageRecord* gCurrentStage;    // bound when the field loads a stage; null before
