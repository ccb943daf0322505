// The line rules shared by the text tables: lines, keys and values, read
// from texts in memory.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

#include "engine/text_data.h"

static std::vector<std::string> dataLines(const std::string& text) {
    std::vector<std::string> lines;
    TextCursor cursor = beginText(text.data(), static_cast<int32_t>(text.size()));
    TextLine line;
    while (nextDataLine(cursor, line)) lines.emplace_back(line.start, line.end);
    return lines;
}

static TextLine wholeLine(const std::string& text) { return {text.data(), text.data() + text.size()}; }

TEST(TextData, LinesSkipEmptyAndCommentLines) {
    struct Case { std::string text; std::vector<std::string> want; };
    const Case CASES[] = {
        {"a:1\r\nb:2\r\n", {"a:1", "b:2"}},              // CR LF: the empty line behind CR is skipped
        {"/ comment\r\n\r\n\nx\n/y\r z", {"x", " z"}},     // '/' only at the line start; CR alone ends a line
        {"last line without end", {"last line without end"}},
        {"a /not a comment", {"a /not a comment"}},        // no comment after data
        {std::string("a\0b\r\n", 5), {"a"}},               // a NUL ends the text
        {"", {}},
        {"\r\n\r\n//\r\n", {}},
    };
    for (const Case& c : CASES) EXPECT_EQ(dataLines(c.text), c.want) << c.text;
}

TEST(TextData, KeyMatchesWholeKeyAtLineStart) {
    struct Case { const char* line; const char* key; int offset; };   // -1: no match
    const Case CASES[] = {
        {"maptype:1", "maptype:", 8},
        {"maptype:", "maptype:", 8},     // an empty value still carries the key
        {" maptype:1", "maptype:", -1},  // nothing may stand before the key
        {"Maptype:1", "maptype:", -1},   // case-sensitive
        {"maptype", "maptype:", -1},     // the line is shorter than the key
        {"maptypes:1", "maptype:", -1},
        {"loopcamera:xyz", "loopcamera:", 11},
    };
    for (const Case& c : CASES) {
        std::string text = c.line;
        const char* v = lineValue(wholeLine(text), c.key);
        EXPECT_EQ(v ? static_cast<int>(v - text.data()) : -1, c.offset) << c.line << " / " << c.key;
    }
}

TEST(TextData, KeyIsNotMatchedAcrossTheLineEnd) {
    std::string text = "fog\r\ncolor:1";
    TextCursor cursor = beginText(text.data(), static_cast<int32_t>(text.size()));
    TextLine line;
    ASSERT_TRUE(nextDataLine(cursor, line));
    EXPECT_EQ(lineValue(line, "fog\r\ncolor:"), nullptr);
    EXPECT_EQ(lineValue(line, "fogcolor:"), nullptr);
}

TEST(TextData, IntegersSkipBlanksTakeASignAndStopAtOtherCharacters) {
    struct Case { const char* text; int32_t want; };
    const Case CASES[] = {
        {"12", 12},         {"  -7x", -7},        {"+5", 5},           {"\t42", 42},
        {"abc", 0},         {"", 0},              {"- 5", 0},          {"1.9", 1},
        {"007", 7},         {"2147483647", INT32_MAX},                 {"-2147483648", INT32_MIN},
        {"99999999999999999999", INT32_MAX},      {"-99999999999", INT32_MIN},  // clamped
    };
    for (const Case& c : CASES) EXPECT_EQ(parseTextInt(c.text, c.text + strlen(c.text)), c.want) << c.text;
}

TEST(TextData, FloatsTakeFractionAndExponent) {
    const std::string manyZeros(400, '0');
    const std::string huge = "1" + manyZeros;
    const std::string tiny = "0." + manyZeros + "1";
    struct Case { std::string text; float want; };
    const Case CASES[] = {
        {"0.5", 0.5f},       {"-1.25e2", -125.0f}, {".5", 0.5f},      {"5.", 5.0f},
        {" +2.5E-1x", 0.25f}, {"1e", 1.0f},        {"1e+", 1.0f},     {"3:4", 3.0f},
        {"x", 0.0f},         {".", 0.0f},          {"-", 0.0f},       {"0.1", 0.1f},
        {"1e999", FLT_MAX},  {"-1e999", -FLT_MAX}, {"1e-999", 0.0f},  {"3.5e38", FLT_MAX},
        {huge, FLT_MAX},     {tiny, 0.0f},         {"0e999999", 0.0f},
    };
    for (const Case& c : CASES)
        EXPECT_EQ(parseTextFloat(c.text.data(), c.text.data() + c.text.size()), c.want) << c.text;
}

