// The switches of "config.idx", read from texts in memory and from the
// shipped sample file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/config_index.h"
#include "tests/test_files.h"

class TextDataConfig : public ::testing::Test {
protected:
    // The values before the file is read; other tests boot the game and rely
    // on them, so they are put back afterwards.
    void SetUp() override {
        gFontAllCodes = 1;
        gFontEdgeWidth = 2;
        gFontEdgeFalloff = 6;
        gFontFaceName[0] = 0;
        gMakeFont = 0;
        gEffectEditorOn = 0;
    }
    void TearDown() override { SetUp(); }
    static void parse(const std::string& text) { parseConfigIndex(text.data(), static_cast<int32_t>(text.size())); }
};

TEST_F(TextDataConfig, SwitchesSetTheirGlobals) {
    gFontAllCodes = 0;
    // The face name: "MS Gothic" written in double-byte characters, then a space.
    const std::string face = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";
    parse("/ comment\r\nkanjioff:\r\nedgewi:3\r\nedgedel:9\r\neffectmode:\r\nfont:" + face + "\r\n");
    EXPECT_EQ(gFontAllCodes, 1);
    EXPECT_EQ(gFontEdgeWidth, 3);
    EXPECT_EQ(gFontEdgeFalloff, 9);
    EXPECT_EQ(gEffectEditorOn, 1);
    EXPECT_EQ(gMakeFont, 1);
    EXPECT_EQ(std::string(gFontFaceName), face);   // without the line end
}

TEST_F(TextDataConfig, ReadingClearsTheEffectEditorAndLeavesTheRest) {
    gEffectEditorOn = 1;
    parse("edgewi:4\r\nFont:Sans\r\n font:Sans\r\n/font:Sans\r\neffectmode\r\n");
    EXPECT_EQ(gEffectEditorOn, 0);
    EXPECT_EQ(gFontEdgeWidth, 4);
    EXPECT_EQ(gFontEdgeFalloff, 6);
    EXPECT_EQ(gMakeFont, 0);
    EXPECT_STREQ(gFontFaceName, "");
}

TEST_F(TextDataConfig, EdgeValuesAreClampedOrKept) {
    struct Case { const char* line; int32_t wantWidth; };
    const Case CASES[] = {
        {"edgewi:5", 5},   {"edgewi:-5", 0},   {"edgewi:99999", FONT_EDGE_MAX},
        {"edgewi:", 2},    // nothing behind the key: unchanged
        {"edgewi:abc", 0},
    };
    for (const Case& c : CASES) {
        gFontEdgeWidth = 2;
        parse(c.line);
        EXPECT_EQ(gFontEdgeWidth, c.wantWidth) << c.line;
    }
    parse("edgedel:-1");
    EXPECT_EQ(gFontEdgeFalloff, 0);
}

TEST_F(TextDataConfig, SampleConfigKeepsTheUsualFont) {
    std::string text = readTextFile(std::string(TOLLI_SOURCE_DIR) + "/sampledata/config.idx");
    ASSERT_FALSE(text.empty());
    gEffectEditorOn = 1;
    parse(text);
    EXPECT_EQ(gFontAllCodes, 1);
    EXPECT_EQ(gFontEdgeWidth, 2);
    EXPECT_EQ(gFontEdgeFalloff, 6);
    EXPECT_EQ(gEffectEditorOn, 0);
    EXPECT_EQ(gMakeFont, 0);
}
