#include "Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kFontCount = 6;

const char* fontFile(Font f) {
    switch (f) {
        case Font::Sans: return "DejaVuSans.ttf";
        case Font::SansBold: return "DejaVuSans-Bold.ttf";
        case Font::Serif: return "DejaVuSerif.ttf";
        case Font::SerifBold: return "DejaVuSerif-Bold.ttf";
        case Font::Mono: return "DejaVuSansMono.ttf";
        case Font::MonoBold: return "DejaVuSansMono-Bold.ttf";
    }
    return "DejaVuSans.ttf";
}

std::vector<uint32_t> decodeUtf8(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= s.size()) {
            ++i;
            continue;
        }
        uint32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra && i + k < s.size(); ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

}  // namespace

std::string fontPath(Font font) { return std::string("/usr/share/fonts/truetype/dejavu/") + fontFile(font); }

struct TextSetter::Impl {
    FT_Library lib = nullptr;
    FT_Face faces[kFontCount] = {};
};

TextSetter::TextSetter() : impl_(new Impl) {
    if (FT_Init_FreeType(&impl_->lib) != 0) {
        error_ = "FreeType cannot start";
        return;
    }
    for (int i = 0; i < kFontCount; ++i) {
        std::string p = fontPath(static_cast<Font>(i));
        if (FT_New_Face(impl_->lib, p.c_str(), 0, &impl_->faces[i]) != 0) {
            error_ = "cannot open font " + p;
            return;
        }
    }
    ok_ = true;
}

TextSetter::~TextSetter() {
    for (FT_Face f : impl_->faces)
        if (f) FT_Done_Face(f);
    if (impl_->lib) FT_Done_FreeType(impl_->lib);
    delete impl_;
}

static float layout(FT_Face face, const std::string& utf8, int size, float tracking, Mask* mask, float x, float y) {
    if (!face) return 0;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
    float pen = x;
    FT_UInt prev = 0;
    for (uint32_t cp : decodeUtf8(utf8)) {
        FT_UInt gi = FT_Get_Char_Index(face, cp);
        if (prev && gi && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k);
            pen += k.x / 64.0f;
        }
        if (FT_Load_Glyph(face, gi, mask ? FT_LOAD_RENDER : FT_LOAD_DEFAULT) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        if (mask) {
            const FT_Bitmap& bm = g->bitmap;
            int ox = static_cast<int>(std::lround(pen)) + g->bitmap_left;
            int oy = static_cast<int>(std::lround(y)) - g->bitmap_top;
            for (unsigned r = 0; r < bm.rows; ++r)
                for (unsigned c = 0; c < bm.width; ++c) {
                    int px = ox + static_cast<int>(c), py = oy + static_cast<int>(r);
                    if (px < 0 || py < 0 || px >= mask->width() || py >= mask->height()) continue;
                    float v = bm.buffer[r * bm.pitch + c] / 255.0f;
                    mask->at(px, py) = std::max(mask->at(px, py), v);
                }
        }
        pen += g->advance.x / 64.0f + tracking;
        prev = gi;
    }
    return pen - x - tracking;
}

float TextSetter::measure(Font font, const std::string& utf8, int pixelSize, float tracking) const {
    if (!ok_) return 0;
    return layout(impl_->faces[static_cast<int>(font)], utf8, pixelSize, tracking, nullptr, 0, 0);
}

float TextSetter::draw(Mask& mask, Font font, const std::string& utf8, int pixelSize, float x, float y,
                       float tracking) const {
    if (!ok_) return 0;
    return layout(impl_->faces[static_cast<int>(font)], utf8, pixelSize, tracking, &mask, x, y);
}

float TextSetter::drawCentred(Mask& mask, Font font, const std::string& utf8, int pixelSize, float cx, float y,
                              float tracking) const {
    float w = measure(font, utf8, pixelSize, tracking);
    return draw(mask, font, utf8, pixelSize, cx - w / 2, y, tracking);
}
