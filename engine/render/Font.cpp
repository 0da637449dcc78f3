#include "render/Font.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include FT_FREETYPE_H
#include "platform/FileSystem.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/RenderMessages.h"
#include "texture/ImageFile.h"

int kvxFontBase = 0;

namespace {

const int kGlyphCount = 128;
const int kFirstPrintable = 32;
const int kLastPrintable = 126;
const int kFontPixels = 14;
const int kTextSize = 1024;
const int kMaxGlyphBytes = 64 * 64 / 8;
const char kFontFamily[] = "DejaVu Sans";
const char kFallbackFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const float kTextDepth = -0.999f;  // raster z just behind the near plane: text stays on top

bool readable(const char* path) {
    FILE* f = kvxOpenFile(path, "rb");
    if (f == nullptr) return false;
    fclose(f);
    return true;
}

// fontconfig's best match for the family, when it is a DejaVu Sans file.
bool findWithFontconfig(char* path, size_t size) {
    if (!FcInit()) return false;
    bool found = false;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kFontFamily));
    if (pattern != nullptr) {
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
            strcmp(reinterpret_cast<const char*>(family), kFontFamily) == 0 &&
            strlen(reinterpret_cast<const char*>(file)) < size) {
            strcpy(path, reinterpret_cast<const char*>(file));
            found = readable(path);
        }
        if (match != nullptr) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    return found;
}

bool findFont(char* path, size_t size) {
    if (findWithFontconfig(path, size)) return true;
    if (!readable(kFallbackFont)) return false;
    snprintf(path, size, "%s", kFallbackFont);
    return true;
}

// A blank 1x1 bitmap: display lists cannot record an empty one.
void emptyGlyph(float advance) {
    const GLubyte blank = 0;
    glBitmap(1, 1, 0.0f, 0.0f, advance, 0.0f, &blank);
}

// One glyph as a glBitmap: rows bottom-up, origin on the baseline.
void compileGlyph(FT_Face face, int code) {
    if (code < kFirstPrintable || code > kLastPrintable ||
        FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
        emptyGlyph(0.0f);
        return;
    }
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    int rowBytes = (static_cast<int>(bitmap.width) + 7) / 8;
    int rows = static_cast<int>(bitmap.rows);
    float advance = static_cast<float>(slot->advance.x) / 64.0f;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || rowBytes * rows > kMaxGlyphBytes || rows == 0) {
        emptyGlyph(advance);
        return;
    }
    unsigned char bits[kMaxGlyphBytes];
    int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int r = 0; r < rows; ++r) {
        memcpy(bits + (rows - 1 - r) * rowBytes, bitmap.buffer + r * pitch, rowBytes);
    }
    glBitmap(static_cast<GLsizei>(bitmap.width), rows, static_cast<float>(-slot->bitmap_left),
             static_cast<float>(rows - slot->bitmap_top), advance, 0.0f, bits);
}

bool buildLists(FT_Face face) {
    GLuint base = glGenLists(kGlyphCount);
    if (base == 0) return false;
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    for (int c = 0; c < kGlyphCount; ++c) {
        glNewList(base + static_cast<GLuint>(c), GL_COMPILE);
        compileGlyph(face, c);
        glEndList();
    }
    glPopClientAttrib();
    kvxFontBase = static_cast<int>(base);
    return true;
}

// Moves the raster position to window point (x, y) with a bitmap move from
// a position that is valid whatever the caller's matrices clip.
void placeRaster(float x, float y) {
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos3f(0.0f, 0.0f, kTextDepth);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(mode));
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    const GLubyte blank = 0;
    glBitmap(1, 1, 0.0f, 0.0f, x - raster[0], y - raster[1], &blank);
}

}  // namespace

int kvxInitFontFromFile(const char* fontFile) {
    if (!kvxOpenGLSelected()) return 0;
    ImageFile file;
    FT_Library library = nullptr;
    if (file.load(fontFile, nullptr) != ImageFile::kRead || FT_Init_FreeType(&library) != 0) {
        return kvxPutToErrorLog(kMsgFonts, kCodeFonts);
    }
    FT_Face face = nullptr;
    bool built = false;
    if (FT_New_Memory_Face(library, file.bytes, static_cast<FT_Long>(file.size), 0, &face) == 0) {
        built = FT_Set_Pixel_Sizes(face, 0, kFontPixels) == 0 && buildLists(face);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return built ? 0 : kvxPutToErrorLog(kMsgFonts, kCodeFonts);
}

int kvxInitFont() {
    if (!kvxOpenGLSelected()) return 0;
    char path[4096];
    if (!findFont(path, sizeof(path))) {
        kvxPutToErrorLog("No DejaVu Sans font found (fontconfig, /usr/share/fonts/truetype/dejavu)", 0);
        return kvxPutToErrorLog(kMsgFonts, kCodeFonts);
    }
    return kvxInitFontFromFile(path);
}

void kvxWrite(float x, float y, Color* color, const char* format, ...) {
    if (!kvxOpenGLSelected() || format == nullptr) return;
    char text[kTextSize];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    if (n < 0) return;
    size_t length = strlen(text);
    // Only the 128 font lists may be called: other list numbers hold meshes.
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= kGlyphCount) text[i] = '?';
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    if (color != nullptr) glColor3f(color->r, color->g, color->b);
    placeRaster(x, kvxViewport.height - y);
    glListBase(static_cast<GLuint>(kvxFontBase));
    glCallLists(static_cast<GLsizei>(length), GL_UNSIGNED_BYTE, text);
    glListBase(0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
}
