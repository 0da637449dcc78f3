#include "InfoReport.h"

#include <cstring>
#include <sstream>

#include <Korvex3D.h>

namespace {

const char kCreatedTexture[] = "KVXCreated.KVX";  // a material's colour, not a map
const char* const kProgressLines[] = {"Start loading...", "Start processing..."};
const char* const kNodeNames[] = {"object", "light", "camera", "target"};  // node types 5..8
const char* const kTrackNames[] = {"position", "rotation", "scalar"};

struct MapInfo {
    const char* kind;
    const Texture* texture;
    bool found;
};

bool exists(const std::string& path) {
    char resolved[kvxMaxPathLength];
    return kvxResolvePath(path.c_str(), resolved, sizeof resolved, false);
}

// A map is found when its file exists beside the scene in any letter case; a
// .PNG, .TIF or .GIF name is served by a .JPG or .TGA of the same base name.
bool mapFound(const Texture* t) {
    std::string path = std::string(t->baseDir) + t->filename[0];
    if (exists(path)) return true;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string base = path.substr(0, dot);
    return exists(base + ".jpg") || exists(base + ".tga");
}

std::vector<MapInfo> mapsOf(const Material* m) {
    std::vector<MapInfo> maps;
    struct Slot {
        const char* kind;
        const Texture* t;
    } slots[] = {{"texture", m->firstTexture},
                 {"opacity", m->opacityTexture},
                 {"second", m->secondTexture},
                 {"reflection", m->reflectionTexture}};
    for (const Slot& s : slots) {
        if (!s.t || !s.t->filename[0][0] || strcmp(s.t->filename[0], kCreatedTexture) == 0) continue;
        maps.push_back({s.kind, s.t, mapFound(s.t)});
    }
    return maps;
}

const char* nodeName(int type) { return type >= 5 && type <= 8 ? kNodeNames[type - 5] : "other"; }
const char* trackName(int track) { return track >= 0 && track <= 2 ? kTrackNames[track] : "other"; }
const char* nameOf(const Object* o) { return o && o->name ? o->name : ""; }

// The materials of the group's first list, the default material left out.
std::vector<Material*> materialsOf(OGroup* g) {
    std::vector<Material*> list;
    if (!g || g->tlistCount == 0 || !g->tlists[0]) return list;
    for (Material* m = g->tlists[0]->head; m; m = m->next)
        if (m != g->tlists[0]->head) list.push_back(m);
    return list;
}

// Keys of a track without the closing key the engine appends.
int realKeys(const KVXPath* p) { return p->keyCount > 0 ? p->keyCount - 1 : 0; }

std::string jsonString(const std::string& s) {
    std::ostringstream o;
    o << '"';
    for (unsigned char c : s) {
        if (c == '"' || c == '\\')
            o << '\\' << c;
        else if (c < 0x20) {
            char buf[8];
            snprintf(buf, sizeof buf, "\\u%04x", c);
            o << buf;
        } else
            o << c;
    }
    o << '"';
    return o.str();
}

std::string jsonVec(const Vertex3D& v) {
    char buf[96];
    snprintf(buf, sizeof buf, "[%g, %g, %g]", v.x, v.y, v.z);
    return buf;
}

void writeJsonMeshes(FILE* out, OGroup* g) {
    fprintf(out, "  \"meshes\": [");
    for (int i = 0; g && i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        fprintf(out, "%s\n    {\"name\": %s, \"vertices\": %d, \"faces\": %d, \"visible\": %s}", i ? "," : "",
                jsonString(nameOf(m)).c_str(), m->vertexCount, m->faceCount, m->visible ? "true" : "false");
    }
    fprintf(out, "\n  ],\n");
}

void writeJsonMaterials(FILE* out, OGroup* g) {
    fprintf(out, "  \"materials\": [");
    std::vector<Material*> mats = materialsOf(g);
    for (size_t i = 0; i < mats.size(); ++i) {
        fprintf(out, "%s\n    {\"name\": %s, \"maps\": [", i ? "," : "", jsonString(mats[i]->name).c_str());
        std::vector<MapInfo> maps = mapsOf(mats[i]);
        for (size_t k = 0; k < maps.size(); ++k)
            fprintf(out, "%s{\"kind\": \"%s\", \"file\": %s, \"found\": %s}", k ? ", " : "", maps[k].kind,
                    jsonString(maps[k].texture->filename[0]).c_str(), maps[k].found ? "true" : "false");
        fprintf(out, "]}");
    }
    fprintf(out, "\n  ],\n");
}

void writeJsonCamerasAndLights(FILE* out, OGroup* g) {
    fprintf(out, "  \"cameras\": [");
    for (int i = 0; g && i < g->cameraCount; ++i) {
        Camera* c = g->cameras[i];
        fprintf(out, "%s\n    {\"name\": %s, \"eye\": %s, \"target\": %s, \"roll\": %g, \"lens\": %g, \"fov\": %g}",
                i ? "," : "", jsonString(nameOf(c)).c_str(), jsonVec(c->eye).c_str(), jsonVec(c->target).c_str(),
                c->roll, c->lens, c->fov);
    }
    fprintf(out, "\n  ],\n  \"lights\": [");
    for (int i = 0; g && i < g->lightCount; ++i) {
        Light* l = g->lights[i];
        fprintf(out,
                "%s\n    {\"name\": %s, \"location\": %s, \"color\": [%g, %g, %g], \"innerRange\": %g, "
                "\"outerRange\": %g}",
                i ? "," : "", jsonString(nameOf(l)).c_str(), jsonVec(l->location).c_str(), l->color.r, l->color.g,
                l->color.b, l->innerRange, l->outerRange);
    }
    fprintf(out, "\n  ],\n");
}

void writeJsonKeyframer(FILE* out, OGroup* g) {
    PathList* p = g ? g->activePathList : nullptr;
    fprintf(out, "  \"keyframer\": {\"animated\": %s, \"start\": %d, \"end\": %d, \"tracks\": [",
            g && g->animated ? "true" : "false", g ? g->startFrame : 0, g ? g->endFrame : 0);
    for (int i = 0; p && i < p->pathCount; ++i) {
        KVXPath* t = p->paths[i];
        fprintf(out, "%s\n    {\"object\": %s, \"node\": \"%s\", \"track\": \"%s\", \"keys\": %d}", i ? "," : "",
                jsonString(nameOf(t->object)).c_str(), nodeName(t->nodeType), trackName(t->track), realKeys(t));
    }
    fprintf(out, "%s]}\n", p && p->pathCount ? "\n  " : "");
}

}  // namespace

