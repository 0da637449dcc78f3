#include "ViewerScene.h"

#include <sys/stat.h>

#include <strings.h>
#include <algorithm>
#include <cfloat>
#include <cstdio>

#include "Vec.h"

using namespace kvx_vector;

namespace {

// Everything a file holds, with 8 bits per texture channel.
const int kLoadFlags =
    kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer | kvxLoadMaterials | kvxLoadTrueColor;
const int kLightShadows = 2;           // calcDynamicLights: ray-cast shadows
const int kLightReset = 1;             // calcDynamicLight: start from black
const float kAmbient = 0.3f;           // the view light never leaves a face black
const float kLightDistance = 1000.0f;  // scene radii behind the eye: near parallel rays
const float kLightRaise = 0.5f;        // and a little above it
const float kFreeFov = 45.0f;
const float kMinFov = 1.0f, kMaxFov = 179.0f;  // what a perspective projection can show
const float kEndlessRange = 1e30f;
const float kDepthRatio = 20000.0f;  // far / near: what a 24-bit depth buffer resolves
const Color kWireColor = {0.05f, 0.07f, 0.12f, 1.0f};
const char kAllEdges = 7;  // face flag bits of the edges CA, AB and BC

bool isFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string directoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

}  // namespace

SceneSource SceneSource::parse(const std::string& source) {
    SceneSource s;
    size_t colon = source.find(':');
    if (colon != std::string::npos && !isFile(source) && isFile(source.substr(0, colon))) {
        s.archive = source.substr(0, colon);
        s.file = source.substr(colon + 1);
        size_t slash = s.file.find_last_of("/\\");
        s.textureDir = slash == std::string::npos ? "" : s.file.substr(0, slash + 1);
        return s;
    }
    s.file = source;
    s.textureDir = directoryOf(source);
    return s;
}

ViewerScene::ViewerScene() {
    free_.setName("Free camera");
    free_.fov = kFreeFov;
}

ViewerScene::~ViewerScene() {
    // The scene forgets the free camera before it is destroyed with this object.
    if (scene_.camera == &free_) scene_.camera = nullptr;
}

int ViewerScene::load(const std::string& source, void (*progress)(float)) {
    SceneSource src = SceneSource::parse(source);
    int flags = kLoadFlags | (smoothing_ ? kvxLoadSmoothing : 0) | (src.archive.empty() ? 0 : kvxLoadFromArchive);
    OGroup* g = scene_.createOGroup(src.file.c_str(), flags, src.textureDir.c_str(), 0, progress,
                                    src.archive.empty() ? nullptr : src.archive.c_str());
    if (!g) {
        int code = kvxLastLoggedCode();
        return code ? code : 1;
    }
    clearGroupsExcept(g);
    source_ = source;
    takeGroup(g);
    return 0;
}

bool ViewerScene::adoptChanges(const std::string& source, bool loaded) {
    if (group() == known_ && !(loaded && group())) return false;
    if (!source.empty()) source_ = source;
    clearGroupsExcept(group());
    takeGroup(group());
    return true;
}

void ViewerScene::clearGroupsExcept(OGroup* keep) {
    for (int i = scene_.groupCount - 1; i >= 0; --i)
        if (scene_.groups[i] != keep) scene_.deleteOGroup(scene_.groups[i]);
}

void ViewerScene::takeGroup(OGroup* g) {
    known_ = g;
    if (colourMissingMaps_) colourMissingMaps();
    sanitiseCameras();
    fileColors_.clear();
    wireColors_.clear();
    wireEdges_.clear();
    headlightValid_ = false;
    frame_ = firstFrame();
    setFrame(frame_);
    computeBounds();
    resetFreeCamera();
    fitClipPlanes();
    selectCamera(cameraCount() > 0 ? 0 : kFreeCamera);
    if (fileLighting_) setFileLighting(true);
}

// The free camera frames the box from the front left, a little above.
void ViewerScene::resetFreeCamera() {
    Vertex3D c = center();
    float distance = radius() / std::sin(kvxRad(kFreeFov * 0.5f)) * 1.1f;
    Vertex3D dir = normalized(vec(-0.6f, -1.0f, 0.5f));
    free_.eye = add(c, mul(dir, distance));
    free_.target = c;
    free_.roll = 0;
    free_.fov = kFreeFov;
}

// A map that did not load would draw its faces black: they take the
// material's diffuse colour instead.
void ViewerScene::colourMissingMaps() {
    OGroup* g = group();
    for (int i = 0; g && i < g->tlistCount; ++i)
        for (Material* m = g->tlists[i] ? g->tlists[i]->head : nullptr; m; m = m->next)
            if (m->firstTexture && m->firstTexture->width <= 0 && m->diffuse) m->makeTextureFromColor();
}

