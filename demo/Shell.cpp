#include "Shell.h"

#include <cstdio>

#include "Capture.h"
#include "DemoSettings.h"
#include "Korvex3D.h"
#include "Presenter.h"
#include "Show.h"

namespace demo {

namespace {
const char* const kMusicFile = "data\\demo.mp3";
const char* const kLoopFile = "data\\loop.wav";
constexpr int kIdleDelayMs = 1;

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
    kvxRequestPixelFormat(kColorDepth, 0, 32);
    Uint32 flags = SDL_WINDOW_OPENGL | (options_.offline() ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    window_ = SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth,
                               kScreenHeight, flags);
    if (!window_) {
        fprintf(stderr, "Cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

bool Shell::startSound() {
    if (!audio_.init(Audio::kFrequency)) {
        fatal("Error!", "Cannot initialize sound.");
        return false;
    }
    audio_.start();
    audio_.setMasterVolume(Audio::kFullVolume);
    music_ = audio_.streamCreateFile(kMusicFile, false);
    if (!music_) {
        fatal("Error!", "Cannot load sound.");
        return false;
    }
    audio_.setVolume(music_, Audio::kFullVolume);
    loop_ = audio_.streamCreateFile(kLoopFile, true);
    if (!loop_) {
        fatal("Error!", "Cannot load sound.");
        return false;
    }
    audio_.setVolume(loop_, Audio::kFullVolume);
    return true;
}

bool Shell::switchDisplayMode() {
    if (kvxGetRasterizer() != 0 || options_.offline()) return true;
    if (options_.window) {
        if (options_.scale > 1)
            SDL_SetWindowSize(window_, kScreenWidth * options_.scale, kScreenHeight * options_.scale);
        return true;
    }
    SDL_DisplayMode current;
    if (SDL_GetDesktopDisplayMode(0, &current) == 0 && current.w == kScreenWidth && current.h == kScreenHeight &&
        SDL_BITSPERPIXEL(current.format) >= 24) {
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return true;
    }
    modeChanged_ = true;
    SDL_DisplayMode wanted = {SDL_PIXELFORMAT_RGB888, kScreenWidth, kScreenHeight, 0, nullptr};
    if (SDL_SetWindowDisplayMode(window_, &wanted) == 0 && SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0)
        return true;
    // A desktop that cannot switch modes still gets the whole screen, letterboxed.
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) return true;
    modeChanged_ = false;
    char text[64];
    snprintf(text, sizeof(text), "Mode %dx%dx%d not supported!", kScreenWidth, kScreenHeight, kColorDepth);
    fatal("Note!", text);
    return false;
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
    }
    return quit;
}

void Shell::liveLoop() {
    Presenter presenter(window_);
    show_->beforeSwap = presentScaled;
    show_->beforeSwapContext = &presenter;
    show_->startClock(SDL_GetTicks());
    uint32_t start = SDL_GetTicks();
    bool quit = false;
    while (!quit) {
        quit = drainEvents();
        uint32_t now = SDL_GetTicks();
        if (!show_->pass(int(now - start), now)) SDL_Delay(kIdleDelayMs);
        if (show_->finished()) quit = true;
    }
    show_->beforeSwap = nullptr;
}

int Shell::run() {
    int rc = 0;
    if (startUp()) {
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
    kvxUnInit3D();
    audio_.free();
    return rc;
}

}  // namespace demo
