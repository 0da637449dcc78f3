#ifndef KVX_SCENE_ALL_H
#define KVX_SCENE_ALL_H

// Every public header of the scene subsystem.


#endif
