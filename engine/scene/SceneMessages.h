#ifndef KVX_SCENE_SCENEMESSAGES_H
#define KVX_SCENE_SCENEMESSAGES_H

// Log texts and codes of the scene code. Each text has one code.

const char* const kMsgMeshListFull = "MeshList is full (OGroup) create another OGroup or increase number of maxMeshs";
const int kCodeMeshListFull = 15;
const char* const kMsgLightListFull =
    "LightList is full (OGroup) create another OGroup or increase number of maxLights";
const int kCodeLightListFull = 16;
const char* const kMsgCameraListFull =
    "CameraList is full (OGroup) create another OGroup or increase number of maxCameras";
const int kCodeCameraListFull = 17;
const char* const kMsgGroupNotFound = "ObjectGroup not found in OGroupList! OGroup not deleted!";
const int kCodeGroupNotFound = 20;
const char* const kMsgGroupNull = "OGroup used in functioncall is NULL!";
const int kCodeGroupNull = 26;
const char* const kMsgCameraNotFound = "Camera cannot be found!";
const int kCodeCameraNotFound = 27;
const char* const kMsgTListListFull = "TListList is full! Increase number of lists (OGroup)!";
const int kCodeTListListFull = 28;
const char* const kMsgPathListFull =
    "PathList is full (KVXPath) create another PathList or increase number of maxPaths";
const int kCodePathListFull = 32;
const char* const kMsgPathNull = "Path used in functioncall is NULL!";
const int kCodePathNull = 33;
const char* const kMsgPathListNull = "PathList used in functioncall is NULL!";
const int kCodePathListNull = 34;
const char* const kMsgCamListNull = "CamList used in functioncall is NULL!";
const int kCodeCamListNull = 35;
const char* const kMsgTListNull = "TList used in functioncall is NULL!";
const int kCodeTListNull = 36;
const char* const kMsgObjectNull = "Object is NULL, cannot use this!";
const int kCodeObjectNull = 38;
const char* const kMsgObjectNotFound = "Object not found from OGroup given!";
const int kCodeObjectNotFound = 39;
const char* const kMsgParticleListFull = "ParticleSourceList is full (OGroup), increase maxParticleSources!";
const int kCodeParticleListFull = 40;
const char* const kMsgNoDisplayLists = "Cannot create displaylists, displaylists are all used (possible OpenGL error)!";
const int kCodeNoDisplayLists = 43;
const char* const kMsgOctreeFailed = "Cannot create octree for OGroup! Possible memory leak or OGroup is NULL!";
const int kCodeOctreeFailed = 44;
// Building and copying a group's structures: the 3DS import's progress lines
// and a failed copy of face structures between groups.
const int kCodeSceneStructure = 50;
const char* const kMsgCopyFailed = "Fatal! Engine internal structure copy failed!";

#endif
