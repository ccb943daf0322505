// adventurers/adventurers_files.h: the data files the adventurers' code
// plays that the sound synthesiser (tools/makesounds) makes for the sample
// game. Only constants: the tools include it.
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"

// The heroine's voice at a level-up.
constexpr const char* LEVEL_UP_VOICE = "bin/se/00sa/system/00sa_sys03b.bin";

// The shop floor: the heroine back from town, the morning greetings (the
// heroine's and the fairy's, in the two orders they alternate in), the
// first time out of the door, the counter before its lessons, the fairy
// asked, a shelf chosen, a shelf stocked, the shop opened (heroine or
// fairy), the tables put back in order.
constexpr const char* BACK_FROM_TOWN_VOICE = "bin/se/00sa/system/00sa_sys10.bin";
constexpr const char* MORNING_VOICES[4] = {
    "bin/se/00sa/system/00sa_sys01a.bin", "bin/se/01yo/system/01yo_sys01a.bin",
    "bin/se/01yo/system/01yo_sys01b.bin", "bin/se/00sa/system/00sa_sys01b.bin"};
constexpr const char* FIRST_OUTING_VOICE = "bin/se/00sa/system/00sa_sys09.bin";
constexpr const char* COUNTER_CLOSED_VOICE = "bin/se/00sa/system/00sa_sys06.bin";
constexpr const char* FAIRY_ASKS_VOICES[2] = {"bin/se/01yo/tuika/yo_nandesuka.bin",
                                              "bin/se/01yo/tuika/yo_whats.bin"};
constexpr const char* SHELF_VOICES[3] = {"bin/se/00sa/system/00sa_sys04a.bin", "bin/se/00sa/system/00sa_sys04b.bin",
                                         "bin/se/00sa/system/00sa_sys04c.bin"};
constexpr const char* SHELF_PLACED_VOICES[2] = {"bin/se/00sa/system/00sa_sys05a.bin",
                                                "bin/se/00sa/system/00sa_sys05b.bin"};
constexpr const char* SHOP_OPEN_VOICES[5] = {
    "bin/se/00sa/system/00sa_sys11a.bin", "bin/se/00sa/system/00sa_sys11b.bin", "bin/se/00sa/system/00sa_sys11c.bin",
    "bin/se/01yo/system/01yo_sys11a.bin", "bin/se/01yo/system/01yo_sys11b.bin"};
constexpr const char* TABLES_PLACED_VOICE = "bin/se/00sa/system/00sa_sys07.bin";
// The night talks: the heroine's line and the fairy's answer of each.
constexpr const char* NIGHT_HEROINE_VOICES[3] = {"bin/se/00sa/system/00sa_sys02a.bin",
                                                 "bin/se/00sa/system/00sa_sys02b.bin",
                                                 "bin/se/00sa/system/00sa_sys02c.bin"};
constexpr const char* NIGHT_FAIRY_VOICES[3] = {"bin/se/01yo/system/01yo_sys02.bin", "bin/se/01yo/system/01yo_sys02.bin",
                                               "bin/se/01yo/system/01yo_sys03.bin"};

// A run's start: the fairy's call or the chosen adventurer's line, then the
// heroine's; her remarks later on (low on health, or not).
constexpr const char* RUN_FAIRY_VOICE = "bin/se/01yo/action/01yo_btl01.bin";
constexpr const char* RUN_HEROINE_VOICES[2] = {"bin/se/00sa/action/00sa_btl01a.bin",
                                               "bin/se/00sa/action/00sa_btl01b.bin"};
constexpr const char* LOW_HEALTH_VOICE = "bin/se/00sa/action/00sa_btl03.bin";
constexpr const char* REMARK_VOICES[2] = {"bin/se/00sa/action/00sa_btl02a.bin", "bin/se/00sa/action/00sa_btl02b.bin"};
// A trap chest that springs its trap: the fairy's two cries or the heroine's.
constexpr const char* TRAP_CHEST_VOICES[3] = {"bin/se/01yo/tuika/yo_wana_b.bin", "bin/se/01yo/tuika/yo_wana_a.bin",
                                              "bin/se/00sa/event/sa_wana.bin"};

