#include "story/story.h"

const AdventurerName ADVENTURER_NAMES[ADVENTURER_COUNT] = {
    {"Vuror", "Swordsman"}, {"Rerado", "Thief"}, {"Zirezuz", "Magician"}, {"Zazuru", "Archer"},
    {"Zuzi", "Black Belt"}, {"Doda", "Lancer"},  {"Dedar", "Assassin"},   {"Zoze", "Golem"},
};
