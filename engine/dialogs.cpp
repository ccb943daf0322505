#include "engine/dialogs.h"

// The windows arrive with the dialogs.
void resetDialogs() {}
