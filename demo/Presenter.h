#ifndef DEMO_PRESENTER_H
#define DEMO_PRESENTER_H

#include <SDL2/SDL.h>

namespace demo {

// The engine always draws a 640 x 480 frame in the lower-left corner of the drawable.
// When the window is larger (a desktop whose mode cannot be switched, or --scale),
// the frame is copied to a texture and shown scaled up with its 4:3 aspect kept.
class Presenter {
public:
    explicit Presenter(SDL_Window* window) : window_(window) {}
    ~Presenter();
    void present();

private:
    void drawScaled(int drawableW, int drawableH);

    SDL_Window* window_;
    unsigned int texture_ = 0;
};

}  // namespace demo

#endif
