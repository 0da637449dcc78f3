#include "texture/JpegWriter.h"

#include <cstdlib>

#include "platform/FileSystem.h"
#include "texture/JpegErrors.h"

namespace {

void compress(jpeg_compress_struct* cinfo, const unsigned char* rgba, int width, int height, int quality) {
    cinfo->image_width = static_cast<JDIMENSION>(width);
    cinfo->image_height = static_cast<JDIMENSION>(height);
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_EXT_RGBA;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    size_t stride = static_cast<size_t>(width) * 4;
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgba + cinfo->next_scanline * stride);
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
}

// Encodes into memory so that a failing encoder never touches the file.
bool encode(const unsigned char* rgba, int width, int height, int quality, unsigned char** out, unsigned long* size) {
    jpeg_compress_struct cinfo;
    JpegErrors errors;
    cinfo.err = errors.install();
    cinfo.mem = nullptr;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, size);
    compress(&cinfo, rgba, width, height, quality);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

bool kvxWriteJpeg(const char* path, const unsigned char* rgba, int width, int height, int quality) {
    if (path == nullptr || rgba == nullptr || width < 1 || height < 1) return false;
    unsigned char* encoded = nullptr;
    unsigned long size = 0;
    bool ok = encode(rgba, width, height, quality, &encoded, &size);
    if (ok) {
        FILE* f = kvxOpenFile(path, "wb");
        ok = f != nullptr;
        if (ok) {
            ok = fwrite(encoded, 1, size, f) == size;
            ok = fclose(f) == 0 && ok;
            if (!ok) remove(path);
        }
    }
    free(encoded);
    return ok;
}
