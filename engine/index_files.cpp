#include "engine/index_files.h"

// The tables arrive with their loaders.
void loadIndexFiles() {}
