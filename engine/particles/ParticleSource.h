#ifndef KVX_PARTICLES_PARTICLESOURCE_H
#define KVX_PARTICLES_PARTICLESOURCE_H

// An emitter of particles stepped by the host once per frame and drawn
// through a camera, as camera-facing quads or as copies of a mesh. The host
// starts particles through initFunction and may replace the motion with
// updateFunction.

#include <cstdint>
#include "core/Types.h"
#include "particles/Particle.h"

class Camera;
class Material;
class Mesh;
class TList;
class ParticleSource;

// The host's start of a particle: sets its position, motion and life.
typedef void (*ParticleInitFunction)(ParticleSource* source, Particle* particle);
// The host's replacement of update(): moves every particle of the source.
typedef void (*ParticleUpdateFunction)(ParticleSource* source);

class ParticleSource {
public:
    Particle* particles;  // owned
    int32_t particleCount;
    Material* material;  // owned; its first texture textures the quads
    Mesh* mesh;          // drawn per particle when set; not owned
    TList* tlist;        // materials of the mesh
    Color color;
    Vertex3D position;
    Vertex3D direction;
    int32_t emitTime;  // countdown in updates
    int32_t blendSource;
    int32_t blendDestination;
    float alpha;  // quad opacity unless fadeWithLife
    float size;   // half the edge of a quad
    bool fadeWithLife;
    ParticleInitFunction initFunction;
    ParticleUpdateFunction updateFunction;
    bool active;

    ParticleSource();
    ~ParticleSource();
    ParticleSource(const ParticleSource&) = delete;
    ParticleSource& operator=(const ParticleSource&) = delete;

    // Sets the source's place, look and callbacks (null arguments keep what is set); returns 0, or an error
    // code without an init function.
    int initSource(Vertex3D* position, Vertex3D* direction, Material* material, Color* color, Mesh* mesh, TList* tlist,
                   float size, float alpha, int blendSource, int blendDestination, ParticleInitFunction initFunction,
                   ParticleUpdateFunction updateFunction, bool fadeWithLife);
    // Allocates n dead particles, once; they start on the following updates.
    void initParticles(int n);
    // Frees the particles and the material.
    void freeParticles();
    // Starts p through the init function (p null: the first living particle).
    void initOne(Particle* p);
    // Counts down emitTime, then moves every living particle one step and restarts the dead (or calls
    // updateFunction instead).
    void update();
    // Draws the living particles through camera, blended as blendSource and blendDestination say.
    void draw(Camera* camera);

    // The animation frame particle 0's age selects from a texture of `frames` frames.
    int textureFrame(int frames) const;
    // Opacity of a living particle's quad.
    float opacity(const Particle& p) const;

private:
    void drawBillboard(Particle& p, const Camera& camera, bool textured);
    void drawMesh(const Particle& p);
};

#endif
