// story/ending.h: the staff roll (mode 3).
#pragma once

void startEnding();
