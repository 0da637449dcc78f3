#ifndef KVX_IMPORT3DS_ALL_H
#define KVX_IMPORT3DS_ALL_H

// Every public header of the import3ds subsystem.

#include "import3ds/Import3DS.h"
#include "import3ds/Loader.h"

#endif
