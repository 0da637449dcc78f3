// The tunnel's lookup tables read from arbitrary bytes, then one grid computed from them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "Tunnel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    bytes.push_back(0);
    FILE* f = fmemopen(bytes.data(), size > 0 ? size : 1, "rb");
    if (!f) return 0;
    demo::Tunnel* tunnel = new demo::Tunnel();
    tunnel->loadBlocks(f);
    fclose(f);
    tunnel->phase = size % 720;
    tunnel->computeGrid();
    delete tunnel;
    return 0;
}
