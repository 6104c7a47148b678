// Test support: the chains of tests/data/emv_published_chains.txt, read by
// name, for the emv/ unit tests and the command-line tests.
#pragma once

#include <map>
#include <string>

#include "tests/emv_support/emv_chain.h"

namespace emv_chain {

// One chain's values by key ("ca_modulus", "issuer_cert", "pan", ...), as
// written in the file.
class PublishedChain {
public:
    PublishedChain(const std::string& path, const std::string& name);

    const std::string& text(const std::string& key) const;
    Bytes bytes(const std::string& key) const { return from_hex(text(key)); }

private:
    std::string name_;
    std::map<std::string, std::string> values_;
};

}  // namespace emv_chain
