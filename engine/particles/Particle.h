#ifndef KVX_PARTICLES_PARTICLE_H
#define KVX_PARTICLES_PARTICLE_H

// One particle as the host's start and update functions see it.

#include <cstdint>
#include "core/Types.h"

struct Particle {
    Vertex3D position;
    Vertex3D rotation;      // degrees about x, y, z
    float reserved;         // free for the host; the engine never reads it
    Vertex3D velocity;      // added to position on every update
    Vertex3D acceleration;  // added to velocity on every update
    Vertex3D spin;          // added to rotation on every update
    int32_t life;           // updates left; 0 or less is dead
    int32_t lifetime;       // the life it started with
};

#endif
