// The item icon sheets: one sheet per category, tall enough for the
// category's valid items.
#include "shop/item_icons.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "shop/item_icon_cells.h"

// Item rows by category, in table order; the sheets planned for them.
struct IconSheetCase {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> rows;   // (category, valid)
    std::vector<ItemIconSheet> want;
};

TEST(ItemIcons, SheetsAreSizedFromTheCountsOfValidItems) {
    auto many = [](int32_t category, int32_t n, int32_t valid) {
        return std::vector<std::pair<int32_t, int32_t>>((size_t)n, {category, valid});
    };
    auto join = [](std::vector<std::pair<int32_t, int32_t>> a, const std::vector<std::pair<int32_t, int32_t>>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const IconSheetCase CASES[] = {
        {"9 items", many(3, 9, 1), {{3, 64}}},
        {"17 items", many(5, 17, 1), {{5, 96}}},
        {"8 and 25 items", join(many(1, 8, 1), many(2, 25, 1)), {{1, 64}, {2, 128}}},
        {"only invalid rows", many(7, 3, 0), {{7, 64}}},
        {"invalid rows do not count", join(many(4, 9, 1), many(4, 9, 0)), {{4, 64}}},
        // A category below one already planned is passed over.
        {"out of order", join(join(many(3, 1, 1), many(6, 1, 1)), many(2, 1, 1)), {{3, 64}, {6, 64}}},
        // The empty rows at the table's end are category 0.
        {"an empty table", many(0, 600, 0), {{0, 64}}},
    };
    static ItemIconRow rows[ITEM_ICON_ROW_MAX];
    for (const IconSheetCase& c : CASES) {
        memset(rows, 0, sizeof rows);
        for (size_t i = 0; i < c.rows.size(); ++i) {
            rows[i].category = c.rows[i].first;
            rows[i].valid = c.rows[i].second;
        }
        ItemIconSheet sheets[ITEM_ICON_CATEGORY_COUNT];
        int32_t count = planItemIconSheets(rows, (int32_t)c.rows.size(), sheets);
        ASSERT_EQ(count, (int32_t)c.want.size()) << c.name;
        for (int32_t i = 0; i < count; ++i) {
            EXPECT_EQ(sheets[i].category, c.want[i].category) << c.name;
            EXPECT_EQ(sheets[i].height, c.want[i].height) << c.name;
        }
    }
}
