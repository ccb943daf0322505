// The lookups other folders make into the shop's tables: a customer type's
// pictures and name, a request row's order name and a trend's news text,
// each safe for any index a save file or an order record may hold.
#include <gtest/gtest.h>

#include <cstring>

#include "shop/customer_types.h"
#include "shop/request_rows.h"
#include "shop/shop.h"
#include "shop/trend_definitions.h"
#include "tests/shop/economy_fixture.h"

namespace {

class ShopLookups : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        saved[0] = gCustomerTypes[PICTURED];
        saved[1] = gCustomerTypes[UNPICTURED];
    }
    void TearDown() override {
        gCustomerTypes[PICTURED] = saved[0];
        gCustomerTypes[UNPICTURED] = saved[1];
        EconomyTest::TearDown();
    }
    static constexpr int32_t PICTURED = 40;
    static constexpr int32_t UNPICTURED = 41;
    CustomerType saved[2];
};

struct PictureCase {
    int32_t type, slot;
    const char* want;   // nullptr: no picture
};

TEST_F(ShopLookups, APictureIsNamedOnlyInAFilledSlotOfATypeWithPictures) {
    CustomerType& pictured = gCustomerTypes[PICTURED];
    memset(pictured.pictureFiles, 0, sizeof pictured.pictureFiles);
    strcpy(pictured.pictureFiles[0], "cust/c40a.tga");
    strcpy(pictured.pictureFiles[2], "cust/c40c.tga");
    pictured.pictureCount = 2;
    // A name left in a slot of a type whose pictures were not counted.
    CustomerType& unpictured = gCustomerTypes[UNPICTURED];
    memset(unpictured.pictureFiles, 0, sizeof unpictured.pictureFiles);
    strcpy(unpictured.pictureFiles[0], "cust/c41a.tga");
    unpictured.pictureCount = 0;
    const PictureCase CASES[] = {
        {PICTURED, 0, "cust/c40a.tga"},
        {PICTURED, 1, nullptr},   // an empty slot between two filled ones
        {PICTURED, 2, "cust/c40c.tga"},
        {PICTURED, -1, nullptr},
        {PICTURED, CUSTOMER_PICTURE_MAX, nullptr},
        {UNPICTURED, 0, nullptr},
        {-1, 0, nullptr},
        {CUSTOMER_TYPE_COUNT, 0, nullptr},
    };
    for (const PictureCase& c : CASES) {
        const char* got = customerPictureFile(c.type, c.slot);
        if (c.want) {
            ASSERT_NE(got, nullptr) << "type " << c.type << " slot " << c.slot;
            EXPECT_STREQ(got, c.want) << "type " << c.type << " slot " << c.slot;
        } else {
            EXPECT_EQ(got, nullptr) << "type " << c.type << " slot " << c.slot;
        }
    }
}

TEST_F(ShopLookups, NamesAndTextsOutOfRangeAreEmpty) {
    strcpy(gCustomerTypes[PICTURED].name, "Farmer Hob");
    EXPECT_STREQ(customerTypeName(PICTURED), "Farmer Hob");
    EXPECT_STREQ(customerTypeName(-1), "");
    EXPECT_STREQ(customerTypeName(CUSTOMER_TYPE_COUNT), "");

    strcpy(gRequestRows[REQUEST_ROW_MAX - 1].orderName, "cold weather clothes");
    EXPECT_STREQ(requestOrderName(REQUEST_ROW_MAX - 1), "cold weather clothes");
    EXPECT_STREQ(requestOrderName(-1), "");
    EXPECT_STREQ(requestOrderName(REQUEST_ROW_MAX), "");

    // Trend definitions count from 1; row 0 is never a trend.
    strcpy(gTrendDefinitions[1].text, "<I> are dear.");
    strcpy(gTrendDefinitions[TREND_DEFINITION_MAX].text, "The last one.");
    EXPECT_STREQ(trendDefinitionText(1), "<I> are dear.");
    EXPECT_STREQ(trendDefinitionText(TREND_DEFINITION_MAX), "The last one.");
    EXPECT_EQ(trendDefinitionText(0), nullptr);
    EXPECT_EQ(trendDefinitionText(TREND_DEFINITION_MAX + 1), nullptr);
}

}  // namespace
