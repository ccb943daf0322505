// platform/file_requests.h: a record of the data files a run asks for,
// packed or loose, and whether each was there. Off until a caller starts
// it (a test or a check run); the record has a fixed size, so keeping it
// allocates nothing, and any thread may note a request.
#pragma once
#include <cstdint>

constexpr int32_t FILE_REQUEST_MAX = 4096;
constexpr int32_t FILE_REQUEST_PATH_BYTES = 128;

struct FileRequest {
    char path[FILE_REQUEST_PATH_BYTES];   // cut to fit
    bool found;
};

// Starts (and empties) or stops the record.
void fileRequestsRecord(bool on);
// Notes one request while the record runs; once it is full, only the
// count goes on.
void noteFileRequest(const char* path, bool found);
// Requests noted since the start, the kept ones first to last.
int32_t fileRequestTotal();
int32_t fileRequestKept();
FileRequest fileRequestAt(int32_t index);
