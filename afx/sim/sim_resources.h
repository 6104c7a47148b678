// sim_resources.h - the parsed resource script of the simulated module.
//
// Classes in this file:
//   sim::detail::Resources  dialog templates, string table, icons and #defines
#ifndef TARVELLO_AFX_SIM_RESOURCES_H
#define TARVELLO_AFX_SIM_RESOURCES_H

#include <map>
#include <string>

#include "afx/sim/sim.h"

namespace sim {
namespace detail {

struct Resources {
  std::string rc_path;
  std::string header_path;
  std::map<std::string, long> symbols;       // #defines of the header and the script
  std::map<int, DialogTemplate> dialogs;
  std::map<UINT, std::string> strings;
  std::map<int, std::string> icons;          // icon id -> file named in the script
};

// Parses the header's #define lines and the script's DIALOG/DIALOGEX,
// STRINGTABLE and ICON resources; other resources are skipped. Control
// styles follow the resource compiler: without a written style a statement
// gets its default style; with one, its base style, then each written term
// in order ORs its bits in or, after NOT, clears them. WS_CHILD | WS_VISIBLE
// come first in both cases. Throws std::runtime_error("file:line: ...").
Resources ParseResources(const std::string& rc_path, const std::string& header_path);

// The resources loaded by sim::LoadResources (empty before).
const Resources& LoadedResources();

}  // namespace detail
}  // namespace sim

#endif  // TARVELLO_AFX_SIM_RESOURCES_H
