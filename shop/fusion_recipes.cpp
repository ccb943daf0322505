#include "shop/fusion_recipes.h"

FusionRecipe gFusionRecipes[FUSION_RECIPE_MAX];
int32_t gFusionRecipeCount;
