#include "platform/movie.h"

#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/audio.h"
#include "platform/log.h"

constexpr size_t MOVIE_FILE_MAX = (size_t)1 << 30;
constexpr int MOVIE_IO_BUFFER = 1 << 14;
constexpr int64_t MICROS = 1000000;

// The bytes a demuxer reads, through FFmpeg's custom input.
struct MemoryInput {
    const uint8_t* bytes;
    size_t size;
    size_t position;
};

struct Demuxer {
    MemoryInput input;
    AVIOContext* io;
    AVFormatContext* format;
};

struct MovieReader {
    uint8_t* ownedBytes;   // the file read by movieOpenFile
    Demuxer demuxer;
    AVCodecContext* video;
    int32_t stream;
    AVPacket* packet;
    AVFrame* pending;      // decoded, not yet due
    AVFrame* shown;        // the picture in frame
    bool hasPending;
    bool inputEnded;       // the last packet was read; the decoder is flushing
    bool drained;          // the decoder gives no more pictures
    bool changed;          // the frame changed since movieAdvance last said so
    int64_t pendingMicros;
    int64_t shownMicros;
    int64_t firstPts;      // the first picture's time stamp: time 0
    int64_t frameMicros;   // how long a picture stands, from the stream's rate
    SwsContext* scale;
    uint32_t* frame;
    int32_t width;
    int32_t height;
};
static MovieReader sMovie;

static int readMemory(void* opaque, uint8_t* buffer, int size) {
    MemoryInput& in = *(MemoryInput*)opaque;
    size_t left = in.size - in.position;
    if (left == 0) return AVERROR_EOF;
    size_t n = left < (size_t)size ? left : (size_t)size;
    memcpy(buffer, in.bytes + in.position, n);
    in.position += n;
    return (int)n;
}

static int64_t seekMemory(void* opaque, int64_t offset, int whence) {
    MemoryInput& in = *(MemoryInput*)opaque;
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) return (int64_t)in.size;
    int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? (int64_t)in.position : (int64_t)in.size;
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return AVERROR(EINVAL);
    if (offset > (int64_t)in.size || offset < -(int64_t)in.size) return AVERROR(EINVAL);
    int64_t to = base + offset;
    if (to < 0 || to > (int64_t)in.size) return AVERROR(EINVAL);
    in.position = (size_t)to;
    return to;
}

static void closeDemuxer(Demuxer& d) {
    if (d.format) avformat_close_input(&d.format);
    if (d.io) {
        av_freep(&d.io->buffer);
        avio_context_free(&d.io);
    }
    d = Demuxer{};
}

static bool openDemuxer(Demuxer& d, const uint8_t* bytes, size_t size) {
    d = Demuxer{};
    d.input = MemoryInput{bytes, size, 0};
    uint8_t* buffer = (uint8_t*)av_malloc(MOVIE_IO_BUFFER);
    if (!buffer) return false;
    d.io = avio_alloc_context(buffer, MOVIE_IO_BUFFER, 0, &d.input, readMemory, nullptr, seekMemory);
    if (!d.io) {
        av_free(buffer);
        return false;
    }
    d.format = avformat_alloc_context();
    if (!d.format) {
        closeDemuxer(d);
        return false;
    }
    d.format->pb = d.io;
    d.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // A failed open frees the format context itself.
    if (avformat_open_input(&d.format, nullptr, nullptr, nullptr) < 0 ||
        avformat_find_stream_info(d.format, nullptr) < 0) {
        closeDemuxer(d);
        return false;
    }
    return true;
}

// A decoder for the best stream of the kind; one thread, so decoding is the
// same on every machine and starts no threads of its own.
static AVCodecContext* openDecoder(AVFormatContext* format, AVMediaType kind, int32_t* stream) {
    const AVCodec* codec = nullptr;
    int found = av_find_best_stream(format, kind, -1, -1, &codec, 0);
    if (found < 0 || !codec) return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) return nullptr;
    context->thread_count = 1;
    if (avcodec_parameters_to_context(context, format->streams[found]->codecpar) < 0 ||
        avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return nullptr;
    }
    *stream = found;
    return context;
}

// ---- Sound: decoded whole when the movie opens ----

struct SoundBuffer {
    int16_t* samples;   // interleaved stereo
    int64_t frames;
    int64_t capacity;
    int64_t limit;
};

static bool reserveSound(SoundBuffer& b, int64_t frames) {
    if (b.frames + frames <= b.capacity) return true;
    int64_t want = b.capacity ? b.capacity : 65536;
    while (want < b.frames + frames) want *= 2;
    if (want > b.limit) want = b.limit;
    if (want < b.frames + frames) return false;
    int16_t* grown = (int16_t*)realloc(b.samples, (size_t)want * 2 * sizeof(int16_t));
    if (!grown) return false;
    b.samples = grown;
    b.capacity = want;
    return true;
}

