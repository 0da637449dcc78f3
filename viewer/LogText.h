#ifndef KVXVIEW_LOG_TEXT_H
#define KVXVIEW_LOG_TEXT_H

// The console's text buffer, taken out as a string.

#include <string>

#include <Korvex3D.h>

// Everything the console and the engine's log wrote since the last call.
std::string takeLogText(Console& console);

#endif
