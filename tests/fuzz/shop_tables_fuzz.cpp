// Arbitrary text through every shop table parser: the item table first (the
// other tables look item and category names up in it), then the customer
// types with one sub-file, the trading test, the request rows, the trends,
// the recipes and a lesson. The input has no NUL behind it, so any read past
// its end is caught; every table must stay within its limits.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/window.h"
#include "shop/buysell_table.h"
#include "shop/customer_types.h"
#include "shop/fusion_recipes.h"
#include "shop/item_db.h"
#include "shop/request_rows.h"
#include "shop/trend_definitions.h"
#include "shop/tutorial_scripts.h"

template <size_t N>
static void checkTerminated(const char (&field)[N]) {
    if (!memchr(field, 0, N)) __builtin_trap();
}

static void checkTables() {
    if (gItemDefinitionCount < 0 || gItemDefinitionCount > ITEM_DEFINITION_MAX) __builtin_trap();
    for (int32_t r = 0; r < gItemDefinitionCount; r++) {
        const ItemDefinition& d = gItemDefinitions[r];
        if (d.valid != 1 || d.id < 0 || d.id > ITEM_ID_MAX) __builtin_trap();
        checkTerminated(d.name);
        checkTerminated(d.name2);
        checkTerminated(d.text);
        checkTerminated(d.text2);
    }
    for (const CustomerType& t : gCustomerTypes) {
        if (t.pictureCount < 0 || t.pictureCount > CUSTOMER_PICTURE_MAX) __builtin_trap();
        if (t.voiceCount < 0 || t.voiceCount > CUSTOMER_VOICE_MAX) __builtin_trap();
        if (t.likedCount < 0 || t.likedCount > CUSTOMER_LIKED_MAX) __builtin_trap();
        for (int32_t k = 0; k < CUSTOMER_LINE_KINDS; k++) {
            if (t.lineVariantCount[k] < 0 || t.lineVariantCount[k] > CUSTOMER_LINE_VARIANTS) __builtin_trap();
            for (int32_t v = 0; v < t.lineVariantCount[k]; v++) checkTerminated(t.lineTexts[k][v]);
        }
        checkTerminated(t.name);
        checkTerminated(t.groupName);
        checkTerminated(t.subFile);
    }
    if (gOrderRequestCount < 0 || gOrderRequestCount > REQUEST_ROW_MAX) __builtin_trap();
    for (int32_t r = 0; r < gOrderRequestCount; r++) {
        checkTerminated(gRequestRows[r].name);
        checkTerminated(gRequestRows[r].orderName);
    }
    if (gTrendDefinitionCount < 0 || gTrendDefinitionCount > TREND_DEFINITION_MAX) __builtin_trap();
    for (int32_t r = 1; r <= gTrendDefinitionCount; r++) {
        checkTerminated(gTrendDefinitions[r].text);
        checkTerminated(gTrendDefinitions[r].targetName);
    }
    if (gFusionRecipeCount < 0 || gFusionRecipeCount > FUSION_RECIPE_MAX) __builtin_trap();
    for (int32_t r = 0; r < gFusionRecipeCount; r++) {
        const FusionRecipe& f = gFusionRecipes[r];
        if (f.product < 0 || f.product >= ITEM_DEFINITION_MAX) __builtin_trap();
        for (int32_t i : f.ingredients) {
            if (i < -1 || i >= ITEM_DEFINITION_MAX) __builtin_trap();
        }
    }
    bool ended = false;
    for (const TutorialStep& s : gTutorialScripts[0]) {
        checkTerminated(s.text);
        ended = ended || s.command == TUTORIAL_END;
    }
    if (!ended) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    gWindow = &WINDOW_HEADLESS;
    headlessWindowReset();
    const char* text = reinterpret_cast<const char*>(data);
    int32_t length = static_cast<int32_t>(size);
    parseItemTable(text, length);
    parseCustomerTypes(text, length);
    parseCustomerSubFile(1, "fuzz", text, length);
    parseBuySellTable(text, length);
    parseRequestTable(text, length);
    parseTrendTable(text, length);
    parseFusionRecipes(text, length);
    parseTutorialScript(0, text, length);
    checkTables();
    return 0;
}
