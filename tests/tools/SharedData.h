#ifndef KVX_TESTS_TOOLS_SHAREDDATA_H
#define KVX_TESTS_TOOLS_SHAREDDATA_H

#include <string>

// Directory holding datagen's output for this build (generated on first use);
// empty when generation failed.
std::string sharedDataDir();

#endif
