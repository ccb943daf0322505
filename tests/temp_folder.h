// tests/temp_folder.h: a temporary folder for a test, removed with all it
// holds when the object goes, and a guard that changes the working directory
// and changes it back. Header-only and on the standard library alone, so any
// test program or fuzz target can use it whatever it links.
//
//     TempFolder folder("save");                // /tmp/tolli_save_XXXXXX
//     folder.write("data/item.txt", "sword\n");  // makes data/ too
//     WorkingDirectory inside(folder.path());    // back where it was at the end
//
// Failures to make the folder, write a file or change the directory throw
// (gtest reports an exception as the test's failure; a fuzz target aborts).
#pragma once
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

#include "tests/test_files.h"

class TempFolder {
public:
    // Makes <base>/tolli_<what>_XXXXXX.
    explicit TempFolder(std::string_view what, std::string_view base = "/tmp") {
        std::string pattern = std::string(base) + "/tolli_" + std::string(what) + "_XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        mPath = pattern;
    }
    ~TempFolder() { remove(); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's absolute path, without a trailing '/'.
    const std::string& path() const { return mPath; }
    // The path of a file (or folder) in it; name may hold '/'.
    std::string file(std::string_view name) const { return mPath + "/" + std::string(name); }

    // Writes the bytes as the file name (replacing it), making the folders on
    // the way; returns the file's path.
    std::string write(std::string_view name, std::span<const uint8_t> bytes) const {
        std::string to = file(name);
        writeFile(to, bytes);
        return to;
    }
    std::string write(std::string_view name, std::string_view text) const {
        std::string to = file(name);
        writeFile(to, text);
        return to;
    }

    // Removes the folder now, not at the end of the scope (again: nothing).
    // Folders a test made read-only are made writable first.
    void remove() {
        if (mPath.empty()) return;
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(mPath, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::recursive_directory_iterator it(mPath, fs::directory_options::skip_permission_denied, ignored), end;
        for (; it != end; it.increment(ignored)) {
            // Before the iterator goes into it.
            if (it->is_directory(ignored) && !it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(mPath, ignored);
        mPath.clear();
    }

private:
    std::string mPath;
};

// Changes the working directory for a scope and changes it back at its end;
// made with no folder, it only remembers the one it was made in, for code
// that changes directory itself.
class WorkingDirectory {
public:
    WorkingDirectory() : mPrevious(std::filesystem::current_path()) {}
    explicit WorkingDirectory(const std::filesystem::path& folder) : WorkingDirectory() {
        std::filesystem::current_path(folder);
    }
    ~WorkingDirectory() {
        std::error_code error;
        std::filesystem::current_path(mPrevious, error);
        if (error) {
            // Every later test would run in the wrong place.
            fprintf(stderr, "WorkingDirectory: cannot go back to %s: %s\n", mPrevious.c_str(), error.message().c_str());
            abort();
        }
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    const std::filesystem::path& previous() const { return mPrevious; }

private:
    std::filesystem::path mPrevious;
};
