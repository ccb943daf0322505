// engine/game_folder.h: the game folder every file path starts from (the
// program's own folder, or the one the harness boots on) and the debug log.
#pragma once
#include <cstdint>

extern char gModuleDir[512];               // the game folder, with a trailing '/'
extern int32_t gModuleDirLength;

// From the running executable, cut after the last '/'.
void findModuleDir();
// gameDir with or without a trailing '/'.
void setModuleDir(const char* gameDir);
const char* getModuleDir();
void writeDebugLog(const char* text);
