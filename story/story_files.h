// story/story_files.h: the data files of the story's scenes that the tools
// make too, by name, so the game reads what the tools write.
#pragma once

// The event's two sheets (512 x 512, see story/event_cells.h); the event
// loads them into its texture group with its script's pictures.
constexpr char EVENT_WINDOW_SHEET[] = "bmp/ivent/ive_window.tga";
constexpr char EVENT_NAME_SHEET[] = "bmp/ivent/chrname.tga";
// The voice the options window plays when the voice volume changes.
constexpr char OPTION_VOICE_SAMPLE[] = "bin/se/00sa/system/00sa_sys01a.bin";
// The fairy's word when the pause menu saves the game.
constexpr char MENU_SAVE_VOICE[] = "bin/se/01yo/system/01yo_sys04.bin";
