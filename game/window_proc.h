// game/window_proc.h: the window's events: activation, the quit question,
// Escape, and the menu commands reached through keyboard shortcuts.
#pragma once
#include <cstdint>

#include "platform/window.h"

enum MenuCommand : int32_t {
    MENU_EXIT = 40002,
    MENU_RETURN_TO_TITLE = 40003,
    MENU_ASPECT_LOCK = 40004,
    MENU_SCALE_50 = 40005,
    MENU_SCALE_100 = 40006,
    MENU_SCALE_150 = 40007,
    MENU_SCALE_200 = 40008,
    MENU_SCALE_300 = 40009,
    MENU_ABOUT = 40010,
    MENU_SAVE_EFFECTS_2 = 40011,
    MENU_SAVE_EFFECTS_3 = 40012,
    MENU_SAVE_EFFECTS_4 = 40013,
};

extern int32_t gAppActive;   // 1 while the window is not minimised

extern const WindowShortcut MENU_SHORTCUTS[];
extern const int32_t MENU_SHORTCUT_COUNT;

void mainWndProc(const WindowEvent& event);
// The window's outer rectangle for a drag with the aspect lock on.
void applyAspectLock(int32_t edge, int32_t rect[4], const WindowMetrics& metrics);
