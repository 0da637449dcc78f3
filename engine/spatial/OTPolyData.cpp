#include "spatial/OTPolyData.h"

#include <cstdlib>

namespace {
const int kInitialCapacity = 8;
}

OTPolyList::OTPolyList() : data(nullptr), count(0), capacity(0) {}

OTPolyList::~OTPolyList() { release(); }

bool OTPolyList::append(const OTPolyData& p) {
    if (count == capacity) {
        int grown = capacity > 0 ? capacity * 2 : kInitialCapacity;
        if (grown <= capacity || !reserve(grown)) return false;
    }
    data[count++] = p;
    return true;
}

bool OTPolyList::reserve(int n) {
    if (n <= capacity) return true;
    void* q = std::realloc(data, sizeof(OTPolyData) * size_t(n));
    if (q == nullptr) return false;
    data = static_cast<OTPolyData*>(q);
    capacity = n;
    return true;
}

void OTPolyList::clear() { count = 0; }

void OTPolyList::release() {
    std::free(data);
    data = nullptr;
    count = 0;
    capacity = 0;
}
