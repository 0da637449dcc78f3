#ifndef KVX_IMPORT3DS_IMPORTMESSAGES_H
#define KVX_IMPORT3DS_IMPORTMESSAGES_H

// Log texts and codes of the .3DS import. Each text has one code; the progress
// lines share the scene-structure code.

#include "scene/SceneMessages.h"

const char* const kMsgCannotOpen = "Cannot open .3DS file (possible disk error)";
const int kCodeCannotOpen = 13;
const char* const kMsgNotA3ds = "3DS file expected but something else encountered";
const int kCodeNotA3ds = 14;
const char* const kMsgKeyframer = "Fatal keyframer error in .3DS loader!";
const int kCodeKeyframer = 37;
const char* const kMsgStartLoading = "Start loading...";
const char* const kMsgStartProcessing = "Start processing...";

#endif
