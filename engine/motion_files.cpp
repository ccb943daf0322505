#include "engine/motion_files.h"

// The motion table arrives with its reader; until then no sprite is animated.
void loadMotionFiles() {}
