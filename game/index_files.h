// game/index_files.h: start-up loading of every index and text table, in
// one fixed order, once, before the glyph cache and the sound are set up.
#pragma once

void loadIndexFiles();
