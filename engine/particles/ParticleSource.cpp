#include "particles/ParticleSource.h"

#include <GL/gl.h>
#include <algorithm>

#include "particles/ParticleMessages.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/FaceRenderers.h"
#include "render/RenderState.h"
#include "scene/Camera.h"
#include "scene/Mesh.h"
#include "scene/RenderFlags.h"
#include "texture/Material.h"
#include "texture/Texture.h"

namespace {

const int kMeshParticleFlags = kvxRenderImmediate | kvxRenderOpaque;

void add(Vertex3D& to, const Vertex3D& v) {
    to.x += v.x;
    to.y += v.y;
    to.z += v.z;
}

}  // namespace

ParticleSource::ParticleSource()
    : particles(nullptr), particleCount(0), material(nullptr), mesh(nullptr),
      tlist(nullptr), color{1.0f, 1.0f, 1.0f, 1.0f}, position{0.0f, 0.0f, 0.0f}, direction{0.0f, 0.0f, 0.0f},
      emitTime(0), blendSource(KVX_ONE), blendDestination(KVX_ONE), alpha(1.0f), size(1.0f), fadeWithLife(false),
      initFunction(nullptr), updateFunction(nullptr), active(false) {}

ParticleSource::~ParticleSource() { freeParticles(); }

int ParticleSource::initSource(Vertex3D* newPosition, Vertex3D* newDirection, Material* newMaterial, Color* newColor,
                               Mesh* newMesh, TList* newTList, float newSize, float newAlpha, int newBlendSource,
                               int newBlendDestination, ParticleInitFunction newInit, ParticleUpdateFunction newUpdate,
                               bool newFadeWithLife) {
    if (newInit == nullptr) return kvxPutToErrorLog(kMsgNoInitFunction, kCodeNoInitFunction);
    initFunction = newInit;
    if (newUpdate != nullptr) updateFunction = newUpdate;
    if (newPosition != nullptr) position = *newPosition;
    if (newDirection != nullptr) direction = *newDirection;
    if (newColor != nullptr) color = *newColor;
    if (newMaterial != nullptr) material = newMaterial;
    if (newMesh != nullptr) mesh = newMesh;
    if (newTList != nullptr) tlist = newTList;
    if (newBlendSource != 0) blendSource = newBlendSource;
    if (newBlendDestination != 0) blendDestination = newBlendDestination;
    size = newSize;
    alpha = newAlpha;
    fadeWithLife = newFadeWithLife;
    return 0;
}

void ParticleSource::initParticles(int n) {
    if (n < 1 || particles != nullptr) return;
    particles = new Particle[size_t(n)]();
    particleCount = n;
}

void ParticleSource::freeParticles() {
    delete[] particles;
    particles = nullptr;
    particleCount = 0;
    delete material;
    material = nullptr;
}

void ParticleSource::initOne(Particle* p) {
    if (initFunction == nullptr) return;
    if (p == nullptr) {
        for (int i = 0; i < particleCount && p == nullptr; ++i)
            if (particles[i].life > 0) p = &particles[i];
        if (p == nullptr) return;  // nobody alive to hand over
    }
    initFunction(this, p);
}

void ParticleSource::update() {
    if (emitTime > 0) {
        --emitTime;
        if (emitTime <= 0) {
            emitTime = 0;
            active = false;
        }
    }
    if (updateFunction != nullptr) {
        updateFunction(this);
        return;
    }
    for (int i = 0; i < particleCount; ++i) {
        Particle& p = particles[i];
        if (p.life <= 0) {
            initOne(&p);
            continue;
        }
        --p.life;
        add(p.velocity, p.acceleration);
        add(p.position, p.velocity);
        add(p.rotation, p.spin);
    }
}

int ParticleSource::textureFrame(int frames) const {
    if (particleCount < 1 || frames < 1) return 0;
    const Particle& first = particles[0];
    if (first.lifetime <= 0) return 0;
    float age = float(first.lifetime - first.life) / float(first.lifetime);
    int frame = int(age * float(frames));
    return std::clamp(frame, 0, frames - 1);
}

float ParticleSource::opacity(const Particle& p) const {
    if (!fadeWithLife) return alpha;
    return p.lifetime > 0 ? float(p.life) / float(p.lifetime) : 1.0f;
}

void ParticleSource::draw(Camera* camera) {
    if (!kvxOpenGLSelected() || camera == nullptr) return;
    kvxInitMatrix();
    kvxLookWithCamera(camera);

    kvxPushAttrib(KVX_ENABLE_BIT);
    kvxShadeModel(KVX_FLAT);
    kvxEnable(KVX_BLEND);
    kvxBlendFunc(blendSource, blendDestination);
    kvxDepthFunc(KVX_LEQUAL);
    kvxDepthMask(KVX_FALSE);
    kvxDisable(KVX_CULL_FACE);
    kvxDisable(KVX_ALPHA_TEST);
    kvxEnable(KVX_TEXTURE);

    Texture* texture = material != nullptr ? material->firstTexture : nullptr;
    if (texture != nullptr) {
        texture->currentFrame = textureFrame(texture->frames);
        kvxSetTexture(texture);
        kvxEnable(KVX_TEXTURE_2D);
    } else {
        kvxDisable(KVX_TEXTURE);
        kvxDisable(KVX_TEXTURE_2D);  // no stale texture on untextured quads
    }

    for (int i = 0; i < particleCount; ++i) {
        Particle& p = particles[i];
        if (p.life <= 0) continue;
        kvxPushMatrix();
        kvxTranslate(p.position.x, p.position.y, p.position.z);
        if (mesh != nullptr)
            drawMesh(p);
        else
            drawBillboard(p, *camera, texture != nullptr);
        kvxPopMatrix();
    }

    kvxPopAttrib();
    kvxShadeModel(KVX_SMOOTH);
    kvxDepthMask(KVX_TRUE);
}

void ParticleSource::drawMesh(const Particle& p) {
    if (p.rotation.z != 0.0f) kvxRotate(p.rotation.z, 0.0f, 0.0f, 1.0f);
    if (p.rotation.y != 0.0f) kvxRotate(p.rotation.y, 0.0f, 1.0f, 0.0f);
    if (p.rotation.x != 0.0f) kvxRotate(p.rotation.x, 1.0f, 0.0f, 0.0f);
    mesh->render(kMeshParticleFlags, tlist);
}

void ParticleSource::drawBillboard(Particle& p, const Camera& camera, bool textured) {
    p.rotation.x = camera.rotation.y;  // tilt
    p.rotation.z = camera.rotation.x;  // heading
    if (p.rotation.z != 0.0f) kvxRotate(p.rotation.z, 0.0f, 0.0f, 1.0f);
    if (p.rotation.x != 0.0f) kvxRotate(p.rotation.x, 1.0f, 0.0f, 0.0f);

    const float s = size;
    const float corners[4][2] = {{-s, -s}, {s, -s}, {s, s}, {-s, s}};
    const float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    const float a = opacity(p);
    glBegin(GL_QUADS);
    for (int k = 0; k < 4; ++k) {
        glColor4f(color.r, color.g, color.b, a);
        if (textured) glTexCoord2f(uv[k][0], uv[k][1]);
        glVertex3f(corners[k][0], corners[k][1], 0.0f);
    }
    glEnd();
}
