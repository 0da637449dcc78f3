#ifndef KVX_BENCH_COMPARISONS_H
#define KVX_BENCH_COMPARISONS_H

#include <vector>

#include "RatioTable.h"

namespace kvxbench {

// Every row of the combined table, in the order printed.
std::vector<Comparison> comparisons();

}  // namespace kvxbench

#endif
