#ifndef KVX_BENCH_BENCHPATHS_H
#define KVX_BENCH_BENCHPATHS_H

// Where the benchmarks find the generated demo data and the demo program:
// beside the build that configured them (KVX_BINARY_DIR).

#include <sys/stat.h>

#include <string>

namespace kvxbench {

inline bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

inline long fileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? long(st.st_size) : 0;
}

inline std::string dataDir() { return std::string(KVX_BINARY_DIR) + "/data"; }

inline std::string demoProgram() { return std::string(KVX_BINARY_DIR) + "/demo"; }

}  // namespace kvxbench

#endif
