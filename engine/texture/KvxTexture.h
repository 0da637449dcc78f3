#ifndef KVX_TEXTURE_ALL_H
#define KVX_TEXTURE_ALL_H

// Every public header of the texture subsystem.


#endif
