#include "App.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "PngFile.h"

namespace {

const float kAnimationFps = 30.0f;
const float kReplayStep = 1.0f / kAnimationFps;  // a replayed session runs on a fixed clock
const float kMaxStep = 0.25f;
const float kMinSpeed = 1.0f / 16, kMaxSpeed = 16;
const unsigned int kNoticeMs = 4000;
const unsigned int kWatchMs = 500;
const unsigned int kProgressMs = 30;
const int kStateConsoleLines = 40;

long long modificationTime(const std::string& source) {
    SceneSource src = SceneSource::parse(source);
    struct stat st;
    if (stat(src.archive.empty() ? src.file.c_str() : src.archive.c_str(), &st) != 0) return 0;
    return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

// The name kvxScreenShot is about to take.
std::string nextScreenshotName() {
    char name[32];
    for (int n = 0; n < 1000; ++n) {
        snprintf(name, sizeof name, "Shot%04d.jpg", n);
        struct stat st;
        if (stat(name, &st) != 0) return name;
    }
    return "";
}

std::string jsonText(const std::string& s) {
    std::string o = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\')
            o += '\\', o += static_cast<char>(c);
        else if (c == '\n')
            o += "\\n";
        else if (c >= 0x20)
            o += static_cast<char>(c);
    }
    return o + "\"";
}

const char* modeName(CameraMode m) {
    switch (m) {
        case CameraMode::Fly: return "fly";
        case CameraMode::Walk: return "walk";
        default: return "orbit";
    }
}

}  // namespace

App* App::loading_ = nullptr;

int runViewer(const Options& options) {
    Console console;
    EngineWindow window;
    std::string error;
    std::string title = "kvxview - " + options.files[0];
    if (!window.open(title.c_str(), options.width, options.height, false, &console, &error)) {
        fprintf(stderr, "kvxview: %s\n", error.c_str());
        return kExitLoadFailed;
    }
    App app(options, window, console);
    return app.run();
}

App::App(const Options& options, EngineWindow& window, Console& console)
    : options_(options), window_(window), console_(console), consoleView_(console) {
    render_.wire = options.wire;
}

int App::run() {
    std::string error;
    if (!options_.replay.empty() && !replay_.load(options_.replay, &error)) {
        fprintf(stderr, "kvxview: %s\n", error.c_str());
        return kExitUsage;
    }
    hud_.setSize(window_.width(), window_.height());
    consoleView_.pullText();
    if (!open(options_.files[0], true)) return kExitLoadFailed;
    std::string why;
    if (options_.cameraGiven && !view_.selectCamera(options_.camera, options_.cameraName, &why)) {
        fprintf(stderr, "kvxview: %s: %s\n", options_.files[0].c_str(), why.c_str());
        return kExitUsage;
    }
    if (options_.light) view_.setFileLighting(true);
    if (options_.frame >= 0) jumpTo(options_.frame);
    console_.setScene(view_.scene());
    noteConsoleLoads(console_);
    for (const std::string& s : options_.scripts) {
        console_.readScript(s.c_str());
        consoleView_.pullText();
    }
    for (const std::string& c : options_.commands) consoleView_.run(c);

    unsigned int last = SDL_GetTicks();
    while (running_) {
        unsigned int now = SDL_GetTicks();
        float seconds = replay_.active() ? kReplayStep : std::min((now - last) / 1000.0f, kMaxStep);
        float real = (now - last) / 1000.0f;
        last = now;
        if (real > 0) fps_ = fps_ > 0 ? fps_ * 0.9f + 0.1f / real : 1.0f / real;
        frame(seconds);
    }
    return kExitOk;
}

bool App::open(const std::string& source, bool fatal) {
    loading_ = this;
    loadingName_ = source;
    lastProgressDraw_ = 0;
    int result = view_.load(source, &App::progress);
    loading_ = nullptr;
    consoleView_.pullText();
    if (result != 0) {
        std::vector<std::string> last = consoleView_.lastLines(1);
        std::string message =
            source + ": " + (last.empty() ? "cannot load" : last[0]) + " (code " + std::to_string(result) + ")";
        fprintf(stderr, "kvxview: %s\n", message.c_str());
        if (!fatal) notify(message + "; the previous scene stays", true);
        return false;
    }
    showNewScene();
    notify("Opened " + source);
    return true;
}

