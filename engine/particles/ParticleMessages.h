#ifndef KVX_PARTICLES_PARTICLEMESSAGES_H
#define KVX_PARTICLES_PARTICLEMESSAGES_H

// Log texts and codes of the particle sources.

const char* const kMsgNoInitFunction = "Cannot initialize particlesource because given functionpointer is NULL!";
const int kCodeNoInitFunction = 45;

#endif
