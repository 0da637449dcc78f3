#ifndef KVX_BENCH_LARGEFILES_H
#define KVX_BENCH_LARGEFILES_H

// The real .3DS files of more than kLargeFaces faces, found under the test
// data and, when present, the shared collection of files from other tools.

#include <string>
#include <vector>

namespace kvxbench {

const long kLargeFaces = 5000;

struct LargeFile {
    std::string name;  // file name, unique across the set
    std::string path;
    long faces;
};

// Sorted by name; scanned once.
const std::vector<LargeFile>& largeFiles();

// The file with one far vertex and the file it was made from.
const char* const kFarVertexFile = "BoxedIn-far-vertex.3ds";
const char* const kFarVertexOriginal = "BoxedIn.3ds";

}  // namespace kvxbench

#endif
