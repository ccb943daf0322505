#include "story/event.h"

// Event scripts arrive with the event runtime.
void startEvent() {}
int32_t stepEvent() { return 1; }
int32_t getEventBackgroundCount() { return 0; }
int32_t requestEventSkip() { return 0; }
void drawEventScene() {}
void loadEventTextures() {}
