// Arbitrary bytes as the archive index and as the picture pack, held in
// memory as start-up holds them: the table checks, then lookups by every
// row's name (and its beginnings, in upper case too) and reads of every
// picture row, whose payloads decode from memory. An index row's bytes live
// in volume files, so index rows are only looked up.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/archive.h"

static void lookUp(const std::string& name) {
    if (getArchiveEntrySize(name.c_str()) < 0) __builtin_trap();
    std::string upper = name.substr(0, name.size() / 2);
    for (char& c : upper) c = (char)(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (getArchiveEntrySize(upper.c_str()) < 0) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 20)) return 0;
    const int64_t volumeLengths[ARCHIVE_VOLUME_COUNT] = {ARCHIVE_VOLUME_SIZE, ARCHIVE_VOLUME_SIZE, ARCHIVE_VOLUME_SIZE,
                                                         ARCHIVE_VOLUME_SIZE, ARCHIVE_VOLUME_SIZE};
    gArchiveIndex.bytes.assign(data, data + size);
    int32_t check = checkArchiveIndex(gArchiveIndex, volumeLengths);
    if (check != ARCHIVE_TABLE_SOUND && gArchiveIndex.count != 0) __builtin_trap();
    gBmpData.bytes.assign(data, data + size);
    if (!checkBmpData(gBmpData) && gBmpData.count != 0) __builtin_trap();

    for (int32_t i = 0; i < gArchiveIndex.count; ++i) {
        ArchiveEntry row;
        memcpy(&row, gArchiveIndex.bytes.data() + 4 + (size_t)i * sizeof row, sizeof row);
        lookUp(row.name);
    }
    std::vector<uint8_t> dest;
    for (int32_t i = 0; i < gBmpData.count; ++i) {
        BmpDataEntry row;
        memcpy(&row, gBmpData.bytes.data() + 4 + (size_t)i * sizeof row, sizeof row);
        lookUp(row.name);
        int32_t unpacked = getArchiveEntrySize(row.name);
        int32_t capacity = unpacked < (1 << 16) ? unpacked : 1 << 16;
        dest.assign((size_t)capacity, 0);
        int32_t read = readArchiveEntry(row.name, dest.data(), capacity);
        if (read != 0 && read != unpacked) __builtin_trap();
    }
    return 0;
}
