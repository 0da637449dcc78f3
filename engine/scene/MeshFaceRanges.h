#ifndef KVX_SCENE_MESHFACERANGES_H
#define KVX_SCENE_MESHFACERANGES_H

// Runs of consecutive faces that share one material.

#include <cstdint>

struct FaceRange {
    int32_t first;  // inclusive
    int32_t last;   // inclusive
};

struct FaceRangeList {
    int32_t count;
    FaceRange* ranges;  // owned, count entries

    explicit FaceRangeList(int n);
    ~FaceRangeList();
    FaceRangeList(const FaceRangeList&) = delete;
    FaceRangeList& operator=(const FaceRangeList&) = delete;

    FaceRangeList* copy() const;
};

#endif
