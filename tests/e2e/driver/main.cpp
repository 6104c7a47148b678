// End-to-end driver: starts Tarvello.exe beside it under Wine (or Windows),
// drives it from outside through window messages and checks what it shows.
//
//   tarvello_e2e --program <exe> [--expect <file>] [--data <list file>]
//                [--shots <folder>] [--scenarios start,ends,commands]
//
// Prints one line per check; exits 1 at the first failure, 2 on bad usage.
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "tests/e2e/driver/report.h"
#include "tests/e2e/driver/scenarios.h"
#include "tests/e2e/driver/screenshot.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: tarvello_e2e --program <exe> [--expect <file>] [--data <file>]"
               " [--shots <folder>] [--scenarios start,ends,commands]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  e2e::Options options;
  std::string scenarios = "start,ends,commands";
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string flag = argv[i];
    std::string value = argv[i + 1];
    if (flag == "--program") options.program = value;
    else if (flag == "--expect") options.expect = value;
    else if (flag == "--data") options.data = value;
    else if (flag == "--shots") options.shots = value;
    else if (flag == "--scenarios") scenarios = value;
    else return Usage();
  }
  if (options.program.empty() || argc % 2 == 0) return Usage();
  e2e::SetShotsFolder(options.shots);

  std::istringstream names(scenarios);
  std::string name;
  while (std::getline(names, name, ',')) {
    std::printf("--- scenario %s\n", name.c_str());
    if (name == "start") {
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
