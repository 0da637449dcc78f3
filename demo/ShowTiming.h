#ifndef DEMO_SHOWTIMING_H
#define DEMO_SHOWTIMING_H

// When things happen in the show: shared by the demo, which plays by these
// times, and the data generator, whose music and camera path follow them.
namespace demo {

// Milliseconds since the start of the show.
constexpr int kShowLengthMs = 161000;
constexpr int kTitle2Ms = 1300;
constexpr int kTitle3Ms = 3300;
constexpr int kTitle4Ms = 5400;
constexpr int kTitle5Ms = 7500;
constexpr int kTitle6Ms = 9600;
constexpr int kFirstSceneMs = 17500;
constexpr int kSecondSceneMs = 50300;
constexpr int kFirstSceneSecondMs = 66500;
constexpr int kThirdSceneMs = 83000;
constexpr int kFirstSceneThirdMs = 99500;
constexpr int kFirstSceneOffMs = 129400;
constexpr int kCreditsMs = 134000;
constexpr int kLoopFadeInEndMs = 138000;
constexpr int kLoopFadeOutMs = 157000;

// Animation frames of the first scene: the tunnel runs between the two tunnel
// frames; the scene's second and third visits start at their frames.
constexpr int kTunnelFromFrame = 610;
constexpr int kTunnelToFrame = 870;
constexpr int kFirstSceneSecondFrame = 1100;
constexpr int kFirstSceneThirdFrame = 2030;

}  // namespace demo

#endif
