// tools/archive_writer.h: writes the data archive the game reads (see
// engine/archive.h): the index, the five volumes and the picture pack, each
// table followed by the fix-up bytes that bring its check value to the one
// the reader demands. packGameFolder packs a whole folder tree and reads
// every entry back through the engine's own reader. Used by tools/packdata
// and by the tests, which also build archives row by row with ArchiveBuilder
// (the volume bytes are open to them, to place a row anywhere).
#pragma once
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/archive.h"
#include "engine/lzss.h"
#include "engine/lzw.h"

struct ArchiveBuilder {
    std::vector<ArchiveEntry> indexRows;
    std::vector<uint8_t> volumes;        // the volume sequence from offset 0
    std::vector<BmpDataEntry> bmpRows;
    std::vector<uint8_t> bmpPayloads;    // the pack's payload area
};

inline void writeBigEndian32(uint8_t* p, uint32_t value) {
    p[0] = (uint8_t)(value >> 24);
    p[1] = (uint8_t)(value >> 16);
    p[2] = (uint8_t)(value >> 8);
    p[3] = (uint8_t)value;
}

// Appends an index row and its LZSS stream at the end of the volume bytes.
inline bool addIndexEntry(ArchiveBuilder& b, const std::string& name, const uint8_t* data, size_t size,
                          std::string& error) {
    ArchiveEntry row = {};
    if (name.empty() || name.size() >= sizeof row.name) {
        error = "the name \"" + name + "\" is longer than " + std::to_string(sizeof row.name - 1) + " bytes";
        return false;
    }
    if (size > INT32_MAX) {
        error = "\"" + name + "\" is larger than 2 GiB";
        return false;
    }
    size_t offset = b.volumes.size();
    encodeLzss(data, size, b.volumes);
    if (b.volumes.size() > (size_t)ARCHIVE_VOLUME_SIZE * ARCHIVE_VOLUME_COUNT) {
        b.volumes.resize(offset);
        error = "too much data for five volumes of 10 MiB (reached \"" + name + "\")";
        return false;
    }
    name.copy(row.name, name.size());
    writeBigEndian32(row.unpackedSize, (uint32_t)size);
    writeBigEndian32(row.offset, (uint32_t)offset);
    writeBigEndian32(row.packedSize, (uint32_t)(b.volumes.size() - offset));
    b.indexRows.push_back(row);
    return true;
}

// Appends a picture-pack row (the name as given) and its LZW stream.
inline bool addBmpDataEntry(ArchiveBuilder& b, const std::string& name, const uint8_t* data, size_t size,
                            std::string& error) {
    BmpDataEntry row = {};
    if (name.empty() || name.size() >= sizeof row.name) {
        error = "the picture name \"" + name + "\" is longer than " + std::to_string(sizeof row.name - 1) + " bytes";
        return false;
    }
    if (size > INT32_MAX) {
        error = "\"" + name + "\" is larger than 2 GiB";
        return false;
    }
    size_t offset = b.bmpPayloads.size();
    encodeLzw(data, size, b.bmpPayloads);
    if (b.bmpPayloads.size() > (size_t)INT32_MAX) {
        b.bmpPayloads.resize(offset);
        error = "too much picture data for the picture pack (reached \"" + name + "\")";
        return false;
    }
    name.copy(row.name, name.size());
    writeBigEndian32(row.unpackedSize, (uint32_t)size);
    writeBigEndian32(row.payloadOffset, (uint32_t)offset);
    writeBigEndian32(row.packedSize, (uint32_t)(b.bmpPayloads.size() - offset));
    b.bmpRows.push_back(row);
    return true;
}

// Appends the two bytes that bring the check value of the whole buffer to
// want. From every running value some pair reaches every value (the step is
// one-to-one for each byte, and an exhaustive run over all 65,536 running
// values found no gap), so the search always ends inside the loop.
inline void appendChecksumFixup(std::vector<uint8_t>& bytes, uint16_t want) {
    const uint16_t target = (uint16_t)~want;
    uint16_t running = updateArchiveChecksum(0xFFFF, bytes.size(), bytes.data());
    for (uint32_t pair = 0; pair < 0x10000; ++pair) {
        uint8_t two[2] = {(uint8_t)(pair >> 8), (uint8_t)pair};
        if (updateArchiveChecksum(running, 2, two) == target) {
            bytes.insert(bytes.end(), two, two + 2);
            return;
        }
    }
}

