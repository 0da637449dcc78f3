#include "Shell.h"

#include <fcntl.h>

#include <cstdio>

#include "Capture.h"
#include "DataFiles.h"
#include "DemoSettings.h"
#include "Korvex3D.h"
#include "Presenter.h"
#include "Show.h"

namespace demo {

namespace {
const char* const kMusicFile = "demo.mp3";
const char* const kLoopFile = "loop.wav";

void presentScaled(void* presenter) { static_cast<Presenter*>(presenter)->present(); }
}  // namespace

void showMessage(const char* caption, const char* text) {
    // Headless runs have no message boxes: the text goes to stderr instead.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr) != 0)
        fprintf(stderr, "%s %s\n", caption, text);
}

Shell::Shell(const Options& options) : options_(options) {}

Shell::~Shell() {
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
}

void Shell::fatal(const char* caption, const char* text) {
    showMessage(caption, text);
    ended_ = true;
}

bool Shell::openWindow() {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        fprintf(stderr, "Cannot start SDL: %s\n", SDL_GetError());
        return false;
    }
    // The pixel format is fixed when the window is made: ask for the engine's one first.
    // The window shows once its place and size are settled (switchDisplayMode).
    kvxRequestPixelFormat(kColorDepth, 0, 32);
    window_ = SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth,
                               kScreenHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window_) {
        fprintf(stderr, "Cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

// The engine's log goes into the console unless the user asked to see it.
void Shell::routeEngineLog() {
    int fd = -1;
    if (options_.verbose)
        fd = 2;
    else if (!options_.logPath.empty())
        fd = open(options_.logPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    char name[32];
    snprintf(name, sizeof(name), "/dev/fd/%d", fd);
    kvxInitErrorLog(name);
}

bool Shell::startSound() {
    if (!audio_.init(Audio::kFrequency)) {
        fatal("Error!", "Cannot initialize sound.");
        return false;
    }
    audio_.start();
    audio_.setMasterVolume(Audio::kFullVolume);
    music_ = audio_.streamCreateFile(dataFile(kMusicFile).c_str(), false);
    if (!music_) {
        fatal("Error!", "Cannot load sound.");
        return false;
    }
    audio_.setVolume(music_, Audio::kFullVolume);
    loop_ = audio_.streamCreateFile(dataFile(kLoopFile).c_str(), true);
    if (!loop_) {
        fatal("Error!", "Cannot load sound.");
        return false;
    }
    audio_.setVolume(loop_, Audio::kFullVolume);
    return true;
}

// A window N times the frame, centred; reduced to the largest scale the screen holds.
void Shell::placeWindow() {
    int display = SDL_GetWindowDisplayIndex(window_);
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0) usable = {0, 0, 0, 0};
    int scale = options_.scale;
    while (scale > 1 && (kScreenWidth * scale > usable.w || kScreenHeight * scale > usable.h)) scale--;
    if (scale != options_.scale)
        fprintf(stderr, "demo: --scale %d does not fit the %d x %d screen; playing at --scale %d\n", options_.scale,
                usable.w, usable.h, scale);
    int w = kScreenWidth * scale, h = kScreenHeight * scale;
    SDL_SetWindowResizable(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, w, h);
    if (usable.w > 0)
        SDL_SetWindowPosition(window_, usable.x + (usable.w - w) / 2, usable.y + (usable.h - h) / 2);
    else
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

// Switches to 640 x 480 x 32 when the display really offers that mode.
bool Shell::enterExclusiveMode() {
    int display = SDL_GetWindowDisplayIndex(window_);
    SDL_DisplayMode wanted = {SDL_PIXELFORMAT_RGB888, kScreenWidth, kScreenHeight, 0, nullptr}, closest;
    if (!SDL_GetClosestDisplayMode(display, &wanted, &closest)) return false;
    if (closest.w != kScreenWidth || closest.h != kScreenHeight) return false;
    if (SDL_SetWindowDisplayMode(window_, &closest) != 0) return false;
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) return false;
    SDL_ShowWindow(window_);
    SDL_DisplayMode now;
    if (SDL_GetCurrentDisplayMode(display, &now) == 0 && now.w == kScreenWidth && now.h == kScreenHeight) return true;
    SDL_SetWindowFullscreen(window_, 0);  // SDL said yes, the desktop kept its size
    return false;
}

// A borderless window over the whole display, also where no window manager makes
// it full screen; the presenter letterboxes the frame in it.
void Shell::coverDesktop() {
    int display = SDL_GetWindowDisplayIndex(window_);
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) == 0) {
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
    }
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

bool Shell::switchDisplayMode() {
    if (options_.offline()) return true;
    if (kvxGetRasterizer() != 0) {
        SDL_ShowWindow(window_);
        return true;
    }
    if (options_.window) {
        placeWindow();
    } else if (enterExclusiveMode()) {
        modeChanged_ = true;
    } else {
        coverDesktop();
    }
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    return true;
}

void Shell::restoreDisplayMode() {
    if (kvxGetRasterizer() != 0 || !modeChanged_) return;
    if (SDL_SetWindowFullscreen(window_, 0) != 0) {
        fatal("Note!", "Original display mode could not be restored!");
        return;
    }
    modeChanged_ = false;
}

bool Shell::startUp() {
    if (!openWindow()) return false;
    console_ = new Console;
    initKorvex3D(kRasterizer, window_, console_, kColorDepth, 0, 32, 25, false, 0, true);
    routeEngineLog();
    show_ = new Show(&audio_, 0, 0);
    show_->engineSetup();
    if (options_.offline()) audio_.recordEvents(&virtualMs);
    if (!startSound()) return false;
    show_->setStreams(music_, loop_);
    if (!switchDisplayMode()) return false;
    if (const char* error = show_->loadContent()) {
        fatal("Error!", error);
        return false;
    }
    SDL_ShowCursor(SDL_DISABLE);
    audio_.play(music_, true);
    return true;
}

bool Shell::drainEvents() {
    bool quit = false;
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        if (ev.type == SDL_QUIT) quit = true;
        if (ev.type == SDL_KEYDOWN && ev.key.keysym.sym == SDLK_ESCAPE) quit = true;
        if (ev.type == SDL_WINDOWEVENT &&
            (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED))
            exposed_ = true;
    }
    return quit;
}