// Resamples a frame (null: what the resampler still holds) onto the buffer;
// false once the buffer is full.
static bool resampleInto(SwrContext* swr, const AVFrame* frame, SoundBuffer& b) {
    int in = frame ? frame->nb_samples : 0;
    int out = swr_get_out_samples(swr, in);
    if (out <= 0) return true;
    if (!reserveSound(b, out)) return false;
    uint8_t* dst = (uint8_t*)(b.samples + 2 * b.frames);
    int made = swr_convert(swr, &dst, out, frame ? (const uint8_t**)frame->extended_data : nullptr, in);
    if (made > 0) b.frames += made;
    return true;
}

static bool sameShape(const AVFrame* frame, const AVCodecContext* codec) {
    return frame->format == codec->sample_fmt && frame->sample_rate == codec->sample_rate &&
           frame->ch_layout.nb_channels == codec->ch_layout.nb_channels;
}

static void decodeSound(const uint8_t* bytes, size_t size, int32_t rate, AudioSegment* audio) {
    Demuxer d;
    if (!openDemuxer(d, bytes, size)) return;
    int32_t stream = -1;
    AVCodecContext* codec = openDecoder(d.format, AVMEDIA_TYPE_AUDIO, &stream);
    SwrContext* swr = nullptr;
    AVChannelLayout inLayout = {};
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    bool usable = codec && codec->sample_rate >= AUDIO_RATE_MIN && codec->sample_rate <= AUDIO_RATE_MAX &&
                  codec->ch_layout.nb_channels >= 1 && codec->ch_layout.nb_channels <= 8;
    if (usable) {
        if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&inLayout, codec->ch_layout.nb_channels);
        else
            usable = av_channel_layout_copy(&inLayout, &codec->ch_layout) == 0;
    }
    usable = usable &&
             swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_S16, rate, &inLayout, codec->sample_fmt,
                                 codec->sample_rate, 0, nullptr) == 0 &&
             swr_init(swr) == 0;
    AVPacket* packet = usable ? av_packet_alloc() : nullptr;
    AVFrame* frame = usable ? av_frame_alloc() : nullptr;
    SoundBuffer b = {nullptr, 0, 0, MOVIE_AUDIO_SECONDS_MAX * rate};
    bool room = packet && frame;
    bool inputEnded = false;
    while (room) {
        int got = avcodec_receive_frame(codec, frame);
        if (got == 0) {
            // A frame whose shape changed mid-stream is left out rather than misread.
            if (sameShape(frame, codec)) room = resampleInto(swr, frame, b);
            continue;
        }
        if (got != AVERROR(EAGAIN) || inputEnded) break;
        if (av_read_frame(d.format, packet) < 0) {
            inputEnded = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        // A damaged packet is skipped; the next one may decode.
        if (packet->stream_index == stream) avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
    }
    if (room) resampleInto(swr, nullptr, b);
    if (b.frames > 0 && b.frames <= INT32_MAX) {
        audio->samples = b.samples;
        audio->frames = (int32_t)b.frames;
        audio->channels = 2;
        audio->loop = 0;
    } else {
        free(b.samples);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    swr_free(&swr);
    av_channel_layout_uninit(&inLayout);
    avcodec_free_context(&codec);
    closeDemuxer(d);
}

// ---- Pictures: decoded as they fall due ----

static int64_t pictureMicros(const AVFrame* frame) {
    MovieReader& m = sMovie;
    int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) return m.shownMicros + m.frameMicros;
    if (m.firstPts == AV_NOPTS_VALUE) m.firstPts = pts;
    AVRational base = m.demuxer.format->streams[m.stream]->time_base;
    int64_t micros = av_rescale_q(pts - m.firstPts, base, AVRational{1, (int)MICROS});
    // Time stamps that step back (damaged or reordered) show at once.
    return micros < m.shownMicros ? m.shownMicros : micros;
}

// Decodes the next picture into pending; false when none is left.
static bool decodeNext() {
    MovieReader& m = sMovie;
    for (;;) {
        int got = avcodec_receive_frame(m.video, m.pending);
        if (got == 0) {
            m.pendingMicros = pictureMicros(m.pending);
            m.hasPending = true;
            return true;
        }
        if (got != AVERROR(EAGAIN) || m.inputEnded) {
            m.drained = true;
            return false;
        }
        if (av_read_frame(m.demuxer.format, m.packet) < 0) {
            // The end, or where a damaged file stops reading: what the decoder holds still shows.
            m.inputEnded = true;
            avcodec_send_packet(m.video, nullptr);
            continue;
        }
        if (m.packet->stream_index == m.stream) avcodec_send_packet(m.video, m.packet);
        av_packet_unref(m.packet);
    }
}

// Scales the shown picture into the frame; a picture that cannot be
// converted leaves the frame as it was.
static void convertShown() {
    MovieReader& m = sMovie;
    const AVFrame* f = m.shown;
    if (f->width < 1 || f->height < 1 || f->width > MOVIE_SIDE_MAX || f->height > MOVIE_SIDE_MAX || f->format < 0)
        return;
    m.scale = sws_getCachedContext(m.scale, f->width, f->height, (AVPixelFormat)f->format, m.width, m.height,
                                   AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m.scale) return;
    uint8_t* dst[4] = {(uint8_t*)m.frame, nullptr, nullptr, nullptr};
    int dstStride[4] = {m.width * 4, 0, 0, 0};
    sws_scale(m.scale, f->data, f->linesize, 0, f->height, dst, dstStride);
    m.changed = true;
}

