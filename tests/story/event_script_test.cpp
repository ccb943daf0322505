// The event-script compiler: line ends and line numbers, every keyword's
// fields, the message tags, the registration of pictures, backgrounds and
// sounds, the table limits and their boxes, the loose file before the
// archive, and the scripts that cannot run. Scripts are tables of lines.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dungeon/dungeon.h"
#include "engine/archive.h"
#include "platform/window.h"
#include "story/event.h"
#include "story/event_script.h"
#include "tests/temp_folder.h"
#include "tools/archive_writer.h"

namespace {

// The compiler's own texts, Shift-JIS.
const std::string LINE_SUFFIX = "\x8d\x73\x96\xda";   // "行目"
const std::string SEMICOLON = "\x3b\x82\xaa\x8e\x67\x97\x70\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
const std::string UNKNOWN = "\x95\x73\x96\xbe\x82\xc8\x83\x52\x83\x7d\x83\x93\x83\x68";
const std::string PICTURE_NO_SIZE =
    "\x89\xe6\x91\x9c\x83\x74\x83\x40\x83\x43\x83\x8b\x83\x54\x83\x43\x83\x59\x96\xb3\x8c\xf8";
const std::string SOUNDS_FULL = "SE\x93\x6f\x98\x5e\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
const std::string STEPS_FULL = "\x83\x52\x83\x7d\x83\x93\x83\x68\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
const std::string LINES_FULL =
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x8d\x73\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
const std::string MESSAGE_TOO_LONG =
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x95\xb6\x8e\x9a\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
const std::string LINE_TOO_LONG = "\x8d\x73\x82\xcc\x95\xb6\x8e\x9a\x90\x94\x83\x49\x81\x5b\x83\x6f\x81\x5b";
const std::string NO_SCRIPT =
    "\x83\x58\x83\x4e\x83\x8a\x83\x76\x83\x67\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
const std::string NO_END = "end:\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";

std::string lineCaption(int32_t line, const std::string& what) { return std::to_string(line) + LINE_SUFFIX + what; }

struct HandlerName {
    EventCommandHandler handler;
    const char* name;
};
const HandlerName HANDLER_NAMES[] = {
    {eventCmdSe, "Se"}, {eventCmdBgScroll, "BgScroll"}, {eventCmdWindowSet, "WindowSet"},
    {eventCmdColor, "Color"}, {eventCmdWindowPos, "WindowPos"}, {eventCmdSkip, "Skip"},
    {eventCmdBgSet, "BgSet"}, {eventCmdRumble, "Rumble"}, {eventCmdSpeaker, "Speaker"},
    {eventCmdShowMessage, "ShowMessage"}, {eventCmdWaitKey, "WaitKey"}, {eventCmdCloseWindow, "CloseWindow"},
    {eventCmdWait, "Wait"}, {eventCmdChrDisp, "ChrDisp"}, {eventCmdChrDir, "ChrDir"},
    {eventCmdChrMoveX, "ChrMoveX"}, {eventCmdChrMoveY, "ChrMoveY"}, {eventCmdChrMoveToX, "ChrMoveToX"},
    {eventCmdChrMoveToY, "ChrMoveToY"}, {eventCmdChrCenter, "ChrCenter"}, {eventCmdChrSpeed, "ChrSpeed"},
    {eventCmdChrFadeFrame, "ChrFadeFrame"}, {eventCmdChrImage, "ChrImage"}, {eventCmdChrBlend, "ChrBlend"},
    {eventCmdChrCol, "ChrCol"}, {eventCmdChrColTo, "ChrColTo"}, {eventCmdHoldMusic, "HoldMusic"},
    {eventCmdMusic, "Music"}, {eventCmdMusicFadeIn, "MusicFadeIn"}, {eventCmdMusicFadeOut, "MusicFadeOut"},
    {eventCmdFadeIn, "FadeIn"}, {eventCmdFadeOut, "FadeOut"}, {eventCmdLightOn, "LightOn"},
    {eventCmdLightOff, "LightOff"}, {eventCmdEnd, "End"},
};

// A step as text, "Wait(30,0)", so a failing table row names what it got.
std::string describe(const EventCommand& c) {
    const char* name = c.handler ? "?" : "none";
    for (const HandlerName& h : HANDLER_NAMES) {
        if (h.handler == c.handler) name = h.name;
    }
    return std::string(name) + "(" + std::to_string(c.a) + "," + std::to_string(c.b) + ")";
}

// The compiled steps, joined by spaces.
std::string compiledSteps() {
    std::string out;
    for (int32_t i = 0; i < gEventScriptCounts.steps; i++) out += (i ? " " : "") + describe(gEventCommands[i]);
    return out;
}

// Lines joined with CR LF, as the scripts are written.
std::string script(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

void compileText(const std::string& text) {
    compileEventScriptText(text.data(), static_cast<int32_t>(text.size()), "iv/test.ivt");
}

}  // namespace

class EventCompile : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        previousEvent = gEventNumber;
    }
    void TearDown() override {
        resetEventScript();
        gEventNumber = previousEvent;
        gWindow = previousWindow;
        gArchiveIndex = ArchiveTable{};
        gBmpData = ArchiveTable{};
    }
    int32_t boxes() const { return gHeadlessMessageBoxes.total; }
    std::string caption(int32_t i) const { return gHeadlessMessageBoxes.boxes[i].caption; }
    std::string boxText(int32_t i) const { return gHeadlessMessageBoxes.boxes[i].text; }
    std::string allBoxes() const {
        std::string out;
        for (int32_t i = 0; i < gHeadlessMessageBoxes.count; i++) out += "[" + caption(i) + "|" + boxText(i) + "]";
        return out;
    }

    const WindowBackend* previousWindow = nullptr;
    EventNumber previousEvent = {};
};

