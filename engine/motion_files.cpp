#include "engine/motion_files.h"

MotionRecord gMotions[MOTION_FILE_COUNT];

// The motion table arrives with its reader; until then no sprite is animated.
void loadMotionFiles() {}
