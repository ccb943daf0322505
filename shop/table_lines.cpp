#include "shop/table_lines.h"

#include <cstring>

#include "platform/window.h"
#include "shop/text_fields.h"

static const char TABLE_FULL_CAPTION[] = "error";
constexpr int32_t MESSAGE_TEXT_SIZE = 512;

bool isTableDigit(char c) { return c >= '0' && c <= '9'; }

const char* lineAt(const TextLine& line, int32_t pos) {
    return line.end - line.start > pos ? line.start + pos : line.end;
}

const char* findLineChar(const char* from, const char* end, char c) {
    if (from >= end) return nullptr;
    return static_cast<const char*>(memchr(from, c, static_cast<size_t>(end - from)));
}

void showTableText(const char* from, const char* end, const char* caption) {
    char text[MESSAGE_TEXT_SIZE];
    copyTextField(from, end, text, sizeof text);
    showMessageBox(text, caption, MESSAGE_BOX_OK);
}

bool TableLimit::full(int32_t count, int32_t max) {
    if (count < max) return false;
    if (!shown) showMessageBox(text, TABLE_FULL_CAPTION, MESSAGE_BOX_OK);
    shown = true;
    return true;
}

int32_t numberedKey(const TextLine& line, int32_t pos, int32_t digits, char terminator) {
    if (line.end - line.start < pos + digits + 1) return -1;
    int32_t value = 0;
    for (int32_t i = 0; i < digits; i++) {
        char c = line.start[pos + i];
        if (!isTableDigit(c)) return -1;
        value = value * 10 + (c - '0');
    }
    return line.start[pos + digits] == terminator ? value : -1;
}
