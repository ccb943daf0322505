#include "field/hud_level_abilities.h"

#include "field/field.h"

const LevelAbility MERCHANT_LEVEL_ABILITIES[LEVEL_ABILITY_ROWS] = {
    {1, "Starting Level"},   {2, "Customers Sell"},   {3, "Can Take Orders"}, {4, "More Items"},
    {5, "Fusion Rank 1"},    {6, "Change Wallpaper"}, {7, "Advance Orders"},  {8, "Change Floor"},
    {9, "Change Rug"},       {10, "Move Counters"},   {11, "More Items"},     {12, "Store Expansion"},
    {13, "Fusion Rank 2"},   {14, "Change Counters"}, {15, "Vending Machines"}, {16, "Two Items"},
    {17, "Item Storage"},    {18, "More Items"},      {19, "Fusion Rank 3"},  {20, "Store Expansion"},
    {21, "Half Pay"},        {22, "Vending Madness"}, {23, "More Items"},     {24, "Item Storage"},
    {25, "Fusion Rank 4"},   {26, "Store Expansion"}, {30, "Fusion Rank 5"},  {40, "Item Storage"},
    {50, "Three Items"},     {100, ""},
};

const char* const MERCHANT_LEVEL_ABILITY_TEXTS[LEVEL_ABILITY_ROWS][LEVEL_ABILITY_LINES] = {
    {"As you work in the store, your merchant level will", "rise and allow you to do more with the store.",
     "Scroll down to see what each level allows."},
    {"Customers now come to the store to sell their", "goods, too. Buy low and sell high!", " "},
    {"Customers may ask you to find an item for them.", "Take the order and bring the item in time.", " "},
    {"The market and the guild offer more kinds of", "items for you to buy and sell.", " "},
    {"You can fuse two items into a new one. Fusion", "rank 1 allows the simplest recipes.", " "},
    {"You can change the wallpaper of the store.", "Pick walls that suit the customers you want.", " "},
    {"Customers may place orders days in advance.", "Check the summary so no deadline slips by.", " "},
    {"You can change the flooring of the store.", "A new floor changes the store's atmosphere.", " "},
    {"You can lay a rug in the store. Rugs change the", "atmosphere and catch the eye of customers.", " "},
    {"You can move the tables around the store to make", "room or to lead customers to your best items.", " "},
    {"The market and the guild offer still more kinds", "of items for you to buy and sell.", " "},
    {"The store grows larger, with room for more", "tables and more items on display.", " "},
    {"Fusion rank 2 allows more recipes, and fused", "items of better quality.", " "},
    {"You can change the tables of the store for", "others that show off your items better.", " "},
    {"You can set up vending machines. They sell their", "items on their own while you work the counter.", " "},
    {"After a defeat in a dungeon, an adventurer brings", "back two items instead of one.", " "},
    {"At this level, your overall inventory capacity in a", "dungeon is increased to 25 items.", " "},
    {"The market and the guild offer even more kinds", "of items for you to buy and sell.", " "},
    {"Fusion rank 3 allows rarer recipes.", " ", " "},
    {"The store grows larger again, with room for", "more tables and more items.", " "},
    {"Adventurers ask for only half pay when they set", "out for a dungeon.", " "},
    {"Vending machines hold more items and sell", "them more often.", " "},
    {"The market and the guild offer nearly every", "kind of item there is.", " "},
    {"Your overall inventory capacity in a dungeon is", "increased to 30 items.", " "},
    {"Fusion rank 4 allows the rarest recipes but one.", " ", " "},
    {"The store reaches its largest size.", " ", " "},
    {"Fusion rank 5 allows every recipe there is.", " ", " "},
    {"Your overall inventory capacity in a dungeon is", "increased to 35 items.", " "},
    {"After a defeat in a dungeon, an adventurer brings", "back three items instead of two.", " "},
    {" ", " ", " "},
};

int32_t openedAbilityRows(int32_t merchantLevel) {
    int32_t rows = 0;
    for (const LevelAbility& ability : MERCHANT_LEVEL_ABILITIES)
        if (ability.level <= 90 && ability.level <= merchantLevel) rows++;
    return rows;
}
