// Reader of the compiled resource file: the records, and in them the dialog
// templates, string-table blocks and icon groups.
#include <stdexcept>

#include "tests/sim/sim_resources.h"

namespace sim {
namespace detail {
namespace {

const int kTypeDialog = 5;
const int kTypeString = 6;
const int kTypeGroupIcon = 14;

// Block n holds the strings (n - 1) * 16 .. n * 16 - 1; an empty one is absent.
void ReadStringBlock(support::LeReader& in, int block, std::map<UINT, std::string>& strings)
{
    for (UINT i = 0; i < 16; ++i) {
        std::string s = in.CountedString();
        if (!s.empty())
            strings[static_cast<UINT>(block - 1) * 16 + i] = s;
    }
}

}  // namespace

Resources ReadResources(const std::vector<uint8_t>& bytes)
{
    Resources r;
    size_t pos = 0;
    while (pos + 8 <= bytes.size()) {
        support::LeReader head(bytes.data(), pos, bytes.size());
        uint32_t data_size = head.Dword();
        uint32_t header_size = head.Dword();
        int type = head.NameOrOrdinal(nullptr);
        int name = head.NameOrOrdinal(nullptr);
        size_t data = pos + header_size;
        if (header_size < 8 || data > bytes.size() || data_size > bytes.size() - data)
            throw std::runtime_error("resource record runs past the end of the file");
        support::LeReader body(bytes.data(), data, data + data_size);
        if (type == kTypeDialog && name >= 0) {
            r.dialogs[name] = support::ReadDialogTemplate(body, name);
        } else if (type == kTypeString && name > 0) {
            ReadStringBlock(body, name, r.strings);
        } else if (type == kTypeGroupIcon && name >= 0) {
            body.Word();  // reserved
            body.Word();  // resource type: 1 for icons
            r.icon_groups[name] = body.Word();
        }
        pos = (data + data_size + 3) & ~static_cast<size_t>(3);
    }
    return r;
}

}  // namespace detail
}  // namespace sim