class EventCompileLines : public EventCompile {};
class EventCompileKeywords : public EventCompile {};
class EventCompileMessages : public EventCompile {};
class EventCompileResources : public EventCompile {};
class EventCompileLimits : public EventCompile {};
class EventCompileFiles : public EventCompile {};

TEST_F(EventCompileLines, EachLineEndCountsOneLineAndSkippedLinesCountToo) {
    // CR LF, LF, CR and LF CR in turn; then a comment, an empty line and an
    // indented note, which compile nothing and raise nothing.
    compileText("wait:1\r\nbad2\nbad3\rbad4\n\rbad5\r\n/ note\r\n\r\n\tindented\r\nbad9\r\nend:");
    ASSERT_EQ(boxes(), 5) << allBoxes();
    const int32_t lines[] = {2, 3, 4, 5, 9};
    for (int32_t i = 0; i < 5; i++) {
        EXPECT_EQ(caption(i), lineCaption(lines[i], UNKNOWN)) << "box " << i;
        EXPECT_EQ(boxText(i), "bad" + std::to_string(lines[i]));
    }
    EXPECT_EQ(compiledSteps(), "Wait(1,0) End(0,0)");
}

TEST_F(EventCompileLines, ASemicolonIsReportedInTheFirstPassAndTheLineStillCompiles) {
    compileText(script({"/ a comment; not checked", "wait:30 ;", "wait:2;;", "end:"}));
    // Pass 1 reports every ';' before pass 2 compiles anything.
    ASSERT_EQ(boxes(), 3) << allBoxes();
    EXPECT_EQ(caption(0), lineCaption(2, SEMICOLON));
    EXPECT_EQ(boxText(0), "wait:30 ;");
    EXPECT_EQ(caption(1), lineCaption(3, SEMICOLON));
    EXPECT_EQ(caption(2), lineCaption(3, SEMICOLON));
    EXPECT_EQ(compiledSteps(), "Wait(30,0) Wait(2,0) End(0,0)");
}

