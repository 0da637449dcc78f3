#ifndef KVX_TESTS_TESTWINDOW_H
#define KVX_TESTS_TESTWINDOW_H

// A hidden 640x480 window with the engine started on it, for tests that
// render and read the result back. Without a display the SDL offscreen
// driver is used (EGL on Mesa), so every test gets a real GL context.

#include <cstdint>
#include <string>

#include "platform/Platform.h"

class Console;

struct Rgba {
    uint8_t r, g, b, a;
};

class TestWindow {
public:
    static const int kWidth = 640;
    static const int kHeight = 480;

    // With a console the engine logs into it (and keeps doing so); without
    // one the start-up lines are dropped and the log is left at "nowhere".
    // With start false only the window is made: the test starts the engine.
    explicit TestWindow(Console* console = nullptr, bool start = true);
    ~TestWindow();

    HWND window;
    int result;  // what initKorvex3D returned (0 when not started)

    // GL window coordinates: (0, 0) is the bottom-left pixel. Reads the back
    // buffer, so read before kvxSwapBuffers.
    Rgba readPixel(int x, int y) const;
    // Same with (0, 0) at the top-left, as the overlay calls place things.
    Rgba readPixelTop(int x, int y) const;

    // Writes the back buffer, top row first, as PNG or binary PPM (by the
    // extension of path); true on success. Look at the PNGs while writing tests.
    bool save(const std::string& path) const;

    // Path of a file in a per-run scratch directory for test output.
    static std::string outputPath(const std::string& name);

private:
    bool videoStarted;

    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
};

// True when every channel of p is within tolerance of (r, g, b).
bool colorNear(Rgba p, int r, int g, int b, int tolerance = 2);

#endif
