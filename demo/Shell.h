#ifndef DEMO_SHELL_H
#define DEMO_SHELL_H

#include <SDL2/SDL.h>

#include "Audio.h"
#include "Options.h"

class Console;

namespace demo {

class Show;

// The program's frame: window, engine, sound, display mode, and the main loop that
// paces the show against the wall clock (or a virtual clock when capturing).
class Shell {
public:
    explicit Shell(const Options& options);
    ~Shell();
    // The program's exit code.
    int run();

    // Milliseconds of the clock that off-line runs advance; Audio records against it.
    int virtualMs = 0;

private:
    bool startUp();
    bool openWindow();
    void routeEngineLog();
    bool startSound();
    bool switchDisplayMode();
    void placeWindow();
    bool enterExclusiveMode();
    void coverDesktop();
    void restoreDisplayMode();
    void liveLoop();
    bool drainEvents();
    void waitForNextStep();
    bool visible() const;
    void fatal(const char* caption, const char* text);

    Options options_;
    SDL_Window* window_ = nullptr;
    Console* console_ = nullptr;
    Show* show_ = nullptr;
    Audio audio_;
    int music_ = 0;
    int loop_ = 0;
    bool modeChanged_ = false;
    bool exposed_ = false;  // the window needs the last frame again
    bool ended_ = false;    // a fatal error ended the start-up
};

void showMessage(const char* caption, const char* text);

}  // namespace demo

#endif
