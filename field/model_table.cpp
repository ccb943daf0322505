#include "field/model_table.h"

#include <cstring>

#include "engine/skin_models.h"
#include "engine/text_data.h"
#include "field/field.h"

ModelEntry gModelTable[MODEL_TABLE_ROWS];

void parseModelTable(const char* text, int32_t length) {
    for (ModelEntry& row : gModelTable) {
        row.partCount = 0;
        memset(row.partPresent, 0, sizeof row.partPresent);
    }
    int32_t current = 0;
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v;
        if ((v = lineValue(line, "no:"))) {
            int32_t row = parseTextInt(v, line.end);
            current = row >= 0 && row < MODEL_TABLE_ROWS ? row : -1;
            continue;
        }
        if (current < 0) continue;
        ModelEntry& entry = gModelTable[current];
        if ((v = lineValue(line, "fname:"))) {
            copyTextBounded(v, line.end, entry.fileName, MODEL_TABLE_NAME_SIZE - 1);
            continue;
        }
        const char* p = line.start;
        if (line.end - p < 3 || p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9' || p[2] != ':') continue;
        int32_t part = (p[0] - '0') * 10 + (p[1] - '0');
        if (part >= MODEL_TABLE_PARTS) continue;
        entry.partPresent[part] = 1;
        copyTextBounded(p + 3, line.end, entry.partNames[part], MODEL_TABLE_NAME_SIZE - 1);
        entry.partCount++;
    }
}

void loadModelTable() {
    TextEntry entry = readTextEntry("data/model.txt");
    parseModelTable(entry.bytes.get(), entry.length);
}

const char* modelPartName(int32_t modelNumber, int32_t bone) {
    if (modelNumber < 0 || modelNumber >= MODEL_TABLE_ROWS || bone < 0 || bone >= MODEL_EXPORT_BONES) return nullptr;
    const ModelEntry& entry = gModelTable[modelNumber];
    return entry.partPresent[bone] ? entry.partNames[bone] : nullptr;
}
