// field/field_tables.h: the field's master tables, each read from its text
// file by loadIndexFiles at start-up, in the order loadIndexFiles keeps.
#pragma once
#include <cstdint>

extern int32_t gEffectGroupCount;   // effect image groups read
extern int32_t gEffectImageCount;   // highest effect image row read + 1

void loadEnemyKinds();          // "data/enemy.txt"
// "data/chara.txt" into gCharaTable, after writing the defaults into rows
// 0..7 (rows 8 and 9 stay zero).
void loadCharaTable();
// The lines of a chara table over gCharaTable as it stands:
// "00k:" level, ATK, DEF, MAG, MDEF, HP, SP, walk, dash, critical (level
// 1-based, stored minus 1) and "10k:" ATK, DEF, MAG, MDEF, HP, SP at level
// 100, for row k 0..9. Values a line does not reach keep theirs; other lines
// are passed over.
void parseCharaTable(const char* text, int32_t length);
void loadModelTable();          // "data/model.txt"
void loadFloorConditions();     // "data/snews.txt"
void loadFloorEnemyLists();     // "data/enemylist.txt"
// "ef/grp<number>.idx", number 1 to 4, adding to the effect image groups and rows.
void loadEffectGroupFile(int32_t number);