struct KeywordCase {
    const char* line;
    const char* steps;   // before the closing end step
};
const KeywordCase KEYWORD_CASES[] = {
    {"rmb:0,5", "Rumble(1,6)"},
    {"rmb:4", "Rumble(5,1)"},                      // the second field is missing: 0
    {"windowpos:300", "WindowPos(300,0)"},
    {"windowpos:120,-1", "WindowPos(120,-1)"},
    {"bgscroll:-1.5", "BgScroll(-1500,0)"},
    {"bgscroll:0.25", "BgScroll(250,0)"},
    {"bgscroll:", "BgScroll(0,0)"},
    {"color3:1,2,3", "Color(3,66051)"},
    {"fadeout:30:255,0,0,255", "FadeOut(-65536,30)"},    // 0xFFFF0000: opaque red
    {"fadein:20:0,0,255,128", "FadeIn(-2147483393,20)"},  // 0x800000FF: half blue
    {"fadein:10", "FadeIn(0,10)"},                         // no colour: 0
    {"fadeoutb:1:2", ""},
    {"fadeinb:", ""},
    {"lighton:50:300", "LightOn(50,300)"},
    {"lightoff:", "LightOff(0,0)"},
    {"wait:45", "Wait(45,0)"},
    {"music:5", "Music(5,0)"},
    {"holdmusic", "HoldMusic(0,0)"},
    {"holdmusic:", "HoldMusic(0,0)"},
    {"mfadein:30", "MusicFadeIn(30,0)"},
    {"mfadeout:60", "MusicFadeOut(60,0)"},
    {"windowset:", "WindowSet(0,0)"},
    {"skipoff:", "Skip(1,0)"},
    {"skipon:", "Skip(0,0)"},
    {"chr:1:col:255,0,0,255", "ChrCol(1,-65536)"},     // blue first: the blue byte is set
    {"chr:6:colto:0,255,0,128", "ChrColTo(6,-2147418368)"},   // 0x8000FF00: green
    {"chr:2:dir:left", "ChrDir(2,0)"},
    {"chr:2:dir:right", "ChrDir(2,1)"},
    {"chr:3:move:100,-20", "ChrMoveX(3,100) ChrMoveY(3,-20)"},
    {"chr:3:moveto:640,8", "ChrMoveToX(3,640) ChrMoveToY(3,8)"},
    {"chr:4:center:-16", "ChrCenter(4,-16)"},
    {"chr:4:speed:0.5", "ChrSpeed(4,500)"},
    {"chr:5:anim:2", "ChrImage(5,2)"},
    {"chr:5:fadeframe:30", "ChrFadeFrame(5,30)"},
    {"chr:9:normal_shade", "ChrBlend(9,0)"},
    {"chr:9:normal_add", "ChrBlend(9,1)"},
    {"chr:9:add_shade", "ChrBlend(9,2)"},
    {"chr:9:add_add", "ChrBlend(9,3)"},
    {"chr:7:disp", "ChrDisp(7,1)"},
    {"chr:7:wave", ""},                     // no sub-command: nothing, no box
    {"chr:x:disp", "ChrDisp(0,1)"},         // a sprite that is no digit reads 0
};

TEST_F(EventCompileKeywords, EachLineCompilesItsStepsWithTheirFields) {
    for (const KeywordCase& c : KEYWORD_CASES) {
        headlessWindowReset();
        compileText(script({c.line, "end:"}));
        std::string want = std::string(c.steps) + (*c.steps ? " " : "") + "End(0,0)";
        EXPECT_EQ(compiledSteps(), want) << c.line;
        EXPECT_EQ(boxes(), 0) << c.line << " " << allBoxes();
    }
}

struct MessageCase {
    const char* text;   // after "msg:1,3:"
    const char* steps;
    std::vector<std::string> lines;
};
const MessageCase MESSAGE_CASES[] = {
    {"Hello<BR>world<KEY><C>", "Speaker(1,3) ShowMessage(0,2) WaitKey(0,0) CloseWindow(0,0)", {"Hello", "world"}},
    // The byte after a break is text: "<KEY>" shows, and no key wait is compiled.
    {"<BR><KEY>", "Speaker(1,3) ShowMessage(0,2)", {"", "<KEY>"}},
    // The steps follow a fixed order, wherever the tags stood.
    {"<W>a<C>b<KEY>", "Speaker(1,3) ShowMessage(0,1) WaitKey(0,0) CloseWindow(0,0) Wait(10,0)", {"ab"}},
    {"", "Speaker(1,3) ShowMessage(0,1)", {""}},
    {"a<b>c<", "Speaker(1,3) ShowMessage(0,1)", {"a<b>c<"}},
    {"end<BR>", "Speaker(1,3) ShowMessage(0,2)", {"end", ""}},
    {"cut<W", "Speaker(1,3) ShowMessage(0,1) Wait(10,0)", {"cut"}},
};

TEST_F(EventCompileMessages, TagsBreakLinesAndAddTheirSteps) {
    for (const MessageCase& c : MESSAGE_CASES) {
        headlessWindowReset();
        std::string line = std::string("msg:1,3:") + c.text;
        compileText(script({line, "end:"}));
        EXPECT_EQ(compiledSteps(), std::string(c.steps) + " End(0,0)") << line;
        ASSERT_EQ(gEventScriptCounts.messageLines, (int32_t)c.lines.size()) << line;
        for (size_t i = 0; i < c.lines.size(); i++) EXPECT_EQ(gEventMessageLines[i], c.lines[i]) << line;
        EXPECT_EQ(boxes(), 0) << line << " " << allBoxes();
    }
}