struct VoiceSet {
    int32_t count;
    const char* paths[4];
};
// The adventurers' start lines, by adventurer.
constexpr VoiceSet START_VOICES[ADVENTURER_COUNT] = {
    {2, {"bin/se/02vu/action/02vu_08a.bin", "bin/se/02vu/action/02vu_08b.bin"}},
    {2, {"bin/se/03re/action/03re_08a.bin", "bin/se/03re/action/03re_08b.bin"}},
    {4,
     {"bin/se/04zi/start/04zi_11a.bin", "bin/se/04zi/start/04zi_11d.bin", "bin/se/04zi/start/04zi_12a.bin",
      "bin/se/04zi/start/04zi_12d.bin"}},
    {3, {"bin/se/05za/start/05za_10.bin", "bin/se/05za/start/05za_11.bin", "bin/se/05za/start/05za_12.bin"}},
    {4,
     {"bin/se/06zu/start/06zu_12.bin", "bin/se/06zu/start/06zu_12a.bin", "bin/se/06zu/start/06zu_13a.bin",
      "bin/se/06zu/start/06zu_14.bin"}},
    {4,
     {"bin/se/07do/start/n_10.bin", "bin/se/07do/start/n_11.bin", "bin/se/07do/start/n_12.bin",
      "bin/se/07do/start/n_13.bin"}},
    {2, {"bin/se/08de/start/08de_10b.bin", "bin/se/08de/start/08de_16b.bin"}},
    {2, {"bin/se/09zo/start/09zo_17.bin", "bin/se/09zo/start/09zo_18.bin"}},
};

// Member 0's cries when hit, by adventurer (one at random); Dedar's own set
// when the hit is fatal.
struct DamageVoiceSet {
    int32_t count;
    const char* paths[7];
};
constexpr DamageVoiceSet DAMAGE_VOICES[ADVENTURER_COUNT] = {
    {4,
     {"bin/se/02vu/action/02vu_10.bin", "bin/se/02vu/action/02vu_11a.bin", "bin/se/02vu/action/02vu_11b.bin",
      "bin/se/02vu/action/02vu_11c.bin"}},
    {4,
     {"bin/se/03re/action/03re_09a.bin", "bin/se/03re/action/03re_09b.bin", "bin/se/03re/action/03re_10a.bin",
      "bin/se/03re/action/03re_10b.bin"}},
    {5,
     {"bin/se/04zi/damage/04zi_14a.bin", "bin/se/04zi/damage/04zi_15a.bin", "bin/se/04zi/damage/04zi_15b.bin",
      "bin/se/04zi/damage/04zi_16a.bin", "bin/se/04zi/damage/04zi_16b.bin"}},
    {6,
     {"bin/se/05za/damage/05za_15a.bin", "bin/se/05za/damage/05za_16.bin", "bin/se/05za/damage/05za_16a.bin",
      "bin/se/05za/damage/05za_17.bin", "bin/se/05za/damage/05za_17c.bin", "bin/se/05za/damage/05za_18.bin"}},
    {7,
     {"bin/se/06zu/damage/dmg01.bin", "bin/se/06zu/damage/dmg02.bin", "bin/se/06zu/damage/dmg03.bin",
      "bin/se/06zu/damage/dmg04.bin", "bin/se/06zu/damage/dmg05.bin", "bin/se/06zu/damage/dmg06.bin",
      "bin/se/06zu/damage/dmg07.bin"}},
    {6,
     {"bin/se/07do/damage/n_14_a.bin", "bin/se/07do/damage/n_14_b.bin", "bin/se/07do/damage/n_15_a.bin",
      "bin/se/07do/damage/n_15_b.bin", "bin/se/07do/damage/n_16_a.bin", "bin/se/07do/damage/n_16_b.bin"}},
    {7,
     {"bin/se/08de/damage/08de_13.bin", "bin/se/08de/damage/08de_13b.bin", "bin/se/08de/damage/08de_14.bin",
      "bin/se/08de/damage/08de_14a.bin", "bin/se/08de/damage/08de_14b.bin", "bin/se/08de/damage/08de_15.bin",
      "bin/se/08de/damage/08de_15a.bin"}},
    {3, {"bin/se/09zo/damage/09zo_06.bin", "bin/se/09zo/damage/09zo_07.bin", "bin/se/09zo/damage/09zo_08.bin"}},
};
constexpr DamageVoiceSet DEDAR_FATAL_VOICES = {
    3, {"bin/se/08de/damage/08de_16.bin", "bin/se/08de/damage/08de_16b.bin", "bin/se/08de/damage/08de_16c.bin"}};
// The heroine's word when an item goes into the bag.
constexpr const char* PICKUP_VOICES[2] = {"bin/se/00sa/action/00sa_btl05a.bin", "bin/se/00sa/action/00sa_btl05b.bin"};