template <typename Row>
inline std::vector<uint8_t> tableBytes(const std::vector<Row>& rows) {
    std::vector<uint8_t> bytes(4 + rows.size() * sizeof(Row));
    writeBigEndian32(bytes.data(), (uint32_t)rows.size());
    if (!rows.empty()) memcpy(bytes.data() + 4, rows.data(), rows.size() * sizeof(Row));
    return bytes;
}

// "lnkdata.bin" (five lead-in bytes, then the index scrambled) or
// "lnkdatas.bin" (the index as it is).
inline std::vector<uint8_t> indexFileBytes(const ArchiveBuilder& b, bool plain) {
    std::vector<uint8_t> index = tableBytes(b.indexRows);
    appendChecksumFixup(index, plain ? ARCHIVE_PLAIN_CHECKSUM : ARCHIVE_SCRAMBLED_CHECKSUM);
    if (plain) return index;
    scrambleArchiveBytes(index.data(), index.size());
    std::vector<uint8_t> file(ARCHIVE_SKIPPED_BYTES, 0);
    file.insert(file.end(), index.begin(), index.end());
    return file;
}

inline std::vector<uint8_t> bmpDataFileBytes(const ArchiveBuilder& b) {
    std::vector<uint8_t> pack = tableBytes(b.bmpRows);
    pack.insert(pack.end(), b.bmpPayloads.begin(), b.bmpPayloads.end());
    appendChecksumFixup(pack, BMP_DATA_CHECKSUM);
    return pack;
}

inline bool writeWholeFile(const std::filesystem::path& path, const uint8_t* bytes, size_t size, std::string& error) {
    FILE* file = fopen(path.c_str(), "wb");
    bool ok = file && (size == 0 || fwrite(bytes, 1, size, file) == size);
    if (file && fclose(file) != 0) ok = false;
    if (!ok) error = "cannot write " + path.string();
    return ok;
}

// Writes the index, the five volumes (the unused ones empty) and the picture
// pack into gameDir. The other form of the index is removed, so the reader
// never picks up a stale one.
inline bool writeArchiveFiles(const ArchiveBuilder& b, const std::filesystem::path& gameDir, bool plain,
                              std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(gameDir / "bin", ec);
    if (ec) {
        error = "cannot make " + (gameDir / "bin").string() + ": " + ec.message();
        return false;
    }
    std::filesystem::remove(gameDir / (plain ? ARCHIVE_INDEX_FILE : ARCHIVE_PLAIN_INDEX_FILE), ec);
    std::vector<uint8_t> index = indexFileBytes(b, plain);
    if (!writeWholeFile(gameDir / (plain ? ARCHIVE_PLAIN_INDEX_FILE : ARCHIVE_INDEX_FILE), index.data(),
                        index.size(), error))
        return false;
    for (int32_t v = 0; v < ARCHIVE_VOLUME_COUNT; ++v) {
        char name[32];
        snprintf(name, sizeof name, ARCHIVE_VOLUME_FORMAT, v);
        size_t start = std::min(b.volumes.size(), (size_t)v * ARCHIVE_VOLUME_SIZE);
        size_t end = std::min(b.volumes.size(), start + ARCHIVE_VOLUME_SIZE);
        if (!writeWholeFile(gameDir / name, b.volumes.data() + start, end - start, error)) return false;
    }
    std::vector<uint8_t> pack = bmpDataFileBytes(b);
    return writeWholeFile(gameDir / BMP_DATA_FILE, pack.data(), pack.size(), error);
}

// A file of the source tree and the entry it becomes.
struct PackedFile {
    std::string name;                // the entry's name
    std::filesystem::path source;
    bool picture;                    // in the picture pack (else the index)
};

// Pictures are the .bmp and .tga files below "bmp/"; their names go into
// the pack in lower case.
inline bool isPicturePath(const std::string& lowerName) {
    auto endsWith = [&](const char* tail) {
        size_t n = strlen(tail);
        return lowerName.size() > n && lowerName.compare(lowerName.size() - n, n, tail) == 0;
    };
    return lowerName.rfind("bmp/", 0) == 0 && (endsWith(".bmp") || endsWith(".tga"));
}

