// The two forms of decoded BER-TLV.

#include "cli/tlv_report.h"

#include "cli/tlv_decoded.h"
#include "emv/emv_tags.h"

namespace {

const char* problem_of(EmvTlvStatus status)
{
    switch (status) {
        case EMV_TLV_TAG_CUT:
            return "the data ends inside a tag";
        case EMV_TLV_TAG_TOO_LONG:
            return "a tag longer than 3 bytes";
        case EMV_TLV_LENGTH_CUT:
            return "the data ends inside a length";
        case EMV_TLV_LENGTH_FORM:
            return "a length form other than 1 byte, 81 or 82";
        case EMV_TLV_VALUE_CUT:
            return "a value runs past the end of its data";
        case EMV_TLV_TOO_DEEP:
            return "templates nested too deep";
        case EMV_TLV_TOO_MANY:
            return "more entries than can be held";
        default:
            return "malformed";
    }
}

std::string name_of(uint32_t tag)
{
    const char* name = emv_tag_name(tag);
    return name != nullptr ? name : "unknown tag";
}

bool printable(EmvBytes value)
{
    for (int32_t i = 0; i < value.length; ++i) {
        if (value.data[i] < 0x20 || value.data[i] > 0x7E)
            return false;
    }
    return value.length > 0;
}

// The value as characters, for the data elements coded as text.
std::string characters(uint32_t tag, EmvBytes value)
{
    const EmvTagFormat format = emv_tag_format(tag);
    if ((format != EMV_TAG_ALPHA && format != EMV_TAG_TEXT) || !printable(value))
        return "";
    return " \"" + std::string(reinterpret_cast<const char*>(value.data), value.length) + "\"";
}

void add_text(std::string& text, EmvTlvReader reader, int depth)
{
    const std::string indent(static_cast<size_t>(depth) * 2, ' ');
    EmvTlv object;
    while (emv_tlv_next(&reader, &object, nullptr) == EMV_TLV_OK) {
        const EmvBytes value = emv_tlv_value(&object);
        text += indent + tag_text(object.tag) + " " + name_of(object.tag) + ", " +
                std::to_string(object.length) + (object.length == 1 ? " byte" : " bytes");
        if (object.constructed) {
            text += "\n";
            add_text(text, emv_tlv_children(&object), depth + 1);
            continue;
        }
        text += ": " + hex_text(value.data, static_cast<size_t>(value.length)) +
                characters(object.tag, value) + "\n";
        for (const std::string& line : decoded_value(object.tag, value))
            text += indent + "  " + line + "\n";
    }
}

Json objects_json(EmvTlvReader reader)
{
    Json array = Json::array();
    EmvTlv object;
    while (emv_tlv_next(&reader, &object, nullptr) == EMV_TLV_OK) {
        const EmvBytes value = emv_tlv_value(&object);
        Json entry;
        entry["tag"] = tag_text(object.tag);
        const char* name = emv_tag_name(object.tag);
        entry["name"] = name != nullptr ? Json(name) : Json(nullptr);
        entry["length"] = object.length;
        entry["value"] = hex_text(value.data, static_cast<size_t>(value.length));
        if (object.constructed)
            entry["children"] = objects_json(emv_tlv_children(&object));
        array.push_back(entry);
    }
    return array;
}

}  // namespace

std::string tlv_problem_text(const EmvTlvError& error)
{
    return std::string(problem_of(error.status)) + " at offset " + std::to_string(error.offset);
}

Json tlv_json(EmvBytes data)
{
    return objects_json(emv_tlv_reader(data));
}

std::string tlv_text(EmvBytes data)
{
    std::string text;
    add_text(text, emv_tlv_reader(data), 0);
    return text;
}
