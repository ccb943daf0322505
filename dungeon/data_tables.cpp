#include "dungeon/data_tables.h"

#include <cstring>

#include "platform/window.h"
#include "shop/shop.h"

void showTableMessage(const char* from, const char* end, const char* caption) {
    char text[TABLE_MESSAGE_MAX + 1];
    ptrdiff_t n = from < end ? end - from : 0;
    if (n > TABLE_MESSAGE_MAX) n = TABLE_MESSAGE_MAX;
    memcpy(text, from, static_cast<size_t>(n));
    text[n] = 0;
    showMessageBox(text, caption, MESSAGE_BOX_OK);
}

int32_t findItemIdByPrefix(const char* name) {
    size_t length = strlen(name);
    for (int32_t r = 0; r < gItemDefinitionCount && r < ITEM_DEFINITION_MAX; r++) {
        const ItemDefinition& d = gItemDefinitions[r];
        if (d.valid == 1 && strncmp(d.name, name, length) == 0) return d.id;
    }
    return -1;
}

int32_t findItemIdByName(const char* name) {
    for (int32_t r = 0; r < gItemDefinitionCount && r < ITEM_DEFINITION_MAX; r++) {
        const ItemDefinition& d = gItemDefinitions[r];
        if (d.valid == 1 && strcmp(d.name, name) == 0) return d.id;
    }
    return -1;
}
