// Clearing large records by handing their pages back: every byte of the
// record reads 0 after, pages never touched included, and nothing beside it
// changes.
#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

// Static storage, as the records it serves; edges that start and end inside
// a page.
static uint8_t sRecord[3 << 20];
constexpr size_t RECORD_FROM = 5;
constexpr size_t RECORD_SIZE = sizeof sRecord - 11;

static void expectClearedOnlyInside() {
    for (size_t i = 0; i < sizeof sRecord; i++) {
        bool inside = i >= RECORD_FROM && i < RECORD_FROM + RECORD_SIZE;
        ASSERT_EQ(sRecord[i], inside ? 0 : 0x5A) << "byte " << i;
    }
}

TEST(Memory, ClearLargeRecordZeroesEveryByteAndNothingBeside) {
    memset(sRecord, 0x5A, sizeof sRecord);
    clearLargeRecord(sRecord + RECORD_FROM, RECORD_SIZE);
    expectClearedOnlyInside();
    // Again, over pages that were handed back and touched once more.
    memset(sRecord, 0x5A, sizeof sRecord);
    clearLargeRecord(sRecord + RECORD_FROM, RECORD_SIZE);
    expectClearedOnlyInside();
}

TEST(Memory, ClearLargeRecordWithinOnePage) {
    memset(sRecord, 0x5A, sizeof sRecord);
    clearLargeRecord(sRecord + 100, 200);
    for (size_t i = 0; i < 4096; i++) ASSERT_EQ(sRecord[i], i >= 100 && i < 300 ? 0 : 0x5A) << "byte " << i;
}
