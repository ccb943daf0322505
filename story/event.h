// story/event.h: the running event script's step and drawing.
#pragma once
#include <cstdint>

// Compiles the script of gEventNumber and registers its pictures (main thread).
void startEvent();
int32_t stepEvent();               // 1 on the tick the script ends
int32_t getEventBackgroundCount();
void drawEventScene();
void loadEventTextures();
