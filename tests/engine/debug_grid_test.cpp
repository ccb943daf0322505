// The 80 x 60 debug text grid and the frame-rate counter's digits (the
// counter in the running game: tests/game/fps_counter_test.cpp).
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "engine/debug_text.h"

static std::string gridRow(int row) {
    std::string s;
    for (int col = 0; col < DEBUG_TEXT_COLUMNS; ++col) {
        char c = gDebugText[row * DEBUG_TEXT_COLUMNS + col];
        s += c ? c : '.';
    }
    return s;
}

static int writtenCells() {
    int n = 0;
    for (char c : gDebugText) n += c != 0;
    return n;
}

TEST(DebugGridText, PrintsAtRowAndColumn) {
    clearDebugText();
    printDebugText(45, 0, "FREE TEX:200  ");
    EXPECT_EQ(gridRow(0).substr(44, 16), ".FREE TEX:200  .");
    EXPECT_EQ(writtenCells(), 14);
    // The terminator is not copied: a shorter text leaves the rest.
    printDebugText(45, 0, "FREE TEX: 12");
    EXPECT_EQ(gridRow(0).substr(45, 14), "FREE TEX: 12  ");
    clearDebugText();
    EXPECT_EQ(writtenCells(), 0);
}

TEST(DebugGridText, LongTextWrapsToTheNextRowAndStopsAtEighty) {
    clearDebugText();
    printDebugText(75, 2, "0123456789");
    EXPECT_EQ(gridRow(2).substr(75), "01234");
    EXPECT_EQ(gridRow(3).substr(0, 6), "56789.");
    clearDebugText();
    std::string hundred(100, 'x');
    printDebugText(10, 5, hundred.c_str());
    EXPECT_EQ(writtenCells(), 80);
    EXPECT_EQ(gridRow(6).substr(0, 11), "xxxxxxxxxx.");
}

struct ClipCase {
    const char* name;
    int column, row;
    const char* text;
    int written;              // cells written in all
    int atRow, atColumn;      // where the first kept character lands (-1: nowhere)
    char first;
};
const ClipCase CLIP_CASES[] = {
    {"row above the grid", 0, -1, "abc", 0, -1, 0, 0},
    {"row below the grid", 0, 60, "abc", 0, -1, 0, 0},
    {"far rows", 0, INT_MAX, "abc", 0, -1, 0, 0},
    {"far negative rows", 0, INT_MIN, "abc", 0, -1, 0, 0},
    {"last cells, the rest dropped", 78, 59, "abcd", 2, 59, 78, 'a'},
    {"left of the grid", -2, 0, "abcd", 2, 0, 0, 'c'},
    {"left of the grid on a later row", -3, 7, "abcd", 1, 7, 0, 'd'},
    {"far left", INT_MIN, 3, "abcd", 0, -1, 0, 0},
    {"past the right edge continues below", 85, 0, "ab", 2, 1, 5, 'a'},
    {"row above, wrapping into the grid", 78, -1, "abcd", 2, 0, 0, 'c'},
    {"far right", INT_MAX, 0, "abc", 0, -1, 0, 0},
};

TEST(DebugGridText, PrintingClipsToTheGrid) {
    for (const ClipCase& c : CLIP_CASES) {
        clearDebugText();
        printDebugText(c.column, c.row, c.text);   // the sanitizer build catches any write outside
        EXPECT_EQ(writtenCells(), c.written) << c.name;
        if (c.atRow >= 0) {
            EXPECT_EQ(gDebugText[c.atRow * DEBUG_TEXT_COLUMNS + c.atColumn], c.first) << c.name;
        }
    }
    clearDebugText();
}

struct FpsCase {
    uint32_t fps;
    int32_t count;
    float x[2];
    int digit[2];
};
const FpsCase FPS_CASES[] = {
    {7, 1, {616}, {7}},            // " 7": the blank does not move the digit
    {0, 1, {616}, {0}},
    {60, 2, {616, 624}, {6, 0}},
    {59, 2, {616, 624}, {5, 9}},
    {100, 2, {616, 624}, {1, 0}},  // "100": only the first two characters
    {12345, 2, {616, 624}, {1, 2}},
};

TEST(DebugGridFps, DigitsOfTheRate) {
    for (const FpsCase& c : FPS_CASES) {
        FpsDigitQuad quads[2];
        ASSERT_EQ(layoutFpsDigits(c.fps, quads), c.count) << c.fps;
        for (int32_t i = 0; i < c.count; ++i) {
            float left = 18.0f * (float)c.digit[i] + 33.0f;
            EXPECT_EQ(quads[i].dst.x, c.x[i]) << c.fps << " digit " << i;
            EXPECT_EQ(quads[i].dst.y, 462.0f);
            EXPECT_EQ(quads[i].dst.width, 10.0f);
            EXPECT_EQ(quads[i].dst.height, 20.0f);
            EXPECT_EQ(quads[i].src.left, left) << c.fps << " digit " << i;
            EXPECT_EQ(quads[i].src.right, left + 16.0f);
            EXPECT_EQ(quads[i].src.top, 0.0f);
            EXPECT_EQ(quads[i].src.bottom, 32.0f);
        }
    }
}
