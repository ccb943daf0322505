#include "tools/movie_writer.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswscale/swscale.h>
}

namespace {

struct Track {
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    int64_t next = 0;   // pts of the next frame, in the codec's time base
};

struct Writer {
    AVFormatContext* format = nullptr;
    Track video, audio;
    SwsContext* scale = nullptr;
    AVPacket* packet = nullptr;
    char* error;
    size_t errorSize;

    bool fail(const char* fmt, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, fmt);
        vsnprintf(error, errorSize, fmt, args);
        va_end(args);
        return false;
    }

    ~Writer() {
        for (Track* t : {&video, &audio}) {
            av_frame_free(&t->frame);
            avcodec_free_context(&t->codec);
        }
        av_packet_free(&packet);
        sws_freeContext(scale);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
};

bool openTrack(Writer& w, Track& t, AVCodecID id, void (*configure)(AVCodecContext*, const MovieShape&),
               const MovieShape& shape) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (!codec) return w.fail("no %s encoder", avcodec_get_name(id));
    t.codec = avcodec_alloc_context3(codec);
    if (!t.codec) return w.fail("out of memory");
    configure(t.codec, shape);
    t.codec->thread_count = 1;
    if (w.format->oformat->flags & AVFMT_GLOBALHEADER) t.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(t.codec, codec, nullptr) < 0) return w.fail("the %s encoder does not open", codec->name);
    t.stream = avformat_new_stream(w.format, nullptr);
    if (!t.stream || avcodec_parameters_from_context(t.stream->codecpar, t.codec) < 0) return w.fail("no stream");
    t.stream->time_base = t.codec->time_base;
    t.frame = av_frame_alloc();
    if (!t.frame) return w.fail("out of memory");
    return true;
}

void configureVideo(AVCodecContext* c, const MovieShape& s) {
    c->width = s.width;
    c->height = s.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, s.fps};
    c->framerate = AVRational{s.fps, 1};
    c->gop_size = s.fps;
    // A fine fixed quantiser: the pattern stays close to what it was drawn as.
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = FF_QP2LAMBDA * 2;
}

void configureAudio(AVCodecContext* c, const MovieShape& s) {
    c->sample_fmt = AV_SAMPLE_FMT_FLTP;
    c->sample_rate = s.audioRate;
    c->time_base = AVRational{1, s.audioRate};
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&c->ch_layout, &stereo);
    c->bit_rate = 128000;
}

// Sends a frame (null: the end) and writes every packet it gives.
bool encode(Writer& w, Track& t, AVFrame* frame) {
    if (avcodec_send_frame(t.codec, frame) < 0) return w.fail("encoding failed");
    for (;;) {
        int got = avcodec_receive_packet(t.codec, w.packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
        if (got < 0) return w.fail("encoding failed");
        av_packet_rescale_ts(w.packet, t.codec->time_base, t.stream->time_base);
        w.packet->stream_index = t.stream->index;
        if (av_interleaved_write_frame(w.format, w.packet) < 0) return w.fail("the file cannot be written");
    }
}

bool encodePicture(Writer& w, const MovieShape& s, std::vector<uint32_t>& argb) {
    Track& t = w.video;
    int32_t index = (int32_t)t.next;
    for (int32_t y = 0; y < s.height; ++y)
        for (int32_t x = 0; x < s.width; ++x) argb[(size_t)y * s.width + x] = moviePatternArgb(s, index, x, y);
    AVFrame* f = t.frame;
    if (av_frame_make_writable(f) < 0) return w.fail("out of memory");
    const uint8_t* src[1] = {(const uint8_t*)argb.data()};
    int stride[1] = {s.width * 4};
    sws_scale(w.scale, src, stride, 0, s.height, f->data, f->linesize);
    f->pts = t.next++;
    return encode(w, t, f);
}

bool encodeSound(Writer& w, const MovieShape& s, int64_t total) {
    Track& t = w.audio;
    AVFrame* f = t.frame;
    if (av_frame_make_writable(f) < 0) return w.fail("out of memory");
    int64_t n = total - t.next < f->nb_samples ? total - t.next : f->nb_samples;
    float* left = (float*)f->data[0];
    float* right = (float*)f->data[1];
    for (int64_t i = 0; i < f->nb_samples; ++i) left[i] = right[i] = i < n ? moviePatternSample(s, t.next + i) : 0.0f;
    f->pts = t.next;
    t.next += f->nb_samples;
    return encode(w, t, f);
}

}  // namespace

bool writePatternMovie(const char* path, const MovieShape& s, char* error, size_t errorSize) {
    Writer w;
    w.error = error;
    w.errorSize = errorSize;
    if (s.width < 2 || s.height < 2 || s.width % 2 || s.height % 2 || s.fps < 1 || s.frames < 1)
        return w.fail("bad movie shape");
    if (avformat_alloc_output_context2(&w.format, nullptr, "asf", path) < 0 || !w.format)
        return w.fail("no ASF writer");
    w.packet = av_packet_alloc();
    if (!w.packet) return w.fail("out of memory");
    if (!openTrack(w, w.video, AV_CODEC_ID_WMV2, configureVideo, s)) return false;
    if (s.audioRate > 0 && !openTrack(w, w.audio, AV_CODEC_ID_WMAV2, configureAudio, s)) return false;

    AVFrame* v = w.video.frame;
    v->format = AV_PIX_FMT_YUV420P;
    v->width = s.width;
    v->height = s.height;
    if (av_frame_get_buffer(v, 0) < 0) return w.fail("out of memory");
    w.scale = sws_getContext(s.width, s.height, AV_PIX_FMT_BGRA, s.width, s.height, AV_PIX_FMT_YUV420P,
                             SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!w.scale) return w.fail("no colour conversion");
    int64_t samples = 0;
    if (w.audio.codec) {
        AVFrame* a = w.audio.frame;
        a->format = AV_SAMPLE_FMT_FLTP;
        a->sample_rate = s.audioRate;
        a->nb_samples = w.audio.codec->frame_size > 0 ? w.audio.codec->frame_size : 1024;
        av_channel_layout_copy(&a->ch_layout, &w.audio.codec->ch_layout);
        if (av_frame_get_buffer(a, 0) < 0) return w.fail("out of memory");
        samples = (int64_t)s.frames * s.audioRate / s.fps;
    }

    if (avio_open(&w.format->pb, path, AVIO_FLAG_WRITE) < 0) return w.fail("cannot write %s", path);
    if (avformat_write_header(w.format, nullptr) < 0) return w.fail("cannot write the header of %s", path);
    std::vector<uint32_t> argb((size_t)s.width * s.height);
    // Pictures and sound in time order, as a player reads them.
    for (;;) {
        bool pictureLeft = w.video.next < s.frames;
        bool soundLeft = w.audio.codec && w.audio.next < samples;
        if (!pictureLeft && !soundLeft) break;
        bool picture = pictureLeft && (!soundLeft || av_compare_ts(w.video.next, w.video.codec->time_base,
                                                                   w.audio.next, w.audio.codec->time_base) <= 0);
        if (picture ? !encodePicture(w, s, argb) : !encodeSound(w, s, samples)) return false;
    }
    if (!encode(w, w.video, nullptr)) return false;
    if (w.audio.codec && !encode(w, w.audio, nullptr)) return false;
    if (av_write_trailer(w.format) < 0) return w.fail("cannot finish %s", path);
    return true;
}
