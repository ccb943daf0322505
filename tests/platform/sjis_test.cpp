#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

// Shift-JIS for 店を開けます。
const char SHOP_OPENS_SJIS[] = "\x93\x58\x82\xF0\x8A\x4A\x82\xAF\x82\xDC\x82\xB7\x81\x42";
const char SHOP_OPENS_UTF8[] = "店を開けます。";

struct SjisCase {
    const char* name;
    const char* sjis;
    size_t outSize;
    const char* want;
};

const SjisCase SJIS_CASES[] = {
    {"ascii", "Shop opens at 9:00", 64, "Shop opens at 9:00"},
    {"sentence", SHOP_OPENS_SJIS, 64, SHOP_OPENS_UTF8},
    {"half-width katakana", "\xB1\xB2", 64, "ｱｲ"},
    {"lead byte cut off at the end", "OK\x82", 64, "OK?"},
    {"undefined byte", "A\xFF" "B", 64, "A?B"},
    {"lead byte with a trail that does not pair", "\x81 x", 64, "? x"},
    {"out ends inside a character", SHOP_OPENS_SJIS, 8, "店を"},
    {"out fits only the NUL", "abc", 1, ""},
    {"ascii cut", "abcdef", 4, "abc"},
    {"no room for the mark", "ab\xFF", 3, "ab"},
    {"empty", "", 8, ""},
};

TEST(Sjis, ConvertsWithinTheOutBuffer) {
    for (const SjisCase& c : SJIS_CASES) {
        char out[64];
        memset(out, 0x5A, sizeof out);
        size_t length = sjisToUtf8(c.sjis, out, c.outSize);
        EXPECT_STREQ(out, c.want) << c.name;
        EXPECT_EQ(length, strlen(c.want)) << c.name;
        for (size_t i = c.outSize; i < sizeof out; ++i)
            ASSERT_EQ(out[i], 0x5A) << c.name << ": written past the end at " << i;
    }
}

TEST(Sjis, ZeroSizedOutIsLeftAlone) {
    char out[4] = {'x', 'y', 'z', 'w'};
    EXPECT_EQ(sjisToUtf8(SHOP_OPENS_SJIS, out, 0), 0u);
    EXPECT_EQ(std::string(out, 4), "xyzw");
}

TEST(Sjis, ConvertsOnManyThreadsAtOnce) {
    std::atomic<int> wrong{0};
    auto work = [&wrong] {
        for (int i = 0; i < 300; ++i) {
            char out[64];
            sjisToUtf8(SHOP_OPENS_SJIS, out, sizeof out);
            if (strcmp(out, SHOP_OPENS_UTF8) != 0) wrong.fetch_add(1);
            sjisToUtf8("A\xFF" "B\x82", out, sizeof out);
            if (strcmp(out, "A?B?") != 0) wrong.fetch_add(1);
        }
    };
    std::thread threads[4];
    for (std::thread& t : threads) t = std::thread(work);
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
}
