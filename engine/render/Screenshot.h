#ifndef KVX_RENDER_SCREENSHOT_H
#define KVX_RENDER_SCREENSHOT_H

// Saves the frame buffer, the right way up, as the first free file name of
// "Shot0000.jpg" ... "Shot0999.jpg" in the working directory (JPEG quality 90).
// When every name is taken, or writing fails, nothing is saved or reported.
void kvxScreenShot();

#endif