std::vector<std::string> loggedErrors(const std::string& logText) {
    std::vector<std::string> lines;
    std::istringstream in(logText);
    std::string line;
    while (std::getline(in, line)) {
        bool progress = false;
        for (const char* p : kProgressLines) progress = progress || line == p;
        if (!line.empty() && !progress) lines.push_back(line);
    }
    return lines;
}

void writeInfoJson(FILE* out, const LoadRecord& r, OGroup* g) {
    fprintf(out, "{\n  \"file\": %s,\n  \"result\": %d,\n  \"errors\": [", jsonString(r.file).c_str(), r.result);
    for (size_t i = 0; i < r.errors.size(); ++i) fprintf(out, "%s%s", i ? ", " : "", jsonString(r.errors[i]).c_str());
    fprintf(out, "],\n");
    writeJsonMeshes(out, g);
    writeJsonMaterials(out, g);
    writeJsonCamerasAndLights(out, g);
    writeJsonKeyframer(out, g);
    fprintf(out, "}\n");
}

void writeInfoText(FILE* out, const LoadRecord& r, OGroup* g) {
    fprintf(out, "%s: load result %d%s\n", r.file.c_str(), r.result, r.result ? " (failed)" : "");
    for (const std::string& e : r.errors) fprintf(out, "  logged: %s\n", e.c_str());
    if (!g) return;
    int vertices = 0, faces = 0;
    for (int i = 0; i < g->meshCount; ++i) vertices += g->meshes[i]->vertexCount, faces += g->meshes[i]->faceCount;
    fprintf(out, "Meshes: %d (%d vertices, %d faces)\n", g->meshCount, vertices, faces);
    for (int i = 0; i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        fprintf(out, "  %-24s %6d vertices %6d faces%s\n", nameOf(m), m->vertexCount, m->faceCount,
                m->visible ? "" : "  (hidden)");
    }
    std::vector<Material*> mats = materialsOf(g);
    fprintf(out, "Materials: %zu\n", mats.size());
    for (Material* m : mats) {
        fprintf(out, "  %s\n", m->name);
        for (const MapInfo& map : mapsOf(m))
            fprintf(out, "    %-10s %s (%s)\n", map.kind, map.texture->filename[0], map.found ? "found" : "missing");
    }
    fprintf(out, "Cameras: %d\n", g->cameraCount);
    for (int i = 0; i < g->cameraCount; ++i) {
        Camera* c = g->cameras[i];
        fprintf(out, "  %d %-22s eye %s target %s fov %g\n", i, nameOf(c), jsonVec(c->eye).c_str(),
                jsonVec(c->target).c_str(), c->fov);
    }
    fprintf(out, "Lights: %d\n", g->lightCount);
    for (int i = 0; i < g->lightCount; ++i) {
        Light* l = g->lights[i];
        fprintf(out, "  %-24s at %s colour (%g, %g, %g)\n", nameOf(l), jsonVec(l->location).c_str(), l->color.r,
                l->color.g, l->color.b);
    }
    PathList* p = g->activePathList;
    if (!g->animated) {
        fprintf(out, "Keyframer: none\n");
        return;
    }
    fprintf(out, "Keyframer: frames %d to %d, %d tracks\n", g->startFrame, g->endFrame, p ? p->pathCount : 0);
    for (int i = 0; p && i < p->pathCount; ++i) {
        KVXPath* t = p->paths[i];
        fprintf(out, "  %-24s %-7s %-9s %d keys\n", nameOf(t->object), nodeName(t->nodeType), trackName(t->track),
                realKeys(t));
    }
}