TEST(TextData, NumbersNeverReadPastTheGivenEnd) {
    const char text[] = "12345";
    EXPECT_EQ(parseTextInt(text, text + 2), 12);
    EXPECT_EQ(parseTextFloat(text, text + 3), 123.0f);
    const char exponent[] = "2e10";
    EXPECT_EQ(parseTextFloat(exponent, exponent + 2), 2.0f);   // "2e" without digits in range
}

TEST(TextData, ValueListsFollowTheirSeparators) {
    struct Case { std::string text; char sep; int32_t wantRead; int32_t want[3]; };
    // The values start as 7, 7, 7: those not read keep them.
    const Case CASES[] = {
        {"10:20:30", ':', 3, {10, 20, 30}},
        {"10::30", ':', 3, {10, 0, 30}},       // an empty value reads 0
        {"", ':', 0, {7, 7, 7}},               // nothing behind the key: all keep theirs
        {"10:", ':', 1, {10, 7, 7}},           // the second value starts at the line end
        {"10", ':', 1, {10, 7, 7}},            // no separator on the line: the rest keep theirs
        {"1:2:3:4", ':', 3, {1, 2, 3}},
        {"x:-4:5", ':', 3, {0, -4, 5}},
        {"5 6 7", ' ', 3, {5, 6, 7}},
        {" 5 6", ' ', 3, {5, 5, 6}},           // the next value begins after the first separator
        {":::", ':', 3, {0, 0, 0}},
    };
    for (const Case& c : CASES) {
        int32_t values[3] = {7, 7, 7};
        int32_t read = parseTextInts(c.text.data(), c.text.data() + c.text.size(), c.sep, values, 3);
        EXPECT_EQ(read, c.wantRead) << c.text;
        for (int i = 0; i < 3; i++) EXPECT_EQ(values[i], c.want[i]) << c.text << " value " << i;
    }
}

TEST(TextData, FloatListsStopAtTheLineEnd) {
    // The list ends at the CR even though more values follow in the buffer.
    std::string text = "0.5 0.8\r\n9 9";
    float values[3] = {1.0f, 1.0f, 1.0f};
    const char* lineEnd = text.data() + text.find('\r');
    EXPECT_EQ(parseTextFloats(text.data(), lineEnd, ' ', values, 3), 2);
    EXPECT_EQ(values[0], 0.5f);
    EXPECT_EQ(values[1], 0.8f);
    EXPECT_EQ(values[2], 1.0f);
}

TEST(TextData, StringsKeepLeadingSpaceAndAtMost255Bytes) {
    const std::string pair = "\x82\xa0";   // one double-byte character
    struct Case { std::string text; std::string want; };
    const Case CASES[] = {
        {" bg.x", " bg.x"},
        {"", ""},
        {std::string(300, 'a'), std::string(255, 'a')},
        {std::string(253, 'a') + pair + "b", std::string(253, 'a') + pair},
        {std::string(254, 'a') + pair, std::string(254, 'a')},   // the pair is not cut in half
        {"name" + std::string("\x82"), "name"},                 // a lead byte without its second byte
        {"\x82\xa0\x82\xa2", "\x82\xa0\x82\xa2"},
    };
    for (const Case& c : CASES) {
        char dest[TEXT_STRING_MAX + 1];
        memset(dest, 'z', sizeof dest);
        copyTextString(c.text.data(), c.text.data() + c.text.size(), dest);
        EXPECT_EQ(std::string(dest), c.want) << c.text.size() << " bytes";
    }
}

TEST(TextData, MissingEntryReadsAsEmptyText) {
    TextEntry entry = readTextEntry("data/no_such_table.txt");
    EXPECT_EQ(entry.length, 0);
    ASSERT_NE(entry.bytes, nullptr);
    for (int i = 0; i < TEXT_ENTRY_SLACK; i++) EXPECT_EQ(entry.bytes[i], 0) << i;
    TextCursor cursor = beginText(entry.bytes.get(), entry.length);
    TextLine line;
    EXPECT_FALSE(nextDataLine(cursor, line));
}
