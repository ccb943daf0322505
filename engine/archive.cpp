#include "engine/archive.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

#include "engine/game_folder.h"
#include "engine/lzss.h"
#include "engine/lzw.h"
#include "platform/clock.h"
#include "platform/file_requests.h"
#include "platform/log.h"
#include "platform/memory.h"
#include "platform/window.h"

const char ARCHIVE_INDEX_FILE[] = "lnkdata.bin";
const char ARCHIVE_PLAIN_INDEX_FILE[] = "lnkdatas.bin";
const char BMP_DATA_FILE[] = "bmpdata.bin";
const char ARCHIVE_VOLUME_FORMAT[] = "bin/data%03d.bin";

ArchiveTable gArchiveIndex;
ArchiveTable gBmpData;
std::vector<uint8_t> gFormData;

static const char FORM_DATA_PATH[] = "bmp/chr/formdata.bin";
static const char FORM_DATA_LOOSE_FALLBACK[] = "formdata.bin";

static const char ERROR_CAPTION[] = "Error";
// 起動に必要なファイル　%s　が見つかりません
static const char FILE_MISSING_FORMAT[] =
    "\x8B\x4E\x93\xAE\x82\xC9\x95\x4B\x97\x76\x82\xC8\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x40"
    "%s"
    "\x81\x40\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// 起動に必要なファイル　%s　にデータ欠損があります
static const char FILE_DAMAGED_FORMAT[] =
    "\x8B\x4E\x93\xAE\x82\xC9\x95\x4B\x97\x76\x82\xC8\x83\x74\x83\x40\x83\x43\x83\x8B\x81\x40"
    "%s"
    "\x81\x40\x82\xC9\x83\x66\x81\x5B\x83\x5E\x8C\x87\x91\xB9\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7";
// メモリが足りません。
static const char OUT_OF_MEMORY_TEXT[] = "\x83\x81\x83\x82\x83\x8A\x82\xAA\x91\xAB\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42";

