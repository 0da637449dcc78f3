#ifndef KVX_SCENE_MESHFACERANGES_H
#define KVX_SCENE_MESHFACERANGES_H

// Runs of consecutive faces that share one material.

#include <cstdint>

// Faces first to last of one material.
struct FaceRange {
    int32_t first;  // inclusive
    int32_t last;   // inclusive
};

// The runs of one material in a mesh.
struct FaceRangeList {
    int32_t count;
    FaceRange* ranges;  // owned, count entries

    // A list of n empty runs.
    explicit FaceRangeList(int n);
    ~FaceRangeList();
    FaceRangeList(const FaceRangeList&) = delete;
    FaceRangeList& operator=(const FaceRangeList&) = delete;

    // Returns a heap copy.
    FaceRangeList* copy() const;
};

#endif