TEST_F(EventCompileMessages, EachMessageTakesTheNextFreeLines) {
    compileText(script({"msg:0,0:one<BR>two", "msg:2,5:three", "end:"}));
    EXPECT_EQ(compiledSteps(), "Speaker(0,0) ShowMessage(0,2) Speaker(2,5) ShowMessage(2,1) End(0,0)");
    EXPECT_STREQ(gEventMessageLines[2], "three");
}

// A plate number past the name sheet is held to its last cell, below it to
// the first: the drawing's cell arithmetic never sees the file's number.
TEST_F(EventCompileMessages, ThePlateNumberStaysOnTheNameSheet) {
    compileText(script({"msg:1,2000000000:a", "msg:2,-7:b", "msg:3,53:c", "msg:4,54:d", "end:"}));
    EXPECT_EQ(compiledSteps(), "Speaker(1,53) ShowMessage(0,1) Speaker(2,0) ShowMessage(1,1) Speaker(3,53) "
                               "ShowMessage(2,1) Speaker(4,53) ShowMessage(3,1) End(0,0)");
    EXPECT_EQ(boxes(), 0) << allBoxes();
}

TEST_F(EventCompileMessages, AMessageEndsAtItsLineWhateverTheLineEnd) {
    // An LF-ended message line does not run on into the next lines.
    compileText("msg:0,0:first\nwait:5\nmsg:0,0:second\n\rend:\n");
    EXPECT_EQ(compiledSteps(), "Speaker(0,0) ShowMessage(0,1) Wait(5,0) Speaker(0,0) ShowMessage(1,1) End(0,0)");
    EXPECT_STREQ(gEventMessageLines[0], "first");
    EXPECT_STREQ(gEventMessageLines[1], "second");
}

TEST_F(EventCompileResources, PicturesAreSharedByNameAndBackgroundsAreNot) {
    compileText(script({
        "chr:1:grp:bmp/ivent/face01.tga 256,512",
        "chr:2:grp:bmp/ivent/face01.tga 256,512",
        "chr:3:grp:bmp/ivent/face 64,64",   // the beginning of a registered name
        "chr:4:grp:bmp/ivent/face02.tga 128,64",
        "bgset:bmp/ivent/town.bmp",
        "bgset:bmp/ivent/town.bmp",
        "polybg:xfile/cave/cave_bg.x",
        "se:voice/c10_00.wav",
        "end:",
    }));
    EXPECT_EQ(compiledSteps(),
              "ChrImage(1,0) ChrImage(2,0) ChrImage(3,0) ChrImage(4,1) BgSet(0,0) BgSet(1,0) Se(0,0) End(0,0)");
    EXPECT_EQ(boxes(), 0) << allBoxes();
    ASSERT_EQ(gEventScriptCounts.pictures, 2);
    EXPECT_STREQ(gEventResources.pictures[0].name, "bmp/ivent/face01.tga");
    EXPECT_EQ(gEventResources.pictures[0].width, 256);
    EXPECT_EQ(gEventResources.pictures[0].height, 512);
    EXPECT_STREQ(gEventResources.pictures[1].name, "bmp/ivent/face02.tga");
    EXPECT_EQ(gEventResources.pictures[1].width, 128);
    EXPECT_EQ(gEventResources.pictures[1].height, 64);
    ASSERT_EQ(gEventScriptCounts.backgrounds, 2);
    EXPECT_STREQ(gEventResources.backgrounds[1].name, "bmp/ivent/town.bmp");
    ASSERT_EQ(gEventScriptCounts.meshes, 1);
    EXPECT_STREQ(gEventResources.meshes[0].name, "xfile/cave/cave_bg.x");
    ASSERT_EQ(gEventScriptCounts.sounds, 1);
    EXPECT_STREQ(gEventResources.soundNames[0], "voice/c10_00.wav");
    EXPECT_EQ(getEventBackgroundCount(), 2);
}

TEST_F(EventCompileResources, APictureWithoutASizeIsReportedAndNotRegistered) {
    compileText(script({"chr:1:grp:bmp/ivent/face01.tga", "chr:1:disp", "end:"}));
    ASSERT_EQ(boxes(), 1) << allBoxes();
    EXPECT_EQ(caption(0), lineCaption(1, PICTURE_NO_SIZE));
    EXPECT_EQ(gEventScriptCounts.pictures, 0);
    EXPECT_EQ(compiledSteps(), "ChrDisp(1,1) End(0,0)");
}

