#include "platform/profile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

constexpr int32_t PROFILE_PATH_MAX = 4096;
constexpr mode_t PROFILE_NEW_FILE_MODE = 0644;

static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

static char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

// bytes[0, n) against a NUL-terminated name, ignoring ASCII case.
static bool sameName(const char* bytes, int32_t n, const char* name) {
    for (int32_t i = 0; i < n; ++i) {
        if (name[i] == 0 || lowerAscii(bytes[i]) != lowerAscii(name[i])) return false;
    }
    return name[n] == 0;
}

static void trim(const char* bytes, int32_t& begin, int32_t& end) {
    while (begin < end && isBlank(bytes[begin])) ++begin;
    while (end > begin && isBlank(bytes[end - 1])) --end;
}

struct ProfileLine {
    int32_t start;
    int32_t end;       // end of the text, before its line break
    int32_t next;      // start of the next line
    bool hasBreak;     // false only for a last line the file ends inside
};

// The first line break at or after pos (CR LF, LF or CR alone, as editors
// on any system write them), or size; breakLength is 0, 1 or 2.
static int32_t findBreak(const char* bytes, int32_t size, int32_t pos, int32_t& breakLength) {
    for (int32_t i = pos; i < size; ++i) {
        if (bytes[i] == '\n') {
            breakLength = 1;
            return i;
        }
        if (bytes[i] == '\r') {
            breakLength = i + 1 < size && bytes[i + 1] == '\n' ? 2 : 1;
            return i;
        }
    }
    breakLength = 0;
    return size;
}

static bool nextLine(const ProfileText& text, int32_t pos, ProfileLine& line) {
    if (pos >= text.size) return false;
    int32_t breakLength = 0;
    int32_t end = findBreak(text.bytes, text.size, pos, breakLength);
    line.start = pos;
    line.end = end;
    line.next = end + breakLength;
    line.hasBreak = breakLength > 0;
    return true;
}

// Where a key is, or where it would go. Only the first section of a name
// counts, and in it only the first line of a key.
struct KeySpot {
    bool sectionFound;
    int32_t sectionTail;     // a new key goes here: after the section's last non-blank line
    bool tailNeedsBreak;     // that line ends the file without a line break
    bool keyFound;
    bool needsEquals;        // a key line without '='
    int32_t valueStart;      // the value, trimmed (with no '=': empty, after the name)
    int32_t valueEnd;
};

