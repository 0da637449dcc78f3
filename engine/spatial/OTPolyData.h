#ifndef KVX_SPATIAL_OTPOLYDATA_H
#define KVX_SPATIAL_OTPOLYDATA_H

// A reference to one triangle of a mesh, and the growable list of them that
// an octree node holds.

#include <cstdint>

class Mesh;

struct OTPolyData {
    Mesh* mesh;    // not owned
    int32_t face;  // index into mesh->faces

    // Copies o; returns this reference.
    OTPolyData& operator=(const OTPolyData& o) = default;
};

// Appends in amortised constant time (the storage doubles when full).
struct OTPolyList {
    OTPolyData* data;
    int32_t count;
    int32_t capacity;

    OTPolyList();
    ~OTPolyList();
    OTPolyList(const OTPolyList&) = delete;
    OTPolyList& operator=(const OTPolyList&) = delete;

    bool append(const OTPolyData& p);  // false when the storage cannot grow
    bool reserve(int n);               // room for n entries; false when the storage cannot grow
    void clear();                      // forgets the entries, keeps the storage
    void release();                    // forgets the entries and frees the storage
    // Returns the number of entries.
    int size() const { return count; }
    // True when there are no entries.
    bool empty() const { return count == 0; }
    // Returns entry i.
    OTPolyData& operator[](int i) { return data[i]; }
    // Returns entry i.
    const OTPolyData& operator[](int i) const { return data[i]; }
};

#endif
