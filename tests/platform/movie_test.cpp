// The movie reader on movies encoded here from the pattern: the pictures and
// sound it decodes against what was drawn, pictures falling due with time,
// and damaged files.
#include "platform/movie.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/audio.h"
#include "tests/temp_folder.h"
#include "tools/movie_writer.h"

// Ten pictures a second for 0.8 s, with sound: small enough to be quick,
// large enough for the encoder's blocks.
constexpr MovieShape TINY = {64, 48, 10, 8, 22050};
constexpr int32_t DEVICE_RATE = 48000;

static std::vector<uint8_t> encodeMovie(const MovieShape& shape) {
    TempFolder folder("movie");
    std::string path = folder.file("movie.wmv");
    char error[256] = "";
    EXPECT_TRUE(writePatternMovie(path.c_str(), shape, error, sizeof error)) << error;
    return readFile(path);
}

static const std::vector<uint8_t>& tinyMovie() {
    static const std::vector<uint8_t> bytes = encodeMovie(TINY);
    return bytes;
}

// Mean and largest difference per channel between the frame and the pattern's picture.
struct PictureError {
    double mean;
    int32_t largest;
};
static PictureError compareWithPattern(const uint32_t* frame, const MovieShape& s, int32_t index) {
    double sum = 0;
    int32_t largest = 0;
    for (int32_t y = 0; y < s.height; ++y) {
        for (int32_t x = 0; x < s.width; ++x) {
            uint32_t got = frame[y * s.width + x], want = moviePatternArgb(s, index, x, y);
            for (int32_t shift : {0, 8, 16}) {
                int32_t d = std::abs((int32_t)(got >> shift & 0xFF) - (int32_t)(want >> shift & 0xFF));
                sum += d;
                if (d > largest) largest = d;
            }
        }
    }
    return {sum / (3.0 * s.width * s.height), largest};
}

class MovieReader : public ::testing::Test {
protected:
    void TearDown() override {
        movieClose();
        audioFreeSegment(&mSound);
    }
    AudioSegment mSound = {};
};

TEST_F(MovieReader, DecodedPicturesMatchTheirGeneratorAsTheirTimeComes) {
    const std::vector<uint8_t>& bytes = tinyMovie();
    ASSERT_TRUE(movieOpenMemory(bytes.data(), bytes.size(), 0, &mSound));
    ASSERT_EQ(movieWidth(), TINY.width);
    ASSERT_EQ(movieHeight(), TINY.height);
    EXPECT_EQ(mSound.samples, nullptr);   // no device rate: the sound is left alone
    // The first picture is there at once; the next ones come at 100 ms apart.
    EXPECT_TRUE(movieAdvance(0));
    EXPECT_FALSE(movieAdvance(99999));
    for (int32_t index : {0, 1, 4, 7}) {
        if (index > 0) {
            EXPECT_TRUE(movieAdvance(index * 100000)) << "picture " << index;
        }
        PictureError e = compareWithPattern(movieFrame(), TINY, index);
        EXPECT_LT(e.mean, 4.0) << "picture " << index;
        EXPECT_LT(e.largest, 48) << "picture " << index;
        // Not the picture before: the comparison tells pictures apart.
        if (index > 0) {
            EXPECT_GT(compareWithPattern(movieFrame(), TINY, index - 1).mean, e.mean) << index;
        }
    }
    EXPECT_FALSE(movieFinished(799999));
    EXPECT_TRUE(movieFinished(800000));
}

TEST_F(MovieReader, PicturesDueTogetherShowTheLast) {
    const std::vector<uint8_t>& bytes = tinyMovie();
    ASSERT_TRUE(movieOpenMemory(bytes.data(), bytes.size(), 0, &mSound));
    EXPECT_TRUE(movieAdvance(550000));
    EXPECT_LT(compareWithPattern(movieFrame(), TINY, 5).mean, 4.0);
    EXPECT_FALSE(movieFinished(10000000));   // the pictures after it are not decoded yet
    EXPECT_TRUE(movieAdvance(10000000));
    EXPECT_TRUE(movieFinished(10000000));
}

