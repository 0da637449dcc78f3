#include "Capture.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Audio.h"
#include "DemoSettings.h"
#include "Show.h"
#include "SoundTrack.h"

namespace demo {

namespace {
constexpr int kBarWidth = 30;
constexpr int kRgb = 3;

bool haveFfmpeg() { return system("command -v ffmpeg >/dev/null 2>&1") == 0; }

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

void formatTime(char* out, size_t n, double seconds) {
    int s = int(seconds + 0.5);
    snprintf(out, n, "%d:%02d", s / 60, s % 60);
}
}  // namespace

OfflineRun::OfflineRun(const Options& options, Show& show, Audio& audio, int& virtualMs)
    : options_(options), show_(show), audio_(audio), virtualMs_(virtualMs),
      pixels_(size_t(kScreenWidth) * kScreenHeight * kRgb), pendingMoments_(options.moments) {
    std::sort(pendingMoments_.begin(), pendingMoments_.end());
}

void OfflineRun::grabFrame(void* self) { static_cast<OfflineRun*>(self)->onFrame(); }

bool OfflineRun::momentDue(int e, int* moment) {
    if (pendingMoments_.empty() || pendingMoments_.front() > e) return false;
    *moment = pendingMoments_.front();
    while (!pendingMoments_.empty() && pendingMoments_.front() <= e) pendingMoments_.erase(pendingMoments_.begin());
    return true;
}

void OfflineRun::onFrame() {
    unsigned char* frame = writer_ ? writer_->nextFrame() : pixels_.data();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, frame);
    int moment = 0;
    if (!options_.framesDir.empty() && momentDue(lastDrawnMs_, &moment)) {
        char name[512];
        snprintf(name, sizeof(name), "%s/frame_%06d.png", options_.framesDir.c_str(), moment);
        if (!kvxWritePng(name, frame, kScreenWidth, kScreenHeight, true)) {
            fprintf(stderr, "\nCannot write %s (%s)\n", name, strerror(errno));
            failed_ = true;
        }
    }
    if (writer_) {
        writer_->submit();
        if (writer_->failed() && !failed_) {
            fprintf(stderr, "\nCannot write the frames to ffmpeg.\n");
            failed_ = true;
        }
    }
}

bool OfflineRun::openVideo() {
    if (!haveFfmpeg()) {
        fprintf(stderr, "Cannot capture: the ffmpeg program was not found (Debian package ffmpeg).\n");
        return false;
    }
    videoTemp_ = options_.capturePath + ".video.mp4";
    char size[32];
    snprintf(size, sizeof(size), "%dx%d", kScreenWidth, kScreenHeight);
    std::string cmd = std::string("ffmpeg -y -loglevel error -f rawvideo -pix_fmt rgb24 -s ") + size +
                      " -framerate 1000/" + std::to_string(kStepMs) +
                      " -i - -vf vflip -c:v libx264 -preset ultrafast -tune animation -crf 18 -pix_fmt yuv420p " +
                      shellQuote(videoTemp_);
    video_ = popen(cmd.c_str(), "w");
    if (video_ != nullptr) writer_.reset(new FrameWriter(video_, pixels_.size()));
    return video_ != nullptr;
}

int OfflineRun::finishVideo() {
    const bool written = writer_->finish();
    writer_.reset();
    if (pclose(video_) != 0 || !written) {
        fprintf(stderr, "ffmpeg failed while encoding the frames.\n");
        return 1;
    }
    video_ = nullptr;
    int frequency = Audio::kFrequency, channels = Audio::kChannels;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    std::string wav = options_.capturePath + ".sound.wav";
    std::vector<int16_t> track = mixSoundTrack(audio_, lastDrawnMs_, frequency, channels);
    if (!writeWav(wav.c_str(), track, frequency, channels)) {
        fprintf(stderr, "Cannot write %s\n", wav.c_str());
        return 1;
    }
    std::string cmd = "ffmpeg -y -loglevel error -i " + shellQuote(videoTemp_) + " -i " + shellQuote(wav) +
                      " -c:v copy -c:a aac -b:a 192k -shortest " + shellQuote(options_.capturePath);
    int rc = system(cmd.c_str());
    remove(videoTemp_.c_str());
    remove(wav.c_str());
    if (rc != 0) {
        fprintf(stderr, "ffmpeg failed while adding the sound.\n");
        return 1;
    }
    return 0;
}

void OfflineRun::reportProgress(int frame, int total, bool done) {
    double elapsed = (SDL_GetTicks() - startTicks_) / 1000.0;
    double left = frame > 0 ? elapsed * (total - frame) / frame : 0;
    int filled = total > 0 ? frame * kBarWidth / total : kBarWidth;
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; i++) bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = 0;
    char e[16], l[16];
    formatTime(e, sizeof(e), elapsed);
    formatTime(l, sizeof(l), left);
    fprintf(stderr, "\r[%s] %d/%d frames %3d%%  elapsed %s  left %s ", bar, frame, total,
            total > 0 ? frame * 100 / total : 100, e, l);
    if (done) fprintf(stderr, "\n");
}

int OfflineRun::run() {
    if (!options_.framesDir.empty() && mkdir(options_.framesDir.c_str(), 0755) != 0 && errno != EEXIST) {
        fprintf(stderr, "Cannot create %s (%s)\n", options_.framesDir.c_str(), strerror(errno));
        return 1;
    }
    if (!options_.capturePath.empty() && !openVideo()) return 1;
    show_.beforeSwap = grabFrame;
    show_.beforeSwapContext = this;

    int endMs = options_.untilMs > 0 ? std::min(options_.untilMs, kShowLengthMs + kStepMs) : kShowLengthMs + kStepMs;
    if (options_.capturePath.empty() && !options_.moments.empty())
        endMs = std::min(endMs, *std::max_element(options_.moments.begin(), options_.moments.end()) + kStepMs);
    const int total = endMs / kStepMs;
    startTicks_ = SDL_GetTicks();
    virtualMs_ = 0;
    show_.startClock(0);
    for (int frame = 1; frame <= total && !show_.finished() && !failed_; frame++) {
        virtualMs_ = frame * kStepMs;
        lastDrawnMs_ = virtualMs_;
        show_.pass(virtualMs_, uint32_t(virtualMs_));
        SDL_PumpEvents();
        if (frame % 30 == 0 || frame == total) reportProgress(frame, total, false);
    }
    reportProgress(total, total, true);
    show_.beforeSwap = nullptr;
    if (failed_) {
        writer_.reset();
        if (video_) pclose(video_);
        video_ = nullptr;
        remove(videoTemp_.c_str());
        return 1;
    }
    if (video_) {
        int rc = finishVideo();
        if (rc == 0) fprintf(stderr, "Wrote %s\n", options_.capturePath.c_str());
        return rc;
    }
    return 0;
}

}  // namespace demo
