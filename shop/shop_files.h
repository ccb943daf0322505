// shop/shop_files.h: the data files the shop's code plays by name that the
// sound synthesiser (tools/makesounds) makes for the sample game. Only
// constants: the tools include it.
#pragma once

// The fairy's voices of the day report: a rank voice each (best first), the
// payment day, and three for a week paid.
constexpr const char* RANK_VOICES[5] = {
    "bin/se/01yo/system/01yo_sys05.bin", "bin/se/01yo/system/01yo_sys06.bin", "bin/se/01yo/system/01yo_sys07.bin",
    "bin/se/01yo/system/01yo_sys08.bin", "bin/se/01yo/system/01yo_sys09.bin",
};
constexpr const char* PAYMENT_DAY_VOICE = "bin/se/01yo/system/01yo_sys12.bin";
constexpr const char* PAID_VOICES[3] = {
    "bin/se/01yo/system/01yo_sys13.bin",
    "bin/se/01yo/system/01yo_sys14.bin",
    "bin/se/01yo/system/01yo_sys15.bin",
};
