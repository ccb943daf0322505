// platform/signals.h: process-wide signal settings made once at start-up.
#pragma once

// A write past the file-size limit fails with EFBIG instead of ending the
// program, so the save and the settings can tell the player and keep their
// old files.
void ignoreFileSizeSignal();
