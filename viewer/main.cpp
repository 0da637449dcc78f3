// kvxview: opens .3DS files with the Korvex3D engine in a window, prints what
// they hold, or renders them to PNG files without a display.

#include <cstdio>
#include <string>

#include "App.h"
#include "Batch.h"
#include "Bindings.h"
#include "Options.h"

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "kvxview: %s\nTry 'kvxview --help' for more information.\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        printUsage(stdout);
        return kExitOk;
    }
    if (options.version) {
        printVersion(stdout);
        return kExitOk;
    }
    if (options.listBindings) {
        printBindings(stdout);
        return kExitOk;
    }
    if (options.info) return runInfo(options);
    if (!options.output.empty()) return runOutput(options);
    return runViewer(options);
}
