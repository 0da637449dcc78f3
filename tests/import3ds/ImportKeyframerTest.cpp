// Keyframer import: segment, nodes, hierarchy, pivots and tracks.

#include <cmath>

#include "ImportTestSupport.h"

using kvxtest::importBytes;
using kvxtest::mainWithEditor;

namespace {

const int kAll = kvxLoadScene;
const float kHalfPi = 1.5707964f;

// Editor chunk with one small mesh per name.
Chunks3ds editorWith(std::initializer_list<const char*> names) {
    Chunks3ds c = mainWithEditor();
    for (const char* n : names) {
        c.begin(0x4000).str(n);
        c.triMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}).endTriMesh();
        c.end();
    }
    c.end();  // editor
    return c;
}

void segment(Chunks3ds& c, uint32_t first, uint32_t last) { c.begin(0xB008).u32(first).u32(last).end(); }

TEST(ImportKeyframer, SegmentWithoutNodesAnimatesTheGroup) {
    Chunks3ds c = editorWith({"A"});
    c.begin(0xB000);
    segment(c, 0, 100);
    c.end().end();
    OGroup g;
    ASSERT_EQ(importBytes(c, &g, kAll), 0);
    EXPECT_EQ(g.startFrame, 0);
    EXPECT_EQ(g.endFrame, 100);
    EXPECT_EQ(g.frameCount, 100);
    ASSERT_EQ(g.pathListCount, 1);
    EXPECT_EQ(g.activePathList->frameCount, 100);
    EXPECT_EQ(g.activePathList->endFrame, 100);
    EXPECT_TRUE(g.animated);

    OGroup still;
    ASSERT_EQ(importBytes(editorWith({"A"}).end(), &still, kAll), 0);
    EXPECT_FALSE(still.animated);
}

TEST(ImportKeyframer, NodesGiveIdsParentsPivotsAndTracks) {
    Chunks3ds c = editorWith({"Root", "Child"});
    c.begin(0xB000);
    segment(c, 0, 30);
    c.begin(0xB002).begin(0xB030).u16(3).end();
    c.nodeHeader("Root", -1);
    c.begin(0xB013).vec(1, 2, 3).end();
    c.begin(0xB020).trackHeader(2).positionKey(0, 1, 2, 3).positionKey(30, 4, 5, 6).end();
    c.begin(0xB021).trackHeader(1).rotationKey(0, kHalfPi, 0, 0, 1).end();
    c.begin(0xB022).trackHeader(1).u32(0).u16(0).vec(2, 2, 2).end();  // scale: track 3
    c.end();
    c.begin(0xB002).begin(0xB030).u16(4).end();
    c.nodeHeader("Child", 3);
    c.end();
    c.end().end();
    OGroup g;
    ASSERT_EQ(importBytes(c, &g, kAll), 0);
    Object* root = g.findObject("Root");
    Object* child = g.findObject("Child");
    ASSERT_TRUE(root && child);
    EXPECT_EQ(root->id, 3);
    EXPECT_EQ(root->parentId, -1);
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(child->id, 4);
    EXPECT_EQ(child->parentId, 3);
    EXPECT_EQ(child->parent, root);
    EXPECT_FLOAT_EQ(root->pivot.z, 3.0f);

    PathList* paths = g.activePathList;
    ASSERT_EQ(paths->pathCount, 3);
    EXPECT_EQ(paths->pivotCount, 1);
    EXPECT_EQ(paths->pivots[0].object, root);
    KVXPath* pos = paths->paths[0];
    EXPECT_EQ(pos->track, 0);
    EXPECT_EQ(pos->nodeType, 5);
    ASSERT_EQ(pos->keyCount, 3);
    EXPECT_FLOAT_EQ(pos->keys[0].position.x, 1.0f);
    EXPECT_FLOAT_EQ(pos->keys[1].position.z, 6.0f);
    EXPECT_EQ(pos->keys[1].frame, 30);
    EXPECT_EQ(pos->keys[2].frame, 65535);
    EXPECT_FLOAT_EQ(pos->keys[2].position.y, 5.0f);
    KVXPath* rot = paths->paths[1];
    EXPECT_EQ(rot->track, 1);
    EXPECT_NEAR(rot->keys[0].angle, 90.0f, 1e-4f);
    EXPECT_FLOAT_EQ(rot->keys[0].axis.z, 1.0f);
    KVXPath* scale = paths->paths[2];
    EXPECT_EQ(scale->track, 3);
    EXPECT_FLOAT_EQ(scale->keys[0].position.y, 2.0f);
    EXPECT_TRUE(g.animated);
}

