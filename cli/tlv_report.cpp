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

std::vector<uint8_t> hex_bytes(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
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

void add_text(std::string& text, const Json& objects, const std::string& indent)
{
    for (const Json& o : objects) {
        const uint32_t tag =
            static_cast<uint32_t>(std::stoul(o["tag"].get<std::string>(), nullptr, 16));
        const int length = o.contains("length")
                               ? o["length"].get<int>()
                               : static_cast<int>(o["value"].get<std::string>().size() / 2);
        text += indent + o["tag"].get<std::string>() + " " + name_of(tag) + ", " +
                std::to_string(length) + (length == 1 ? " byte" : " bytes");
        if (o.contains("children")) {
            text += "\n";
            add_text(text, o["children"], indent + "  ");
            continue;
        }
        const std::vector<uint8_t> bytes = hex_bytes(o["value"].get<std::string>());
        const EmvBytes value = {bytes.data(), static_cast<int32_t>(bytes.size())};
        text += ": " + o["value"].get<std::string>() + characters(tag, value) + "\n";
        for (const std::string& line : decoded_lines(tag, o.value("decoded", Json())))
            text += indent + "  " + line + "\n";
        if (o.contains("decoded") && o["decoded"].contains("objects"))
            add_text(text, o["decoded"]["objects"], indent + "  ");
    }
}

Json objects_json(EmvTlvReader reader, const DecodeContext& context)
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
        if (object.constructed) {
            entry["children"] = objects_json(emv_tlv_children(&object), context);
        } else {
            Json decoded = decoded_json(object.tag, value, context);
            if (!decoded.is_null())
                entry["decoded"] = decoded;
        }
        array.push_back(entry);
    }
    return array;
}

}  // namespace

std::string tlv_problem_text(const EmvTlvError& error)
{
    return std::string(problem_of(error.status)) + " at offset " + std::to_string(error.offset);
}

Json tlv_json(EmvBytes data, const DecodeContext& context)
{
    return objects_json(emv_tlv_reader(data), context);
}

std::string tlv_text(EmvBytes data, const DecodeContext& context)
{
    return tlv_json_text(tlv_json(data, context), "");
}

std::string tlv_json_text(const Json& tree, const std::string& indent)
{
    std::string text;
    add_text(text, tree, indent);
    return text;
}
