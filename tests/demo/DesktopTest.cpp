// The demo as a person runs it: on a real X server (Xvfb, 1920 x 1080, no window
// manager), with real options, keys and close requests.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that gtest uses as names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "DemoRun.h"

namespace {

using namespace demotest;
using Clock = std::chrono::steady_clock;

constexpr int kScreenW = 1920, kScreenH = 1080;
constexpr int kLit = 96;

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A child process with its output in a file.
struct Child {
    pid_t pid = -1;
    int status = -1;

    bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& log) {
        pid = fork();
        if (pid != 0) return pid > 0;
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        for (const std::string& e : env) putenv(strdup(e.c_str()));
        unsetenv("SDL_VIDEODRIVER");
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    // True when the child ended within ms; its exit code is then in status.
    bool waitFor(int ms) {
        auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            int st = 0;
            if (waitpid(pid, &st, WNOHANG) == pid) {
                status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
                pid = -1;
                return true;
            }
            sleepMs(10);
        }
        return false;
    }
    ~Child() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

// The root window's pixels, each as its brightest channel, top row first.
struct Shot {
    int w = 0, h = 0;
    std::vector<unsigned char> value;
    int at(int x, int y) const { return value[size_t(y) * w + x]; }
    bool empty() const { return value.empty(); }
    int peak(int x0, int y0, int w, int h) const {
        int p = 0;
        for (int y = y0; y < y0 + h; y++)
            for (int x = x0; x < x0 + w; x++) p = std::max(p, at(x, y));
        return p;
    }
};

class Desktop : public testing::Test {
protected:
    static void SetUpTestSuite() {
        int fds[2];
        if (pipe(fds) != 0) return;
        std::string fd = std::to_string(fds[1]);
        std::string screen = std::to_string(kScreenW) + "x" + std::to_string(kScreenH) + "x24";
        xvfb_ = new Child;
        xvfb_->start({"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp"}, {}, "/dev/null");
        close(fds[1]);
        char buf[16] = {};
        ssize_t n = read(fds[0], buf, sizeof(buf) - 1);
        close(fds[0]);
        if (n <= 0) return;
        display_ = ":" + std::string(buf, strcspn(buf, "\n"));
        dpy_ = XOpenDisplay(display_.c_str());
        // KVX_DESKTOP_WM names a window manager to run the tests under (e.g. openbox).
        if (const char* wm = getenv("KVX_DESKTOP_WM")) {
            wm_ = new Child;
            wm_->start({wm}, {"DISPLAY=" + display_}, "/dev/null");
            sleepMs(1000);
        }
    }
    static void TearDownTestSuite() {
        delete wm_;
        wm_ = nullptr;
        if (dpy_) XCloseDisplay(dpy_);
        dpy_ = nullptr;
        delete xvfb_;
        xvfb_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(haveData()) << "run datagen into " << kBuild << "/data first";
        ASSERT_NE(dpy_, nullptr) << "Xvfb (Debian package xvfb) did not start";
    }
    void TearDown() override {
        if (!log_.empty()) unlink(log_.c_str());
    }

    bool startDemo(Child& demo, const std::vector<std::string>& options) {
        std::vector<std::string> argv = {kBuild + "/demo"};
        argv.insert(argv.end(), options.begin(), options.end());
        log_ = tempPath("kvx_desktop_log");
        return demo.start(argv, {"DISPLAY=" + display_, "SDL_AUDIODRIVER=dummy"}, log_);
    }

    static Shot grab() {
        Shot s;
        Window root = DefaultRootWindow(dpy_);
        XImage* img = XGetImage(dpy_, root, 0, 0, kScreenW, kScreenH, AllPlanes, ZPixmap);
        if (!img) return s;
        s.w = kScreenW;
        s.h = kScreenH;
        s.value.resize(size_t(s.w) * s.h);
        for (int y = 0; y < s.h; y++)
            for (int x = 0; x < s.w; x++) {
                unsigned long p = XGetPixel(img, x, y);
                s.value[size_t(y) * s.w + x] = std::max({p >> 16 & 255, p >> 8 & 255, p & 255});
            }
        XDestroyImage(img);
        return s;
    }

