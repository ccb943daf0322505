// dungeon/stage_scripts.h: the per-stage scripts that run each field frame.
#pragma once

void runStageScript();
