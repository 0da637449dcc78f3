#include "Comparisons.h"

#include <string>

#include "LargeFiles.h"
#include "ShowBench.h"
#include "ViewerBench.h"

namespace kvxbench {

namespace {

const double kStartupGoalSeconds = 2.0;
const double kPsnrGoalDb = 40.0;

void importRows(std::vector<Comparison>& rows, const std::string& set, const std::string& what) {
    for (const char* peer : {"lib3ds", "assimp"})
        rows.push_back({"3DS import", "load3ds, " + what, "Import/load3ds/" + set,
                        std::string("Import/") + peer + "/" + set, std::string(peer) + " on the same files"});
}

// Each file over kLargeFaces faces alone, and the octree of each against its import.
void largeFileRows(std::vector<Comparison>& rows) {
    for (const LargeFile& f : largeFiles()) {
        const std::string what = f.name + ", " + std::to_string(f.faces) + " faces";
        for (const char* peer : {"lib3ds", "assimp"})
            rows.push_back({"3DS import", "load3ds, " + what, "Import/load3ds/" + f.name,
                            std::string("Import/") + peer + "/" + f.name, std::string(peer) + " on the same file"});
        rows.push_back({"octree", "tree and planes, " + what, "Octree/" + f.name, "Import/load3ds/" + f.name,
                        "load3ds of the same file"});
        rows.push_back({"octree", "tree and planes, " + what, "Octree/" + f.name, "OctreePlain/" + f.name,
                        "plain every-pair build"});
        rows.push_back({"octree", "heap blocks the tree owns, " + what + " (one thread)", "OctreeBlocks/" + f.name,
                        "Import/load3ds/" + f.name, "load3ds of the same file"});
    }
    rows.push_back({"octree", std::string("tree and planes, ") + kFarVertexFile,
                    std::string("Octree/") + kFarVertexFile, std::string("Octree/") + kFarVertexOriginal,
                    std::string("the same for ") + kFarVertexOriginal});
}

void preparationRows(std::vector<Comparison>& rows) {
    for (const char* step : {"prepareSmoothing", "center", "calcNormals", "originalToCalculated", "calcRadius",
                             "sortFacesByMaterial", "calcEdgeNormals", "createDisplayList", "whole chain"})
        rows.push_back({"mesh preparation", std::string(step) + ", 20k faces", std::string("Prepare/") + step,
                        "Prepare/plain copy", "copy of the mesh arrays"});
    for (const char* faces : {"10000", "20000", "40000"})
        rows.push_back({"mesh preparation", std::string("smoothing + normals, ") + faces + " faces",
                        std::string("BM_PrepareAdjacency/") + faces, std::string("BM_PrepareDirectScan/") + faces,
                        "scan of every face per vertex"});
}

void renderRows(std::vector<Comparison>& rows) {
    rows.push_back({"rendering", "vertex arrays, 50k faces (frames/s)", "BM_RenderVertexArrays",
                    "BM_RenderImmediateMode", "immediate mode", 0, Shown::Rate});
    rows.push_back({"rendering", "display list, 50k faces (frames/s)", "BM_RenderDisplayList", "BM_RenderImmediateMode",
                    "immediate mode", 0, Shown::Rate});
}

void lightingRows(std::vector<Comparison>& rows) {
    for (const char* faces : {"5000", "20000", "80000"})
        rows.push_back({"static lighting", std::string("shadowed, face hierarchy, ") + faces + " faces",
                        std::string("BM_LightingIndexed/") + faces, std::string("BM_LightingDirect/") + faces,
                        "direct every-face loop"});
}

void queryRows(std::vector<Comparison>& rows) {
    const char* const kEveryFace = "every face tried";
    rows.push_back({"queries", "kvxCheckCollision (queries/s)", "BM_QueryCollision", "BM_QueryCollisionEveryFace",
                    "sphere vs every face", 0, Shown::Rate});
    rows.push_back({"queries", "kvxRaySceneDistance (queries/s)", "BM_QueryRayDistance", "BM_QueryRayDistanceEveryFace",
                    kEveryFace, 0, Shown::Rate});
    rows.push_back({"queries", "kvxRayScene (queries/s)", "BM_QueryRayAnyHit", "BM_QueryRayAnyHitEveryFace", kEveryFace,
                    0, Shown::Rate});
    rows.push_back({"queries", "kvxCheckHeight (queries/s)", "BM_QueryHeight", "BM_QueryHeightEveryFace",
                    "kvxCheckHeight2 (no tree)", 0, Shown::Rate});
    rows.push_back(
        {"queries", "kvxCheckCollision, shadow terrain (queries/s)", "BM_CheckCollision", "", "none", 0, Shown::Rate});
    rows.push_back({"queries", "kvxRaySceneDistance, shadow terrain (queries/s)", "BM_RaySceneDistance", "", "none", 0,
                    Shown::Rate});
}

void showRows(std::vector<Comparison>& rows) {
    const double length = showLengthMs() / 1000.0;
    const std::string played =
        showLengthMs() < kShowLengthMs ? "first " + std::to_string(showLengthMs()) + " ms" : "whole show";
    rows.push_back({"demo", "capture to video, " + played, "Show/capture", "", "real-time length", length});
    rows.push_back({"demo", "capture quality, PSNR of 20 s of video against its frames", "Show/capture quality", "",
                    "40 dB goal", kPsnrGoalDb, Shown::Decibels});
    rows.push_back({"demo", "launch to first frame", "Show/first frame", "", "2 s goal", kStartupGoalSeconds});
    rows.push_back({"demo", "content loaded and first frame, in process", "Show/load and first frame in process", "",
                    "2 s goal", kStartupGoalSeconds});
}

}  // namespace

std::vector<Comparison> comparisons() {
    std::vector<Comparison> rows;
    importRows(rows, "real-world", "7 real-world files");
    importRows(rows, "demo-levels", "3 demo scenes");
    largeFileRows(rows);
    preparationRows(rows);
    renderRows(rows);
    lightingRows(rows);
    queryRows(rows);
    showRows(rows);
    viewerRows(rows);
    return rows;
}

}  // namespace kvxbench
