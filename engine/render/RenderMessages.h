#ifndef KVX_RENDER_RENDERMESSAGES_H
#define KVX_RENDER_RENDERMESSAGES_H

// Log texts and codes of the render code. Each text has one code.

const char* const kMsgCameraNull = "Camera used in functioncall is NULL!";
const int kCodeCameraNull = 24;
const char* const kMsgFonts = "Cannot create fonts!";
const int kCodeFonts = 49;

#endif
