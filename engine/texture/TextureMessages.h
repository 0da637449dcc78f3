#ifndef KVX_TEXTURE_TEXTUREMESSAGES_H
#define KVX_TEXTURE_TEXTUREMESSAGES_H

// Log texts and codes of the texture and material code. Each text has one code.

#include <cstddef>

const size_t kMaxImagePixels = 1048576;  // what the 4 MiB pixel buffer holds

const char* const kMsgNotFound = "Material/Texture not found";
const int kCodeNotFound = 5;
const char* const kMsgFormat = "Texture (image) format not supported";
const int kCodeFormat = 6;
const char* const kMsgIfl = "Error loading .IFL file";
const int kCodeIfl = 7;
const char* const kMsgJpg = "Error loading .JPG file";
const int kCodeJpg = 8;
const char* const kMsgTga = "Error loading .TGA file";
const int kCodeTga = 9;
const char* const kMsgAlias = "Error loading file";
const int kCodeAlias = 10;
const char* const kMsgUpload = "Cannot upload texture (possible openGL error)";
const int kCodeUpload = 11;
const char* const kMsgSize = "Illegal texture size (width and height must be n^2)";
const int kCodeSize = 12;
const char* const kMsgDeleteDefault = "Could not delete material! Possible memoryleak or program crash!";
const int kCodeDeleteDefault = 23;
const char* const kMsgNoDiffuse = "Material contains no diffuse values";
const int kCodeNoDiffuse = 30;
const char* const kMsgFileNotFound = "File not found!";
const int kCodeFileNotFound = 46;
const char* const kMsgTgaDepthLow = "TGA depth is too low!";
const int kCodeTgaDepthLow = 47;
const char* const kMsgTgaType = "Imagetype is unknown!";
const int kCodeTgaType = 48;

// Refusals of malformed or oversized input.
const char* const kMsgTgaTruncated = "TGA file is truncated!";
const int kCodeTgaTruncated = 60;
const char* const kMsgTgaRleOverrun = "TGA run-length packet runs past the image!";
const int kCodeTgaRleOverrun = 61;
const char* const kMsgImageTooLarge = "Image is too large for the texture buffer!";
const int kCodeImageTooLarge = 62;
const char* const kMsgTgaDepthHigh = "TGA depth is too high!";
const int kCodeTgaDepthHigh = 63;
const char* const kMsgIflTooMany = "Too many frames in .IFL file, only the first 63 are used";
const int kCodeIflTooMany = 64;
const char* const kMsgNameTooLong = "File name is too long!";
const int kCodeNameTooLong = 65;
const char* const kMsgPathTooLong = "Path is too long!";
const int kCodePathTooLong = 66;
const char* const kMsgJpgCorrupt = "JPEG data is corrupt or truncated!";
const int kCodeJpgCorrupt = 67;
const char* const kMsgFrameRange = "Texture frame index out of range!";
const int kCodeFrameRange = 68;

#endif
