#ifndef KVXVIEW_PNG_FILE_H
#define KVXVIEW_PNG_FILE_H

// Saves what the engine has drawn as a PNG file.

#include <string>

// Reads width x height pixels of the frame buffer (kvxGetBuffer) and writes
// them top row first as 8-bit RGB. False with a message when writing fails.
bool saveFrameAsPng(const std::string& path, int width, int height, std::string* error);

#endif