TEST(ImportKeyframer, TrackBeforeItsNodeHeaderStopsWithCode37) {
    kvxtest::LogCapture log("keyframer-37.log");
    Chunks3ds c = editorWith({"A"});
    c.begin(0xB000);
    segment(c, 0, 10);
    c.begin(0xB002).nodeHeader("A", -1);
    c.begin(0xB020).trackHeader(1).positionKey(0, 1, 1, 1).end().end();
    c.begin(0xB002);
    c.begin(0xB020).trackHeader(1).positionKey(0, 1, 1, 1).end();  // no header yet
    c.nodeHeader("A", -1).end();
    c.end();
    c.begin(0x4000).str("After").end();  // the chunk loop has stopped
    c.end();
    OGroup g;
    ASSERT_EQ(importBytes(c, &g, kAll), 0);
    EXPECT_TRUE(log.contains("Fatal keyframer error in .3DS loader!"));
    EXPECT_FALSE(g.animated);
    EXPECT_EQ(g.activePathList->pathCount, 1);  // what came before stays
    EXPECT_EQ(g.meshCount, 1);
    EXPECT_NE(g.meshes[0]->materialGroups, nullptr);  // preparation still ran
}

TEST(ImportKeyframer, CameraAndTargetNodesBothAttachToTheCamera) {
    Chunks3ds c = mainWithEditor();
    c.begin(0x4000).str("Cam").begin(0x4700).vec(0, -10, 0).vec(0, 0, 0).f32(0).f32(35).end().end();
    c.end();
    c.begin(0xB000);
    segment(c, 0, 20);
    c.begin(0xB003).nodeHeader("Cam", -1);
    c.begin(0xB020).trackHeader(2).positionKey(0, 0, -10, 0).positionKey(20, 0, -20, 0).end().end();
    c.begin(0xB004).nodeHeader("Cam", -1);
    c.begin(0xB020).trackHeader(1).positionKey(0, 1, 2, 3).end().end();
    c.begin(0xB006).nodeHeader("Nobody", -1).end();  // light target node: skipped whole
    c.end().end();
    OGroup g;
    ASSERT_EQ(importBytes(c, &g, kAll), 0);
    ASSERT_EQ(g.activePathList->pathCount, 2);
    EXPECT_EQ(g.activePathList->paths[0]->nodeType, 7);
    EXPECT_EQ(g.activePathList->paths[1]->nodeType, 8);
    EXPECT_EQ(g.activePathList->paths[1]->object, g.cameras[0]);
    EXPECT_TRUE(g.animated);
}

TEST(ImportKeyframer, SplineParametersAndAbsurdCountsKeepTheValuesInLine) {
    Chunks3ds c = editorWith({"A"});
    c.begin(0xB000);
    segment(c, 0, 50);
    c.begin(0xB002).nodeHeader("A", -1);
    // Key 0 carries tension and bias floats (flag bits 0 and 2).
    c.begin(0xB020).trackHeader(2);
    c.u32(0).u16(0x5).f32(0.3f).f32(0.7f).vec(1, 2, 3);
    c.positionKey(50, 7, 8, 9).end();
    // A rotation track claiming 30000 keys with room for one.
    c.begin(0xB021).trackHeader(30000).rotationKey(10, kHalfPi, 1, 0, 0).end();
    c.end().end().end();
    OGroup g;
    ASSERT_EQ(importBytes(c, &g, kAll), 0);
    ASSERT_EQ(g.activePathList->pathCount, 2);
    KVXPath* pos = g.activePathList->paths[0];
    EXPECT_FLOAT_EQ(pos->keys[0].position.z, 3.0f);
    EXPECT_FLOAT_EQ(pos->keys[1].position.x, 7.0f);
    EXPECT_EQ(pos->keys[1].frame, 50);
    KVXPath* rot = g.activePathList->paths[1];
    EXPECT_EQ(rot->keyCount, 2);
    EXPECT_EQ(rot->keys[0].frame, 10);
}

TEST(ImportKeyframer, ParentCyclesAreCut) {
    Chunks3ds c = editorWith({"Self", "P", "Q"});
    c.begin(0xB000);
    segment(c, 0, 10);
    c.begin(0xB002).begin(0xB030).u16(0).end().nodeHeader("Self", 0).end();
    c.begin(0xB002).begin(0xB030).u16(1).end().nodeHeader("P", 2).end();
    c.begin(0xB002).begin(0xB030).u16(2).end().nodeHeader("Q", 1).end();
    c.end().end();
    OGroup g;
    ASSERT_EQ(importBytes(c, &g, kAll), 0);
    EXPECT_EQ(g.findObject("Self")->parent, nullptr);
    Object* p = g.findObject("P");
    Object* q = g.findObject("Q");
    // One link of the two-object loop is cut; the other stays.
    EXPECT_TRUE((p->parent == nullptr) != (q->parent == nullptr));
    float m[16];
    g.setCurrentFrame(5);
    g.getObjectAnimatedMatrix(p, m);  // returns: no endless walk up the chain
    g.getObjectAnimatedMatrix(q, m);
}

}  // namespace
