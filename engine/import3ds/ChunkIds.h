#ifndef KVX_IMPORT3DS_CHUNKIDS_H
#define KVX_IMPORT3DS_CHUNKIDS_H

// Chunk ids of the .3DS format: what the import reads and the .3DS writer
// of the tools writes.

#include "import3ds/Loader.h"

namespace kvx_chunk {

enum : unsigned {
    kMain = Loader::mainChunkID,
    kVersion = 0x0002,
    kColorFloat = 0x0010,
    kColor24 = 0x0011,
    kColorLinear24 = 0x0012,
    kPercentInt = 0x0030,
    kPercentFloat = 0x0031,
    kMasterScale = 0x0100,
    kAmbientLight = 0x2100,
    kEditor = 0x3D3D,
    kMeshVersion = 0x3D3E,
    kNamedObject = 0x4000,
    kObjectHidden = 0x4010,
    kTriangleObject = 0x4100,
    kVertexList = 0x4110,
    kFaceList = 0x4120,
    kFaceMaterials = 0x4130,
    kTextureCoords = 0x4140,
    kSmoothingGroups = 0x4150,
    kLocalAxes = 0x4160,
    kLight = 0x4600,
    kSpotlight = 0x4610,
    kLightOff = 0x4620,
    kLightInnerRange = 0x4659,
    kLightOuterRange = 0x465A,
    kCamera = 0x4700,
    kMaterialName = 0xA000,
    kAmbient = 0xA010,
    kDiffuse = 0xA020,
    kSpecular = 0xA030,
    kShininess = 0xA040,
    kShininessStrength = 0xA041,
    kTransparency = 0xA050,
    kTwoSided = 0xA081,
    kSelfIllumination = 0xA084,
    kWire = 0xA085,
    kWireSize = 0xA087,
    kShading = 0xA100,
    kTextureMap = 0xA200,
    kOpacityMap = 0xA210,
    kReflectionMap = 0xA220,
    kMapFileName = 0xA300,
    kSecondTextureMap = 0xA33A,
    kMapTiling = 0xA351,
    kMapUScale = 0xA354,
    kMapVScale = 0xA356,
    kMapUOffset = 0xA358,
    kMapVOffset = 0xA35A,
    kMapRotation = 0xA35C,
    kMaterialEntry = 0xAFFF,
    kKeyframer = 0xB000,
    kAmbientNode = 0xB001,
    kObjectNode = 0xB002,
    kCameraNode = 0xB003,
    kTargetNode = 0xB004,
    kLightNode = 0xB005,
    kLightTargetNode = 0xB006,
    kSpotlightNode = 0xB007,
    kSegment = 0xB008,
    kCurrentFrame = 0xB009,
    kKeyframerHeader = 0xB00A,
    kNodeHeader = 0xB010,
    kInstanceName = 0xB011,
    kPivot = 0xB013,
    kPositionTrack = 0xB020,
    kRotationTrack = 0xB021,
    kScaleTrack = 0xB022,
    kRollTrack = 0xB024,
    kNodeId = 0xB030
};

}  // namespace kvx_chunk

#endif
