// engine/archive.h: the packed data archive every loader reads through.
// Beside the program lie an index ("lnkdata.bin" scrambled, else
// "lnkdatas.bin" plain) whose rows point into five volume files
// ("bin/data000.bin".."bin/data004.bin", one byte sequence cut every 10 MiB,
// LZSS streams), and a picture pack ("bmpdata.bin", its own table and LZW
// streams). openArchive reads and checks the index and the pack once at
// start-up; afterwards loaders ask for an entry by its path: first its
// unpacked size, then its bytes. A loader thread and the main thread may read
// at the same time: the tables are only read after start-up, and every read
// opens its own volume files and keeps its own decoder state.
// All paths are relative to the working directory (the game folder).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

constexpr int32_t ARCHIVE_VOLUME_SIZE = 10485760;   // 0xA00000
constexpr int32_t ARCHIVE_VOLUME_COUNT = 5;
constexpr int32_t ARCHIVE_SKIPPED_BYTES = 5;         // the scrambled index's unread lead-in
constexpr uint16_t ARCHIVE_SCRAMBLED_CHECKSUM = 0xC5E1;
constexpr uint16_t ARCHIVE_PLAIN_CHECKSUM = 0x8BAA;
constexpr uint16_t BMP_DATA_CHECKSUM = 0x21DC;
constexpr int32_t ARCHIVE_READ_ATTEMPTS = 3;
constexpr uint64_t ARCHIVE_RETRY_WAIT_MICROS = 500000;

extern const char ARCHIVE_INDEX_FILE[];        // "lnkdata.bin"
extern const char ARCHIVE_PLAIN_INDEX_FILE[];  // "lnkdatas.bin"
extern const char BMP_DATA_FILE[];             // "bmpdata.bin"
extern const char ARCHIVE_VOLUME_FORMAT[];     // "bin/data%03d.bin"

// Index file: a u32 row count, then the rows. Every number in the index and
// the pack is big-endian, so the fields are kept as bytes.
struct ArchiveEntry {
    char name[128];           // NUL-terminated path, e.g. "data/item.txt"
    uint8_t unpackedSize[4];
    uint8_t offset[4];        // into the volume sequence
    uint8_t packedSize[4];
};
static_assert(sizeof(ArchiveEntry) == 140);
static_assert(offsetof(ArchiveEntry, unpackedSize) == 128);
static_assert(offsetof(ArchiveEntry, packedSize) == 136);

// Picture pack: a u32 row count, the rows, then the payload area.
struct BmpDataEntry {
    char name[84];            // NUL-terminated lower-case path below "bmp/"
    uint8_t unpackedSize[4];
    uint8_t payloadOffset[4]; // from the start of the payload area
    uint8_t packedSize[4];
};
static_assert(sizeof(BmpDataEntry) == 96);
static_assert(offsetof(BmpDataEntry, unpackedSize) == 84);
static_assert(offsetof(BmpDataEntry, packedSize) == 92);

constexpr int32_t BMP_DATA_NAME_COMPARE = 88;   // bytes a pack name is compared over at most

// A table file as held in memory (the index unscrambled), with its row count.
struct ArchiveTable {
    std::vector<uint8_t> bytes;
    int32_t count;
};
extern ArchiveTable gArchiveIndex;
extern ArchiveTable gBmpData;
// The motion-form file, loaded whole at start-up (loose file or archive).
extern std::vector<uint8_t> gFormData;

bool openArchive();   // false after showing its own message; start-up then ends
void closeArchive();  // the tables stay until the process ends

// Unpacked size of the named entry (picture pack first, then the index);
// 0 when neither holds it. A name matches every entry it begins; the first
// matching row wins. In the pack an upper-case query letter also matches its
// lower-case form.
int32_t getArchiveEntrySize(const char* name);
// Unpacks the named entry into dest, never writing more than destSize bytes,
// and returns the unpacked size. Returns 0 when the entry is absent (dest
// untouched), when its volume still cannot be read after three attempts half
// a second apart (dest untouched), or when its packed bytes are damaged.
int32_t readArchiveEntry(const char* name, void* dest, int32_t destSize);

// The archive's 16-bit check value. The running value starts at 0xFFFF; the
// result is its complement.
uint16_t updateArchiveChecksum(uint16_t running, size_t length, const uint8_t* bytes);
uint16_t calcArchiveChecksum(size_t length, const uint8_t* bytes);

// The scrambling of "lnkdata.bin": byte b is stored as (1 - b) mod 256, a
// step that undoes itself.
void scrambleArchiveBytes(uint8_t* bytes, size_t length);

// Length of an open file (the position is left at the start); -1 when it
// cannot be told or does not fit an int.
int32_t getFileLength(FILE* file);

uint32_t readBigEndian32(const uint8_t* p);

// Checks a table's rows against its bytes before any row is used, and sets
// its count: the rows fit the file, every name ends inside its field, every
// size fits an int and every packed range lies inside the file or the five
// volumes. Given the volumes' real lengths (volumeLengths may be null), the
// index check also asks each volume a row reaches into to be long enough.
// Returns ARCHIVE_TABLE_SOUND, ARCHIVE_TABLE_DAMAGED, or the number (0..4)
// of a volume too short for a row.
constexpr int32_t ARCHIVE_TABLE_SOUND = -1;
constexpr int32_t ARCHIVE_TABLE_DAMAGED = -2;
int32_t checkArchiveIndex(ArchiveTable& index, const int64_t* volumeLengths);
bool checkBmpData(ArchiveTable& pack);
