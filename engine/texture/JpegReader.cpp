#include "texture/JpegReader.h"

#include "render/ErrorLog.h"
#include "texture/JpegErrors.h"
#include "texture/TextureMessages.h"

namespace {

bool fits(const jpeg_decompress_struct& cinfo, const ImageTarget& out) {
    size_t pixels = static_cast<size_t>(cinfo.image_width) * cinfo.image_height;
    return pixels <= kMaxImagePixels && pixels * 4 <= out.capacity;
}

void expandRow(const unsigned char* rgb, unsigned width, unsigned char* rgba) {
    for (unsigned x = 0; x < width; ++x) {
        rgba[x * 4 + 0] = rgb[x * 3 + 0];
        rgba[x * 4 + 1] = rgb[x * 3 + 1];
        rgba[x * 4 + 2] = rgb[x * 3 + 2];
        rgba[x * 4 + 3] = 255;
    }
}

enum DecodeResult { kDecoded, kCorrupt, kTooLarge };

DecodeResult decode(jpeg_decompress_struct* cinfo, const unsigned char* file, size_t size, ImageTarget* out) {
    jpeg_mem_src(cinfo, file, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    out->width = static_cast<int32_t>(cinfo->image_width);
    out->height = static_cast<int32_t>(cinfo->image_height);
    if (!fits(*cinfo, *out)) return kTooLarge;
    cinfo->out_color_space = JCS_RGB;
    jpeg_start_decompress(cinfo);
    unsigned width = cinfo->output_width;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, width * 3, 1);
    size_t stride = static_cast<size_t>(width) * 4;
    while (cinfo->output_scanline < cinfo->output_height) {
        size_t bufferRow = cinfo->output_height - 1 - cinfo->output_scanline;
        if (jpeg_read_scanlines(cinfo, row, 1) != 1) return kCorrupt;
        expandRow(row[0], width, out->pixels + bufferRow * stride);
    }
    jpeg_finish_decompress(cinfo);
    out->components = 3;
    return kDecoded;
}

}  // namespace

bool kvxDecodeJpeg(const unsigned char* file, size_t size, ImageTarget* out) {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    cinfo.err = errors.install();
    cinfo.mem = nullptr;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        kvxPutToErrorLog(kMsgJpgCorrupt, kCodeJpgCorrupt);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    DecodeResult result = decode(&cinfo, file, size, out);
    jpeg_destroy_decompress(&cinfo);
    if (result == kTooLarge) {
        kvxPutToErrorLog(kMsgImageTooLarge, kCodeImageTooLarge);
        return false;
    }
    if (result == kCorrupt || errors.truncated) {
        kvxPutToErrorLog(kMsgJpgCorrupt, kCodeJpgCorrupt);
        return false;
    }
    return true;
}

bool kvxReadJpeg(const char* path, const char* archive, ImageTarget* out) {
    ImageFile file;
    ImageFile::Status status = file.load(path, archive);
    if (status == ImageFile::kNotFound) return false;
    if (status == ImageFile::kTooLarge) {
        kvxPutToErrorLog(kMsgImageTooLarge, kCodeImageTooLarge);
        return false;
    }
    return kvxDecodeJpeg(file.bytes, file.size, out);
}