// A lens the engine turns into an impossible field of view (a projection
// that shows nothing) is looked through with the free camera's.
void ViewerScene::sanitiseCameras() {
    OGroup* g = group();
    for (int i = 0; g && i < g->cameraCount; ++i) {
        Camera* c = g->cameras[i];
        if (c->fov >= kMinFov && c->fov <= kMaxFov) continue;
        fprintf(stderr, "kvxview: camera %s: field of view %g degrees (lens %g mm) shown as %g\n",
                c->name ? c->name : "", c->fov, c->lens, kFreeFov);
        c->fov = kFreeFov;
    }
}

int ViewerScene::firstFrame() const {
    OGroup* g = group();
    return g && g->animated ? g->startFrame : 0;
}

int ViewerScene::lastFrame() const {
    OGroup* g = group();
    // The engine counts end - start frames from the start: the end frame itself
    // is the start again.
    return g && g->animated ? std::max(g->endFrame - 1, g->startFrame) : 0;
}

void ViewerScene::setFrame(int frame) {
    int first = firstFrame(), last = lastFrame();
    int span = last - first + 1;
    frame_ = first + ((frame - first) % span + span) % span;
    OGroup* g = group();
    if (!g) return;
    g->setCurrentFrame(frame_);
    // The engine wraps frames by the segment's length, counted from 0.
    if (g->startFrame > 0) g->currentFrame = frame_;
}

int ViewerScene::cameraCount() const { return group() ? group()->cameraCount : 0; }

bool ViewerScene::selectCamera(int index, const std::string& name, std::string* why) {
    int chosen = name.empty() && index < cameraCount() ? index : kNoCamera;
    std::string names;
    for (int i = 0; i < cameraCount(); ++i) {
        const char* n = group()->cameras[i]->name ? group()->cameras[i]->name : "";
        if (!name.empty() && chosen == kNoCamera && strcasecmp(n, name.c_str()) == 0) chosen = i;
        names += (i ? ", " : "") + std::to_string(i) + " " + n;
    }
    if (chosen != kNoCamera) {
        selectCamera(chosen);
        return true;
    }
    *why = "no camera " + (name.empty() ? std::to_string(index) : "'" + name + "'") +
           " (cameras: " + (names.empty() ? "none" : names) + "; -1 is the free camera)";
    return false;
}

void ViewerScene::selectCamera(int index) {
    if (index >= 0 && index < cameraCount() && scene_.setCamera(group(), index) == 0) {
        cameraIndex_ = index;
        return;
    }
    cameraIndex_ = kFreeCamera;
    scene_.camera = &free_;
    kvxSetFOV(free_.fov);
}

void ViewerScene::animateCamera() {
    if (group() && scene_.camera && cameraIndex_ != kFreeCamera) group()->doCameraAnim(scene_.camera);
}

Vertex3D ViewerScene::center() const { return mul(add(min_, max_), 0.5f); }

float ViewerScene::radius() const { return std::max(length(sub(max_, min_)) * 0.5f, 0.001f); }

