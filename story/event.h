// story/event.h: the running event script's step and drawing.
#pragma once
#include <cstdint>

int32_t stepEvent();               // 1 on the tick the script ends
int32_t getEventBackgroundCount();
void drawEventScene();
void loadEventTextures();
