#ifndef KVXVIEW_APP_H
#define KVXVIEW_APP_H

// The interactive viewer: a window showing one file at a time, driven by the
// keyboard, the mouse, dropped files and the console.

#include <set>
#include <string>

#include <SDL.h>

#include "CameraController.h"
#include "ConsoleView.h"
#include "EngineWindow.h"
#include "Gizmos.h"
#include "Hud.h"
#include "Options.h"
#include "Replay.h"
#include "ViewerScene.h"

int runViewer(const Options& options);

class App {
public:
    App(const Options& options, EngineWindow& window, Console& console);
    // Loads the first file and runs until the window closes; the exit code.
    int run();

private:
    bool open(const std::string& source, bool fatal);
    void showNewScene();
    static void progress(float fraction);
    void frame(float seconds);
    void handle(const SDL_Event& e);
    void handleKey(const SDL_Keysym& key);
    void handleMotion(const SDL_MouseMotionEvent& m);
    void advanceAnimation(float seconds);
    void moveCamera(float seconds);
    void cycleCamera();
    void toFreeCamera();
    void setMode(CameraMode mode);
    void step(int frames);
    void jumpTo(int frame);
    void checkWatchedFile();
    void notify(const std::string& text, bool error = false);
    void draw();
    std::string statusLeft() const;
    std::string statusRight() const;
    void writeState(const std::string& path) const;

    const Options& options_;
    EngineWindow& window_;
    Console& console_;
    ViewerScene view_;
    CameraController controller_;
    ConsoleView consoleView_;
    Hud hud_;
    Replay replay_;
    RenderOptions render_;
    GizmoOptions gizmos_;
    FrameStats stats_;
    std::set<SDL_Keycode> held_;
    size_t fileIndex_ = 0;
    bool running_ = true;
    bool playing_ = true;
    bool showHelp_ = false;
    bool screenshot_ = false;
    float speed_ = 1;
    float frameClock_ = 0;  // fraction of an animation frame accumulated
    float fps_ = 0;
    long framesDrawn_ = 0;
    std::string notice_;
    bool noticeIsError_ = false;
    unsigned int noticeUntil_ = 0;
    long long watchedTime_ = 0;
    unsigned int nextWatch_ = 0;
    std::string loadingName_;
    unsigned int lastProgressDraw_ = 0;
    static App* loading_;
};

#endif