// The camera, the watch and the title follow the scene just loaded.
void App::showNewScene() {
    controller_.setSceneRadius(view_.radius());
    controller_.setMode(CameraMode::Orbit, view_.group());
    controller_.lookFrom(view_.freeCamera().eye, view_.freeCamera().target);
    watchedTime_ = modificationTime(view_.source());
    SDL_SetWindowTitle(window_.window(), ("kvxview - " + view_.source()).c_str());
}

void App::progress(float fraction) {
    App* app = loading_;
    unsigned int now = SDL_GetTicks();
    if (!app || (fraction < 1 && now - app->lastProgressDraw_ < kProgressMs)) return;
    app->lastProgressDraw_ = now;
    kvxClear();
    app->hud_.drawProgress(app->loadingName_, fraction);
    app->window_.present();
    SDL_PumpEvents();
}

void App::frame(float seconds) {
    ReplayRequest request;
    if (replay_.active()) request = replay_.step();
    SDL_Event e;
    while (SDL_PollEvent(&e)) handle(e);
    if (console_.exitRequest()) running_ = false;
    if (console_.clearRequest()) consoleView_.clear();
    consoleView_.pullText();
    if (view_.adoptChanges(consoleLoadedFile(console_), consoleLoadCompleted())) showNewScene();
    advanceAnimation(seconds);
    moveCamera(seconds);
    checkWatchedFile();
    draw();
    std::string error;
    if (!request.shotFile.empty() && !saveFrameAsPng(request.shotFile, window_.width(), window_.height(), &error))
        fprintf(stderr, "kvxview: %s\n", error.c_str());
    if (!request.stateFile.empty()) writeState(request.stateFile);
    if (request.quit) running_ = false;
    window_.present();
    ++framesDrawn_;
}

void App::handle(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT: running_ = false; break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                int w = 0, h = 0;
                kvxGetClientSize(window_.window(), &w, &h);
                window_.resize(w, h);
                hud_.setSize(window_.width(), window_.height());
            }
            break;
        case SDL_DROPFILE:
            open(e.drop.file, false);
            SDL_free(e.drop.file);
            break;
        case SDL_KEYDOWN:
            if (!e.key.repeat) held_.insert(e.key.keysym.sym);
            if (consoleView_.isOpen())
                consoleView_.handleKey(e.key.keysym);
            else
                handleKey(e.key.keysym);
            break;
        case SDL_KEYUP: held_.erase(e.key.keysym.sym); break;
        case SDL_TEXTINPUT:
            if (consoleView_.isOpen()) consoleView_.handleText(e.text.text);
            break;
        case SDL_MOUSEMOTION: handleMotion(e.motion); break;
        case SDL_MOUSEWHEEL:
            toFreeCamera();
            controller_.zoom(static_cast<float>(e.wheel.y));
            break;
        default: break;
    }
}

void App::handleKey(const SDL_Keysym& key) {
    bool orbiting = controller_.mode() == CameraMode::Orbit;
    switch (key.sym) {
        case SDLK_ESCAPE:
            if (showHelp_)
                showHelp_ = false;
            else
                running_ = false;
            break;
        case SDLK_BACKQUOTE: consoleView_.toggle(); break;
        case SDLK_SPACE: playing_ = !playing_; break;
        case SDLK_LEFT: step(-1); break;
        case SDLK_RIGHT: step(1); break;
        case SDLK_HOME: jumpTo(view_.firstFrame()); break;
        case SDLK_END: jumpTo(view_.lastFrame()); break;
        case SDLK_LEFTBRACKET: speed_ = std::max(speed_ * 0.5f, kMinSpeed); break;
        case SDLK_RIGHTBRACKET: speed_ = std::min(speed_ * 2.0f, kMaxSpeed); break;
        case SDLK_c: cycleCamera(); break;
        case SDLK_f: setMode(controller_.mode() == CameraMode::Fly ? CameraMode::Orbit : CameraMode::Fly); break;
        case SDLK_g: setMode(controller_.mode() == CameraMode::Walk ? CameraMode::Orbit : CameraMode::Walk); break;
        case SDLK_r:
            view_.resetFreeCamera();
            controller_.setMode(CameraMode::Orbit, view_.group());
            controller_.lookFrom(view_.freeCamera().eye, view_.freeCamera().target);
            view_.selectCamera(ViewerScene::kFreeCamera);
            break;
        case SDLK_l:
            if (!view_.hasLights())
                notify("The file has no lights: it stays lit from the eye");
            else
                view_.setFileLighting(!view_.fileLighting());
            break;
        case SDLK_w:
            if (orbiting) render_.wire = !render_.wire;
            break;
        case SDLK_t: render_.textures = !render_.textures; break;
        case SDLK_b: gizmos_.boxes = !gizmos_.boxes; break;
        case SDLK_n: gizmos_.normals = !gizmos_.normals; break;
        case SDLK_x: gizmos_.axes = !gizmos_.axes; break;
        case SDLK_h: showHelp_ = !showHelp_; break;
        case SDLK_F12: screenshot_ = true; break;
        case SDLK_PAGEUP:
        case SDLK_PAGEDOWN:
            if (options_.files.size() > 1) {
                size_t n = options_.files.size();
                fileIndex_ = (fileIndex_ + (key.sym == SDLK_PAGEDOWN ? 1 : n - 1)) % n;
                open(options_.files[fileIndex_], false);
            }
            break;
        default: break;
    }
}

