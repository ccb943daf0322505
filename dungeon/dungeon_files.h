// dungeon/dungeon_files.h: the data files the dungeon asks for by name that
// the sample-data tools make too (the voices of a run's end).
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"

// The heroine's cry when adventurer 0..7 is defeated (4 and 5 take clips
// 16 and 15), and the voices of a return and of a cleared dungeon.
constexpr const char* DEFEAT_VOICES[ADVENTURER_COUNT] = {
    "bin/se/00sa/action/00sa_btl11.bin", "bin/se/00sa/action/00sa_btl12.bin",
    "bin/se/00sa/action/00sa_btl13.bin", "bin/se/00sa/action/00sa_btl14.bin",
    "bin/se/00sa/action/00sa_btl16.bin", "bin/se/00sa/action/00sa_btl15.bin",
    "bin/se/00sa/action/00sa_btl17.bin", "bin/se/00sa/action/00sa_btl18.bin",
};
constexpr const char* RETURNED_VOICE = "bin/se/01yo/action/01yo_btl03.bin";
constexpr const char* CLEARED_VOICE = "bin/se/00sa/shop/sa_yata.bin";
