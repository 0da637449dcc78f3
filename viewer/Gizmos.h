#ifndef KVXVIEW_GIZMOS_H
#define KVXVIEW_GIZMOS_H

// Lines drawn into the 3D picture: mesh bounding boxes, vertex normals, the
// axes and a ground grid.

class ViewerScene;

struct GizmoOptions {
    bool boxes = false;
    bool normals = false;
    bool axes = false;
};

void drawGizmos(ViewerScene& view, const GizmoOptions& options);

#endif
