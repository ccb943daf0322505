#include "engine/stage_index.h"
#include "story/story.h"

int32_t findStageByCode(int32_t code) {
    for (int32_t s = 0; s < gStageCount; ++s)
        if (gStages[s].stageCode == code) return s;
    return gStageCount;
}
