#include "shop/trend_definitions.h"

#include "engine/game_folder.h"
#include "engine/text_data.h"
#include "platform/window.h"
#include "shop/item_db.h"
#include "shop/table_lines.h"
#include "shop/text_fields.h"

TrendDefinition gTrendDefinitions[TREND_DEFINITION_MAX + 1];
int32_t gTrendDefinitionCount;

bool isTrendBoundCandidate(const TrendDefinition& row, const ItemDefinition& item) {
    if (!item.valid || item.price < row.boundLow || item.price > row.boundHigh) return false;
    if (row.categoryMask == 0) return item.category == row.category;
    return row.categoryMask != TREND_SPECIAL_MASK && (item.categoryFlags & row.categoryMask) != 0;
}

int32_t countTrendBoundCandidates(const TrendDefinition& row) {
    int32_t count = 0;
    for (int32_t r = 0; r < gItemDefinitionCount && r < ITEM_DEFINITION_MAX; r++)
        count += isTrendBoundCandidate(row, gItemDefinitions[r]);
    return count;
}

bool trendBoundsAdmitItem(const TrendDefinition& row) {
    return row.boundLow < 0 || countTrendBoundCandidates(row) > 0;
}

const char* trendDefinitionText(int32_t definition) {
    return definition >= 1 && definition <= TREND_DEFINITION_MAX ? gTrendDefinitions[definition].text : nullptr;
}

// Message texts and captions, Shift-JIS.
static const char UNKNOWN_TARGET_CAPTION[] = "syn error";
static const char EMPTY_BOUNDS_CAPTION[] = "no item in price range";
static const char TRENDS_FULL_TEXT[] =   // "ニュース登録オーバー"
    "\x83\x6a\x83\x85\x81\x5b\x83\x58\x93\x6f\x98\x5e\x83\x49\x81\x5b\x83\x6f\x81\x5b";

struct TrendReader {
    int32_t customerType;
    int32_t seasonFirst;
    int32_t seasonLast;
};

static TrendDefinition newTrendRow(const TrendReader& reader) {
    TrendDefinition row{};
    row.item = -1;
    row.category = -1;
    row.boundLow = -1;
    row.boundHigh = -1;
    row.customerType = reader.customerType;
    row.seasonFirst = reader.seasonFirst;
    row.seasonLast = reader.seasonLast;
    return row;
}

// "-...,...,text": a row that is only news.
static bool parseNewsOnlyRow(const TextLine& line, const TrendReader& reader, TrendDefinition& row) {
    const char* first = findLineChar(line.start, line.end, ',');
    if (!first) {
        writeDebugLog("loop err 7\n");
        return false;
    }
    const char* second = findLineChar(first + 1, line.end, ',');
    if (!second) {
        writeDebugLog("loop err 8\n");
        return false;
    }
    row = newTrendRow(reader);
    row.customerType = 0;
    row.category = TREND_NEWS_ONLY;
    row.categoryMask = 0;
    copyTextField(second + 1, line.end, row.text, TREND_TEXT_SIZE);
    return true;
}

// "target,effect,days-random[,low-high],text".
static bool parseTrendRow(const TextLine& line, const TrendReader& reader, TrendDefinition& row) {
    const char* targetEnd = findLineChar(line.start, line.end, ',');
    if (!targetEnd) {
        writeDebugLog("loop err 1\n");
        return false;
    }
    const char* effect = targetEnd + 1;
    const char* effectEnd = findLineChar(effect, line.end, ',');
    if (!effectEnd) {
        writeDebugLog("loop err 2\n");
        return false;
    }
    const char* days = effectEnd + 1;
    const char* daysEnd = findLineChar(days, line.end, ',');
    if (!daysEnd) {
        writeDebugLog("loop err 3\n");
        return false;
    }
    const char* next = daysEnd + 1;
    int32_t bounds[2] = {-1, -1};
    if (next < line.end && isTableDigit(*next)) {
        const char* boundsEnd = findLineChar(next, line.end, ',');
        if (!boundsEnd) {
            writeDebugLog("loop err 4\n");
            return false;
        }
        parseTextInts(next, boundsEnd, '-', bounds, 2);
        next = boundsEnd + 1;
    }
    if (next >= line.end) {
        writeDebugLog("loop err 5\n");
        return false;
    }

    row = newTrendRow(reader);
    copyTextField(line.start, targetEnd, row.targetName, TREND_TARGET_SIZE);
    if (textBeginsWith(line.start, targetEnd, "Spcl")) {
        row.categoryMask = TREND_SPECIAL_MASK;
    } else {
        row.categoryMask = parseItemCategoryCode(line.start, targetEnd);
        if (row.categoryMask == 0) {
            row.category = findItemCategoryByName(line.start, targetEnd);
            if (row.category < 0) {
                int32_t item = findItemRowByName(line.start, targetEnd);
                if (item >= 0) row.item = gItemDefinitions[item].id;
                else showTableText(line.start, targetEnd, UNKNOWN_TARGET_CAPTION);
            }
        }
    }
    row.effect = parseTextInt(effect, effectEnd);
    int32_t duration[2] = {0, 0};
    parseTextInts(days, daysEnd, '-', duration, 2);
    row.duration = duration[0];
    row.durationRandom = duration[1];
    row.boundLow = bounds[0];
    row.boundHigh = bounds[1];
    copyTextField(next, line.end, row.text, TREND_TEXT_SIZE);
    return true;
}

void parseTrendTable(const char* text, int32_t length) {
    for (TrendDefinition& row : gTrendDefinitions) row = TrendDefinition{};
    gTrendDefinitionCount = 0;
    TrendReader reader{0, 0, 100};
    TableLimit limit{TRENDS_FULL_TEXT, false};
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        if (lineValue(line, "TgtPsn")) {
            reader.customerType = parseTextInt(lineAt(line, 7), line.end);
            continue;
        }
        if (lineValue(line, "Sesn")) {
            int32_t season[2] = {reader.seasonFirst, reader.seasonLast};
            if (parseTextInts(lineAt(line, 5), line.end, '-', season, 2) < 2) writeDebugLog("loop err 6\n");
            reader.seasonFirst = season[0];
            reader.seasonLast = season[1];
            continue;
        }
        TrendDefinition row;
        bool read = *line.start == '-' ? parseNewsOnlyRow(line, reader, row) : parseTrendRow(line, reader, row);
        if (!read || limit.full(gTrendDefinitionCount, TREND_DEFINITION_MAX)) continue;
        if (!trendBoundsAdmitItem(row)) {
            // A price range no item falls in could never bind its item. The
            // row keeps its number (the booms and saved slots count rows)
            // but names nothing, so it is never drawn.
            showTableText(line.start, line.end, EMPTY_BOUNDS_CAPTION);
            row.item = -1;
            row.categoryMask = 0;
            row.category = -1;
            row.boundLow = row.boundHigh = -1;
        }
        gTrendDefinitions[++gTrendDefinitionCount] = row;
    }
}

void loadTrendTable() {
    TextEntry entry = readTextEntry("data/news.txt");
    parseTrendTable(entry.bytes.get(), entry.length);
}
