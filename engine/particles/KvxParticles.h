#ifndef KVX_PARTICLES_ALL_H
#define KVX_PARTICLES_ALL_H

// Every public header of the particles subsystem.


#endif
