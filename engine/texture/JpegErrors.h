#ifndef KVX_TEXTURE_JPEGERRORS_H
#define KVX_TEXTURE_JPEGERRORS_H

// libjpeg's error manager for one coding run: fatal errors jump back to the
// caller's setjmp, warnings are silent, and running out of data is remembered
// (the decoder would otherwise hand back a grey-padded picture as a success).

#include <csetjmp>
#include <cstdio>

// libjpeg needs FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

struct JpegErrors {
    jpeg_error_mgr manager;
    jmp_buf jump;
    bool truncated = false;

    // Installs this manager; returns it for the codec's err field.
    jpeg_error_mgr* install() {
        jpeg_std_error(&manager);
        manager.error_exit = [](j_common_ptr c) { longjmp(reinterpret_cast<JpegErrors*>(c->err)->jump, 1); };
        manager.emit_message = [](j_common_ptr c, int level) {
            if (level < 0 && c->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<JpegErrors*>(c->err)->truncated = true;
        };
        truncated = false;
        return &manager;
    }
};

#endif