TEST_F(EventCompileResources, TheSixtyFourthSoundFillsTheTableAndEveryLaterOneIsToldAndDropped) {
    std::string text;
    for (int32_t i = 0; i < 66; i++) text += "se:voice/clip" + std::to_string(i) + ".wav\r\n";
    compileText(text + "end:\r\n");
    ASSERT_EQ(boxes(), 3) << allBoxes();
    for (int32_t box = 0; box < 3; box++) {
        EXPECT_EQ(caption(box), "msg:") << "box " << box;
        EXPECT_EQ(boxText(box), SOUNDS_FULL) << "box " << box;
    }
    EXPECT_EQ(gEventScriptCounts.sounds, EVENT_SOUND_MAX);
    EXPECT_STREQ(gEventResources.soundNames[63], "voice/clip63.wav");
    EXPECT_EQ(gEventScriptCounts.steps, EVENT_SOUND_MAX + 1);
    EXPECT_EQ(describe(gEventCommands[63]), "Se(63,0)");
    EXPECT_EQ(describe(gEventCommands[64]), "End(0,0)");
}

TEST_F(EventCompileLimits, ExcessMessageLinesAndBytesAreDroppedWithOneBoxEach) {
    // 500 messages of two lines fill the table; the next ones are dropped whole.
    std::string text;
    for (int32_t i = 0; i < EVENT_MESSAGE_LINE_MAX / 2 + 2; i++) text += "msg:0,0:m<BR>n\r\n";
    compileText(text + "end:\r\n");
    EXPECT_EQ(gEventScriptCounts.messageLines, EVENT_MESSAGE_LINE_MAX);
    EXPECT_EQ(gEventScriptCounts.steps, EVENT_MESSAGE_LINE_MAX + 1);
    EXPECT_EQ(describe(gEventCommands[EVENT_MESSAGE_LINE_MAX - 1]), "ShowMessage(998,2)");
    EXPECT_EQ(describe(gEventCommands[EVENT_MESSAGE_LINE_MAX]), "End(0,0)");
    ASSERT_EQ(boxes(), 1) << allBoxes();
    EXPECT_EQ(caption(0), lineCaption(EVENT_MESSAGE_LINE_MAX / 2 + 1, LINES_FULL));

    headlessWindowReset();
    compileText(script({"msg:0,0:" + std::string(300, 'x'), "msg:0,0:" + std::string(300, 'y'), "end:"}));
    EXPECT_EQ(std::string(gEventMessageLines[0]), std::string(255, 'x'));
    EXPECT_EQ(std::string(gEventMessageLines[1]), std::string(255, 'y'));
    ASSERT_EQ(boxes(), 1) << allBoxes();
    EXPECT_EQ(caption(0), lineCaption(1, MESSAGE_TOO_LONG));

    // A double-byte character is never cut in half.
    headlessWindowReset();
    compileText(script({"msg:0,0:" + std::string(254, 'x') + "\x82\xa0", "end:"}));
    EXPECT_EQ(std::string(gEventMessageLines[0]), std::string(254, 'x'));

    headlessWindowReset();
    compileText(script({"wait:7" + std::string(600, ' '), "end:"}));
    EXPECT_EQ(compiledSteps(), "Wait(7,0) End(0,0)");
    ASSERT_EQ(boxes(), 1) << allBoxes();
    EXPECT_EQ(caption(0), lineCaption(1, LINE_TOO_LONG));
}

TEST_F(EventCompileLimits, AFullStepTableDropsTheRestAndTheScriptEndsAtOnce) {
    std::string text;
    for (int32_t i = 0; i < EVENT_COMMAND_MAX + 5; i++) text += "wait:1\r\n";
    compileText(text + "end:\r\n");
    // The end step did not fit, so the event would never end: it ends at once.
    ASSERT_EQ(boxes(), 2) << allBoxes();
    EXPECT_EQ(caption(0), lineCaption(EVENT_COMMAND_MAX + 1, STEPS_FULL));
    EXPECT_EQ(caption(1), "iv/test.ivt");
    EXPECT_EQ(boxText(1), NO_END);
    EXPECT_EQ(compiledSteps(), "End(0,0)");
    EXPECT_EQ(gEventCommands[1].handler, nullptr);
}

