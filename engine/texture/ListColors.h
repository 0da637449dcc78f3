#ifndef KVX_TEXTURE_LISTCOLORS_H
#define KVX_TEXTURE_LISTCOLORS_H

// Colours made for the materials of a list (the import makes them): materials
// only refer to their colours, so the list keeps them and they are freed when
// the list is destroyed.

class TList;
struct Color;

void kvxKeepListColor(TList* list, Color* color);

#endif
