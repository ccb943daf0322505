// story/event.h: the running event script's step and drawing.
#pragma once
#include <cstdint>

// Compiles the script of gEventNumber and registers its pictures (main thread).
void startEvent();
int32_t stepEvent();               // 1 on the tick the script ends
int32_t getEventBackgroundCount();
// Opens the yes/no question that skips the running event; 1 when it did.
int32_t requestEventSkip();
void drawEventScene();
void loadEventTextures();
