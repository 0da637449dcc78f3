#ifndef KVXVIEW_ENGINE_WINDOW_H
#define KVXVIEW_ENGINE_WINDOW_H

// SDL and the engine started on one window: a visible, resizable one for the
// viewer, or a hidden one on SDL's offscreen driver for batch work.

#include <string>

#include <Korvex3D.h>

class EngineWindow {
public:
    EngineWindow() = default;
    ~EngineWindow();
    EngineWindow(const EngineWindow&) = delete;
    EngineWindow& operator=(const EngineWindow&) = delete;

    // Starts SDL, the window and the engine, whose log goes to console.
    bool open(const char* title, int width, int height, bool headless, Console* console, std::string* error);
    // Follows a new drawable size: frame buffer viewport and projection.
    void resize(int width, int height);
    void present() { kvxSwapBuffers(); }

    HWND window() const { return window_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    HWND window_ = nullptr;
    bool engineStarted_ = false;
    bool sdlStarted_ = false;
    int width_ = 0;
    int height_ = 0;
};

#endif