bool Shell::visible() const { return !(SDL_GetWindowFlags(window_) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)); }

// Sleeps until the next animation step begins or an event arrives.
void Shell::waitForNextStep() { SDL_WaitEventTimeout(nullptr, kStepMs - int(SDL_GetTicks() % kStepMs)); }

void Shell::liveLoop() {
    Presenter presenter(window_);
    presenter.begin();
    show_->beforeSwap = presentScaled;
    show_->beforeSwapContext = &presenter;
    show_->startClock(SDL_GetTicks());
    const uint32_t start = SDL_GetTicks();
    bool quit = false;
    while (!quit) {
        quit = drainEvents();
        const uint32_t now = SDL_GetTicks();
        const int e = int(now - start);
        show_->drawing = visible();
        bool drew = show_->pass(e, now);
        if (!drew && exposed_ && show_->drawing) {
            presenter.present();  // the last frame again, for a window uncovered or resized
            SDL_GL_SwapWindow(window_);
        }
        exposed_ = false;
        if (show_->finished() || (options_.untilMs > 0 && e >= options_.untilMs)) quit = true;
        if (!quit) waitForNextStep();
    }
    show_->beforeSwap = nullptr;
}

int Shell::run() {
    int rc = 1;  // a fatal error: its message has been shown
    if (startUp()) {
        rc = 0;
        if (options_.offline()) {
            OfflineRun capture(options_, *show_, audio_, virtualMs);
            rc = capture.run();
        } else {
            liveLoop();
        }
    } else if (!ended_) {
        return 1;  // no window or GL context at all
    }
    restoreDisplayMode();
    // The show leaves the screen at once; sound and GL shut down behind it.
    SDL_HideWindow(window_);
    kvxUnInit3D();
    audio_.free();
    return rc;
}

}  // namespace demo
