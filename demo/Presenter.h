#ifndef DEMO_PRESENTER_H
#define DEMO_PRESENTER_H

#include <SDL2/SDL.h>

namespace demo {

struct Rect {
    int x, y, w, h;
};

// The largest rectangle of the frame's 4:3 shape that fits w x h, centred.
Rect letterbox(int w, int h);

// The engine always draws a 640 x 480 frame. The presenter gives it that frame
// off screen, whatever the window's size, and shows it scaled into the window's
// drawable with its 4:3 aspect kept and black bars around it. Without off-screen
// framebuffers the frame is drawn in the drawable's lower-left corner and copied.
class Presenter {
public:
    explicit Presenter(SDL_Window* window);
    ~Presenter();
    // Directs the engine's drawing into the frame.
    void begin();
    // Shows the finished frame in the drawable; drawing stays directed to the frame.
    void present();

private:
    bool createFramebuffer();
    void blitScaled(int drawableW, int drawableH);
    void copyScaled(int drawableW, int drawableH);

    SDL_Window* window_;
    unsigned int framebuffer_ = 0;
    unsigned int colorTexture_ = 0;
    unsigned int depthBuffer_ = 0;
    unsigned int copyTexture_ = 0;
};

}  // namespace demo

#endif
