// field/effect_images.h: the effect image table: the pictures the particles
// draw from (the groups, one texture each) and the rows that cut a frame
// strip out of a group. Read from "ef/grp1.idx" .. "ef/grp4.idx" at start-up;
// the system pictures load the groups' textures.
#pragma once
#include <cstdint>

#include "field/field.h"
#include "field/field_files.h"

// One row: a rectangle of a group's texture, in texels, and how its frames run.
struct EffectImage {
    int32_t group;          // index into gEffectImageGroups as written
    float x0, y0, x1, y1;
    int32_t frames;         // 1 when not given
    int32_t interval;       // ticks a frame; 1 when not given
    int32_t loop;           // 0 when not given
};

extern EffectImage gEffectImages[EFFECT_IMAGE_ROWS];
extern int32_t gEffectImageCount;   // highest row read + 1

// "ef/grp<number>.idx", number 1 to 4 (the loose file first, else the
// archive entry), adding to the groups and rows.
void loadEffectGroupFile(int32_t number);
// The lines of one group file: "GRPnn:" appends a group's texture name
// (groups beyond EFFECT_GROUP_MAX are dropped); "nnn:" (000..998) sets row nnn
// from "group(x0,y0,x1,y1)" and an optional "(frames,interval,loop)".
void parseEffectGroupFile(const char* text, int32_t length);