static void takePending() {
    MovieReader& m = sMovie;
    av_frame_unref(m.shown);
    av_frame_move_ref(m.shown, m.pending);
    m.hasPending = false;
    m.shownMicros = m.pendingMicros;
}

static int64_t streamFrameMicros(const AVStream* stream) {
    AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    int64_t micros = rate.num > 0 && rate.den > 0 ? av_rescale(MICROS, rate.den, rate.num) : MICROS / 25;
    if (micros < 1000) return 1000;
    return micros > MICROS ? MICROS : micros;
}

static bool failOpen(const char* why) {
    logLine("The movie cannot be played: %s.", why);
    movieClose();
    return false;
}

bool movieOpenMemory(const uint8_t* bytes, size_t size, int32_t audioRate, AudioSegment* audio) {
    movieClose();
    // Damaged files are reported once, by us, not by each decoder on the way.
    av_log_set_level(AV_LOG_FATAL);
    MovieReader& m = sMovie;
    if (audio) *audio = AudioSegment{};
    if (!bytes || size == 0) return failOpen("the file is empty");
    if (size > INT64_MAX / 2) return failOpen("the file is too large");
    if (!openDemuxer(m.demuxer, bytes, size)) return failOpen("its container cannot be read");
    m.video = openDecoder(m.demuxer.format, AVMEDIA_TYPE_VIDEO, &m.stream);
    if (!m.video) return failOpen("it holds no pictures that can be decoded");
    m.packet = av_packet_alloc();
    m.pending = av_frame_alloc();
    m.shown = av_frame_alloc();
    if (!m.packet || !m.pending || !m.shown) return failOpen("out of memory");
    m.firstPts = AV_NOPTS_VALUE;
    m.frameMicros = streamFrameMicros(m.demuxer.format->streams[m.stream]);
    if (!decodeNext()) return failOpen("its first picture does not decode");
    const AVFrame* first = m.pending;
    if (first->width < 1 || first->height < 1 || first->width > MOVIE_SIDE_MAX || first->height > MOVIE_SIDE_MAX)
        return failOpen("its pictures have no usable size");
    m.width = first->width;
    m.height = first->height;
    m.frame = (uint32_t*)calloc((size_t)m.width * m.height, sizeof(uint32_t));
    if (!m.frame) return failOpen("out of memory");
    m.pendingMicros = 0;
    takePending();
    convertShown();
    if (!m.changed) return failOpen("its first picture cannot be converted");
    if (audio && audioRate > 0) decodeSound(bytes, size, audioRate, audio);
    return true;
}

bool movieOpenFile(FILE* file, int32_t audioRate, AudioSegment* audio) {
    movieClose();
    if (audio) *audio = AudioSegment{};
    long size = -1;
    if (file && fseek(file, 0, SEEK_END) == 0) size = ftell(file);
    if (size <= 0 || (size_t)size > MOVIE_FILE_MAX || fseek(file, 0, SEEK_SET) != 0)
        return failOpen(size == 0 ? "the file is empty" : "the file cannot be read");
    uint8_t* bytes = (uint8_t*)malloc((size_t)size);
    if (!bytes || fread(bytes, 1, (size_t)size, file) != (size_t)size) {
        free(bytes);
        return failOpen("the file cannot be read");
    }
    if (!movieOpenMemory(bytes, (size_t)size, audioRate, audio)) {
        free(bytes);
        return false;
    }
    sMovie.ownedBytes = bytes;
    return true;
}

void movieClose() {
    MovieReader& m = sMovie;
    sws_freeContext(m.scale);
    free(m.frame);
    av_frame_free(&m.shown);
    av_frame_free(&m.pending);
    av_packet_free(&m.packet);
    avcodec_free_context(&m.video);
    closeDemuxer(m.demuxer);
    free(m.ownedBytes);
    m = MovieReader{};
}

bool movieIsOpen() { return sMovie.frame != nullptr; }
int32_t movieWidth() { return sMovie.width; }
int32_t movieHeight() { return sMovie.height; }
const uint32_t* movieFrame() { return sMovie.frame; }

bool movieAdvance(int64_t micros) {
    MovieReader& m = sMovie;
    if (!m.frame) return false;
    bool took = false;
    while ((m.hasPending || (!m.drained && decodeNext())) && m.pendingMicros <= micros) {
        takePending();
        took = true;
    }
    // Pictures that fell due together are shown as the last of them.
    if (took) convertShown();
    bool changed = m.changed;
    m.changed = false;
    return changed;
}

bool movieFinished(int64_t micros) {
    const MovieReader& m = sMovie;
    if (!m.frame) return true;
    return m.drained && !m.hasPending && micros >= m.shownMicros + m.frameMicros;
}
