#ifndef KVX_SPATIAL_ALL_H
#define KVX_SPATIAL_ALL_H

// Every public header of the spatial subsystem.


#endif
