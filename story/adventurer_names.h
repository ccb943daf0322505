// story/adventurer_names.h: the eight adventurers' names and class names, in
// adventurer order, as the records they are kept in.
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"

constexpr int32_t ADVENTURER_NAME_SIZE = 20;
constexpr int32_t ADVENTURER_CLASS_SIZE = 108;

struct AdventurerName {
    char name[ADVENTURER_NAME_SIZE];
    char className[ADVENTURER_CLASS_SIZE];
};
static_assert(sizeof(AdventurerName) == 128);

extern const AdventurerName ADVENTURER_NAMES[ADVENTURER_COUNT];
