// What the subcommands print: either "Name: value" lines for people, or, with
// --json, one JSON object for scripts. Values in both: byte strings as
// upper-case hex without blanks, lengths and counts as numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Objects keep their keys in the order they were added, so both forms list
// the fields in the same, stable order.
using Json = nlohmann::ordered_json;

// Upper-case hex of bytes[0 .. n), nothing between the bytes.
std::string hex_text(const uint8_t* bytes, size_t n);
std::string hex_text(const std::vector<uint8_t>& bytes);

// The text form of one value: strings as they are, numbers in decimal,
// true/false as yes/no, null as "not checked".
std::string text_value(const Json& value);

// Appends the line "name: value" to text.
void add_line(std::string& text, const std::string& name, const std::string& value);

// Writes doc to standard output as one JSON object and a line break.
void print_json(const Json& doc);

// Writes text to standard output as it is. Throws UsageError when it cannot
// be written whole (a full disk, a closed pipe).
void print_text(const std::string& text);

// One field of a flat result: a member of the JSON object and a line of text.
struct Field {
    const char* key;    // JSON member name
    const char* label;  // name on its text line
    Json value;
};

// Prints the fields in order, as one JSON object or as "label: value" lines.
void print_fields(bool json, const std::vector<Field>& fields);
