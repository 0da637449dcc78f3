#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "ConsoleFixture.h"
#include "core/String.h"

namespace {

using namespace kvxtest;

typedef ConsoleTest Transcript;

std::string scratchPath(const std::string& name) { return consoleScratch()(name); }
std::string writeFile(const std::string& name, const std::string& content) {
    return consoleScratch().write(name, content);
}

const char kParseFailed[] = "KVX Console parser failed to parse commandline!\n";

TEST_F(Transcript, HelpTexts) {
    EXPECT_EQ(run("HELP"),
              ">HELP\nCurrent commands available:\n\nACTIVETLIST, ACTIVEPLIST, ACTIVECAMERA, CLS, "
              "CLEAR3DS, DIR, EFUNCLIST, EVAL, EVARLIST, EXECSCRIPT, EXIT, FOV, GAMMA, GET, HELP, "
              "INFO, LOAD3DS, MEM, RELOAD3DS, SCENEINFO, SET\n\n");
    EXPECT_EQ(run("help fov"), ">help fov\nFOV [value] set FOV value (normal = 90 range [1-179])\n\n");
    EXPECT_EQ(run("HELP "), ">HELP \nCommand does not exist!\n\n");
    EXPECT_EQ(run("HELP  FOV"), ">HELP  FOV\nCommand does not exist!\n\n");
    EXPECT_EQ(run("HELP get"), ">HELP get\n[value] GET [varname]\nExample: GET VAR1 Result: 60\n\n");
    EXPECT_EQ(run("HELP INFO"), ">HELP INFO\nINFO shows info about console\n");
    EXPECT_EQ(run("HELP LOAD3DS extra"),
              ">HELP LOAD3DS extra\nLOAD3DS [name] [matdir] [/r] [/a] [/m] [/s] [/x] clears and "
              "loads a new .3DS file to internal OGroup.\nIf /r specified lights are raytraced\n"
              "If /a specified only animation is loaded\nIf /m specified only materials are "
              "loaded\nIf /s specified smoothing groups are calculated\nIf /x specified texture "
              "modifier is enabled\n\n");
    EXPECT_EQ(run("INFO"), ">INFO\nKorvex3D Console v0.1\n");
}

TEST_F(Transcript, ParserFailures) {
    EXPECT_EQ(run("FROB 1", 18), std::string(">FROB 1\nCommand not found!\n") + kParseFailed);
    EXPECT_EQ(run("", 18), std::string(">\nCommand not found!\n") + kParseFailed);
    EXPECT_EQ(run(" HELP", 18), std::string("> HELP\nCommand not found!\n") + kParseFailed);
    EXPECT_EQ(run("HELP\tFOV", 18), std::string(">HELP\tFOV\nCommand not found!\n") + kParseFailed);

    std::string longLine = "HELP " + std::string(251, 'x');  // 256 characters
    EXPECT_EQ(run(longLine, 18), ">" + longLine + "\nCommand line too long!\n" + kParseFailed);
    std::string fits = "HELP " + std::string(250, 'x');  // 255 characters
    EXPECT_EQ(run(fits), ">" + fits + "\nCommand does not exist!\n\n");

    for (const char* cmd : {"SET", "EVAL", "DIR", "GET", "EXECSCRIPT", "GAMMA", "FOV", "ACTIVETLIST", "ACTIVEPLIST",
                            "ACTIVECAMERA", "LOAD3DS"}) {
        EXPECT_EQ(run(cmd, 21), std::string(">") + cmd + "\nMissing parameters! Parse failed!\n");
    }
}

TEST_F(Transcript, Variables) {
    float v = 0.0f;
    c.addVar(&v);
    EXPECT_EQ(run("SET VAR0 2.7"), ">SET VAR0 2.7\nVariable VAR0 set to 2\n");
    EXPECT_EQ(v, 2.7f);
    EXPECT_EQ(run("set var0 -5.5"), ">set var0 -5.5\nVariable VAR0 set to -5\n");
    EXPECT_EQ(v, -5.5f);
    EXPECT_EQ(run("SET VAR0 -1"), ">SET VAR0 -1\nVariable VAR0 set to -1\n");
    EXPECT_EQ(run("SET NOPE 3"), ">SET NOPE 3\nVariable not found\n");
    EXPECT_EQ(run("GET NOPE"), ">GET NOPE\nVariable NOPE = -1.000000\nVariable not found\n");
    EXPECT_EQ(run("GET var0"), ">GET var0\nVariable VAR0 = -1.000000\n");
    EXPECT_EQ(run("SET VAR0"), ">SET VAR0\nVariable VAR0 set to 0\n");
    EXPECT_EQ(v, 0.0f);
    v = 60.0f;
    EXPECT_EQ(run("GET VAR0"), ">GET VAR0\nVariable VAR0 = 60.000000\n");

    c.addVar(nullptr, "ghost");
    EXPECT_EQ(run("SET GHOST 1"), ">SET GHOST 1\nError! Variable found but reference is NULL\n");
    EXPECT_EQ(run("GET GHOST"),
              ">GET GHOST\nVariable GHOST = -2.000000\nError! Variable found but reference is "
              "NULL\n");

    std::string list = run("EVARLIST");
    EXPECT_EQ(list.rfind(">EVARLIST\nExternal Variable List:\n\n0x", 0), 0u) << list;
    EXPECT_NE(list.find(" - VAR0 - 60.000000\n"), std::string::npos);
    EXPECT_NE(list.find("\n2 variables\n\n"), std::string::npos);
}

int twice(int i) { return 2 * i; }
float half(float f) { return f / 2; }

TEST_F(Transcript, Functions) {
    c.addFunc(&twice, "Twice");
    c.addFunc(&half, "half");
    EXPECT_EQ(run("EVAL TWICE 21"), ">EVAL TWICE 21\nFunction (TWICE) returned a value (42.000000)\n");
    EXPECT_EQ(run("eval half 3.5"), ">eval half 3.5\nFunction (HALF) returned a value (1.750000)\n");
    EXPECT_EQ(run("EVAL NONE 1"), ">EVAL NONE 1\nFunction (NONE) returned a value (0.000000)\n");
    EXPECT_EQ(run("EFUNCLIST"), ">EFUNCLIST\nExternal Function List:\n\n    Int TWICE(Int)\n    Float HALF(Float)\n");
}

TEST_F(Transcript, RequestsAndSceneCommandsWithoutScene) {
    EXPECT_EQ(run("EXIT"), ">EXIT\nExit requested!\n");
    EXPECT_TRUE(c.exitRequest());
    EXPECT_FALSE(c.exitRequest());
    EXPECT_EQ(run("cls"), ">cls\nClear requested!\n");
    EXPECT_TRUE(c.clearRequest());

    EXPECT_EQ(run("LOAD3DS scene.3ds", 21), ">LOAD3DS scene.3ds\nMissing parameters! Parse failed!\n");
    EXPECT_STREQ(c.lastLoad, "");
    EXPECT_EQ(run("load3ds scene.3ds maps /s", 25),
              ">load3ds scene.3ds maps /s\nScene used in functioncall is NULL!\n");
    EXPECT_STREQ(c.lastLoad, "LOAD3DS SCENE.3DS MAPS /S");
    EXPECT_EQ(run("RELOAD3DS", 25), ">RELOAD3DS\nScene used in functioncall is NULL!\n");
    EXPECT_EQ(run("SCENEINFO"), ">SCENEINFO\n");
    EXPECT_EQ(run("CLEAR3DS"), ">CLEAR3DS\n");
    EXPECT_EQ(run("ACTIVECAMERA 2"), ">ACTIVECAMERA 2\nActiveCamera change completed.\n");
    EXPECT_EQ(run("ACTIVEPLIST -4"), ">ACTIVEPLIST -4\nActivePathList change completed.\n");
    EXPECT_EQ(run("ACTIVETLIST 99999999999"), ">ACTIVETLIST 99999999999\nActiveTList change completed.\n");
}

TEST_F(Transcript, Memory) {
    std::string out = run("MEM");
    std::regex shape(
        ">MEM\nFree memory available \\(phys/page\\): [0-9]+ Kbytes  -  [0-9]+ Kbytes\n"
        "Total memory \\(phys/page\\): ([0-9]+) Kbytes  -  [0-9]+ Kbytes\n"
        "Memory usage : ([0-9]+)%\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(out, m, shape)) << out;
    EXPECT_GT(std::stol(m[1]), 0);
    EXPECT_LE(std::stoi(m[2]), 100);
}

TEST_F(Transcript, Scripts) {
    std::string plain = writeFile("plain.txt", "EXIT\nCLS\n  #EXIT\n");
    EXPECT_EQ(c.readScript(plain.c_str()), 0);
    EXPECT_EQ(take(), "");
    EXPECT_FALSE(c.exitRequest());

    std::string hashed = writeFile("hashed.txt", "comment\r\n#   EXIT\r\n#INFO\r\n");
    EXPECT_EQ(c.readScript(hashed.c_str()), 0);
    EXPECT_EQ(take(), ">EXIT\nExit requested!\n>INFO\nKorvex3D Console v0.1\n");
    EXPECT_TRUE(c.exitRequest());

    std::string early = writeFile("early.txt", "#INFO\n<EOF> rest is ignored\n#EXIT\n");
    EXPECT_EQ(c.readScript(early.c_str()), 0);
    EXPECT_EQ(take(), ">INFO\nKorvex3D Console v0.1\n");
    EXPECT_FALSE(c.exitRequest());

    // A last line without a terminator still runs; ESC also ends a line.
    std::string last = writeFile("last.txt", "#INFO\x1b#CLS");
    EXPECT_EQ(c.readScript(last.c_str()), 0);
    EXPECT_EQ(take(), ">INFO\nKorvex3D Console v0.1\n>CLS\nClear requested!\n");

    // Run through the interpreter, which upper-cases the file name.
    EXPECT_EQ(run("execscript " + early), ">execscript " + early + "\n>INFO\nKorvex3D Console v0.1\n");
    EXPECT_EQ(run("EXECSCRIPT " + scratchPath("missing.txt"), 31),
              ">EXECSCRIPT " + scratchPath("missing.txt") + "\nScript file not found!\n");
    EXPECT_EQ(c.readScript(nullptr), 31);
    take();

    // Overlong script lines are cut to what a command line may hold.
    std::string huge = writeFile("huge.txt", "#HELP " + std::string(3000, 'Q') + "\n#INFO\n");
    EXPECT_EQ(c.readScript(huge.c_str()), 0);
    EXPECT_EQ(take(),
              ">HELP " + std::string(249, 'Q') + "\nCommand does not exist!\n\n" + ">INFO\nKorvex3D Console v0.1\n");
}

TEST_F(Transcript, ScriptsRunningThemselvesStopAtDepthSixteen) {
    std::string self = scratchPath("self.txt");
    writeFile("self.txt", "#INFO\n#EXECSCRIPT " + self + "\n");
    EXPECT_EQ(c.readScript(self.c_str()), 0);
    std::string out = take();
    size_t infos = 0;
    for (size_t p = out.find("Korvex3D Console v0.1"); p != std::string::npos;
         p = out.find("Korvex3D Console v0.1", p + 1))
        ++infos;
    EXPECT_EQ(infos, 16u);
    EXPECT_EQ(out.find("Script nesting too deep! Script not run!\n"),
              out.rfind("Script nesting too deep! Script not run!\n"));
    EXPECT_NE(out.find("Script nesting too deep! Script not run!\n"), std::string::npos);
    EXPECT_EQ(c.scriptDepth, 0);

    // Two scripts calling each other are bounded the same way.
    std::string a = scratchPath("ping.txt"), b = scratchPath("pong.txt");
    writeFile("ping.txt", "#EXECSCRIPT " + b + "\n");
    writeFile("pong.txt", "#EXECSCRIPT " + a + "\n");
    EXPECT_EQ(c.readScript(a.c_str()), 0);
    EXPECT_NE(take().find("Script nesting too deep!"), std::string::npos);
    EXPECT_EQ(c.scriptDepth, 0);
}

// A host function that makes a second console run a script while the first one's script runs.
Console* otherConsole = nullptr;
std::string otherScript;
int otherRuns = 0;
void runOtherScript() {
    ++otherRuns;
    otherConsole->readScript(otherScript.c_str());
}

TEST_F(Transcript, EachConsoleHasItsOwnScriptBudget) {
    Console other;
    otherConsole = &other;
    otherScript = writeFile("other.txt", "#INFO\n");
    otherRuns = 0;
    std::string fan = scratchPath("fan.txt");
    writeFile("fan.txt", "#EVAL RUNOTHER\n#EXECSCRIPT " + fan + "\n#EXECSCRIPT " + fan + "\n");
    c.addFunc(&runOtherScript, "RUNOTHER");
    EXPECT_EQ(c.readScript(fan.c_str()), 0);
    take();
    // The fan-out would run 65535 scripts; the other console's runs must not refill this one's budget.
    EXPECT_EQ(otherRuns, 1024);
    EXPECT_EQ(c.scriptDepth, 0);
}

TEST_F(Transcript, ReadLine) {
    std::string path = writeFile("lines.txt", "one\r\ntwo\x1bthree\n" + std::string(2000, 'z') + "\nend");
    FILE* f = fopen(path.c_str(), "rb");
    EXPECT_STREQ(c.readln(f).data, "one");
    EXPECT_STREQ(c.readln(f).data, "");
    EXPECT_STREQ(c.readln(f).data, "two");
    EXPECT_STREQ(c.readln(f).data, "three");
    String big = c.readln(f);
    EXPECT_EQ(std::string(big.data), std::string(String::kMaxLength, 'z'));
    EXPECT_STREQ(c.readln(f).data, "end");
    EXPECT_STREQ(c.readln(f).data, "");
    fclose(f);
}

TEST_F(Transcript, DirectoryListing) {
    std::string d = scratchPath("listing");
    mkdir(d.c_str(), 0755);
    writeFile("listing/alpha.txt", "12345");
    writeFile("listing/Beta.TXT", "abc");
    writeFile("listing/gamma.dat", "");

    // The line is upper-cased; matching ignores case like the platform search.
    std::string out = run("dir " + d + "/*.txt");
    std::string echo = ">dir " + d + "/*.txt\n";
    ASSERT_EQ(out.rfind(echo, 0), 0u) << out;
    std::set<std::string> lines;
    std::istringstream in(out.substr(echo.size()));
    for (std::string l; std::getline(in, l);) lines.insert(l);
    EXPECT_EQ(lines, (std::set<std::string>{"alpha.txt\t5", "Beta.TXT\t3"}));

    EXPECT_EQ(run("DIR " + d + "/gam?a.*"), ">DIR " + d + "/gam?a.*\ngamma.dat\t0\n");
    EXPECT_EQ(run("DIR " + d + "/*.none"), ">DIR " + d + "/*.none\n");
    EXPECT_EQ(run("DIR  " + d + "/*.txt"), ">DIR  " + d + "/*.txt\n");  // empty word 1
    EXPECT_EQ(run("DIR /no/such/dir/*"), ">DIR /no/such/dir/*\n");
}

TEST_F(Transcript, OutputStaysInsideTheBuffer) {
    std::string filler(Console::textSize - 20, 'f');
    c.addText(filler.c_str());
    c.command("HELP");  // echo fits, the long listing does not
    c.command("INFO");
    static char buf[Console::textSize];
    int n = c.getText(buf);
    EXPECT_LT(n, Console::textSize);
    std::string tail(buf + filler.size());
    EXPECT_EQ(tail, ">HELP\n>INFO\n");

    for (int i = 0; i < 10000; ++i) c.command("HELP LOAD3DS");
    n = c.getText(buf);
    EXPECT_LT(n, Console::textSize);
    EXPECT_GT(n, Console::textSize - 400);
}

}  // namespace
