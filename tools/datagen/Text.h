#pragma once
// Anti-aliased text set with FreeType into coverage masks.
#include <string>

#include "Image.h"

enum class Font { Sans, SansBold, Serif, SerifBold, Mono, MonoBold };

class TextSetter {
public:
    TextSetter();
    ~TextSetter();
    TextSetter(const TextSetter&) = delete;
    TextSetter& operator=(const TextSetter&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

    // Advance width in pixels of utf8 text at the given size; tracking is
    // extra space after every glyph.
    float measure(Font font, const std::string& utf8, int pixelSize, float tracking = 0) const;
    // Draws text with its left end at x and its baseline at y (max-combined
    // into the mask). Returns the advance width.
    float draw(Mask& mask, Font font, const std::string& utf8, int pixelSize, float x, float y,
               float tracking = 0) const;
    // The same, centred horizontally on cx.
    float drawCentred(Mask& mask, Font font, const std::string& utf8, int pixelSize, float cx, float y,
                      float tracking = 0) const;

private:
    struct Impl;
    Impl* impl_;
    bool ok_ = false;
    std::string error_;
};

// Where the DejaVu fonts live (fonts-dejavu-core).
std::string fontPath(Font font);
