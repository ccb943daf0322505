// dungeon/enemy_kinds.cpp: the compiled-in enemy kind table.
#include "dungeon/dungeon.h"

#include <cstring>

// Name, model kind and number, scale, shadow, animation speed, HP, exp, attack,
// defence, magic, magic defence, push radius, centre height, hit radius, wall
// radius, drops. Kinds named " " are used by number only.
static const EnemyKind COMPILED_KINDS[] = {
    {"slime_green", ENEMY_MODEL_SPRITE, 5, 0.8f, 0.15f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 0
    {"slime_red", ENEMY_MODEL_SPRITE, 8, 0.8f, 0.15f, 2.0f, 20, 4, 30, 16, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 1
    {"slime_blue", ENEMY_MODEL_SPRITE, 4, 0.8f, 0.15f, 1.0f, 15, 3, 30, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 2
    {"slime_yellow", ENEMY_MODEL_SPRITE, 9, 0.8f, 0.15f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 3
    {"slime_pink", ENEMY_MODEL_SPRITE, 7, 0.8f, 0.15f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 4
    {"slime_iron", ENEMY_MODEL_SPRITE, 6, 0.8f, 0.15f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 5
    {"bat_yellow", ENEMY_MODEL_SPRITE, 11, 0.8f, 0.2f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 4.0f, 2.0f, 0.6f, {3101, 3102}},  // 6
    {"bat_green", ENEMY_MODEL_SPRITE, 13, 0.8f, 0.2f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 4.0f, 2.0f, 0.6f, {3101, 3102}},  // 7
    {"bat_blue", ENEMY_MODEL_SPRITE, 12, 0.8f, 0.2f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 4.0f, 2.0f, 0.6f, {3101, 3102}},  // 8
    {"bat_red", ENEMY_MODEL_SPRITE, 14, 0.8f, 0.2f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 4.0f, 2.0f, 0.6f, {3101, 3102}},  // 9
    {"bee_yellow", ENEMY_MODEL_SPRITE, 17, 0.4f, 0.1f, 1.0f, 5, 1, 25, 4, 0, 10, 1.5f, 4.0f, 4.0f, 1.5f, {3101, 3102}},  // 10
    {"bee_green", ENEMY_MODEL_SPRITE, 16, 0.5f, 0.1f, 1.0f, 5, 1, 25, 4, 0, 10, 1.5f, 4.0f, 4.0f, 1.5f, {3101, 3102}},  // 11
    {"bee_red", ENEMY_MODEL_SPRITE, 15, 0.6f, 0.1f, 1.0f, 5, 1, 25, 4, 0, 10, 1.5f, 4.0f, 4.0f, 1.5f, {3101, 3102}},  // 12
    {"mushroom_red", ENEMY_MODEL_SPRITE, 18, 0.8f, 0.15f, 1.0f, 15, 4, 25, 6, 0, 10, 1.5f, 5.0f, 2.0f, 1.5f, {3101, 3102}},  // 13
    {"mushroom_violet", ENEMY_MODEL_SPRITE, 34, 0.8f, 0.15f, 1.0f, 15, 4, 25, 6, 0, 10, 1.5f, 5.0f, 2.0f, 1.5f, {3101, 3102}},  // 14
    {"pumpkin", ENEMY_MODEL_SPRITE, 19, 1.0f, 0.18f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 15
    {"kobold", ENEMY_MODEL_SPRITE, 20, 0.8f, 0.18f, 1.0f, 20, 5, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 16
    {"roper_green", ENEMY_MODEL_SPRITE, 22, 0.8f, 0.18f, 1.0f, 15, 6, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 17
    {"roper_red", ENEMY_MODEL_SPRITE, 24, 0.8f, 0.18f, 1.0f, 15, 10, 35, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 18
    {"roper_blue", ENEMY_MODEL_SPRITE, 21, 0.8f, 0.18f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 19
    {"roper_yellow", ENEMY_MODEL_SPRITE, 25, 0.8f, 0.18f, 1.0f, 15, 1, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 20
    {"roper_pink", ENEMY_MODEL_SPRITE, 23, 0.8f, 0.18f, 1.0f, 25, 10, 30, 8, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 21
    {"rabbit", ENEMY_MODEL_SPRITE, 26, 0.8f, 0.15f, 1.0f, 15, 5, 20, 8, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 22
    {"king_slime", ENEMY_MODEL_SPRITE, 33, 0.8f, 0.55f, 1.0f, 10, 20, 30, 8, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 23
    {"mouse_panel", ENEMY_MODEL_SKINNED, 0, 0.8f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 24
    {"rerado", ENEMY_MODEL_SPRITE, 27, 0.6f, 0.25f, 1.0f, 150, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 25
    {"stone_tunny", ENEMY_MODEL_SPRITE, -1, 0.6f, 0.25f, 1.0f, 15, 30, 25, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 26
    {"zazuru", ENEMY_MODEL_SPRITE, 30, 0.6f, 0.18f, 1.0f, 150, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 27
    {"glyph", ENEMY_MODEL_SPRITE, 41, 0.6f, 0.18f, 1.0f, 150, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 1.2f, {3101, 3102}},  // 28
    {" ", ENEMY_MODEL_SPRITE, 31, 0.6f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 29
    {"wren", ENEMY_MODEL_SPRITE, 48, 0.6f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 30
    {" ", ENEMY_MODEL_SPRITE, 35, 0.6f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 31
    {" ", ENEMY_MODEL_SPRITE, 35, 0.6f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 32
    {" ", ENEMY_MODEL_SPRITE, 35, 0.6f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 33
    {"salamander", ENEMY_MODEL_SPRITE, 46, 0.9f, 0.18f, 1.0f, 15, 0, 40, 40, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 34
    {"gold_golem", ENEMY_MODEL_SPRITE, 44, 0.6f, 0.18f, 1.0f, 15, 0, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 35
    {"silver_golem", ENEMY_MODEL_SPRITE, 45, 0.6f, 0.18f, 1.0f, 15, 0, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 36
    {"bomb_red", ENEMY_MODEL_SPRITE, 49, 0.9f, 0.18f, 1.0f, 15, 0, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 37
    {"bomb_blue", ENEMY_MODEL_SPRITE, 51, 0.9f, 0.18f, 1.0f, 15, 0, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 38
    {"bomb_green", ENEMY_MODEL_SPRITE, 50, 0.9f, 0.18f, 1.0f, 15, 0, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 39
    {"bomb_yellow", ENEMY_MODEL_SPRITE, 52, 0.9f, 0.18f, 1.0f, 15, 0, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 40
    {"alma", ENEMY_MODEL_SPRITE, 42, 0.6f, 0.18f, 1.0f, 305, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 41
    {"hydra", ENEMY_MODEL_SPRITE, 23, 1.0f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 42
    {"father", ENEMY_MODEL_SPRITE, 65, 0.6f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 43
    {"knight_blue", ENEMY_MODEL_SPRITE, 53, 0.8f, 0.18f, 1.0f, 15, 30, 2, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 44
    {"knight_gray", ENEMY_MODEL_SPRITE, 54, 0.95f, 0.18f, 1.0f, 15, 30, 2, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 45
    {"knight_gold", ENEMY_MODEL_SPRITE, 55, 0.8f, 0.18f, 1.0f, 15, 30, 2, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 46
    {"knight_green", ENEMY_MODEL_SPRITE, 56, 0.9f, 0.18f, 1.0f, 15, 30, 2, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 47
    {"knight_red", ENEMY_MODEL_SPRITE, 57, 0.92f, 0.18f, 1.0f, 15, 30, 2, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 48
    {"king_knight", ENEMY_MODEL_SPRITE, 58, 1.2f, 0.18f, 1.0f, 15, 30, 2, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 49
    {"skeleton_white", ENEMY_MODEL_SPRITE, 59, 0.9f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 50
    {"skeleton_gold", ENEMY_MODEL_SPRITE, 60, 0.9f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 51
    {"GHOST_O", ENEMY_MODEL_SPRITE, 61, 0.9f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 52
    {"GHOST_N", ENEMY_MODEL_SPRITE, 62, 0.9f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 53
    {"king_bat", ENEMY_MODEL_SPRITE, 63, 0.9f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 54
    {"king_pumpkin", ENEMY_MODEL_SPRITE, 64, 0.9f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 55
    {" ", ENEMY_MODEL_SPRITE, 22, 0.95f, 0.18f, 1.0f, 15, 6, 10, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 56
    {" ", ENEMY_MODEL_SPRITE, 24, 0.95f, 0.18f, 1.0f, 15, 10, 10, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 57
    {" ", ENEMY_MODEL_SPRITE, 21, 0.95f, 0.18f, 1.0f, 15, 1, 10, 4, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 58
    {"mouse_brave", ENEMY_MODEL_SKINNED, 1, 0.8f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 59
    {"mouse_tunny", ENEMY_MODEL_SKINNED, 2, 0.8f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 60
    {"golem", ENEMY_MODEL_SKINNED, 3, 0.9f, 0.65f, 1.0f, 150, 25, 1, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 61
    {"golem_right", ENEMY_MODEL_SKINNED, 4, 0.9f, 0.45f, 1.0f, 150, 25, 1, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 62
    {"golem_left", ENEMY_MODEL_SKINNED, 5, 0.9f, 0.45f, 1.0f, 150, 25, 1, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 63
    {"golem_dark", ENEMY_MODEL_SKINNED, 6, 0.8f, 0.65f, 1.0f, 150, 25, 1, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 64
    {"golem_dark_right", ENEMY_MODEL_SKINNED, 7, 0.8f, 0.45f, 1.0f, 150, 25, 1, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 65
    {"golem_dark_left", ENEMY_MODEL_SKINNED, 8, 0.8f, 0.45f, 1.0f, 150, 25, 1, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 66
    {"caterpillar", ENEMY_MODEL_SKINNED, 9, 1.3f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 67
    {"crab", ENEMY_MODEL_SKINNED, 10, 1.0f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 3.6f, {3101, 3102}},  // 68
    {"crab_black", ENEMY_MODEL_SKINNED, 11, 1.3f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 3.6f, {3101, 3102}},  // 69
    {"jellyfish", ENEMY_MODEL_SKINNED, 12, 1.0f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 70
    {"jellyfish_red", ENEMY_MODEL_SKINNED, 13, 0.8f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 71
    {"devil_hand", ENEMY_MODEL_SKINNED, 14, 0.8f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 72
    {"armgolem", ENEMY_MODEL_SKINNED, 15, 1.1f, 0.45f, 1.0f, 1, 0, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 73
    {"armgolem_core", ENEMY_MODEL_SKINNED, 16, 1.1f, 0.45f, 1.0f, 1, 25, 0, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 74
    {"armgolem_right_hand", ENEMY_MODEL_SKINNED, 17, 1.1f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 75
    {"armgolem_left_hand", ENEMY_MODEL_SKINNED, 18, 1.1f, 0.45f, 1.0f, 150, 25, 20, 30, 0, 10, 4.0f, 3.0f, 4.5f, 0.6f, {3101, 3102}},  // 76
    {"primeval_body", ENEMY_MODEL_SPRITE, 66, 0.6f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 77
    {"primeval_feather", ENEMY_MODEL_SPRITE, 67, 0.6f, 0.18f, 1.0f, 15, 30, 20, 20, 0, 10, 1.5f, 2.0f, 2.0f, 0.6f, {3101, 3102}},  // 78
    {"", ENEMY_MODEL_END, 0, 0.0f, 0.0f, 0.0f, 0, 0, 0, 0, 0, 0, 0.0f, 0.0f, 0.0f, 0.0f, {-1, -1}},  // the end row
};

EnemyKind gEnemyKinds[ENEMY_KIND_CAPACITY];

void resetEnemyKinds() {
    memset(gEnemyKinds, 0, sizeof gEnemyKinds);
    memcpy(gEnemyKinds, COMPILED_KINDS, sizeof COMPILED_KINDS);
}

static_assert(sizeof COMPILED_KINDS / sizeof COMPILED_KINDS[0] == 80);
