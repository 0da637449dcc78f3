// kvxview run as a user runs it: real options, real and damaged files, a
// replayed session of keys and mouse, pictures read back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../import3ds/MiniJson.h"
#include "Png.h"
#include "Programs.h"
#include "Writer3ds.h"

namespace {

const std::string kViewer = std::string(KVX_BINARY_DIR) + "/kvxview";
const std::string kAssimp = std::string(KVX_TESTDATA_DIR) + "/3ds/assimp";
const std::string kDemoData = std::string(KVX_BINARY_DIR) + "/data";
const int kBackground[3] = {41, 43, 51};  // the viewer's clear colour

struct Result {
    int status = -1;
    std::string out, err;
};

using kvxtest::readFile;

// The viewer's scratch folder, its working directory in run().
struct Scratch : kvxtest::Scratch {
    Scratch() : kvxtest::Scratch("kvxview") {}
};

Result run(const Scratch& s, const std::string& args) {
    Result r;
    std::string cmd = "cd '" + s("") + "' && timeout 120 " + kViewer + " " + args + " >'" + s("out.txt") + "' 2>'" +
                      s("err.txt") + "'";
    int status = system(cmd.c_str());
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readFile(s("out.txt"));
    r.err = readFile(s("err.txt"));
    return r;
}

struct Image : kvxtest::RgbImage {
    bool isBackground(int x, int y) const {
        for (int c = 0; c < 3; ++c)
            if (std::abs(at(x, y)[c] - kBackground[c]) > 3) return false;
        return true;
    }
    // Share of pixels that are not background.
    double covered() const {
        long n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += !isBackground(x, y);
        return double(n) / (double(width) * height);
    }
};

Image readPng(const std::string& path) {
    Image img;
    static_cast<kvxtest::RgbImage&>(img) = kvxtest::readPng(path);
    return img;
}

Json readJson(const std::string& text) { return Json::parse(text); }

// A room in metres: a floor, a green wall 2.35 m ahead of a camera at eye
// height looking along +x, and a red square 1.5 m ahead and 1 m to its left
// that moves 3 m further left over frames 0..60. Each object carries its pivot
// at its centre and a node placing it there, as modelling programs write them.
k3ds::Scene room() {
    k3ds::Scene s;
    k3ds::Material grey, red, green;
    grey.name = "GREY", grey.diffuse = {0.6f, 0.6f, 0.6f};
    red.name = "RED", red.diffuse = {0.9f, 0.1f, 0.1f};
    green.name = "GREEN", green.diffuse = {0.1f, 0.8f, 0.1f};
    s.materials = {grey, red, green};
    s.segmentStart = 0, s.segmentEnd = 60;
    // Corners counter-clockwise as seen from the side the quad faces.
    auto quad = [&s](const std::string& name, const std::string& mat, k3ds::Vec3 a, k3ds::Vec3 b, k3ds::Vec3 c,
                     k3ds::Vec3 d, k3ds::Vec3 moveTo) {
        k3ds::Mesh m;
        m.name = name;
        m.vertices = {a, b, c, d};
        m.faces = {{0, 1, 2, 7}, {0, 2, 3, 7}};
        m.materials = {{mat, {0, 1}}};
        k3ds::Vec3 centre{(a.x + c.x) / 2, (a.y + c.y) / 2, (a.z + c.z) / 2};
        m.axes[9] = centre.x, m.axes[10] = centre.y, m.axes[11] = centre.z;
        s.meshes.push_back(m);
        k3ds::Node n;
        n.name = name, n.id = static_cast<int>(s.nodes.size());
        n.position = {{0, centre}, {60, moveTo}};
        s.nodes.push_back(n);
        return centre;
    };
    k3ds::Vec3 floorCentre{0, 0, 0}, wallCentre{2.35f, 0, 1.5f};
    quad("FLOOR", "GREY", {-10, -10, 0}, {10, -10, 0}, {10, 10, 0}, {-10, 10, 0}, floorCentre);
    quad("WALL", "GREEN", {2.35f, 10, 0}, {2.35f, -10, 0}, {2.35f, -10, 3}, {2.35f, 10, 3}, wallCentre);
    quad("BOX", "RED", {1.5f, 1.5f, 1.2f}, {1.5f, 0.5f, 1.2f}, {1.5f, 0.5f, 2.2f}, {1.5f, 1.5f, 2.2f},
         {1.5f, 4.0f, 1.7f});
    k3ds::Camera cam;
    cam.name = "CAMERA01", cam.eye = {0, 0, 1.7f}, cam.target = {10, 0, 1.7f}, cam.lens = 35;
    s.cameras.push_back(cam);
    return s;
}

TEST(Viewer, RendersRealFilesHeadless) {
    Scratch s;
    std::vector<std::string> files = {"CameraRollAnim.3ds",   "RotatingCube.3DS",
                                      "TargetCameraAnim.3ds", "cube_with_diffuse_texture.3DS",
                                      "cubes_with_alpha.3DS", "fels.3ds"};
    for (const std::string& f : files) {
        // Through the file's camera (or the framing one): something is drawn.
        Result r = run(s, "--output view.png --size 160x120 " + kAssimp + "/" + f);
        ASSERT_EQ(r.status, 0) << f << ": " << r.err;
        Image img = readPng(s("view.png"));
        ASSERT_EQ(img.width, 160) << f;
        EXPECT_GT(img.covered(), 0.02) << f;
        // The free camera frames the bounding box: the middle is covered, the corners are not.
        r = run(s, "-o free.png -s 160x120 --camera -1 " + kAssimp + "/" + f);
        ASSERT_EQ(r.status, 0) << f << ": " << r.err;
        img = readPng(s("free.png"));
        EXPECT_FALSE(img.isBackground(80, 60)) << f;
        for (int y : {0, 119})
            for (int x : {0, 159}) EXPECT_TRUE(img.isBackground(x, y)) << f << " corner " << x << "," << y;
    }
    // Lit without lights: the grey rock is not black; the wire overlay draws
    // dark edges over it.
    Image rock = readPng(s("free.png"));
    EXPECT_GT(rock.at(80, 60)[0] + rock.at(80, 60)[1] + rock.at(80, 60)[2], 3 * 90);
    ASSERT_EQ(run(s, "-o wire.png -s 160x120 --camera -1 --wire " + kAssimp + "/fels.3ds").status, 0);
    Image wire = readPng(s("wire.png"));
    auto darkInRock = [](const Image& img) {
        int n = 0;
        for (int y = 40; y < 80; ++y)
            for (int x = 60; x < 100; ++x) n += img.at(x, y)[0] < 60;
        return n;
    };
    EXPECT_GT(darkInRock(wire), darkInRock(rock) + 100);

    // The demo's scenes through their cameras fill the picture; a sequence writes one file per frame.
    struct stat st;
    if (stat((kDemoData + "/level01.dat").c_str(), &st) != 0) GTEST_SKIP() << "no generated data (make data)";
    for (const char* level : {"level01.dat", "level02.dat", "level03.dat"}) {
        Result r = run(s, "--output 'l_{frame}.png' --frames 0:20:10 -s 160x120 " + kDemoData + "/" + level);
        ASSERT_EQ(r.status, 0) << level << ": " << r.err;
        for (const char* frame : {"l_0000.png", "l_0010.png", "l_0020.png"})
            EXPECT_GT(readPng(s(frame)).covered(), 0.5) << level << " " << frame;
    }
}

TEST(Viewer, CameraSeesObjectWhereItStands) {
    Scratch s;
    ASSERT_TRUE(k3ds::saveScene(room(), s("room.3ds")));
    // Frame 0: the red square spans 0.5 to 1.5 m left of the line of sight at
    // 1.5 m, that is 42 to 126 pixels left of the middle with the 35 mm lens
    // (61.5 degrees high, 4:3); the green wall is behind the rest.
    Result r = run(s, "-o room.png -s 200x150 --frame 0 room.3ds");
    ASSERT_EQ(r.status, 0) << r.err;
    Image img = readPng(s("room.png"));
    ASSERT_EQ(img.width, 200);
    const unsigned char* box = img.at(100 - 65, 75);
    EXPECT_GT(box[0], 120) << "the box is red and lit";
    EXPECT_LT(box[1], 60);
    const unsigned char* wall = img.at(100 + 48, 75);
    EXPECT_GT(wall[1], 120) << "the wall is green and lit";
    EXPECT_LT(wall[0], 60);
    // At the segment's last frame the square has moved 2.5 m further left, out of the picture.
    r = run(s, "-o room60.png -s 200x150 --frame 59 room.3ds");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(readPng(s("room60.png")).at(100 - 65, 75)[1], 120);

    // The same scene as an entry of a pack file: directory records (first and
    // last byte, 256-byte name), a terminator, then the data.
    std::string scene = readFile(s("room.3ds")), pack;
    auto record = [&pack](uint32_t first, uint32_t last, const std::string& name) {
        pack.append(reinterpret_cast<const char*>(&first), 4).append(reinterpret_cast<const char*>(&last), 4);
        pack += name + std::string(256 - name.size(), '\0');
    };
    record(0, static_cast<uint32_t>(scene.size() - 1), "scenes/room.3ds");
    record(0xFFFFFFFFu, 0, "");
    s.write("room.pak", pack + scene);
    r = run(s, "-o pack.png -s 200x150 --frame 0 room.pak:scenes/room.3ds");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(readPng(s("pack.png")).at(100 - 65, 75)[0], 120);
}

TEST(Viewer, InfoJsonMatchesReference) {
    Scratch s;
    Json ref = readJson(readFile(kAssimp + "/reference.json"));
    for (const char* f : {"cubes_with_alpha.3DS", "fels.3ds", "TargetCameraAnim.3ds"}) {
        Result r = run(s, "--info --json " + kAssimp + "/" + f);
        ASSERT_EQ(r.status, 0) << r.err;
        Json info = readJson(r.out);
        const Json& expect = ref[std::string("assimp/") + f];
        EXPECT_EQ(info["result"].number, 0);
        ASSERT_EQ(info["meshes"].size(), expect["meshes"].size()) << f;
        for (size_t i = 0; i < expect["meshes"].size(); ++i) {
            EXPECT_EQ(info["meshes"][i]["name"].text, expect["meshes"][i]["name"].text);
            EXPECT_EQ(info["meshes"][i]["faces"].number, expect["meshes"][i]["faces"].number);
            EXPECT_EQ(info["meshes"][i]["vertices"].number, expect["meshes"][i]["vertices"].number);
        }
        EXPECT_EQ(info["materials"].size(), expect["materials"].size()) << f;
        EXPECT_EQ(info["cameras"].size(), expect["cameras"].size()) << f;
        EXPECT_EQ(info["lights"].size(), expect["lights"].size()) << f;
        if (expect["keyframer"]["nodes"].size()) {
            EXPECT_EQ(info["keyframer"]["end"].number, expect["keyframer"]["end"].number) << f;
        }
    }
    // The texture that is not beside the file is reported missing, with the engine's message.
    Result r = run(s, "--info --json " + kAssimp + "/cubes_with_alpha.3DS");
    EXPECT_NE(r.out.find("\"file\": \"BERETTA_.JPG\", \"found\": false"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Error loading .JPG file"), std::string::npos);
}

TEST(Viewer, BadInputAndOptions) {
    Scratch s;
    Result r = run(s, "--output x.png missing.3ds");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot open .3DS file (possible disk error) (code 13)"), std::string::npos) << r.err;
    s.write("notes.3ds", "these are notes, not a scene\n");
    r = run(s, "--info notes.3ds");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("load result 14"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("3DS file expected but something else encountered"), std::string::npos) << r.out;
    // A truncated file loads what it holds or fails cleanly: never a crash.
    std::string fels = readFile(kAssimp + "/fels.3ds");
    for (size_t cut : {size_t(7), fels.size() / 3, fels.size() - 5}) {
        s.write("cut.3ds", fels.substr(0, cut));
        r = run(s, "-o cut.png -s 64x48 cut.3ds");
        EXPECT_TRUE(r.status == 0 || r.status == 1) << "cut at " << cut << ": " << r.status << " " << r.err;
    }
    for (const char* args :
         {"", "--bogus a.3ds", "--size 0x10 a.3ds", "--frames 1:5 -o one.png a.3ds", "--json a.3ds", "--frame"}) {
        r = run(s, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("Try 'kvxview --help'"), std::string::npos) << args;
    }
    // Cameras by number or by name in any case; one the file lacks is named with the ones it has.
    for (const char* camera : {"3", "Camera02"}) {
        r = run(s, std::string("-o x.png --camera ") + camera + " " + kAssimp + "/TargetCameraAnim.3ds");
        EXPECT_EQ(r.status, 2) << camera;
        EXPECT_NE(r.err.find("(cameras: 0 Camera01;"), std::string::npos) << r.err;
    }
    EXPECT_EQ(run(s, "-o x.png -s 64x48 --camera camera01 " + kAssimp + "/TargetCameraAnim.3ds").status, 0);
    // Console input in batch use: a missing script and a command, with their output.
    r = run(s, "-o x.png --script nothing.txt --exec SCENEINFO " + kAssimp + "/fels.3ds");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Script file not found!"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Total vertices: "), std::string::npos) << r.out;
    r = run(s, "--help");
    EXPECT_EQ(r.status, 0);
    for (const char* o : {"Usage: kvxview", "--output", "--frames", "--camera", "--size", "--light", "--wire", "--info",
                          "--json", "--watch", "--script", "--exec", "--list-bindings", "'#'"})
        EXPECT_NE(r.out.find(o), std::string::npos) << o;
}

// A session driven through the window's event queue.
TEST(Viewer, ReplayedSession) {
    Scratch s;
    ASSERT_TRUE(k3ds::saveScene(room(), s("room.3ds")));
    mkdir(s("hall").c_str(), 0755);
    ASSERT_TRUE(k3ds::saveScene(room(), s("hall/Hall.3ds")));
    s.write("session.txt",
            "frames 5\n"
            "key space\nstate paused.json\n"
            "key right\nstate stepped.json\n"
            "key c\nstate free.json\n"
            "key c\nstate back.json\n"
            "key g\ndown w\nframes 60\nup w\nstate walked.json\nshot walked.png\n"
            "key F12\n"
            "drop notes.3ds\nframes 1\nstate dropped.json\n"
            "key `\ntext SCENEINFO\nkey return\nframes 1\nstate console.json\n"
            "shot console.png\n"
            "key `\nkey g\nstate o1.json\ndrag 1 100 0\nstate o2.json\n"
            "wheel 2\nstate o3.json\n"
            "key `\ntext LOAD3DS hall/Hall.3ds .\nkey return\nframes 1\nstate loaded.json\nquit\n");
    s.write("notes.3ds", "not a scene\n");
    Result r = run(s, "-s 320x240 --replay session.txt room.3ds");
    ASSERT_EQ(r.status, 0) << r.err;
    Json paused = readJson(readFile(s("paused.json")));
    Json stepped = readJson(readFile(s("stepped.json")));
    EXPECT_EQ(paused["playing"].number, 0);
    EXPECT_GE(paused["frame"].number, 4);
    EXPECT_EQ(stepped["frame"].number, paused["frame"].number + 1);
    EXPECT_EQ(readJson(readFile(s("free.json")))["camera"].number, -1);
    EXPECT_EQ(readJson(readFile(s("back.json")))["camera"].number, 0);

    // Two seconds of walking at 3 m/s (0.1 m a frame) towards a wall 2.35 m
    // ahead: the body (0.35 m) stops within a step of it, on the floor at eye height.
    Json walked = readJson(readFile(s("walked.json")));
    EXPECT_EQ(walked["mode"].text, "walk");
    EXPECT_GT(walked["eye"][0].number, 1.88);
    EXPECT_LE(walked["eye"][0].number, 2.0);
    EXPECT_NEAR(walked["eye"][1].number, 0.0, 0.05);
    EXPECT_NEAR(walked["eye"][2].number, 1.7, 0.05);
    EXPECT_EQ(walked["onGround"].number, 1);
    Image close = readPng(s("walked.png"));
    EXPECT_GT(close.at(160, 120)[1], 120) << "the wall fills the view";
    EXPECT_EQ(readFile(s("Shot0000.jpg")).substr(0, 3), "\xFF\xD8\xFF") << "F12 saves a JPEG";

    // A bad file dropped on the window leaves the scene as it was.
    Json dropped = readJson(readFile(s("dropped.json")));
    EXPECT_NE(dropped["file"].text.find("room.3ds"), std::string::npos);
    EXPECT_EQ(dropped["meshes"].number, walked["meshes"].number);
    EXPECT_NE(r.err.find("3DS file expected but something else encountered (code 14)"), std::string::npos);

    Json console = readJson(readFile(s("console.json")));
    EXPECT_EQ(console["consoleOpen"].number, 1);
    EXPECT_NE(console["console"].text.find("  Total number of mesh objects: 3"), std::string::npos)
        << console["console"].text;
    Image shot = readPng(s("console.png"));
    EXPECT_FALSE(shot.isBackground(160, 200)) << "the scene shows below the console";

    // Orbit turns the eye about a fixed point; the wheel brings it nearer.
    Json o[3] = {readJson(readFile(s("o1.json"))), readJson(readFile(s("o2.json"))), readJson(readFile(s("o3.json")))};
    auto distance = [](const Json& j) {
        double d = 0;
        for (int k = 0; k < 3; ++k) d += std::pow(j["eye"][k].number - j["target"][k].number, 2);
        return std::sqrt(d);
    };
    EXPECT_EQ(o[0]["mode"].text, "orbit");
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(o[1]["target"][k].number, o[0]["target"][k].number, 1e-3);
    EXPECT_GT(std::fabs(o[1]["eye"][1].number - o[0]["eye"][1].number), 1.0);
    EXPECT_NEAR(distance(o[1]), distance(o[0]), 1e-3);
    EXPECT_NEAR(distance(o[2]), distance(o[0]) * 0.85 * 0.85, 1e-3);

    // A file the console loads is the one the title names and --watch follows.
    Json loaded = readJson(readFile(s("loaded.json")));
    EXPECT_EQ(loaded["file"].text, "hall/Hall.3ds") << loaded["console"].text;
    EXPECT_EQ(loaded["title"].text, "kvxview - hall/Hall.3ds");
    EXPECT_EQ(readJson(readFile(s("o3.json")))["title"].text, "kvxview - room.3ds");
}

}  // namespace
