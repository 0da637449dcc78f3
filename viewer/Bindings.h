#ifndef KVXVIEW_BINDINGS_H
#define KVXVIEW_BINDINGS_H

// The keys and mouse actions of the viewer window, as listed to the user.

#include <cstdio>

struct Binding {
    const char* input;
    const char* action;
};

extern const Binding kBindings[];
extern const int kBindingCount;

void printBindings(FILE* out);

#endif
