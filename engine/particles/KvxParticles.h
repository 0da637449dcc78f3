#ifndef KVX_PARTICLES_ALL_H
#define KVX_PARTICLES_ALL_H

// Every public header of the particles subsystem.

#include "particles/Particle.h"
#include "particles/ParticleSource.h"

#endif
