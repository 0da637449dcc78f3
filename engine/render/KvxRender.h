#ifndef KVX_RENDER_ALL_H
#define KVX_RENDER_ALL_H

// Every public header of the render subsystem.

#include "render/ErrorLog.h"

#endif
