// The log's lines, taken by a sink instead of stderr.
#include "platform/log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window.h"

namespace {

std::vector<std::string> sLines;

void keepLine(const char* line) { sLines.push_back(line); }

}  // namespace

// A message box's report reaches the sink in UTF-8, and nothing of it
// reaches stderr; with the sink taken away, stderr has the lines again.
TEST(LogSink, TakesEveryLineInsteadOfStderr) {
    sLines.clear();
    const WindowBackend* previous = gWindow;
    gWindow = &WINDOW_HEADLESS;
    headlessWindowReset();
    logSetSink(keepLine);
    testing::internal::CaptureStderr();
    logLine("count %d", 3);
    showMessageBox("\x83\x65\x83\x58\x83\x67", "error", MESSAGE_BOX_OK);   // テスト
    std::string written = testing::internal::GetCapturedStderr();
    logSetSink(nullptr);
    gWindow = previous;
    EXPECT_EQ(written, "");
    ASSERT_EQ(sLines.size(), 2u);
    EXPECT_EQ(sLines[0], "count 3");
    EXPECT_EQ(sLines[1], "error: \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88");

    testing::internal::CaptureStderr();
    logLine("back");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "back\n");
    EXPECT_EQ(sLines.size(), 2u);
}
