// Test support: reads one chain of the published-chains file.
#include "tests/emv_support/published_chains.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace emv_chain {

PublishedChain::PublishedChain(const std::string& path, const std::string& name) : name_(name)
{
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error("cannot open " + path);
    }
    std::string line;
    bool inside = false;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string key, value;
        words >> key >> value;
        if (key == "chain") {
            inside = value == name;
        } else if (inside) {
            values_[key] = line.substr(line.find(' ') + 1);
        }
    }
    if (values_.empty()) {
        throw std::runtime_error("no chain " + name + " in " + path);
    }
}

const std::string& PublishedChain::text(const std::string& key) const
{
    const auto it = values_.find(key);
    if (it == values_.end()) {
        throw std::runtime_error("chain " + name_ + " has no " + key);
    }
    return it->second;
}

}  // namespace emv_chain
