#include "engine/sound.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "engine/debug_text.h"
#include "engine/frame_loop.h"
#include "engine/game_folder.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/scene_hooks.h"
#include "engine/stage_index.h"
#include "platform/log.h"
#include "platform/thread.h"
#include "platform/window.h"

const char* const MUSIC_FILES[MUSIC_TRACK_COUNT] = {
    "bgm/satitle2010.wav", "bgm/town.wav",     "bgm/sougen.wav",      "bgm/cave.wav",    "bgm/forest.wav",
    "bgm/ruins.wav",       "bgm/boss.wav",     "bgm/over.wav",        "bgm/open.wav",    "bgm/close.wav",
    "bgm/treasure.wav",    "bgm/fanfare.wav",  "bgm/ed.wav",          "bgm/clear.wav",   "bgm/night02.wav",
    "bgm/rival.wav",       "bgm/lastboss02.wav", "bgm/lastd01.wav",   "bgm/feaver.wav",  "bgm/staff.wav",
    "bgm/water.wav",
};

const int32_t SOUND_EFFECT_TABLE[SOUND_EFFECT_COUNT] = {
    317, 318, 309, 319, 320, 321, 322, 323, 324, 325, 326, 327, 328,                 // 309 names no sound
    330, 331, 332, 333, 334, 335, 336, 337, 338, 339, 340, 341, 342,
    343, 344, 345, 346, 347, 348, 349, 350, 351, 352, 353, 354, 355,
    358, 357, 359, 360, 361, 362, 363, 364, 365, 366, 367, 368, 369,
    370, 371, 372, 373, 374, 375, 376, 377, 378, 379, 380, 381, 382,
    383, 384, 385, 386, 669, 670, 671, 672, 673, 674, 675, 676, 677,
    678, 679, 680, 681, 682, 683, 684, 685, 686, 687, 688, 689, 690,
    691, 692, 693, 694, 695, 696, 697, 698, 699, 700, 701, 702, 703,
    704, 705, 706, 708, 709, 710,
};

SoundState gSound;
AudioSegment gEffectSegments[SOUND_EFFECT_COUNT];
int32_t gCurrentTrack = -1;
int32_t gForcedTrack = -1;
int32_t gKeepEventMusic;
int32_t gMusicFadeRequest;
int32_t gMusicFadeDirection;
int32_t gMusicFadeFrame;
int32_t gMusicFadeFrames = 600;
float gMusicFadeFactor = 1.0f;
int32_t gReportMusicFlag;
int32_t gBossMusicFlag;

static void resetMusicState();

constexpr double LEVEL_ANGLE = 1.2566371;    // level 0 would sit two fifths of a half turn from level 9
constexpr double QUARTER_TURN = 1.5707964;
constexpr int32_t MUSIC_KEEP = -1;           // a choice that leaves the music as it plays
constexpr int32_t MUSIC_UPDATE_ENDS = -3;    // a choice that ends the update: no change, no fade step

// The music of the field stages by stage code; the shop's are chosen by
// whether the shop is open.
constexpr int32_t STAGE_MUSIC[STAGE_CODE_COUNT] = {
    -1, -1, -1, -1, -1,   // "0-1" .. "0-5": the shop
    5, 4, 20, MUSIC_KEEP, 5, 3, 3, 20, 2, 4, 4, 2, 17, 17, 17, 17,
};

bool musicTrackLoops(int32_t track) { return track != 10 && track != 11 && track != 13 && track != 19; }

// The formulas go past the device's range at their ends (a level's volume
// scaled by a factor, a fade on top of it), so they stop at its edges.
static int32_t truncateVolume(double centibels) {
    if (!(centibels > AUDIO_VOLUME_SILENT)) return AUDIO_VOLUME_SILENT;
    if (centibels >= 0.0) return 0;
    return (int32_t)centibels;
}

int32_t clampVolume(int32_t centibels) { return truncateVolume(centibels); }

static double levelCurve(int32_t level) { return std::cos((9 - level) * LEVEL_ANGLE / 9); }

int32_t levelVolume(int32_t level, double factor) {
    if (level <= 0) return AUDIO_VOLUME_SILENT;
    return truncateVolume(levelCurve(level) * factor * 9600.0 - 9600.0);
}

int32_t fadeVolume(int32_t level, int32_t direction, int32_t frame, int32_t frames) {
    if (level <= 0) return AUDIO_VOLUME_SILENT;
    if (frames < 1) frames = 1;
    int32_t step = direction == MUSIC_FADE_OUT ? frame : frames - frame;
    double angle = step * QUARTER_TURN / frames;
    return truncateVolume(std::cos(angle) * levelCurve(level) * 9600.0 - 9600.0);
}

