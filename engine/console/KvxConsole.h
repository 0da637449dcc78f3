#ifndef KVX_CONSOLE_ALL_H
#define KVX_CONSOLE_ALL_H

// Every public header of the console subsystem.

#include "console/Console.h"

#endif
