// tests/test_files.h: whole files, read and written by tests. Header-only
// and on the standard library alone, like tests/temp_folder.h; failures
// throw, and gtest reports the exception as the test's failure.
#pragma once
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// The file's bytes.
inline std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    FILE* in = fopen(path.c_str(), "rb");
    if (!in) throw std::system_error(errno, std::generic_category(), "fopen " + path.string());
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t n;
    while ((n = fread(block, 1, sizeof block, in)) > 0) bytes.insert(bytes.end(), block, block + n);
    bool failed = ferror(in) != 0;
    fclose(in);
    if (failed) throw std::system_error(EIO, std::generic_category(), "read " + path.string());
    return bytes;
}

inline std::string readTextFile(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// Writes the bytes as the file (replacing it), making the folders on the way.
inline void writeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    FILE* out = fopen(path.c_str(), "wb");
    if (!out) throw std::system_error(errno, std::generic_category(), "fopen " + path.string());
    bool wrote = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (fclose(out) != 0 || !wrote) throw std::system_error(EIO, std::generic_category(), "write " + path.string());
}

inline void writeFile(const std::filesystem::path& path, std::string_view text) {
    writeFile(path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}