static KeySpot findKey(const ProfileText& text, const char* section, const char* key) {
    KeySpot spot = {};
    // A UTF-8 byte-order mark some editors add is not part of the first line.
    int32_t pos = text.size >= 3 && memcmp(text.bytes, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    ProfileLine line;
    while (nextLine(text, pos, line)) {
        pos = line.next;
        int32_t begin = line.start;
        int32_t end = line.end;
        trim(text.bytes, begin, end);
        if (begin == end) continue;
        if (text.bytes[begin] == '[') {
            if (spot.sectionFound) break;
            const char* close = (const char*)memrchr(text.bytes + begin + 1, ']', (size_t)(end - begin - 1));
            int32_t nameBegin = begin + 1;
            int32_t nameEnd = close ? (int32_t)(close - text.bytes) : end;
            trim(text.bytes, nameBegin, nameEnd);
            if (sameName(text.bytes + nameBegin, nameEnd - nameBegin, section)) {
                spot.sectionFound = true;
                spot.sectionTail = line.next;
                spot.tailNeedsBreak = !line.hasBreak;
            }
            continue;
        }
        if (!spot.sectionFound) continue;
        spot.sectionTail = line.next;
        spot.tailNeedsBreak = !line.hasBreak;
        const char* equals = (const char*)memchr(text.bytes + begin, '=', (size_t)(end - begin));
        int32_t nameEnd = equals ? (int32_t)(equals - text.bytes) : end;
        int32_t nameBegin = begin;
        trim(text.bytes, nameBegin, nameEnd);
        if (!sameName(text.bytes + nameBegin, nameEnd - nameBegin, key)) continue;
        spot.keyFound = true;
        spot.needsEquals = equals == nullptr;
        spot.valueStart = equals ? (int32_t)(equals - text.bytes) + 1 : nameEnd;
        spot.valueEnd = equals ? end : nameEnd;
        trim(text.bytes, spot.valueStart, spot.valueEnd);
        return spot;
    }
    return spot;
}

// The value as the Windows string reader gives it: one pair of enclosing
// quotes, single or double, is dropped. False when the key is missing.
static bool findValue(const ProfileText& text, const char* section, const char* key, int32_t& begin, int32_t& end) {
    if (!text.bytes) return false;
    KeySpot spot = findKey(text, section, key);
    if (!spot.keyFound) return false;
    begin = spot.valueStart;
    end = spot.valueEnd;
    if (end - begin >= 2 && (text.bytes[begin] == '"' || text.bytes[begin] == '\'') &&
        text.bytes[end - 1] == text.bytes[begin]) {
        ++begin;
        --end;
    }
    return true;
}

// Blanks and control bytes, one sign, then decimal digits; the sum wraps at
// 32 bits as the Windows reader's does.
static int32_t parseProfileInt(const char* bytes, int32_t n) {
    int32_t i = 0;
    while (i < n && (unsigned char)bytes[i] <= ' ') ++i;
    bool minus = false;
    if (i < n && (bytes[i] == '+' || bytes[i] == '-')) minus = bytes[i++] == '-';
    uint32_t total = 0;
    for (; i < n && bytes[i] >= '0' && bytes[i] <= '9'; ++i) total = total * 10u + (uint32_t)(bytes[i] - '0');
    return (int32_t)(minus ? 0u - total : total);
}

int32_t profileGetInt(const ProfileText& text, const char* section, const char* key, int32_t fallback) {
    int32_t begin = 0;
    int32_t end = 0;
    if (!findValue(text, section, key, begin, end) || begin == end) return fallback;
    return parseProfileInt(text.bytes + begin, end - begin);
}

int32_t profileGetString(const ProfileText& text, const char* section, const char* key, const char* fallback,
                         char* out, int32_t outSize) {
    if (outSize <= 0) return 0;
    int32_t begin = 0;
    int32_t end = 0;
    // As the Windows reader: no default is an empty one, and a default's
    // trailing blanks are not part of it.
    const char* from = fallback ? fallback : "";
    size_t length = strlen(from);
    while (length > 0 && isBlank(from[length - 1])) --length;
    int32_t n = length < (size_t)outSize ? (int32_t)length : outSize;
    if (findValue(text, section, key, begin, end)) {
        from = text.bytes + begin;
        n = end - begin;
    }
    if (n > outSize - 1) n = outSize - 1;
    memcpy(out, from, (size_t)n);
    out[n] = 0;
    return n;
}

enum ReadResult { READ_OK, READ_MISSING, READ_FAILED };

// Reads a whole regular file of at most PROFILE_MAX_BYTES into a new buffer
// (freed by the caller, also when empty).
static ReadResult readWholeFile(const char* path, char** bytes, int32_t* size, mode_t* mode) {
    *bytes = nullptr;
    *size = 0;
    // Non-blocking, so a pipe in the file's place cannot stall start-up.
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? READ_MISSING : READ_FAILED;
    struct stat st;
    int error = 0;
    if (fstat(fd, &st) != 0) error = errno;
    else if (!S_ISREG(st.st_mode)) error = EINVAL;
    else if (st.st_size > PROFILE_MAX_BYTES) error = EFBIG;
    if (error != 0) {
        close(fd);
        errno = error;
        return READ_FAILED;
    }
    *mode = st.st_mode & 07777;
    char* buffer = (char*)malloc((size_t)st.st_size + 1);
    if (!buffer) {
        close(fd);
        errno = ENOMEM;
        return READ_FAILED;
    }
    int32_t got = 0;
    while (got < (int32_t)st.st_size) {
        ssize_t n = read(fd, buffer + got, (size_t)(st.st_size - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int error = errno;
            free(buffer);
            close(fd);
            errno = error;
            return READ_FAILED;
        }
        if (n == 0) break;   // shrank while being read: take what is there
        got += (int32_t)n;
    }
    close(fd);
    *bytes = buffer;
    *size = got;
    return READ_OK;
}

bool profileLoad(ProfileText& text, const char* path) {
    text = ProfileText{nullptr, 0};
    char* bytes = nullptr;
    int32_t size = 0;
    mode_t mode = 0;
    if (readWholeFile(path, &bytes, &size, &mode) != READ_OK) return false;
    text = ProfileText{bytes, size};
    return true;
}

void profileRelease(ProfileText& text) {
    free((void*)text.bytes);
    text = ProfileText{nullptr, 0};
}

static bool writeAll(int fd, const char* bytes, size_t n) {
    while (n > 0) {
        ssize_t done = write(fd, bytes, n);
        if (done < 0 && errno == EINTR) continue;
        if (done == 0) errno = EIO;
        if (done <= 0) return false;
        bytes += done;
        n -= (size_t)done;
    }
    return true;
}

// Writes beside the old file and renames over it: the old file stays whole
// until the new one is complete on disk. A failure removes the temporary and
// leaves errno at the first call that failed.
static bool replaceFile(const char* path, const char* bytes, size_t n, mode_t mode) {
    char temp[PROFILE_PATH_MAX + 8];
    if (snprintf(temp, sizeof temp, "%s.XXXXXX", path) >= (int)sizeof temp) {
        errno = ENAMETOOLONG;
        return false;
    }
    int fd = mkstemp(temp);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes, n) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(temp, path) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp);
        errno = error;
    }
    return ok;
}

