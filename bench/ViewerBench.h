#ifndef KVX_BENCH_VIEWERBENCH_H
#define KVX_BENCH_VIEWERBENCH_H

#include <vector>

#include "RatioTable.h"

namespace kvxbench {

// The viewer's rows of the ratio table.
void viewerRows(std::vector<Comparison>& rows);

}  // namespace kvxbench

#endif
