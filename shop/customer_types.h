// shop/customer_types.h: the customer types, read at start-up from the
// customer table and each type's sub-file (shop/customer_types.cpp) and only
// read afterwards. Type 0 holds the shopkeeper's own lines, type 1 is the
// tutorial customer, types 2 to 9 are the eight adventurers.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t CUSTOMER_TYPE_COUNT = 50;
constexpr int32_t CUSTOMER_NAME_SIZE = 32;
constexpr int32_t CUSTOMER_PICTURE_MAX = 20;
constexpr int32_t CUSTOMER_VOICE_MAX = 60;
constexpr int32_t CUSTOMER_LIKED_MAX = 20;
constexpr int32_t CUSTOMER_LINE_KINDS = 30;
constexpr int32_t CUSTOMER_LINE_VARIANTS = 20;
constexpr int32_t CUSTOMER_LINE_SIZE = 256;
constexpr int32_t CUSTOMER_NO_VOICE = -1;

// Bits of activeTimes: the day phases a customer comes in.
enum CustomerActiveTime : int32_t {
    ACTIVE_MORNING = 1,
    ACTIVE_NOON = 2,
    ACTIVE_EVENING = 4,
    ACTIVE_NIGHT = 8,
};

struct CustomerType {
    int32_t nameNumber;                     // the customer's name and picture set
    char name[CUSTOMER_NAME_SIZE];
    char groupName[CUSTOMER_NAME_SIZE];     // named in the trend-day banner
    char pictureFiles[CUSTOMER_PICTURE_MAX][CUSTOMER_FILE_NAME_SIZE];   // below "bmp/"
    int32_t pictureCount;
    char voiceFiles[CUSTOMER_VOICE_MAX][CUSTOMER_FILE_NAME_SIZE];
    int32_t voiceCount;
    char subFile[CUSTOMER_FILE_NAME_SIZE];  // holds the pictures, voices and lines
    int32_t present;                        // 1 when the table defines the type
    int32_t attrA;                          // preferred shop atmosphere point (y and x)
    int32_t attrB;
    int32_t likedCategories[CUSTOMER_LIKED_MAX];   // item category indexes
    int32_t likedCount;
    int32_t likedFlags;                     // categoryFlags bits the customer likes
    int32_t activeTimes;                    // CustomerActiveTime bits
    int32_t spValue;                        // read, used nowhere
    int32_t concession;                     // haggling, percent
    int32_t rise1;
    int32_t rise2;
    int32_t firstOffer;
    int32_t firstOfferSpread;
    int32_t budgetMin;
    int32_t budgetMax;
    int32_t lineFaces[CUSTOMER_LINE_KINDS][CUSTOMER_LINE_VARIANTS];
    int32_t lineVoices[CUSTOMER_LINE_KINDS][CUSTOMER_LINE_VARIANTS];   // CUSTOMER_NO_VOICE none
    char lineTexts[CUSTOMER_LINE_KINDS][CUSTOMER_LINE_VARIANTS][CUSTOMER_LINE_SIZE];
    int32_t lineVariantCount[CUSTOMER_LINE_KINDS];
};

extern CustomerType gCustomerTypes[CUSTOMER_TYPE_COUNT];

// The customer table into gCustomerTypes. Before reading, every type's
// counts and its present mark are cleared; the other fields keep theirs.
void parseCustomerTypes(const char* text, int32_t length);
// One type's sub-file: pictures, voices and speech lines. fileName is the
// caption of its messages.
void parseCustomerSubFile(int32_t type, const char* fileName, const char* text, int32_t length);
