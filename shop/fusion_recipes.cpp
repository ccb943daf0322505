#include "shop/fusion_recipes.h"

#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "shop/item_db.h"
#include "shop/table_lines.h"
#include "shop/text_fields.h"

FusionRecipe gFusionRecipes[FUSION_RECIPE_MAX];
int32_t gFusionRecipeCount;

// Message texts and captions, Shift-JIS.
static const char UNKNOWN_INGREDIENT_CAPTION[] =   // "gousei.txt に不明なアイテム3"
    "gousei.txt \x82\xc9\x95\x73\x96\xbe\x82\xc8\x83\x41\x83\x43\x83\x65\x83\x80"
    "3";
static const char BAD_QUANTITY_CAPTION[] =   // "合成素材アイテム数不明"
    "\x8d\x87\x90\xac\x91\x66\x8d\xde\x83\x41\x83\x43\x83\x65\x83\x80\x90\x94\x95\x73\x96\xbe";
static const char RECIPES_FULL_TEXT[] =   // "合成アイテム登録オーバー"
    "\x8d\x87\x90\xac\x83\x41\x83\x43\x83\x65\x83\x80\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";

// The row of the item named [from, end); row 0 with a message when none has it.
static int32_t fusionItemRow(const char* from, const char* end) {
    int32_t row = findItemRowByName(from, end);
    if (row >= 0) return row;
    showTableText(from, end, UNKNOWN_INGREDIENT_CAPTION);
    return 0;
}

static const char* nameEnd(const char* p, const char* end) {
    while (p < end && *p != ':' && *p != '#') p++;
    return p;
}

// "NNNN:product:ingredient#quantity:ingredient#quantity:".
static void parseRecipeLine(const TextLine& line, int32_t rank, FusionRecipe& recipe) {
    recipe = FusionRecipe{};
    for (int32_t i = 0; i < FUSION_INGREDIENT_MAX; i++) recipe.ingredients[i] = -1;
    recipe.rank = rank;
    const char* p = lineAt(line, 5);
    const char* productEnd = nameEnd(p, line.end);
    recipe.product = fusionItemRow(p, productEnd);
    p = productEnd;
    int32_t count = 0;
    int32_t named = -1;   // the ingredient a '#' gives the quantity of
    bool bad = false;
    while (p < line.end) {
        if (*p == ':') {
            const char* name = ++p;
            p = nameEnd(p, line.end);
            named = -1;
            if (p == name) continue;   // the closing ':'
            if (count >= FUSION_INGREDIENT_MAX) {
                bad = true;   // more ingredients than a recipe holds: left out
                continue;
            }
            recipe.ingredients[count] = fusionItemRow(name, p);
            named = count++;
        } else if (*p == '#') {
            p++;
            if (named >= 0) recipe.quantities[named] = parseTextInt(p, line.end);
        } else {
            p++;
        }
    }
    for (int32_t i = 0; i < count; i++) {
        if (recipe.quantities[i] <= 0) bad = true;
    }
    if (bad) showTableText(line.start, line.end, BAD_QUANTITY_CAPTION);
}

void parseFusionRecipes(const char* text, int32_t length) {
    for (FusionRecipe& recipe : gFusionRecipes) recipe = FusionRecipe{};
    gFusionRecipeCount = 0;
    int32_t rank = 0;
    TableLimit limit{RECIPES_FULL_TEXT, false};
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v = lineValue(line, "Rank:");
        if (v) {
            rank = parseTextInt(v, line.end);
            continue;
        }
        if (limit.full(gFusionRecipeCount, FUSION_RECIPE_MAX)) continue;
        parseRecipeLine(line, rank, gFusionRecipes[gFusionRecipeCount++]);
    }
}

void loadFusionRecipes() {
    TextEntry entry = readTextEntry("data/gousei.txt");
    parseFusionRecipes(entry.bytes.get(), entry.length);
}