void ViewerScene::computeBounds() {
    min_ = vec(FLT_MAX, FLT_MAX, FLT_MAX);
    max_ = vec(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    OGroup* g = group();
    for (int i = 0; g && i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        if (!m->visible || !m->vertices) continue;
        float matrix[16];
        g->getObjectAnimatedMatrix(m, matrix);
        for (int v = 0; v < m->vertexCount; ++v) {
            Vertex3D p = transformPoint(matrix, m->vertices[v]);
            min_ = vec(std::min(min_.x, p.x), std::min(min_.y, p.y), std::min(min_.z, p.z));
            max_ = vec(std::max(max_.x, p.x), std::max(max_.y, p.y), std::max(max_.z, p.z));
        }
    }
    if (min_.x > max_.x) min_ = max_ = vec(0, 0, 0);
}

void ViewerScene::fitClipPlanes() {
    Viewport v = *kvxGetViewport();
    v.zFar = std::max(radius() * 100.0f, 100.0f);
    v.zNear = v.zFar / kDepthRatio;
    kvxSetViewport(&v);
}

void ViewerScene::setFileLighting(bool on) {
    fileLighting_ = on;
    headlightValid_ = false;
    OGroup* g = group();
    if (!on || !g || g->lightCount == 0) return;
    if (fileColors_.empty()) {
        g->calcDynamicLights(kLightShadows);
        storeFileLighting();
    } else {
        restoreFileLighting();
    }
}

void ViewerScene::storeFileLighting() {
    OGroup* g = group();
    fileColors_.assign(g->meshCount, {});
    for (int i = 0; i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        if (m->originalColors) fileColors_[i].assign(m->originalColors, m->originalColors + m->vertexCount);
    }
}

void ViewerScene::restoreFileLighting() {
    OGroup* g = group();
    for (int i = 0; i < g->meshCount && i < static_cast<int>(fileColors_.size()); ++i) {
        Mesh* m = g->meshes[i];
        if (m->originalColors && static_cast<int>(fileColors_[i].size()) == m->vertexCount)
            std::copy(fileColors_[i].begin(), fileColors_[i].end(), m->originalColors);
    }
    g->applyLights();
}

// A white light far behind and a little above the eye, with no fall-off,
// over an ambient floor: faces turned to the viewer are lit evenly.
void ViewerScene::updateHeadlight() {
    OGroup* g = group();
    Camera* cam = scene_.camera;
    if (!g || !cam) return;
    if (headlightValid_ && length(sub(cam->eye, litEye_)) < radius() * 1e-3f &&
        length(sub(cam->target, litTarget_)) < radius() * 1e-3f)
        return;
    Vertex3D back = normalized(add(normalized(sub(cam->eye, cam->target)), vec(0, 0, kLightRaise)));
    Light eyeLight;
    eyeLight.location = add(cam->eye, mul(back, radius() * kLightDistance));
    eyeLight.color = Color{1, 1, 1, 1};
    eyeLight.innerRange = kEndlessRange;
    eyeLight.outerRange = kEndlessRange;
    g->calcDynamicLight(&eyeLight, kLightReset);
    for (int i = 0; i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        for (int v = 0; m->originalColors && v < m->vertexCount; ++v) {
            Color& c = m->originalColors[v];
            c.r = kAmbient + (1 - kAmbient) * c.r;
            c.g = kAmbient + (1 - kAmbient) * c.g;
            c.b = kAmbient + (1 - kAmbient) * c.b;
        }
    }
    g->applyLights();
    litEye_ = cam->eye;
    litTarget_ = cam->target;
    headlightValid_ = true;
}

FrameStats ViewerScene::render(const RenderOptions& options) {
    kvxClear();
    if (!group() || !scene_.camera) return FrameStats();
    animateCamera();
    if (!fileLighting_ || !hasLights()) updateHeadlight();
    int extra = kvxRenderCull | (options.textures ? 0 : kvxRenderNoTextures);
    scene_.render(0, kvxRenderOpaquePass | extra);
    scene_.render(0, kvxRenderTransparentPass | extra);
    if (options.wire) renderWire();
    return countVisible();
}

// The engine draws the edges a file marks visible, in the vertex colours:
// for this pass each mesh shows a dark colour, and a mesh that marks no edge
// at all shows every edge of its triangles.
void ViewerScene::prepareWire() {
    OGroup* g = group();
    wireColors_.assign(g->meshCount, {});
    wireEdges_.assign(g->meshCount, {});
    for (int i = 0; i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        wireColors_[i].assign(m->vertexCount, kWireColor);
        bool marked = false;
        for (int f = 0; m->faceFlags && f < m->faceCount && !marked; ++f) marked = (m->faceFlags[f] & kAllEdges) != 0;
        if (!marked) wireEdges_[i].assign(m->faceCount, kAllEdges);
    }
}

void ViewerScene::renderWire() {
    OGroup* g = group();
    if (wireColors_.size() != static_cast<size_t>(g->meshCount)) prepareWire();
    std::vector<Color*> lit(g->meshCount);
    std::vector<char*> edges(g->meshCount);
    for (int i = 0; i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        lit[i] = m->colors;
        edges[i] = m->faceFlags;
        if (static_cast<int>(wireColors_[i].size()) == m->vertexCount) m->colors = wireColors_[i].data();
        if (static_cast<int>(wireEdges_[i].size()) == m->faceCount && m->faceCount > 0)
            m->faceFlags = wireEdges_[i].data();
    }
    kvxDepthFunc(KVX_LEQUAL);
    scene_.render(0,
                  kvxRenderCamera | kvxRenderOpaque | kvxRenderTransparent | kvxRenderWireframe | kvxRenderNoTextures);
    for (int i = 0; i < g->meshCount; ++i) {
        g->meshes[i]->colors = lit[i];
        g->meshes[i]->faceFlags = edges[i];
    }
}

FrameStats ViewerScene::countVisible() {
    FrameStats s;
    Frustrum f;
    kvxMakeFrustrum(scene_.camera, &f);
    OGroup* g = group();
    for (int i = 0; i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        if (!m->visible) continue;
        ++s.meshes;
        if (kvxIsObjectInFrustrum(&f, m)) {
            ++s.drawn;
            s.faces += m->faceCount;
        } else {
            ++s.culled;
        }
    }
    return s;
}
