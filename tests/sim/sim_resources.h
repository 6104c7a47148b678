// sim_resources.h - the compiled resources of the simulated module.
//
// Classes in this file:
//   sim::detail::Resources  dialog templates, string table and icon groups
#ifndef TARVELLO_TESTS_SIM_RESOURCES_H
#define TARVELLO_TESTS_SIM_RESOURCES_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/sim/sim.h"

namespace sim {
namespace detail {

struct Resources {
    std::string path;
    std::map<int, DialogTemplate> dialogs;
    std::map<UINT, std::string> strings;
    std::map<int, int> icon_groups;  // group id -> number of images in the group
};

// Reads a resource file as the resource compiler writes it (`windres -O res`):
// a run of records, each a RESOURCEHEADER (data size, header size, type and
// name as 0xFFFF + ordinal or a UTF-16 string, DWORD alignment, data version,
// memory flags, language, version, characteristics) and its data padded to a
// DWORD. Keeps the dialog templates, the string-table blocks (16 counted
// UTF-16 strings each) and the icon groups (GRPICONDIR: reserved, type,
// count, entries); skips every other type. Text is kept 8-bit. Throws
// std::runtime_error for a record or template that runs past its data.
Resources ReadResources(const std::vector<uint8_t>& bytes);

// The resources loaded by sim::LoadResources (empty before).
const Resources& LoadedResources();

}  // namespace detail
}  // namespace sim

#endif  // TARVELLO_TESTS_SIM_RESOURCES_H
