#ifndef DEMO_OUTPUTPATHS_H
#define DEMO_OUTPUTPATHS_H

#include <string>

#include "Options.h"

namespace demo {

// Checks, before anything is rendered, that every file the options name can be
// written. Returns the reason naming the user's path, or empty when all is well.
std::string checkOutputPaths(const Options& options);

}  // namespace demo

#endif
