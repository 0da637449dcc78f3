#ifndef KVXVIEW_HUD_H
#define KVXVIEW_HUD_H

// Text and boxes drawn over the picture: the status line, a notice, the help
// overlay listing every binding, and the load progress bar.

#include <string>

class Hud {
public:
    static const int kLineHeight = 16;

    void setSize(int width, int height) {
        width_ = width;
        height_ = height;
    }
    void drawStatus(const std::string& left, const std::string& right);
    void drawNotice(const std::string& text, bool error);
    void drawHelp();
    void drawProgress(const std::string& name, float fraction);

    // A filled, translucent panel and a line of text, for the other views.
    void panel(float x1, float y1, float x2, float y2, float alpha) const;
    void text(float x, float y, const std::string& line, float r, float g, float b) const;

private:
    int width_ = 0;
    int height_ = 0;
};

#endif
