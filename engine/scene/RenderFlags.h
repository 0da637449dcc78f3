#ifndef KVX_SCENE_RENDERFLAGS_H
#define KVX_SCENE_RENDERFLAGS_H

// Bits of the render flag word passed to Scene::render, OGroup::render and
// Mesh::render, and the two words a host renders a lit, animated group with.
enum {
    kvxRenderWireframe = 0x00001,         // every run drawn as edge lines
    kvxRenderFlat = 0x00002,              // flat shading during the pass
    kvxRenderNoCulling = 0x00004,         // back-face culling off for every run
    kvxRenderNoTextures = 0x00008,        // texturing off during the pass
    kvxRenderQueueTransparent = 0x00010,  // queue transparent faces on the transparent stack
    kvxRenderOpaque = 0x00020,            // opaque pass
    kvxRenderAnimateTextures = 0x00040,   // advance animated textures first
    kvxRenderStatic = 0x00080,            // OGroup::renderObject: static placement
    kvxRenderSpecial = 0x00100,           // glow sprites of special objects
    kvxRenderEffect = 0x00200,            // draw the mesh again over itself
    kvxRenderRecord = 0x00400,            // record the pass into the display list
    kvxRenderReplay = 0x01000,            // replay the display list
    kvxRenderImmediate = 0x02000,         // immediate mode instead of vertex arrays
    kvxRenderCull = 0x08000,              // frustum culling of whole meshes
    kvxRenderTransparent = 0x10000,       // immediate (blended) transparent pass
    kvxRenderCamera = 0x20000,            // animate the active camera and look through it

    // The opaque pass, then the transparent pass, of an animated group.
    kvxRenderOpaquePass = kvxRenderCamera | kvxRenderAnimateTextures | kvxRenderOpaque,
    // The transparent pass of an animated group, drawn after its opaque pass.
    kvxRenderTransparentPass = kvxRenderCamera | kvxRenderTransparent
};

#endif