TEST_F(MovieReader, SoundIsDecodedWholeAtTheDeviceRate) {
    const std::vector<uint8_t>& bytes = tinyMovie();
    ASSERT_TRUE(movieOpenMemory(bytes.data(), bytes.size(), DEVICE_RATE, &mSound));
    ASSERT_NE(mSound.samples, nullptr);
    EXPECT_EQ(mSound.channels, 2);
    EXPECT_EQ(mSound.loop, 0);
    // 0.8 s, give or take the encoder's last block.
    EXPECT_GE(mSound.frames, DEVICE_RATE * 8 / 10 - DEVICE_RATE / 20);
    EXPECT_LE(mSound.frames, DEVICE_RATE * 8 / 10 + DEVICE_RATE / 5);
    // Loud in the middle, where the fades leave the chord whole; silent at the start.
    int32_t middle = 0, start = 0;
    for (int32_t i = 0; i < DEVICE_RATE / 20; ++i) {
        middle = std::max(middle, std::abs((int32_t)mSound.samples[2 * (DEVICE_RATE * 4 / 10 + i)]));
        start = std::max(start, std::abs((int32_t)mSound.samples[2 * i]));
    }
    EXPECT_GT(middle, 32767 * 0.15);   // the chord peaks near 0.25 there
    EXPECT_LT(start, 32767 * 0.1);
}

TEST_F(MovieReader, OpensFromAFileAndReadsItOnce) {
    TempFolder folder("movie");
    std::string path = folder.write("tolli_op.wmv", tinyMovie());
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(movieOpenFile(file, DEVICE_RATE, &mSound));
    fclose(file);
    // The reader holds its own copy: the file may go.
    folder.remove();
    EXPECT_TRUE(movieAdvance(800000));
    EXPECT_LT(compareWithPattern(movieFrame(), TINY, 7).mean, 4.0);
    EXPECT_NE(mSound.samples, nullptr);
}

// Files that hold no picture to show are refused, leaving nothing open and
// no sound; a movie cut short after its header plays what it holds and ends.
TEST_F(MovieReader, DamagedFilesFailCleanly) {
    const std::vector<uint8_t>& whole = tinyMovie();
    std::vector<uint8_t> garbage(4096);
    srand(7);
    for (uint8_t& b : garbage) b = (uint8_t)rand();
    std::vector<uint8_t> scrambled = whole;   // the header kept, every picture's bytes scrambled
    for (size_t i = scrambled.size() / 4; i < scrambled.size(); ++i) scrambled[i] ^= (uint8_t)(i * 37 + 11);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case REFUSED[] = {
        {"empty", {}},
        {"a few bytes", std::vector<uint8_t>(whole.begin(), whole.begin() + 16)},
        {"cut inside the header", std::vector<uint8_t>(whole.begin(), whole.begin() + 300)},
        {"garbage", garbage},
    };
    for (const Case& c : REFUSED) {
        AudioSegment sound = {};
        EXPECT_FALSE(movieOpenMemory(c.bytes.data(), c.bytes.size(), DEVICE_RATE, &sound)) << c.what;
        EXPECT_FALSE(movieIsOpen()) << c.what;
        EXPECT_EQ(movieFrame(), nullptr) << c.what;
        EXPECT_EQ(sound.samples, nullptr) << c.what;
        EXPECT_FALSE(movieAdvance(1000000)) << c.what;
        EXPECT_TRUE(movieFinished(0)) << c.what;
    }
    for (size_t keep : {whole.size() / 2, whole.size() - 7}) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + keep);
        AudioSegment sound = {};
        if (!movieOpenMemory(cut.data(), cut.size(), DEVICE_RATE, &sound)) continue;
        int64_t micros = 0;
        while (!movieFinished(micros) && micros < 5000000) {
            movieAdvance(micros);
            micros += 50000;
        }
        EXPECT_TRUE(movieFinished(micros)) << "cut at " << keep;
        movieClose();
        audioFreeSegment(&sound);
    }
    AudioSegment sound = {};
    if (movieOpenMemory(scrambled.data(), scrambled.size(), DEVICE_RATE, &sound)) {
        for (int64_t micros = 0; !movieFinished(micros) && micros < 5000000; micros += 50000) movieAdvance(micros);
        EXPECT_TRUE(movieFinished(5000000));
    }
    movieClose();
    audioFreeSegment(&sound);
}