static void put(char* out, size_t& n, const char* bytes, size_t count) {
    if (count == 0) return;   // bytes may be null (no old file)
    memcpy(out + n, bytes, count);
    n += count;
}

static void putText(char* out, size_t& n, const char* text) { put(out, n, text, strlen(text)); }

static bool hasLineBreak(const char* text) { return strpbrk(text, "\r\n") != nullptr; }

bool profileWriteString(const char* path, const char* section, const char* key, const char* value) {
    errno = EINVAL;
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) return false;
    size_t added = strlen(section) + strlen(key) + strlen(value) + 16;
    errno = EFBIG;
    if (added > (size_t)PROFILE_MAX_BYTES) return false;
    char* old = nullptr;
    int32_t oldSize = 0;
    mode_t mode = PROFILE_NEW_FILE_MODE;
    ReadResult read = readWholeFile(path, &old, &oldSize, &mode);
    // An unreadable or oversized file is left alone rather than replaced by
    // one holding a single key.
    if (read == READ_FAILED) return false;
    size_t total = (size_t)oldSize + added;
    char* out = total <= (size_t)PROFILE_MAX_BYTES ? (char*)malloc(total) : nullptr;
    if (!out) {
        free(old);
        errno = total <= (size_t)PROFILE_MAX_BYTES ? ENOMEM : EFBIG;
        return false;
    }

    ProfileText text = {old, oldSize};
    KeySpot spot = old ? findKey(text, section, key) : KeySpot{};
    // New lines take the file's own line breaks; a new file gets CR LF.
    const char* br = "\r\n";
    int32_t breakLength = 0;
    int32_t firstBreak = old ? findBreak(old, oldSize, 0, breakLength) : 0;
    if (breakLength == 1) br = old[firstBreak] == '\r' ? "\r" : "\n";

    size_t n = 0;
    int32_t resume = oldSize;
    if (spot.keyFound) {
        put(out, n, old, (size_t)spot.valueStart);
        if (spot.needsEquals) putText(out, n, "=");
        putText(out, n, value);
        resume = spot.valueEnd;
    } else if (spot.sectionFound) {
        put(out, n, old, (size_t)spot.sectionTail);
        if (spot.tailNeedsBreak) putText(out, n, br);
        putText(out, n, key);
        putText(out, n, "=");
        putText(out, n, value);
        putText(out, n, br);
        resume = spot.sectionTail;
    } else {
        put(out, n, old, (size_t)oldSize);
        if (oldSize > 0 && old[oldSize - 1] != '\n' && old[oldSize - 1] != '\r') putText(out, n, br);
        putText(out, n, "[");
        putText(out, n, section);
        putText(out, n, "]");
        putText(out, n, br);
        putText(out, n, key);
        putText(out, n, "=");
        putText(out, n, value);
        putText(out, n, br);
    }
    if (resume < oldSize) put(out, n, old + resume, (size_t)(oldSize - resume));

    bool ok = replaceFile(path, out, n, mode);
    int error = errno;
    free(out);
    free(old);
    errno = error;
    return ok;
}

bool profileWriteInt(const char* path, const char* section, const char* key, int32_t value) {
    char text[16];
    snprintf(text, sizeof text, "%d", (int)value);
    return profileWriteString(path, section, key, text);
}
