#ifndef KVXVIEW_REPLAY_H
#define KVXVIEW_REPLAY_H

// Plays a file of input actions into the window's event queue, one step per
// frame, so that a session can be driven and checked without a person:
//   key NAME [N]      press and release a key (SDL key names) N times
//   down NAME / up NAME
//   text TEXT         typed text
//   drag BUTTON DX DY mouse drag with button 1 (left), 2 (middle) or 3
//   wheel N           wheel steps
//   drop FILE         a file dropped on the window
//   frames N          let N frames pass
//   orbit N DX        drag DX pixels with the left button on each of N frames
//   state FILE        write the viewer's state as JSON
//   shot FILE         write the next frame as PNG
//   quit
// Lines starting with '#' are comments.

#include <deque>
#include <string>

struct ReplayRequest {
    std::string stateFile;
    std::string shotFile;
    bool quit = false;
};

class Replay {
public:
    bool load(const std::string& path, std::string* error);
    bool active() const { return active_; }
    // Pushes this frame's events and returns what the viewer must do.
    ReplayRequest step();

private:
    bool runLine(const std::string& line, ReplayRequest* request);

    std::deque<std::string> lines_;
    int wait_ = 0;
    int orbitFrames_ = 0;
    int orbitDx_ = 0;
    bool active_ = false;
};

#endif
