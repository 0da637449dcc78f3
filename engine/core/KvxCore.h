#ifndef KVX_CORE_ALL_H
#define KVX_CORE_ALL_H

// Every public header of the core subsystem. The pack reader (core/PackFile.h)
// is internal to the engine and stays out of it.

#include "core/Math.h"
#include "core/String.h"
#include "core/Types.h"
#include "core/VectorOps.h"

#endif