// Every file below sourceDir, sorted by entry name (so an exact name always
// comes before the longer names it begins). Skipped: names starting with '.'
// and the folder's own README.md.
inline bool collectSourceFiles(const std::filesystem::path& sourceDir, std::vector<PackedFile>& files,
                               std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(sourceDir, ec)) {
        error = "the source folder " + sourceDir.string() + " does not exist";
        return false;
    }
    // Absolute, so the files can still be read once the verifier has
    // entered the game folder.
    const std::filesystem::path root = std::filesystem::absolute(sourceDir, ec);
    std::filesystem::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& path = it->path();
        std::string leaf = path.filename().string();
        if (!leaf.empty() && leaf[0] == '.') {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file(ec)) continue;
        std::string name = path.lexically_relative(root).generic_string();
        if (name == "README.md") continue;
        for (char c : name) {
            if (c < 0x20 || c > 0x7E) {
                error = "the path \"" + name + "\" holds bytes other than printable ASCII";
                return false;
            }
        }
        std::string lower = name;
        for (char& c : lower) c = (char)(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        bool picture = isPicturePath(lower);
        files.push_back({picture ? lower : name, path, picture});
    }
    if (ec) {
        error = "cannot list " + sourceDir.string() + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end(), [](const PackedFile& a, const PackedFile& b) { return a.name < b.name; });
    for (size_t i = 1; i < files.size(); ++i) {
        if (files[i].picture && files[i - 1].picture && files[i].name == files[i - 1].name) {
            error = "two pictures differ only in case: " + files[i - 1].source.string() + " and " +
                    files[i].source.string();
            return false;
        }
    }
    return true;
}

inline bool readSourceFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes, std::string& error) {
    FILE* file = fopen(path.c_str(), "rb");
    int32_t length = file ? getFileLength(file) : -1;
    bool ok = length >= 0;
    if (ok) {
        bytes.assign((size_t)length, 0);
        ok = length == 0 || fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    if (file) fclose(file);
    if (!ok) error = "cannot read " + path.string() + (file ? " (or it is 2 GiB or larger)" : "");
    return ok;
}

// Opens the archive in gameDir with the engine's reader and reads every
// entry back, comparing it with its source file.
inline bool verifyGameFolder(const std::filesystem::path& gameDir, const std::vector<PackedFile>& files,
                             std::string& error) {
    char previous[4096];
    if (!getcwd(previous, sizeof previous) || chdir(gameDir.c_str()) != 0) {
        error = "cannot enter " + gameDir.string();
        return false;
    }
    bool ok = openArchive();
    if (!ok) error = "the engine's reader does not accept the archive written to " + gameDir.string();
    std::vector<uint8_t> want, got;
    for (size_t i = 0; ok && i < files.size(); ++i) {
        const PackedFile& f = files[i];
        ok = readSourceFile(f.source, want, error);
        if (!ok) break;
        got.assign(want.size(), 0);
        int32_t size = getArchiveEntrySize(f.name.c_str());
        int32_t read = readArchiveEntry(f.name.c_str(), got.data(), (int32_t)got.size());
        if (size != (int32_t)want.size() || (read != size && !want.empty()) ||
            !std::equal(want.begin(), want.end(), got.begin())) {
            error = "\"" + f.name + "\" does not read back as packed (does another entry's name begin with it?)";
            ok = false;
        }
    }
    if (chdir(previous) != 0 && ok) {
        error = std::string("cannot return to ") + previous;
        ok = false;
    }
    return ok;
}

struct PackSummary {
    int32_t entries;
    int32_t pictures;
    uint64_t unpackedBytes;
    uint64_t packedBytes;     // volume bytes and picture payloads
};

// Packs every file below sourceDir into the archive in gameDir ("lnkdata.bin"
// scrambled, or "lnkdatas.bin" when plain), then verifies it.
inline bool packGameFolder(const std::filesystem::path& sourceDir, const std::filesystem::path& gameDir, bool plain,
                           PackSummary* summary, std::string& error) {
    std::vector<PackedFile> files;
    if (!collectSourceFiles(sourceDir, files, error)) return false;
    ArchiveBuilder builder;
    PackSummary s = {};
    std::vector<uint8_t> bytes;
    for (const PackedFile& f : files) {
        if (!readSourceFile(f.source, bytes, error)) return false;
        bool added = f.picture ? addBmpDataEntry(builder, f.name, bytes.data(), bytes.size(), error)
                               : addIndexEntry(builder, f.name, bytes.data(), bytes.size(), error);
        if (!added) return false;
        ++s.entries;
        s.pictures += f.picture;
        s.unpackedBytes += bytes.size();
    }
    s.packedBytes = builder.volumes.size() + builder.bmpPayloads.size();
    if (!writeArchiveFiles(builder, gameDir, plain, error)) return false;
    if (!verifyGameFolder(gameDir, files, error)) return false;
    if (summary) *summary = s;
    return true;
}
