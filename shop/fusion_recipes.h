// shop/fusion_recipes.h: the fusion recipes of the merchants' guild, read at
// start-up from "data/gousei.txt", in file order.
#pragma once
#include <cstdint>

constexpr int32_t FUSION_RECIPE_MAX = 200;
constexpr int32_t FUSION_INGREDIENT_MAX = 5;

struct FusionRecipe {
    int32_t product;                                 // item definition row made
    int32_t rank;                                    // 1..5, the merchant levels that offer it
    int32_t ingredients[FUSION_INGREDIENT_MAX];      // item definition rows, -1 none
    int32_t quantities[FUSION_INGREDIENT_MAX];
};
extern FusionRecipe gFusionRecipes[FUSION_RECIPE_MAX];
extern int32_t gFusionRecipeCount;

// The fusion recipes from its text (see shop/table_lines.h).
void parseFusionRecipes(const char* text, int32_t length);