void App::handleMotion(const SDL_MouseMotionEvent& m) {
    bool orbiting = controller_.mode() == CameraMode::Orbit;
    bool shift = (SDL_GetModState() & KMOD_SHIFT) != 0;
    if ((m.state & SDL_BUTTON_MMASK) || ((m.state & SDL_BUTTON_LMASK) && shift && orbiting)) {
        toFreeCamera();
        controller_.pan(static_cast<float>(m.xrel), static_cast<float>(m.yrel), static_cast<float>(window_.height()),
                        view_.freeCamera().fov);
    } else if (m.state & SDL_BUTTON_LMASK) {
        toFreeCamera();
        if (orbiting)
            controller_.orbit(static_cast<float>(m.xrel), static_cast<float>(m.yrel));
        else
            controller_.look(static_cast<float>(m.xrel), static_cast<float>(m.yrel));
    }
}

void App::step(int frames) { jumpTo(view_.frame() + frames); }

void App::jumpTo(int frame) {
    playing_ = false;
    view_.setFrame(frame);
}

void App::advanceAnimation(float seconds) {
    if (!playing_ || view_.lastFrame() == view_.firstFrame()) return;
    frameClock_ += seconds * kAnimationFps * speed_;
    int frames = static_cast<int>(std::floor(frameClock_ + 1e-4f));
    if (frames <= 0) return;
    frameClock_ -= frames;
    view_.setFrame(view_.frame() + frames);
}

void App::moveCamera(float seconds) {
    if (view_.cameraIndex() != ViewerScene::kFreeCamera) return;
    MoveInput in;
    if (!consoleView_.isOpen()) {
        auto key = [this](SDL_Keycode k) { return held_.count(k) ? 1.0f : 0.0f; };
        in.forward = key(SDLK_w) - key(SDLK_s);
        in.right = key(SDLK_d) - key(SDLK_a);
        in.up = key(SDLK_e) - key(SDLK_q);
        in.fast = held_.count(SDLK_LSHIFT) || held_.count(SDLK_RSHIFT);
    }
    controller_.update(seconds, in, view_.group());
    controller_.apply(&view_.freeCamera());
}

// From a file camera, the free camera starts where that camera stands.
void App::toFreeCamera() {
    if (view_.cameraIndex() == ViewerScene::kFreeCamera) return;
    Camera* cam = view_.camera();
    if (cam) {
        controller_.lookFrom(cam->eye, cam->target);
        view_.freeCamera().fov = cam->fov;
    }
    view_.selectCamera(ViewerScene::kFreeCamera);
}

void App::cycleCamera() {
    int n = view_.cameraCount(), i = view_.cameraIndex();
    int next = i == ViewerScene::kFreeCamera ? (n > 0 ? 0 : ViewerScene::kFreeCamera)
                                             : (i + 1 < n ? i + 1 : ViewerScene::kFreeCamera);
    if (next == ViewerScene::kFreeCamera) controller_.setMode(CameraMode::Orbit, view_.group());
    view_.selectCamera(next);
    notify(std::string("Camera: ") + (view_.camera() && view_.camera()->name ? view_.camera()->name : "free"));
}