    // Waits up to ms for the first title to light the screen's centre.
    static Shot waitForTitle(int ms) {
        auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            Shot s = grab();
            if (!s.empty() && lit(s, kScreenW / 2 - 300, kScreenH / 2 - 60, 600, 120) > 500) return s;
            sleepMs(50);
        }
        return Shot();
    }

    static int lit(const Shot& s, int x0, int y0, int w, int h) {
        int n = 0;
        for (int y = std::max(0, y0); y < std::min(s.h, y0 + h); y++)
            for (int x = std::max(0, x0); x < std::min(s.w, x0 + w); x++) n += s.at(x, y) > kLit;
        return n;
    }

    // The demo's window (inside a window manager's frame, if any), or 0.
    static Window demoWindow(Window under = 0) {
        if (!under) under = DefaultRootWindow(dpy_);
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        if (!XQueryTree(dpy_, under, &root, &parent, &children, &count)) return 0;
        for (unsigned int i = 0; i < count && !found; i++) {
            char* name = nullptr;
            if (XFetchName(dpy_, children[i], &name) && name && !strcmp(name, "Glasswing")) found = children[i];
            if (name) XFree(name);
            if (!found) found = demoWindow(children[i]);
        }
        if (children) XFree(children);
        return found;
    }

    // Centred, allowing for a window manager's title bar and borders.
    static void expectCentredOnScreen(const XWindowAttributes& g) {
        constexpr int kDecoration = 32;
        EXPECT_NEAR(g.x, (kScreenW - g.width) / 2, kDecoration);
        EXPECT_NEAR(g.y, (kScreenH - g.height) / 2, kDecoration);
        EXPECT_GE(g.x, 0);
        EXPECT_GE(g.y, 0);
        EXPECT_LE(g.x + g.width, kScreenW);
        EXPECT_LE(g.y + g.height, kScreenH);
    }

    static XWindowAttributes geometry(Window w) {
        XWindowAttributes a{};
        XGetWindowAttributes(dpy_, w, &a);
        Window child;
        XTranslateCoordinates(dpy_, w, DefaultRootWindow(dpy_), 0, 0, &a.x, &a.y, &child);
        return a;
    }

    // True when w is unmapped or destroyed within ms.
    static bool leavesScreen(Window w, int ms) {
        XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        auto end = Clock::now() + std::chrono::milliseconds(ms);
        bool gone = false;
        while (!gone && Clock::now() < end) {
            XWindowAttributes a{};
            gone = !XGetWindowAttributes(dpy_, w, &a) || a.map_state != IsViewable;
            if (!gone) sleepMs(10);
        }
        XSetErrorHandler(previous);
        return gone;
    }

    // The show leaves the screen within a second of the request and the program ends
    // with exit code 0; sound and GL shut down behind it (a few tenths of a second).
    static void expectPromptEnd(Child& demo, Window w) {
        EXPECT_TRUE(leavesScreen(w, 1000)) << "the show stayed on screen";
        ASSERT_TRUE(demo.waitFor(3000)) << "the program did not end";
        EXPECT_EQ(demo.status, 0);
    }

    static void pressEscape() {
        XTestFakeMotionEvent(dpy_, 0, kScreenW / 2, kScreenH / 2, CurrentTime);
        KeyCode esc = XKeysymToKeycode(dpy_, XK_Escape);
        XTestFakeKeyEvent(dpy_, esc, True, CurrentTime);
        XTestFakeKeyEvent(dpy_, esc, False, CurrentTime);
        XFlush(dpy_);
    }

    static void requestClose(Window w) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(dpy_, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy_, w, False, NoEventMask, &e);
        XFlush(dpy_);
    }

    std::string log_;
    static Child* xvfb_;
    static Child* wm_;
    static std::string display_;
    static Display* dpy_;
};
Child* Desktop::xvfb_ = nullptr;
Child* Desktop::wm_ = nullptr;
std::string Desktop::display_;
Display* Desktop::dpy_ = nullptr;

// The off-line frame of the same moment, as a lit/unlit map.
std::vector<bool> litFrame(int ms) {
    kvxtest::Scratch frames("kvx_desktop_frames");
    std::string out;
    runCommand(kBuild + "/demo --capture-frames " + frames.dir() + " --at " + std::to_string(ms), &out);
    char name[32];
    snprintf(name, sizeof(name), "frame_%06d.png", ms);
    Frame f = readPng(frames(name));
    std::vector<bool> map;
    if (!f.ok()) return map;
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kW; x++) map.push_back(f.brightest(x, y) > kLit);
    return map;
}

}  // namespace

