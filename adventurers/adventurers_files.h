// adventurers/adventurers_files.h: the data files the adventurers' code
// plays that the sound synthesiser (tools/makesounds) makes for the sample
// game. Only constants: the tools include it.
#pragma once

// The heroine's voice at a level-up.
constexpr const char* LEVEL_UP_VOICE = "bin/se/00sa/system/00sa_sys03b.bin";
