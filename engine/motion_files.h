// engine/motion_files.h: the frame lists of the field's sprite sheets, read
// from their motion files as the first step of loadIndexFiles.
#pragma once

void loadMotionFiles();
