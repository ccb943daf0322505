// engine/loose_files.h: opening a loose file below the game folder by a
// path written for Windows. Any thread.
#pragma once
#include <cstdio>

// Opens a regular file for reading: '/' or '\\' between the parts, and any
// case (data written there mixes case), each part that does not exist as
// written being looked up in its folder without regard to case. Relative
// paths start at the working directory. Null when there is no such file.
FILE* openLooseFile(const char* path);
