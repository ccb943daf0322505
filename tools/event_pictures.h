// tools/event_pictures.h: the pictures of the story scenes that the picture
// tool draws: the message window sheet (balloons and the confirm cursor
// where the event drawing reads them), the name plates in their cells, and
// the scenes' own backgrounds and portraits.
#pragma once
#include <cstdint>

#include "tools/picture_canvas.h"

struct EventPictureFile {
    const char* path;
    int32_t width;
    int32_t height;
    Canvas (*draw)();
};
extern const EventPictureFile EVENT_PICTURES[];
extern const int32_t EVENT_PICTURE_FILE_COUNT;

// The speakers' name plates by cell, as the scenes' "msg:" lines name them.
enum EventNameCell : int32_t {
    EVENT_NAME_SAFFIEL = 0,   // the heroine
    EVENT_NAME_YOSS = 1,      // the fairy
    EVENT_NAME_CLERK = 2,     // the merchants' guild's clerk
    EVENT_NAME_MASTER = 3,    // the guild master
    EVENT_NAME_PRIEST = 4,
    EVENT_NAME_BARKEEP = 5,
};