TEST_F(Desktop, FullScreenShowsTheWholeFrameLetterboxedAndEscapeEndsIt) {
    Child demo;
    ASSERT_TRUE(startDemo(demo, {}));
    Shot title = waitForTitle(30000);
    ASSERT_FALSE(title.empty()) << "no title on screen";
    const auto shown = Clock::now();

    // The first title, scaled by 2.25 into the centred 1440 x 1080 rectangle, lights
    // the same places as in the off-line frame.
    std::vector<bool> offline = litFrame(500);
    ASSERT_EQ(offline.size(), size_t(kW) * kH);
    const int left = (kScreenW - 1440) / 2;
    int both = 0, either = 0;
    for (int y = 0; y < kH; y += 2)
        for (int x = 0; x < kW; x += 2) {
            bool screen = title.at(left + int((x + 0.5) * 2.25), int((y + 0.5) * 2.25)) > kLit;
            both += screen && offline[size_t(y) * kW + x];
            either += screen || offline[size_t(y) * kW + x];
        }
    ASSERT_GT(either, 200);
    EXPECT_GT(double(both) / either, 0.7) << both << " of " << either;

    // From 17.5 s the first scene fills the frame to its edges; the 240-pixel bars stay black.
    std::this_thread::sleep_until(shown + std::chrono::seconds(19));
    Shot scene = grab();
    EXPECT_LT(scene.peak(0, 0, left, kScreenH), 8);
    EXPECT_LT(scene.peak(kScreenW - left, 0, left, kScreenH), 8);
    for (int y = 0; y < kScreenH; y += kScreenH / 4) {
        EXPECT_GT(scene.peak(left, y, 8, kScreenH / 4), 40) << "left edge from row " << y;
        EXPECT_GT(scene.peak(kScreenW - left - 8, y, 8, kScreenH / 4), 40) << "right edge from row " << y;
    }

    Window w = demoWindow();
    ASSERT_NE(w, Window(0));
    pressEscape();
    expectPromptEnd(demo, w);
}

TEST_F(Desktop, ScaledWindowFitsTheScreenFollowsResizesAndCloses) {
    Child demo;
    ASSERT_TRUE(startDemo(demo, {"--window", "--scale", "2"}));
    Shot title = waitForTitle(30000);
    ASSERT_FALSE(title.empty()) << "no title on screen";
    Window w = demoWindow();
    ASSERT_NE(w, Window(0));
    XWindowAttributes g = geometry(w);
    EXPECT_EQ(g.width, 1280);
    EXPECT_EQ(g.height, 960);
    expectCentredOnScreen(g);

    // Made smaller than the frame, the window still shows all of the title, scaled down:
    // the 512 x 128 title in a 400 x 300 window is 320 x 80 at (40, 110).
    XResizeWindow(dpy_, w, 400, 300);
    XFlush(dpy_);
    sleepMs(400);
    g = geometry(w);
    ASSERT_EQ(g.width, 400);
    Shot small = grab();
    int inside = lit(small, g.x + 40, g.y + 110, 320, 80);
    EXPECT_GT(inside, 400);
    EXPECT_EQ(lit(small, g.x, g.y, 400, 300) - lit(small, g.x + 36, g.y + 106, 328, 88), 0);

    requestClose(w);
    expectPromptEnd(demo, w);
}

// A scale the screen cannot hold is reduced, with a note; the show's end ends the program.
TEST_F(Desktop, ScalesBeyondTheScreenAreReducedAndTheEndEndsTheProgram) {
    Child demo;
    ASSERT_TRUE(startDemo(demo, {"--window", "--scale", "3", "--until", "3000"}));
    ASSERT_FALSE(waitForTitle(30000).empty());
    Window w = demoWindow();
    ASSERT_NE(w, Window(0));
    XWindowAttributes g = geometry(w);
    EXPECT_EQ(g.width, 1280);
    expectCentredOnScreen(g);
    ASSERT_TRUE(demo.waitFor(5000)) << "the show did not end at --until";
    EXPECT_EQ(demo.status, 0);
    std::string out = kvxtest::readFile(log_);
    EXPECT_NE(out.find("--scale 2"), std::string::npos) << out;
}
