// story/event_script.h: the event-script compiler and the tables it fills.
// An event's script "iv/iv<major>_<minor>.ivt" (a loose file first, else the
// archive) is compiled on the main thread when the event starts, before its
// loader thread loads what the script registered: the steps the event
// runtime executes, the sound clips, pictures, backgrounds and background
// meshes, and the message texts. Compiling always succeeds; every problem is
// shown in a message box and compiling goes on.
#pragma once
#include <cstdint>

#include "engine/meshes.h"
#include "engine/textures.h"
#include "story/story_state.h"

constexpr int32_t EVENT_COMMAND_MAX = 2000;
constexpr int32_t EVENT_SOUND_MAX = 64;
constexpr int32_t EVENT_PICTURE_MAX = 100;
constexpr int32_t EVENT_BACKGROUND_MAX = 100;
constexpr int32_t EVENT_MESH_MAX = 14;
constexpr int32_t EVENT_MESSAGE_LINE_MAX = 1000;
constexpr int32_t EVENT_NAME_BYTES = 256;           // a file name and its NUL
constexpr int32_t EVENT_MESSAGE_LINE_BYTES = 256;   // 255 bytes of text and a NUL
constexpr int32_t EVENT_SCRIPT_LINE_MAX = 510;      // bytes of a script line before its line end
constexpr int32_t EVENT_SCRIPT_BYTES = 65535;       // bytes of a script; the rest is dropped

extern const char EVENT_SCRIPT_PATH_FORMAT[];   // "iv/iv%d_%d.ivt"

// One compiled step: the runtime calls handler(a, b) and goes by its result.
// A null handler is an empty entry; the table is emptied before every
// script, so no step of an earlier script can run.
using EventCommandHandler = int32_t (*)(int32_t a, int32_t b);
struct EventCommand {
    EventCommandHandler handler;
    int32_t a;
    int32_t b;
};
extern EventCommand gEventCommands[EVENT_COMMAND_MAX];

struct EventPicture {
    char name[EVENT_NAME_BYTES];   // empty: an unused entry, not loaded
    int32_t width;                 // the size it is loaded at, pixels
    int32_t height;
    TextureSlot texture;
};
struct EventBackground {
    char name[EVENT_NAME_BYTES];
    TextureSlot texture;
};
struct EventMesh {
    char name[EVENT_NAME_BYTES];
    MeshRecord mesh;
};
// What the script registered, by the index its steps use. The loaded
// textures and meshes belong to the event's loading and drawing; compiling
// only rewrites the names and sizes.
struct EventResources {
    char soundNames[EVENT_SOUND_MAX][EVENT_NAME_BYTES];   // voice-clip paths
    EventPicture pictures[EVENT_PICTURE_MAX];
    EventBackground backgrounds[EVENT_BACKGROUND_MAX];
    EventMesh meshes[EVENT_MESH_MAX];
};
extern EventResources gEventResources;

// Message texts (Shift-JIS), each line ending at its first NUL.
extern char gEventMessageLines[EVENT_MESSAGE_LINE_MAX][EVENT_MESSAGE_LINE_BYTES];

// The counts of the last compilation; the tables hold no more than these.
struct EventScriptCounts {
    int32_t steps;
    int32_t backgrounds;
    int32_t pictures;
    int32_t sounds;
    int32_t meshes;
    int32_t messageLines;
};
extern EventScriptCounts gEventScriptCounts;

// Compiles the script of gEventNumber into the tables above; always 1. A
// script that is missing, empty or without "end:" is reported and compiles
// to a lone end step, so its event ends at once.
int32_t compileEventScript();
// The same for a script already in memory (no NUL needed behind it); name is
// the script's file name, for the messages.
void compileEventScriptText(const char* text, int32_t length, const char* name);
