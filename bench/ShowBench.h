#ifndef KVX_BENCH_SHOWBENCH_H
#define KVX_BENCH_SHOWBENCH_H

namespace kvxbench {

const int kShowLengthMs = 161000;

// Length of show the capture benchmark plays: the whole show, or less when
// KVX_BENCH_SHOW_MS asks for a shorter run (its real-time length is then the baseline).
int showLengthMs();

}  // namespace kvxbench

#endif
