#ifndef KVX_PLATFORM_ALL_H
#define KVX_PLATFORM_ALL_H

// Every public header of the platform subsystem.

#include "platform/FileSystem.h"
#include "platform/Platform.h"
#include "platform/Window.h"

#endif