TEST_F(EventCompileFiles, ALooseFileIsReadBeforeTheArchive) {
    TempFolder folder("event_script");
    WorkingDirectory inside(folder.path());
    ArchiveBuilder b;
    std::string error;
    const std::string archived[] = {script({"wait:1", "end:"}), script({"wait:3", "end:"})};
    ASSERT_TRUE(addIndexEntry(b, "iv/iv2_13.ivt", (const uint8_t*)archived[0].data(), archived[0].size(), error));
    ASSERT_TRUE(addIndexEntry(b, "iv/iv2_14.ivt", (const uint8_t*)archived[1].data(), archived[1].size(), error));
    ASSERT_TRUE(writeArchiveFiles(b, ".", false, error)) << error;
    ASSERT_TRUE(openArchive());
    folder.write("iv/iv2_13.ivt", script({"wait:2", "end:"}));

    gEventNumber = {2, 13};
    EXPECT_EQ(compileEventScript(), 1);
    EXPECT_EQ(compiledSteps(), "Wait(2,0) End(0,0)");
    gEventNumber = {2, 14};
    compileEventScript();
    EXPECT_EQ(compiledSteps(), "Wait(3,0) End(0,0)");
    EXPECT_EQ(boxes(), 0) << allBoxes();
}

TEST_F(EventCompileFiles, AScriptThatCannotRunEndsAtOnceAndLeavesNoEarlierSteps) {
    TempFolder folder("event_script");
    WorkingDirectory inside(folder.path());
    folder.write("iv/iv3_1.ivt", script({"wait:1", "wait:2", "msg:0,0:hi", "end:"}));
    folder.write("iv/iv3_2.ivt", "");
    folder.write("iv/iv3_3.ivt", script({"/ only a comment"}));
    struct Case {
        EventNumber event;
        std::string text;
    };
    const Case cases[] = {{{3, 2}, NO_SCRIPT}, {{3, 3}, NO_END}, {{3, 9}, NO_SCRIPT}};
    for (const Case& c : cases) {
        gEventNumber = {3, 1};
        compileEventScript();
        ASSERT_EQ(compiledSteps(), "Wait(1,0) Wait(2,0) Speaker(0,0) ShowMessage(0,1) End(0,0)");
        headlessWindowReset();
        gEventNumber = c.event;
        EXPECT_EQ(compileEventScript(), 1);
        std::string name = "iv/iv3_" + std::to_string(c.event.minor) + ".ivt";
        EXPECT_EQ(compiledSteps(), "End(0,0)") << name;
        for (int32_t i = 1; i < EVENT_COMMAND_MAX; i++) ASSERT_EQ(gEventCommands[i].handler, nullptr) << name << " " << i;
        EXPECT_EQ(gEventMessageLines[0][0], 0) << name;
        ASSERT_EQ(boxes(), 1) << name << " " << allBoxes();
        EXPECT_EQ(caption(0), name);
        EXPECT_EQ(boxText(0), c.text) << name;
    }
}

// The scripts the game ships compile without a single box, and one of them
// uses every keyword.
TEST_F(EventCompileFiles, TheSampleScriptsCompileCleanly) {
    namespace fs = std::filesystem;
    fs::path folder = fs::path(TOLLI_SOURCE_DIR) / "sampledata/iv";
    ASSERT_TRUE(fs::is_directory(folder));
    const char* const KEYWORDS[] = {"color", "bgset:", "polybg:", "rmb:", "bgscroll:", "windowset:",
                                    "skipoff:", "skipon:", "windowpos:", "fadeoutb:", "fadeinb:", "fadein:",
                                    "lightoff:", "lighton:", "fadeout:", "end:", "wait:", "music:",
                                    "holdmusic", "mfadein:", "mfadeout:", "se:", "chr:", "msg:"};
    bool everyKeywordSomewhere = false;
    int32_t scripts = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string name = entry.path().filename().string();
        scripts++;
        headlessWindowReset();
        compileText(text);
        EXPECT_EQ(boxes(), 0) << name << " " << allBoxes();
        EXPECT_GT(gEventScriptCounts.steps, 1) << name;
        // CR LF throughout: no lone CR or LF.
        for (size_t i = 0; i < text.size(); i++) {
            bool lone = (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ||
                        (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
            ASSERT_FALSE(lone) << name << " byte " << i;
        }
        bool every = true;
        for (const char* k : KEYWORDS) every = every && text.find(std::string("\r\n") + k) != std::string::npos;
        everyKeywordSomewhere = everyKeywordSomewhere || every;
    }
    EXPECT_GT(scripts, 1);
    EXPECT_TRUE(everyKeywordSomewhere);
}
