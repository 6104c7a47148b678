// BER-TLV shown to people and scripts: tlv prints it, oda names malformed
// responses with it.
//
// Text: one line per object, indented two blanks per level of nesting:
// "TAG Name, N bytes: VALUE" (constructed objects without the value, their
// objects below them), text values also as characters, and under the
// values of DOLs, the AFL, the AIP and dates what they mean.
// JSON: an array of objects tag, name (null when unknown), length, value
// (hex), decoded where a decoder exists (cli/tlv_decoded.h) and, for
// constructed objects, children.
#pragma once

#include <string>

#include "cli/output.h"
#include "cli/tlv_decoded.h"
#include "emv/emv_tlv.h"

// What is wrong and where: "the value runs past the end of the data at
// offset 12".
std::string tlv_problem_text(const EmvTlvError& error);

// The two forms of data that emv_tlv_check found well-formed.
Json tlv_json(EmvBytes data, const DecodeContext& context = {});
std::string tlv_text(EmvBytes data, const DecodeContext& context = {});

// The text of a tree tlv_json made (the decodes as it holds them), each line
// after indent.
std::string tlv_json_text(const Json& tree, const std::string& indent);
