#include "shop/tutorial_scripts.h"

#include <cstdio>

#include "engine/archive.h"
#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "shop/table_lines.h"
#include "shop/text_fields.h"

TutorialStep gTutorialScripts[TUTORIAL_LESSON_COUNT][TUTORIAL_STEP_MAX];

// Message texts and captions, Shift-JIS.
static const char SYNTAX_ERROR_CAPTION[] = "syntax error";
static const char TUTORIAL_FULL_TEXT[] =   // "チュートリアル登録オーバー"
    "\x83\x60\x83\x85\x81\x5b\x83\x67\x83\x8a\x83\x41\x83\x8b\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";

struct TutorialWord {
    const char* word;   // compared over its own length
    int32_t command;
};
static const TutorialWord TUTORIAL_WORDS[] = {
    {"CHR0", TUTORIAL_SHOPKEEPER_SAYS}, {"CHR1", TUTORIAL_CUSTOMER_SAYS}, {"TAGD", TUTORIAL_SHOW_ITEM},
    {"PRID", TUTORIAL_SHOW_PRICE},      {"PRIA", TUTORIAL_ENTER_PRICE},   {"BUN0", TUTORIAL_PRICE_BRANCH},
    {"PRCE", TUTORIAL_PRICE_BRANCH},    {"GOTO", TUTORIAL_GOTO},          {"TAGN", TUTORIAL_HIDE_ITEM},
    {"TOUT", TUTORIAL_SWAP_CUSTOMER},   {"INVENTOR", TUTORIAL_OPEN_LIST}, {"SLSWRD", TUTORIAL_WEAPON_BRANCH},
    {"HIGH", TUTORIAL_HIGH_BRANCH},     {"DISC", TUTORIAL_DISCOUNT_BRANCH}, {"COST", TUTORIAL_COST_BRANCH},
    {"INIT_MNT_DTR", TUTORIAL_REMEMBER_PRICE},
};

static bool hasStepNumber(const TextLine& line) {
    const char* p = line.start;
    while (p < line.end && (*p == ' ' || *p == '\t')) p++;
    if (p < line.end && (*p == '+' || *p == '-')) p++;
    return p < line.end && isTableDigit(*p);
}

static bool takesTargets(int32_t command) {
    return command == TUTORIAL_PRICE_BRANCH || command == TUTORIAL_GOTO || command == TUTORIAL_WEAPON_BRANCH ||
           command == TUTORIAL_HIGH_BRANCH || command == TUTORIAL_DISCOUNT_BRANCH || command == TUTORIAL_COST_BRANCH;
}

// One row from a line with a step number. An unknown command word still
// makes a row, so the rows after it keep their places; the first such line
// of a file is reported.
static void parseTutorialLine(const TextLine& line, TutorialStep& step, bool& unknownShown) {
    step = TutorialStep{};
    step.step = parseTextInt(line.start, line.end);
    if (step.step == -1) {
        step.command = TUTORIAL_END;
        return;
    }
    if (step.step < 0) {
        copyTextField(lineAt(line, 3), line.end, step.text, TUTORIAL_TEXT_SIZE);
        return;
    }
    const char* comma = findLineChar(line.start, line.end, ',');
    const char* word = comma ? comma + 1 : line.end;
    const TutorialWord* found = nullptr;
    for (const TutorialWord& w : TUTORIAL_WORDS) {
        if (textBeginsWith(word, line.end, w.word)) {
            found = &w;
            break;
        }
    }
    if (!found) {
        step.command = TUTORIAL_UNKNOWN;
        if (!unknownShown) showTableText(word, line.end, SYNTAX_ERROR_CAPTION);
        unknownShown = true;
        return;
    }
    step.command = found->command;
    if (step.command == TUTORIAL_SHOPKEEPER_SAYS || step.command == TUTORIAL_CUSTOMER_SAYS) {
        const char* face = line.end - word > 5 ? word + 5 : line.end;
        step.face = parseTextInt(face, line.end);
        const char* textStart = findLineChar(face, line.end, ',');
        if (textStart) copyTextField(textStart + 1, line.end, step.text, TUTORIAL_TEXT_SIZE);
    } else if (takesTargets(step.command)) {
        const char* p = word;
        for (int32_t t = 0; t < TUTORIAL_TARGET_COUNT; t++) {
            const char* c = findLineChar(p, line.end, ',');
            if (!c) break;
            step.targets[t] = parseTextInt(c + 1, line.end);
            p = c + 1;
        }
    }
}

void parseTutorialScript(int32_t lesson, const char* text, int32_t length) {
    if (lesson < 0 || lesson >= TUTORIAL_LESSON_COUNT) return;
    TutorialStep* rows = gTutorialScripts[lesson];
    for (int32_t i = 0; i < TUTORIAL_STEP_MAX; i++) rows[i] = TutorialStep{};
    int32_t count = 0;
    // The closing row needs the table's last place.
    TableLimit limit{TUTORIAL_FULL_TEXT, false};
    bool unknownShown = false;
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        if (!hasStepNumber(line)) {
            writeDebugLog("loop err 17\n");
            continue;
        }
        if (limit.full(count, TUTORIAL_STEP_MAX - 1)) continue;
        parseTutorialLine(line, rows[count++], unknownShown);
    }
    rows[count] = TutorialStep{};
    rows[count].command = TUTORIAL_END;
}

// A loose file beside the program wins over the archive entry.
static TextEntry readLooseOrArchive(const char* name) {
    FILE* file = fopen(name, "rb");
    if (!file) return readTextEntry(name);
    TextEntry entry;
    entry.length = 0;
    int32_t size = getFileLength(file);
    if (size < 0 || size > INT32_MAX - TEXT_ENTRY_SLACK) size = 0;
    entry.bytes.reset(new char[size + TEXT_ENTRY_SLACK]());
    if (size > 0 && fread(entry.bytes.get(), 1, static_cast<size_t>(size), file) == static_cast<size_t>(size))
        entry.length = size;
    fclose(file);
    return entry;
}

void loadTutorialScripts() {
    for (int32_t lesson = 0; lesson < TUTORIAL_LESSON_COUNT; lesson++) {
        char name[32];
        snprintf(name, sizeof name, "data/tuto%d.txt", lesson + 1);
        TextEntry entry = readLooseOrArchive(name);
        parseTutorialScript(lesson, entry.bytes.get(), entry.length);
    }
}
