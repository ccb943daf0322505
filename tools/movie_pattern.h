// tools/movie_pattern.h: what the project's opening movie shows and sounds
// like, as functions of the picture and sample number: an evening sky that
// darkens from the top, a sun that rises through it, a two-note chord, all
// faded in from black and out again. makemovie encodes it; the reader's
// tests compare what they decode with it. Smooth on purpose, so a lossy
// encoding stays close.
#pragma once
#include <cmath>
#include <cstdint>

struct MovieShape {
    int32_t width;
    int32_t height;
    int32_t fps;
    int32_t frames;
    int32_t audioRate;   // 0: no sound
};

// The game's opening movie: four seconds at half the screen's size; the
// game stretches it over the window.
constexpr MovieShape OPENING_MOVIE = {320, 240, 30, 120, 44100};

// The fade over the first and last half second, 0..1.
inline float moviePatternFade(const MovieShape& s, double seconds) {
    double length = (double)s.frames / s.fps;
    double edge = std::fmin(seconds, length - seconds) / 0.5;
    return (float)std::fmax(0.0, std::fmin(1.0, edge));
}

inline uint32_t moviePatternArgb(const MovieShape& s, int32_t frame, int32_t x, int32_t y) {
    double t = (double)frame / s.fps;
    double length = (double)s.frames / s.fps;
    double u = (double)x / (s.width > 1 ? s.width - 1 : 1);
    double v = (double)y / (s.height > 1 ? s.height - 1 : 1);
    double r = 50.0 + 170.0 * v;
    double g = 30.0 + 100.0 * v * (0.6 + 0.4 * std::sin(t));
    double b = 150.0 - 90.0 * v + 30.0 * u;
    double sunX = 0.5 * s.width, sunY = s.height * (0.9 - 0.5 * t / length);
    double radius = 0.2 * s.height;
    double d = std::hypot(x - sunX, y - sunY) / radius;
    double sun = std::fmax(0.0, std::fmin(1.0, (1.3 - d) / 0.6));
    r += (255.0 - r) * sun;
    g += (215.0 - g) * sun;
    b += (120.0 - b) * sun;
    double fade = moviePatternFade(s, (frame + 0.5) / s.fps);
    auto channel = [fade](double c) { return (uint32_t)std::lround(std::fmax(0.0, std::fmin(255.0, c * fade))); };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
}

// One sample of the chord, -1..1, the same on both sides.
inline float moviePatternSample(const MovieShape& s, int64_t sample) {
    double t = (double)sample / s.audioRate;
    constexpr double TWO_PI = 6.283185307179586;
    double chord = 0.2 * std::sin(TWO_PI * 220.0 * t) + 0.15 * std::sin(TWO_PI * 330.0 * t);
    return (float)(chord * moviePatternFade(s, t));
}