uint32_t readBigEndian32(const uint8_t* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// Kept as the files demand: the step subtracts the polynomial instead of
// exclusive-oring it, so this is not CRC-16 and the stored check values hold
// only for the subtraction.
// Without exclusive-or the eight steps of a byte do not split into a table of
// 256, but the state is only 16 bits: one table of every state takes a byte
// in one look-up (the 4.6 MB picture pack is checked at every start-up).
struct ChecksumSteps {
    uint16_t next[65536];   // a state, its byte already mixed in, after eight steps
    ChecksumSteps() {
        for (uint32_t state = 0; state < 65536; ++state) {
            uint32_t acc = state;
            for (int bit = 0; bit < 8; ++bit) acc = (acc & 0x8000 ? acc * 2 - 0x1021 : acc * 2) & 0xFFFF;
            next[state] = (uint16_t)acc;
        }
    }
};

uint16_t updateArchiveChecksum(uint16_t running, size_t length, const uint8_t* bytes) {
    // Made at the first call, from whichever thread (a loader reads too).
    static const ChecksumSteps steps;
    uint32_t acc = running;
    for (size_t i = 0; i < length; ++i) acc = steps.next[acc ^ (uint32_t)bytes[i] << 8];
    return (uint16_t)acc;
}

uint16_t calcArchiveChecksum(size_t length, const uint8_t* bytes) {
    return (uint16_t)~updateArchiveChecksum(0xFFFF, length, bytes);
}

void scrambleArchiveBytes(uint8_t* bytes, size_t length) {
    for (size_t i = 0; i < length; ++i) bytes[i] = (uint8_t)(1 - bytes[i]);
}

int32_t getFileLength(FILE* file) {
    if (fseeko(file, 0, SEEK_END) != 0) return -1;
    off_t length = ftello(file);
    if (fseeko(file, 0, SEEK_SET) != 0 || length < 0 || length > INT32_MAX) return -1;
    return (int32_t)length;
}

static ArchiveEntry indexRow(const ArchiveTable& index, int32_t row) {
    ArchiveEntry entry;
    memcpy(&entry, index.bytes.data() + 4 + (size_t)row * sizeof entry, sizeof entry);
    return entry;
}

static BmpDataEntry bmpDataRow(const ArchiveTable& pack, int32_t row) {
    BmpDataEntry entry;
    memcpy(&entry, pack.bytes.data() + 4 + (size_t)row * sizeof entry, sizeof entry);
    return entry;
}

int32_t checkArchiveIndex(ArchiveTable& index, const int64_t* volumeLengths) {
    index.count = 0;
    size_t length = index.bytes.size();
    if (length < 4) return ARCHIVE_TABLE_DAMAGED;
    uint32_t count = readBigEndian32(index.bytes.data());
    if (count > (length - 4) / sizeof(ArchiveEntry)) return ARCHIVE_TABLE_DAMAGED;
    const uint64_t volumesEnd = (uint64_t)ARCHIVE_VOLUME_SIZE * ARCHIVE_VOLUME_COUNT;
    for (uint32_t i = 0; i < count; ++i) {
        ArchiveEntry entry = indexRow(index, (int32_t)i);
        if (!memchr(entry.name, 0, sizeof entry.name)) return ARCHIVE_TABLE_DAMAGED;
        if (readBigEndian32(entry.unpackedSize) > INT32_MAX) return ARCHIVE_TABLE_DAMAGED;
        uint64_t start = readBigEndian32(entry.offset);
        uint64_t end = start + readBigEndian32(entry.packedSize);
        if (end > volumesEnd) return ARCHIVE_TABLE_DAMAGED;
        if (!volumeLengths) continue;
        for (uint64_t v = start / ARCHIVE_VOLUME_SIZE; v * ARCHIVE_VOLUME_SIZE < end; ++v) {
            uint64_t need = end - v * ARCHIVE_VOLUME_SIZE;
            if (need > (uint64_t)ARCHIVE_VOLUME_SIZE) need = ARCHIVE_VOLUME_SIZE;
            if (volumeLengths[v] < (int64_t)need) return (int32_t)v;
        }
    }
    index.count = (int32_t)count;
    return ARCHIVE_TABLE_SOUND;
}

bool checkBmpData(ArchiveTable& pack) {
    pack.count = 0;
    size_t length = pack.bytes.size();
    if (length < 4) return false;
    uint32_t count = readBigEndian32(pack.bytes.data());
    if (count > (length - 4) / sizeof(BmpDataEntry)) return false;
    uint64_t payloadLength = length - 4 - (uint64_t)count * sizeof(BmpDataEntry);
    for (uint32_t i = 0; i < count; ++i) {
        BmpDataEntry entry = bmpDataRow(pack, (int32_t)i);
        if (!memchr(entry.name, 0, sizeof entry.name)) return false;
        if (readBigEndian32(entry.unpackedSize) > INT32_MAX) return false;
        uint64_t end = (uint64_t)readBigEndian32(entry.payloadOffset) + readBigEndian32(entry.packedSize);
        if (end > payloadLength) return false;
    }
    pack.count = (int32_t)count;
    return true;
}

// Pack names match from the start; an upper-case letter in the query also
// matches its lower-case form in the row (only that way round). Reaching the
// query's end is a match, so a query matches every name it begins.
static bool bmpDataNameMatches(const char* query, const char* name) {
    for (int32_t i = 0; i < BMP_DATA_NAME_COMPARE; ++i) {
        uint8_t q = (uint8_t)query[i];
        if (q == 0) return true;
        uint8_t n = (uint8_t)name[i];
        if (q != n && !(q >= 'A' && q <= 'Z' && q + ('a' - 'A') == n)) return false;
    }
    return true;
}

static bool indexNameMatches(const char* query, const char* name) {
    for (size_t i = 0; i < sizeof ArchiveEntry::name; ++i) {
        if (query[i] == 0) return true;
        if (query[i] != name[i]) return false;
    }
    return true;
}

// The name compare reads the row in place: for the pack it may run into the
// size field behind the name, as the table's layout allows.
static int32_t findBmpDataRow(const char* name) {
    const ArchiveTable& pack = gBmpData;
    for (int32_t i = 0; i < pack.count; ++i) {
        const char* rowName = (const char*)pack.bytes.data() + 4 + (size_t)i * sizeof(BmpDataEntry);
        if (bmpDataNameMatches(name, rowName)) return i;
    }
    return -1;
}

static int32_t findIndexRow(const char* name) {
    const ArchiveTable& index = gArchiveIndex;
    for (int32_t i = 0; i < index.count; ++i) {
        const char* rowName = (const char*)index.bytes.data() + 4 + (size_t)i * sizeof(ArchiveEntry);
        if (indexNameMatches(name, rowName)) return i;
    }
    return -1;
}

int32_t getArchiveEntrySize(const char* name) {
    int32_t row = findBmpDataRow(name);
    if (row >= 0) {
        noteFileRequest(name, true);
        return (int32_t)readBigEndian32(bmpDataRow(gBmpData, row).unpackedSize);
    }
    row = findIndexRow(name);
    noteFileRequest(name, row >= 0);
    if (row >= 0) return (int32_t)readBigEndian32(indexRow(gArchiveIndex, row).unpackedSize);
    return 0;
}

static bool readFully(int fd, uint8_t* dest, int32_t length, off_t position) {
    while (length > 0) {
        ssize_t n = pread(fd, dest, (size_t)length, position);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        dest += n;
        length -= (int32_t)n;
        position += n;
    }
    return true;
}

// The packed bytes of a row from the volume sequence; a row that runs past
// the end of a volume continues at the start of the next. Every call opens
// its own descriptors, so reads on two threads never share a file position.
static bool readVolumes(uint32_t offset, int32_t length, uint8_t* dest) {
    int32_t volume = (int32_t)(offset / ARCHIVE_VOLUME_SIZE);
    int32_t position = (int32_t)(offset % ARCHIVE_VOLUME_SIZE);
    int32_t filled = 0;
    do {
        if (volume >= ARCHIVE_VOLUME_COUNT) return false;
        char path[32];
        snprintf(path, sizeof path, ARCHIVE_VOLUME_FORMAT, volume);
        int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        int32_t part = length - filled;
        if (part > ARCHIVE_VOLUME_SIZE - position) part = ARCHIVE_VOLUME_SIZE - position;
        bool ok = readFully(fd, dest + filled, part, position);
        close(fd);
        if (!ok) return false;
        filled += part;
        ++volume;
        position = 0;
    } while (filled < length);
    return true;
}

// A stream that ends short of what the row promises is damaged: the read
// then reports nothing.
static int32_t finishRead(const char* name, int32_t written, int32_t wanted, int32_t unpacked) {
    if (written == wanted) return unpacked;
    logLine("archive: the packed bytes of %s are damaged", name);
    return 0;
}

int32_t readArchiveEntry(const char* name, void* dest, int32_t destSize) {
    char trace[160];
    snprintf(trace, sizeof trace, "read storage %s\n", name);
    writeDebugLog(trace);
    uint8_t* out = (uint8_t*)dest;
    if (destSize < 0) destSize = 0;

    int32_t row = findBmpDataRow(name);
    if (row >= 0) {
        BmpDataEntry entry = bmpDataRow(gBmpData, row);
        int32_t unpacked = (int32_t)readBigEndian32(entry.unpackedSize);
        const uint8_t* payload = gBmpData.bytes.data() + 4 + (size_t)gBmpData.count * sizeof(BmpDataEntry) +
                                 readBigEndian32(entry.payloadOffset);
        int32_t wanted = unpacked < destSize ? unpacked : destSize;
        int32_t written = decodeLzw(payload, (int32_t)readBigEndian32(entry.packedSize), out, wanted);
        return finishRead(name, written, wanted, unpacked);
    }

    row = findIndexRow(name);
    if (row < 0) {
        noteFileRequest(name, false);
        return 0;
    }
    ArchiveEntry entry = indexRow(gArchiveIndex, row);
    int32_t unpacked = (int32_t)readBigEndian32(entry.unpackedSize);
    int32_t packedSize = (int32_t)readBigEndian32(entry.packedSize);
    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[packedSize > 0 ? packedSize : 1]);
    if (!packed) {
        logLine("archive: no memory to read %s", name);
        return 0;
    }
    for (int32_t attempt = 0; attempt < ARCHIVE_READ_ATTEMPTS; ++attempt) {
        if (attempt > 0) gClock->sleepMicros(ARCHIVE_RETRY_WAIT_MICROS);
        if (!readVolumes(readBigEndian32(entry.offset), packedSize, packed.get())) continue;
        int32_t wanted = unpacked < destSize ? unpacked : destSize;
        int32_t written = decodeLzss(packed.get(), packedSize, out, wanted);
        return finishRead(name, written, wanted, unpacked);
    }
    // Still unreadable: report nothing read rather than a size over a buffer
    // that was never filled.
    logLine("archive: the volumes holding %s cannot be read", name);
    return 0;
}