void resetSoundState() {
    memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
    resetMusicState();
}

static void resetMusicState() {
    gCurrentTrack = -1;
    gForcedTrack = -1;
    gKeepEventMusic = 0;
    gMusicFadeRequest = MUSIC_FADE_NONE;
    gMusicFadeDirection = MUSIC_FADE_NONE;
    gMusicFadeFrame = 0;
    gMusicFadeFrames = 600;
    gMusicFadeFactor = 1.0f;
    gReportMusicFlag = 0;
    gBossMusicFlag = 0;
}

// Start-up decodes the sounds on a worker while the graphics device starts,
// aiming at the rate the sound device is expected to open at; initSound
// takes the batch when the device did open at that rate.
constexpr int32_t SOUND_JOB_MAX = MUSIC_TRACK_COUNT + SOUND_EFFECT_COUNT;
struct SoundPrefetch {
    WorkerThread worker;
    int32_t rate;                             // 0: nothing decoded ahead
    AudioSegment music[MUSIC_TRACK_COUNT];
    AudioSegment effects[SOUND_EFFECT_COUNT];
    AudioLoadJob jobs[SOUND_JOB_MAX];
    int32_t jobCount;
};
static SoundPrefetch sPrefetch;
static char sEffectPaths[SOUND_EFFECT_COUNT][sizeof gModuleDir + 32];

// Lists every file in the table's order, into these segments.
static int32_t listSoundJobs(AudioLoadJob* jobs, AudioSegment* music, AudioSegment* effects) {
    int32_t jobCount = 0;
    for (int32_t track = 0; track < MUSIC_TRACK_COUNT; ++track)
        jobs[jobCount++] = AudioLoadJob{MUSIC_FILES[track], musicTrackLoops(track), &music[track], false};
    for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot) {
        // The effects are the program's own: they are found beside it,
        // wherever the game was started from.
        char name[32];
        snprintf(name, sizeof name, SOUND_EFFECT_FILE_FORMAT, SOUND_EFFECT_TABLE[slot]);
        snprintf(sEffectPaths[slot], sizeof sEffectPaths[slot], "%s%s", getModuleDir(), name);
        // A number the program has no sound for leaves its slot empty.
        if (access(sEffectPaths[slot], F_OK) != 0) continue;
        jobs[jobCount++] = AudioLoadJob{sEffectPaths[slot], false, &effects[slot], false};
    }
    return jobCount;
}

static void decodePrefetch(void*) { audioLoadWavFiles(sPrefetch.jobs, sPrefetch.jobCount, sPrefetch.rate); }

static void freePrefetch() {
    for (AudioSegment& segment : sPrefetch.music) audioFreeSegment(&segment);
    for (AudioSegment& segment : sPrefetch.effects) audioFreeSegment(&segment);
    sPrefetch.rate = 0;
    sPrefetch.jobCount = 0;
}

void startSoundPrefetch() {
    dropSoundPrefetch();
    sPrefetch.rate = audioExpectedRate();
    if (sPrefetch.rate <= 0) return;
    sPrefetch.jobCount = listSoundJobs(sPrefetch.jobs, sPrefetch.music, sPrefetch.effects);
    // Without a thread initSound decodes them itself.
    if (!threadStart(sPrefetch.worker, decodePrefetch, nullptr)) freePrefetch();
}

void dropSoundPrefetch() {
    threadJoin(sPrefetch.worker);
    freePrefetch();
}

bool initSound() {
    threadJoin(sPrefetch.worker);
    unloadSounds();
    shutdownSound();
    resetMusicState();
    if (!audioOpen()) {
        dropSoundPrefetch();
        return false;
    }
    // Everything is decoded in one batch; a failure is told for the first
    // file in the table's order, as if they had loaded one by one.
    AudioLoadJob jobs[SOUND_JOB_MAX];
    int32_t jobCount = listSoundJobs(jobs, gSound.music, gEffectSegments);
    if (sPrefetch.rate == audioRate() && sPrefetch.jobCount == jobCount) {
        for (int32_t j = 0; j < jobCount; ++j) {
            *jobs[j].out = *sPrefetch.jobs[j].out;
            *sPrefetch.jobs[j].out = AudioSegment{};
            jobs[j].loaded = sPrefetch.jobs[j].loaded;
        }
        freePrefetch();
    } else {
        dropSoundPrefetch();
        audioLoadWavFiles(jobs, jobCount, audioRate());
    }
    bool loaded = true;
    for (int32_t j = 0; j < jobCount && loaded; ++j) {
        loaded = jobs[j].loaded;
        if (loaded) continue;
        if (j < MUSIC_TRACK_COUNT) logLine("No sound: the music \"%s\" could not be loaded.", jobs[j].path);
        else logLine("No sound: the sound effect \"%s\" could not be loaded.", jobs[j].path);
    }
    if (!loaded) {
        unloadSounds();
        shutdownSound();
        return false;
    }
    gSound.ready = 1;
    return true;
}

