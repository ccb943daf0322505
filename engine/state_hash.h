// engine/state_hash.h: the hash that tells two runs of the game apart.
// Every folder's state table hashes its records through it (see
// state_table.h); the game's registry walks the tables in one order.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// 64-bit FNV-1a, continued from hash.
constexpr uint64_t FNV64_OFFSET = 0xCBF29CE484222325ull;
constexpr uint64_t FNV64_PRIME = 0x00000100000001B3ull;
uint64_t fnv1a64(const void* bytes, size_t size, uint64_t hash = FNV64_OFFSET);

enum ChecksumScope : int32_t {
    CHECKSUM_ALL = 0,     // everything the state tables hash
    // Leaves out what moves once per drawn frame (the frame counter, the
    // overlay's render counter, the captured-frame flag, the loading sign's
    // turn, the slot list's frame count), so runs that differ only in frame
    // skip can be compared.
    CHECKSUM_TICKS = 1,
};

// One row's own hash, to tell where two runs part.
struct StateSection {
    const char* name;
    uint64_t checksum;
};

// Feeds values into the hash as little-endian bytes, floats by their bits.
// A record goes in whole only when it has no padding and no float (whose
// bits may differ while comparing equal), so no byte of it is undefined.
struct StateHash {
    uint64_t hash = FNV64_OFFSET;
    StateSection* sections = nullptr;
    int32_t sectionMax = 0;
    int32_t sectionCount = 0;

    void add(const void* bytes, size_t size) {
        hash = fnv1a64(bytes, size, hash);
        if (sectionCount > 0 && sectionCount <= sectionMax) {
            StateSection& s = sections[sectionCount - 1];
            s.checksum = fnv1a64(bytes, size, s.checksum);
        }
    }
    void u32(uint32_t v) {
        unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16),
                              (unsigned char)(v >> 24)};
        add(b, 4);
    }
    void i32(int32_t v) { u32((uint32_t)v); }
    void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
    template <typename T>
    void record(const T& r) {
        static_assert(std::has_unique_object_representations_v<T>, "a record hashed whole has no padding and no float");
        static_assert(std::endian::native == std::endian::little);
        add(&r, sizeof r);
    }
    // A text buffer up to its end: what lies past it may be left from before.
    void text(const char* s, size_t capacity) {
        size_t n = strnlen(s, capacity);
        u32((uint32_t)n);
        add(s, n);
    }
    // Starts a section; its name goes into the hash, so values cannot slide
    // from one section into the next.
    void tag(const char* name) {
        if (sectionCount < sectionMax) sections[sectionCount] = StateSection{name, FNV64_OFFSET};
        ++sectionCount;
        add(name, strlen(name) + 1);
    }
};
