#include "Audio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include "Korvex3D.h"

namespace demo {

namespace {
constexpr int kMixBufferFrames = 2048;

int toMixerVolume(int volume) {
    if (volume < 0) volume = 0;
    if (volume > Audio::kFullVolume) volume = Audio::kFullVolume;
    return volume * MIX_MAX_VOLUME / Audio::kFullVolume;
}
}  // namespace

Audio::~Audio() { free(); }

bool Audio::init(int frequency) {
    if (open_) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    mixerInit_ = (Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) != 0;
    if (Mix_OpenAudio(frequency, AUDIO_S16SYS, kChannels, kMixBufferFrames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(kMaxStreams);
    open_ = true;
    return true;
}

void Audio::start() {
    if (open_) Mix_Resume(-1);
}

void Audio::setMasterVolume(int volume) {
    if (open_) Mix_MasterVolume(toMixerVolume(volume));
}

int Audio::streamCreateFile(const char* fileName, bool loop) {
    if (!open_ || streamCount_ >= kMaxStreams) return 0;
    FILE* f = kvxOpenFile(fileName, "rb");
    if (!f) return 0;
    SDL_RWops* rw = SDL_RWFromFP(f, SDL_TRUE);
    if (!rw) {
        fclose(f);
        return 0;
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);
    if (!chunk) return 0;
    Stream& s = streams_[streamCount_++];
    s.chunk = chunk;
    s.loop = loop;
    s.volume = kFullVolume;
    return streamCount_;
}

Audio::Stream* Audio::get(int handle) {
    return handle >= 1 && handle <= streamCount_ ? &streams_[handle - 1] : nullptr;
}

const Audio::Stream* Audio::get(int handle) const {
    return handle >= 1 && handle <= streamCount_ ? &streams_[handle - 1] : nullptr;
}

void Audio::record(int handle, EventType type, int value) {
    if (clock_) events_.push_back(Event{*clock_, handle, type, value});
}

void Audio::setVolume(int handle, int volume) {
    Stream* s = get(handle);
    if (!s) return;
    s->volume = volume < 0 ? 0 : (volume > kFullVolume ? kFullVolume : volume);
    record(handle, kVolume, s->volume);
    Mix_Volume(handle - 1, toMixerVolume(s->volume));
}

void Audio::play(int handle, bool loop) {
    Stream* s = get(handle);
    if (!s) return;
    // Each stream has its own mixer channel, numbered after its handle.
    Mix_Volume(handle - 1, toMixerVolume(s->volume));
    record(handle, kPlay, (loop || s->loop) ? 1 : 0);
    Mix_PlayChannel(handle - 1, s->chunk, (loop || s->loop) ? -1 : 0);
}

void Audio::stop(int handle) {
    if (!get(handle)) return;
    record(handle, kStop, 0);
    Mix_HaltChannel(handle - 1);
}

void Audio::free() {
    if (!open_) return;
    Mix_HaltChannel(-1);
    for (int i = 0; i < streamCount_; i++) {
        Mix_FreeChunk(streams_[i].chunk);
        streams_[i] = Stream();
    }
    streamCount_ = 0;
    Mix_CloseAudio();
    if (mixerInit_) Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
}

bool Audio::isPlaying(int handle) const { return get(handle) && Mix_Playing(handle - 1) != 0; }

int Audio::volume(int handle) const {
    const Stream* s = get(handle);
    return s ? s->volume : 0;
}

bool Audio::streamLoops(int handle) const {
    const Stream* s = get(handle);
    return s && s->loop;
}

const int16_t* Audio::samples(int handle, int* frames) const {
    const Stream* s = get(handle);
    if (!s) {
        *frames = 0;
        return nullptr;
    }
    *frames = int(s->chunk->alen / (sizeof(int16_t) * kChannels));
    return reinterpret_cast<const int16_t*>(s->chunk->abuf);
}

}  // namespace demo