void queueSoundEffectSlot(int32_t slot) {
    if (slot >= 0 && slot < SOUND_EFFECT_COUNT) gSound.effectRequests[slot] = 1;
}

void playSoundEffect(int32_t number) {
    if (!gSound.ready) return;
    for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot) {
        if (SOUND_EFFECT_TABLE[slot] == number) {
            queueSoundEffectSlot(slot);
            return;
        }
    }
}

// An effect requested again while it plays starts over; different effects overlap.
static void startEffectSlot(int32_t slot) {
    if (!gSound.ready || !gEffectSegments[slot].samples) return;
    audioSetVolume(AUDIO_PATH_EFFECTS, levelVolume(gOptionSoundLevel, 1.0));
    audioPlay(&gEffectSegments[slot], AUDIO_PATH_EFFECTS, false);
}

static void stopMusicFade() {
    gMusicFadeDirection = MUSIC_FADE_NONE;
    gMusicFadeFrame = 0;
}

static int32_t titleMusicTrack(const MusicInputs& in) {
    int32_t idle = in.titleIdleTicks;
    if (idle < TITLE_MUSIC_FADE_TICK) {
        gMusicFadeFactor = 1.0f;
        applyMusicVolume();
        return in.titleMusicOverride != -1 ? in.titleMusicOverride : 0;
    }
    if (idle < TITLE_MUSIC_STOP_TICK) {
        float factor = 1.0f - (float)(idle - (TITLE_MUSIC_FADE_TICK - 1)) / 600.0f;
        gMusicFadeFactor = factor > 0.0f ? factor : 0.0f;
        applyMusicVolume();
        return MUSIC_KEEP;
    }
    return idle == TITLE_MUSIC_STOP_TICK ? MUSIC_STOP_ALL : MUSIC_UPDATE_ENDS;
}

static int32_t fieldMusicTrack(const MusicInputs& in) {
    if (gReportMusicFlag) return 11;
    if (in.runEndTimer >= 1) return in.runEndState == 1 ? 7 : 13;
    if (in.specialMusicTimer >= 1) return 10;
    if (gStageIndex < 0 || gStageIndex >= STAGE_CODE_COUNT) return MUSIC_KEEP;
    const StageRecord& stage = gStages[gStageIndex];
    int32_t code = stage.stageCode;
    if (code < 0 || code >= STAGE_CODE_COUNT) return MUSIC_KEEP;
    int32_t track = STAGE_MUSIC[code];
    if (code <= SHOP_STAGE_LAST) track = !in.shopOpen ? 9 : (in.trendBannerShown ? 18 : 8);
    if (gGameMode == GAME_MODE_FIELD && stage.maptype > 0) {
        if (gBossMusicFlag) track = code == 17 || code == 19 ? 16 : 6;
        else if ((in.dungeonIndex == 4 && gFloorIndex >= 95) || (in.dungeonIndex == 3 && gFloorIndex >= 45)) track = 17;
    }
    return track;
}

static int32_t chooseMusicTrack() {
    MusicInputs in = {};
    in.titleMusicOverride = -1;
    in.eventMajor = -1;
    if (gSceneHooks.readMusicInputs) gSceneHooks.readMusicInputs(in);
    if (gForcedTrack != -1) {
        stopMusicFade();
        return gForcedTrack;
    }
    if (gGameMode == GAME_MODE_OVERLAY) return gReportMusicFlag ? 11 : MUSIC_UPDATE_ENDS;
    // The event 0-1 has the game-over music.
    if (gEventReady != 0 && in.eventMajor == 0 && in.eventMinor == 1) return 7;
    switch (gGameMode) {
    case GAME_MODE_ENDING_SAVE: return MUSIC_UPDATE_ENDS;   // the music is left alone
    case GAME_MODE_TITLE: return titleMusicTrack(in);
    case GAME_MODE_MARKET:
    case GAME_MODE_WORLD_MAP:
    case GAME_MODE_DEPARTURE:
    case GAME_MODE_CHURCH:
    case GAME_MODE_PLAZA:
    case GAME_MODE_TAVERN:
    case GAME_MODE_PLAZA_IDLE: return 1;   // the town's scenes
    default: return fieldMusicTrack(in);
    }
}

