// field/field_files.h: the data files the field's code plays by name that
// the sound synthesiser (tools/makesounds) makes for the sample game. Only
// constants: the tools include it.
#pragma once

// The heroine's voice at a merchant level-up.
constexpr const char* MERCHANT_LEVEL_UP_VOICE = "bin/se/00sa/system/00sa_sys03a.bin";
