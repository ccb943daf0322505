#include "shop/tutorial_scripts.h"

TutorialStep gTutorialScripts[TUTORIAL_LESSON_COUNT][TUTORIAL_STEP_MAX];
