#include "tests/layering/layering_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

static const char* const SUBSYSTEMS[] = {"shop", "field", "dungeon", "adventurers", "story"};

static bool isSubsystem(const std::string& folder) {
    return std::find(std::begin(SUBSYSTEMS), std::end(SUBSYSTEMS), folder) != std::end(SUBSYSTEMS);
}

static std::string firstFolder(const std::string& path) {
    size_t slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

static bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// What every other folder may include of subsystem sub.
static bool isPublicHeader(const std::string& sub, const std::string& header) {
    return header == sub + "/" + sub + ".h" || header == sub + "/" + sub + "_state.h";
}

// Only data that tools draw or synthesise for.
static bool isToolData(const std::string& sub, const std::string& header) {
    return header == sub + "/" + sub + "_files.h" || endsWith(header, "_cells.h");
}

std::string layeringFault(const std::string& file, const std::string& header) {
    const std::string from = firstFolder(file);
    const std::string to = firstFolder(header);
    if (to.empty() || from.empty()) return {};
    // The folder of the code a file stands for: tests/X/... is X's test.
    std::string owner = from;
    if (from == "tests") owner = firstFolder(file.substr(6));

    if (from == "platform") {
        if (to != "platform") return "the platform includes nothing of the game";
        return {};
    }
    if (from == "engine") {
        if (to != "engine" && to != "platform") return "the engine includes only itself and the platform";
        return {};
    }
    if (from == "tools") {
        if (to == "engine" || to == "platform" || to == "tools") return {};
        if (isSubsystem(to) && isToolData(to, header)) return {};
        return "a tool includes only the engine, the platform and the data names it makes";
    }
    if (isSubsystem(to)) {
        // A fuzz target feeds the very loader it is named after, inside its subsystem.
        if (owner == to || owner == "fuzz") return {};
        // A test finds the files the game names in the data the tools made.
        if (from == "tests" && header == to + "/" + to + "_files.h") return {};
        if (!isPublicHeader(to, header)) return "a private header of " + to + "; use " + to + "/" + to + ".h";
        return {};
    }
    if (isSubsystem(from) && (to == "game" || to == "app" || to == "tests"))
        return "a subsystem includes nothing above it";
    if (from == "game" && (to == "app" || to == "tests")) return "the game includes nothing above it";
    return {};
}

static bool isSourceFile(const fs::path& path) {
    const std::string ext = path.extension().string();
    return ext == ".h" || ext == ".cpp";
}

std::vector<std::string> checkLayering(const std::string& root) {
    static const std::regex INCLUDE(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<std::string> faults;
    std::vector<std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string name = it->path().filename().string();
        if (it->is_directory() && (name == "build" || name == "sampledata" || name[0] == '.')) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && isSourceFile(it->path()))
            files.push_back(fs::relative(it->path(), root).generic_string());
    }
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        std::ifstream in(fs::path(root) / file);
        std::string line;
        std::smatch match;
        while (std::getline(in, line)) {
            if (!std::regex_search(line, match, INCLUDE)) continue;
            std::string why = layeringFault(file, match[1].str());
            if (!why.empty()) faults.push_back(file + ": includes \"" + match[1].str() + "\" (" + why + ")");
        }
    }
    return faults;
}
