#ifndef KVX_SPATIAL_SPATIALMESSAGES_H
#define KVX_SPATIAL_SPATIALMESSAGES_H

// Log texts and codes of the spatial code. Each text has one code.

const char* const kMsgLightsFileOpen = "Cannot open lights file!";
const int kCodeLightsFileOpen = 54;
const char* const kMsgLightsFileShort = "Lights file is shorter than the OGroup's colour arrays!";
const int kCodeLightsFileShort = 55;

// Returned, not logged, by the octree's calls for an argument they cannot use.
const int kCodeOctreeArgument = 2;

#endif
