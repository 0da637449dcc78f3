#include "DemoRun.h"

#include <sys/stat.h>

#include <algorithm>

#include "Png.h"

namespace demotest {

int Frame::brightest(int x, int y) const { return std::max({at(x, y)[0], at(x, y)[1], at(x, y)[2]}); }

Frame readPng(const std::string& path) {
    Frame f;
    kvxtest::RgbImage img = kvxtest::readPng(path);
    if (img.width == kW && img.height == kH) f.rgb = std::move(img.rgb);
    return f;
}

bool haveData() {
    struct stat st;
    return stat((kBuild + "/data/level01.dat").c_str(), &st) == 0 && stat((kBuild + "/demo").c_str(), &st) == 0;
}

std::string stageDemo(const std::string& name, const std::vector<std::string>& without) {
    std::string dir = tempPath(name), out;
    std::string cmd = "rm -rf " + dir + " && mkdir -p " + dir + "/data && cp " + kBuild + "/demo " + dir +
                      "/ && for f in " + kBuild + "/data/*; do ln -s \"$f\" " + dir + "/data/; done";
    for (const std::string& file : without) cmd += " && rm " + dir + "/data/" + file;
    runCommand(cmd, &out);
    return dir;
}

}  // namespace demotest
