#pragma once
// Serialises a k3ds::Scene into the .3DS chunk format.
#include <string>
#include <vector>

#include "Scene3ds.h"

namespace k3ds {

namespace id {
enum : uint16_t {
    Main = 0x4D4D,
    Version = 0x0002,
    Editor = 0x3D3D,
    MeshVersion = 0x3D3E,
    MasterScale = 0x0100,
    ColorF = 0x0010,
    Color24 = 0x0011,
    LinColor24 = 0x0012,
    PercentI = 0x0030,
    PercentF = 0x0031,
    AmbientLight = 0x2100,
    NamedObject = 0x4000,
    ObjHidden = 0x4010,
    TriObject = 0x4100,
    VertList = 0x4110,
    FaceList = 0x4120,
    FaceMat = 0x4130,
    MapList = 0x4140,
    SmoothList = 0x4150,
    LocalAxes = 0x4160,
    Light = 0x4600,
    Spotlight = 0x4610,
    LightOff = 0x4620,
    InnerRange = 0x4659,
    OuterRange = 0x465A,
    Camera = 0x4700,
    MatEntry = 0xAFFF,
    MatName = 0xA000,
    MatAmbient = 0xA010,
    MatDiffuse = 0xA020,
    MatSpecular = 0xA030,
    MatShininess = 0xA040,
    MatShin2 = 0xA041,
    MatTransparency = 0xA050,
    MatTwoSided = 0xA081,
    MatSelfIllum = 0xA084,
    MatWire = 0xA085,
    MatWireSize = 0xA087,
    MatShading = 0xA100,
    MatTexMap = 0xA200,
    MatOpacMap = 0xA210,
    MatReflMap = 0xA220,
    MapName = 0xA300,
    MapTiling = 0xA351,
    MapUScale = 0xA354,
    MapVScale = 0xA356,
    MapUOffset = 0xA358,
    MapVOffset = 0xA35A,
    MapAngle = 0xA35C,
    Keyframer = 0xB000,
    KfHeader = 0xB00A,
    KfSegment = 0xB008,
    KfCurrent = 0xB009,
    ObjectNode = 0xB002,
    CameraNode = 0xB003,
    TargetNode = 0xB004,
    LightNode = 0xB005,
    NodeHeader = 0xB010,
    InstanceName = 0xB011,
    Pivot = 0xB013,
    PosTrack = 0xB020,
    RotTrack = 0xB021,
    ScaleTrack = 0xB022,
    RollTrack = 0xB024,
    NodeId = 0xB030,
};
}  // namespace id

// Returns an empty string on success, else what is wrong with the scene
// (index ranges, per-face array sizes, 16-bit limits).
std::string validateScene(const Scene& scene);
bool writeScene(const Scene& scene, std::vector<uint8_t>& out, std::string* error = nullptr);
bool saveScene(const Scene& scene, const std::string& path, std::string* error = nullptr);

}  // namespace k3ds
