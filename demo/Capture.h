#ifndef DEMO_CAPTURE_H
#define DEMO_CAPTURE_H

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FrameWriter.h"
#include "Options.h"

namespace demo {

class Audio;
class Show;

// Plays the show on a virtual clock, one 33 ms step per frame, and writes a video
// (frames piped to ffmpeg, the sound track mixed exactly) and/or PNG frames.
class OfflineRun {
public:
    OfflineRun(const Options& options, Show& show, Audio& audio, int& virtualMs);
    // 0 on success.
    int run();

private:
    static void grabFrame(void* self);
    void onFrame();
    bool openVideo();
    int finishVideo();
    void reportProgress(int frame, int total, bool done);
    bool momentDue(int e, int* moment);

    const Options& options_;
    Show& show_;
    Audio& audio_;
    int& virtualMs_;
    std::vector<unsigned char> pixels_;  // the frame read back when no video is written
    FILE* video_ = nullptr;
    std::unique_ptr<FrameWriter> writer_;  // feeds video_ while the next frame renders
    std::string videoTemp_;
    std::vector<int> pendingMoments_;
    int lastDrawnMs_ = 0;
    bool failed_ = false;  // a frame could not be written: the run ends with an error
    unsigned startTicks_ = 0;
};

}  // namespace demo

#endif
