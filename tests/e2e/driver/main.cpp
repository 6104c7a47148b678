// End-to-end driver: starts Tarvello.exe beside it under Wine (or Windows),
// drives it from outside through window messages and checks what it shows.
//
//   tarvello_e2e --program <exe> [--expect <file>] [--data <list file>]
//                [--shots <folder>] [--opened <file>]
//                [--scenarios links,start,ends,commands]
//   tarvello_e2e --record-open <file> <address>   (the shell's handler for
//                web addresses during the run: appends the address to file)
//
// Prints one line per check; exits 1 at the first failure, 2 on bad usage.
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "tests/e2e/driver/program_templates.h"
#include "tests/e2e/driver/report.h"
#include "tests/e2e/driver/scenarios.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/shell_record.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: tarvello_e2e --program <exe> [--expect <file>] [--data <file>]"
                 " [--shots <folder>] [--opened <file>] [--scenarios links,start,ends,commands]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--record-open") == 0) {
        return e2e::RecordOpen(argv[2], argv[3]);
    }
    e2e::Options options;
    std::string scenarios = "links,start,ends,commands";
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string flag = argv[i];
        std::string value = argv[i + 1];
        if (flag == "--program")
            options.program = value;
        else if (flag == "--expect")
            options.expect = value;
        else if (flag == "--data")
            options.data = value;
        else if (flag == "--shots")
            options.shots = value;
        else if (flag == "--opened")
            options.opened = value;
        else if (flag == "--scenarios")
            scenarios = value;
        else
            return Usage();
    }
    if (options.program.empty() || argc % 2 == 0)
        return Usage();
    e2e::SetShotsFolder(options.shots);
    e2e::SetOpenedFile(options.opened);
    e2e::LoadProgramTemplates(options.program);

    std::istringstream names(scenarios);
    std::string name;
    while (std::getline(names, name, ',')) {
        std::printf("--- scenario %s\n", name.c_str());
        if (name == "links") {
            e2e::ScenarioLinks(options);
        } else if (name == "start") {
            e2e::ScenarioStart(options);
        } else if (name == "ends") {
            e2e::ScenarioEnds(options);
        } else if (name == "commands") {
            e2e::ScenarioCommands(options);
        } else {
            return Usage();
        }
    }
    std::printf("OK: %d checks passed\n", e2e::PassedCount());
    return 0;
}