static bool failOpen(const char* format, const char* file) {
    char text[256];
    if (file) snprintf(text, sizeof text, format, file);
    else snprintf(text, sizeof text, "%s", format);
    showMessageBox(text, ERROR_CAPTION, MESSAGE_BOX_OK);
    gArchiveIndex = ArchiveTable{};
    gBmpData = ArchiveTable{};
    gFormData.clear();
    return false;
}

enum FileLoad { FILE_LOADED, FILE_MISSING, FILE_UNREADABLE, FILE_NO_MEMORY };

// Reads a whole file, less its first skip bytes, into bytes.
static FileLoad loadWholeFile(const char* path, int32_t skip, std::vector<uint8_t>& bytes) {
    FILE* file = fopen(path, "rb");
    if (!file) return FILE_MISSING;
    FileLoad result = FILE_LOADED;
    int32_t length = getFileLength(file);
    if (length < skip) {
        result = FILE_UNREADABLE;
    } else {
        try {
            bytes.clear();
            bytes.reserve((size_t)(length - skip));
            preferLargePages(bytes.data(), (size_t)(length - skip));
            bytes.assign((size_t)(length - skip), 0);
        } catch (const std::bad_alloc&) {
            result = FILE_NO_MEMORY;
        }
        if (result == FILE_LOADED && !bytes.empty() &&
            (fseek(file, skip, SEEK_SET) != 0 || fread(bytes.data(), 1, bytes.size(), file) != bytes.size()))
            result = FILE_UNREADABLE;
    }
    fclose(file);
    return result;
}

