#ifndef KVXVIEW_BATCH_H
#define KVXVIEW_BATCH_H

// The window-less uses of kvxview: --info and --output.

#include "Options.h"

int runInfo(const Options& options);
int runOutput(const Options& options);

#endif
