// engine/index_files.h: start-up loading of every index and text table.
#pragma once

void loadIndexFiles();
