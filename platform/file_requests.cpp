#include "platform/file_requests.h"

#include <cstdio>
#include <mutex>

struct FileRequestRecord {
    std::mutex lock;
    bool on;
    int32_t total;
    FileRequest kept[FILE_REQUEST_MAX];
};
static FileRequestRecord sRecord;

void fileRequestsRecord(bool on) {
    std::lock_guard<std::mutex> hold(sRecord.lock);
    sRecord.on = on;
    if (on) sRecord.total = 0;
}

void noteFileRequest(const char* path, bool found) {
    std::lock_guard<std::mutex> hold(sRecord.lock);
    if (!sRecord.on) return;
    if (sRecord.total < FILE_REQUEST_MAX) {
        FileRequest& r = sRecord.kept[sRecord.total];
        snprintf(r.path, sizeof r.path, "%s", path ? path : "");
        r.found = found;
    }
    ++sRecord.total;
}

int32_t fileRequestTotal() {
    std::lock_guard<std::mutex> hold(sRecord.lock);
    return sRecord.total;
}

int32_t fileRequestKept() {
    std::lock_guard<std::mutex> hold(sRecord.lock);
    return sRecord.total < FILE_REQUEST_MAX ? sRecord.total : FILE_REQUEST_MAX;
}

FileRequest fileRequestAt(int32_t index) {
    std::lock_guard<std::mutex> hold(sRecord.lock);
    if (index < 0 || index >= sRecord.total || index >= FILE_REQUEST_MAX) return FileRequest{};
    return sRecord.kept[index];
}