static void stepMusicFade() {
    if (gMusicFadeDirection == MUSIC_FADE_NONE) {
        gMusicFadeFrame = 0;
        return;
    }
    // A script's fade of no length would divide by zero; it ends at once instead.
    int32_t frames = gMusicFadeFrames > 0 ? gMusicFadeFrames : 1;
    if (gMusicFadeFrame < frames) ++gMusicFadeFrame;
    int32_t volume = fadeVolume(gOptionMusicLevel, gMusicFadeDirection, gMusicFadeFrame, frames);
    char text[32];
    snprintf(text, sizeof text, "VOL %d     ", volume);
    printDebugText(0, 14, text);
    if (gMusicFadeFrame >= frames) stopMusicFade();
    audioSetVolume(AUDIO_PATH_MUSIC, volume);
}

void updateSound() {
    for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot) {
        if (!gSound.effectRequests[slot]) continue;
        gSound.effectRequests[slot] = 0;
        startEffectSlot(slot);
    }
    if (gMusicFadeRequest != MUSIC_FADE_NONE) {
        gMusicFadeDirection = gMusicFadeRequest;
        gMusicFadeRequest = MUSIC_FADE_NONE;
    }
    // The choice runs while a scene loads too: the loader's thread writes
    // none of what it reads (the scene is entered at the loader's end).
    if (gEventReady == 0) {
        stopMusicFade();
        if (!gKeepEventMusic) gForcedTrack = -1;
    }
    int32_t track = chooseMusicTrack();
    if (track == MUSIC_UPDATE_ENDS) return;
    // A new track waits for the scene that loads.
    if (track != gCurrentTrack && !isSceneLoading()) {
        if (track == MUSIC_KEEP) gCurrentTrack = -1;
        else playMusicTrack(track);
    }
    stepMusicFade();
}

bool playMusicTrack(int32_t track) {
    if (!gSound.ready) return false;
    if (track == MUSIC_STOP_ALL) {
        audioStopAll();
        return false;
    }
    if (track == gCurrentTrack) return false;
    gCurrentTrack = track;
    if (track < 0 || track >= MUSIC_TRACK_COUNT || !gSound.music[track].samples) return false;
    if (gMusicFadeDirection == MUSIC_FADE_NONE) applyMusicVolume();
    audioPlay(&gSound.music[track], AUDIO_PATH_MUSIC, true);
    return true;
}

void applyMusicVolume() {
    if (!gSound.ready) return;
    audioSetVolume(AUDIO_PATH_MUSIC, levelVolume(gOptionMusicLevel, gMusicFadeFactor));
}

bool playVoice(const char* path) {
    if (!gSound.ready || !path) return false;
    audioFreeSegment(&gSound.voice);
    if (!audioLoadWavFile(path, audioRate(), false, &gSound.voice)) {
        showMessageBox(path, "file not found", MESSAGE_BOX_OK);
        return false;
    }
    audioSetVolume(AUDIO_PATH_VOICE, levelVolume(gOptionVoiceLevel, 1.0));
    audioPlay(&gSound.voice, AUDIO_PATH_VOICE, true);
    return true;
}

void stopVoice() {
    if (gSound.ready) audioFreeSegment(&gSound.voice);
}

void fadeOutMusic(int32_t frames) {
    gMusicFadeRequest = MUSIC_FADE_OUT;
    gMusicFadeFrames = frames;
}

void fadeInMusic(int32_t frames) {
    gMusicFadeRequest = MUSIC_FADE_IN;
    gMusicFadeFrames = frames;
}

void forceMusicTrack(int32_t track) { gForcedTrack = track; }
void setKeepEventMusic(int32_t flag) { gKeepEventMusic = flag; }

void clearForcedMusic() {
    gForcedTrack = -1;
    gKeepEventMusic = 0;
}

// The floor start asks; nothing here ever has an answer.
bool querySoundStub() { return false; }

void unloadSounds() {
    gSound.ready = 0;
    audioStopAll();
    for (AudioSegment& segment : gSound.music) audioFreeSegment(&segment);
    for (AudioSegment& segment : gEffectSegments) audioFreeSegment(&segment);
    audioFreeSegment(&gSound.voice);
    for (uint8_t& request : gSound.effectRequests) request = 0;
}

void shutdownSound() { audioClose(); }