// The motion forms: the loose file, else the loose file in the game folder's
// root, else the archive entry. Nothing found leaves the buffer empty.
static bool loadFormData() {
    for (const char* path : {FORM_DATA_PATH, FORM_DATA_LOOSE_FALLBACK}) {
        FileLoad load = loadWholeFile(path, 0, gFormData);
        if (load == FILE_LOADED) return true;
        if (load == FILE_NO_MEMORY) return false;
    }
    gFormData.clear();
    int32_t size = getArchiveEntrySize(FORM_DATA_PATH);
    if (size <= 0) return true;
    try {
        gFormData.assign((size_t)size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (readArchiveEntry(FORM_DATA_PATH, gFormData.data(), size) != size) gFormData.clear();
    return true;
}

bool openArchive() {
    gArchiveIndex = ArchiveTable{};
    gBmpData = ArchiveTable{};
    gFormData.clear();

    // The scrambled index when it exists, damaged or not; else the plain one.
    const char* indexFile = ARCHIVE_INDEX_FILE;
    uint16_t indexChecksum = ARCHIVE_SCRAMBLED_CHECKSUM;
    FileLoad load = loadWholeFile(indexFile, ARCHIVE_SKIPPED_BYTES, gArchiveIndex.bytes);
    if (load == FILE_LOADED) scrambleArchiveBytes(gArchiveIndex.bytes.data(), gArchiveIndex.bytes.size());
    if (load == FILE_MISSING) {
        indexFile = ARCHIVE_PLAIN_INDEX_FILE;
        indexChecksum = ARCHIVE_PLAIN_CHECKSUM;
        load = loadWholeFile(indexFile, 0, gArchiveIndex.bytes);
        if (load == FILE_MISSING) return failOpen(FILE_MISSING_FORMAT, indexFile);
    }
    if (load == FILE_NO_MEMORY) return failOpen(OUT_OF_MEMORY_TEXT, nullptr);
    if (load != FILE_LOADED ||
        calcArchiveChecksum(gArchiveIndex.bytes.size(), gArchiveIndex.bytes.data()) != indexChecksum ||
        checkArchiveIndex(gArchiveIndex, nullptr) != ARCHIVE_TABLE_SOUND)
        return failOpen(FILE_DAMAGED_FORMAT, indexFile);

    int64_t volumeLengths[ARCHIVE_VOLUME_COUNT];
    char volumePaths[ARCHIVE_VOLUME_COUNT][32];
    for (int32_t v = 0; v < ARCHIVE_VOLUME_COUNT; ++v) {
        snprintf(volumePaths[v], sizeof volumePaths[v], ARCHIVE_VOLUME_FORMAT, v);
        FILE* file = fopen(volumePaths[v], "rb");
        if (!file) return failOpen(FILE_MISSING_FORMAT, volumePaths[v]);
        volumeLengths[v] = getFileLength(file);
        fclose(file);
    }
    int32_t shortVolume = checkArchiveIndex(gArchiveIndex, volumeLengths);
    if (shortVolume >= 0) return failOpen(FILE_DAMAGED_FORMAT, volumePaths[shortVolume]);

    load = loadWholeFile(BMP_DATA_FILE, 0, gBmpData.bytes);
    if (load == FILE_MISSING) return failOpen(FILE_MISSING_FORMAT, BMP_DATA_FILE);
    if (load == FILE_NO_MEMORY) return failOpen(OUT_OF_MEMORY_TEXT, nullptr);
    if (load != FILE_LOADED || calcArchiveChecksum(gBmpData.bytes.size(), gBmpData.bytes.data()) != BMP_DATA_CHECKSUM ||
        !checkBmpData(gBmpData))
        return failOpen(FILE_DAMAGED_FORMAT, BMP_DATA_FILE);

    if (!loadFormData()) return failOpen(OUT_OF_MEMORY_TEXT, nullptr);
    return true;
}

void closeArchive() {}