void App::setMode(CameraMode mode) {
    toFreeCamera();
    if (mode == CameraMode::Walk && view_.group() && !view_.group()->octree) {
        notify("Building the octree for walking...");
        draw();
        window_.present();
    }
    controller_.setMode(mode, view_.group());
    const char* names[] = {"Orbit", "Fly: W A S D Q E, drag to look", "Walk: W A S D, drag to look"};
    notify(names[static_cast<int>(mode)]);
}

void App::checkWatchedFile() {
    unsigned int now = SDL_GetTicks();
    if (!options_.watch || now < nextWatch_) return;
    nextWatch_ = now + kWatchMs;
    long long t = modificationTime(view_.source());
    if (t == 0 || t == watchedTime_) return;
    watchedTime_ = t;
    open(view_.source(), false);
}

void App::notify(const std::string& text, bool error) {
    notice_ = text;
    noticeIsError_ = error;
    noticeUntil_ = SDL_GetTicks() + kNoticeMs;
}

void App::draw() {
    stats_ = view_.render(render_);
    drawGizmos(view_, gizmos_);
    if (screenshot_) {
        screenshot_ = false;
        std::string name = nextScreenshotName();
        kvxScreenShot();
        notify(name.empty() ? "No free screenshot name" : "Saved " + name);
    }
    if (consoleView_.isOpen()) consoleView_.draw(hud_, window_.width(), window_.height());
    if (showHelp_) hud_.drawHelp();
    if (SDL_GetTicks() < noticeUntil_ && !consoleView_.isOpen()) hud_.drawNotice(notice_, noticeIsError_);
    hud_.drawStatus(statusLeft(), statusRight());
}

std::string App::statusLeft() const {
    char text[256];
    snprintf(text, sizeof text, "%.0f fps   meshes %d/%d   faces %d   culled %d   frame %d [%d-%d] %s x%g", fps_,
             stats_.drawn, stats_.meshes, stats_.faces, stats_.culled, view_.frame(), view_.firstFrame(),
             view_.lastFrame(), playing_ ? "playing" : "paused", speed_);
    return text;
}

std::string App::statusRight() const {
    std::string camera =
        view_.cameraIndex() == ViewerScene::kFreeCamera
            ? std::string("free camera, ") + modeName(controller_.mode())
            : "camera " + std::to_string(view_.cameraIndex() + 1) + "/" + std::to_string(view_.cameraCount());
    std::string light = view_.fileLighting() && view_.hasLights() ? "file lights" : "eye light";
    return camera + "   " + light + "   H help";
}

void App::writeState(const std::string& path) const {
    FILE* f = fopen(path.c_str(), "w");
    if (!f) {
        fprintf(stderr, "kvxview: cannot write %s\n", path.c_str());
        return;
    }
    const Camera* cam = view_.camera();
    Vertex3D eye = cam ? cam->eye : Vertex3D{0, 0, 0}, target = cam ? cam->target : Vertex3D{0, 0, 0};
    std::string lines;
    for (const std::string& l : consoleView_.lastLines(kStateConsoleLines)) lines += l + "\n";
    fprintf(f,
            "{\"file\": %s, \"frame\": %d, \"playing\": %s, \"speed\": %g, \"camera\": %d, \"mode\": \"%s\", "
            "\"eye\": [%g, %g, %g], \"target\": [%g, %g, %g], \"onGround\": %s, \"consoleOpen\": %s, "
            "\"fileLighting\": %s, \"wire\": %s, \"textures\": %s, \"meshes\": %d, \"faces\": %d, \"fps\": %g, "
            "\"framesDrawn\": %ld, \"ticks\": %u, \"title\": %s, \"console\": %s}\n",
            jsonText(view_.source()).c_str(), view_.frame(), playing_ ? "true" : "false", speed_, view_.cameraIndex(),
            modeName(controller_.mode()), eye.x, eye.y, eye.z, target.x, target.y, target.z,
            controller_.onGround() ? "true" : "false", consoleView_.isOpen() ? "true" : "false",
            view_.fileLighting() ? "true" : "false", render_.wire ? "true" : "false",
            render_.textures ? "true" : "false", stats_.drawn, stats_.faces, fps_, framesDrawn_, SDL_GetTicks(),
            jsonText(SDL_GetWindowTitle(window_.window())).c_str(), jsonText(lines).c_str());
    fclose(f);
}
