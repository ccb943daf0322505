// dungeon/stage_scripts.h: the script the field's stage runs once per
// frame. On the shop stages these are the story triggers: conditions on the
// running game's story flags, date, day phase and shop clock, each of which
// starts one event script. Every trigger is guarded by a flag it sets when
// its event starts, so each event plays once per game (the flags travel
// with the save). On dungeon floors the current dungeon's frame script runs
// instead. Called by the field frame; main thread only.
#pragma once

// The stage's script: the story triggers on shop stages (stage codes 0..4),
// else the frame script of gRun.dungeonIndex (5 and above share one).
void runStageScript();
// The story triggers of the shop stages, tried in their fixed order. A
// trigger whose event cannot start because another event loads or runs is
// tried again the next frame.
void runTownStageScript();
