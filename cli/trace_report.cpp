// Every exchange of a trace explained, as JSON and as text.

#include "cli/trace_report.h"

#include <map>

#include "cli/oda_report.h"
#include "cli/tlv_decoded.h"
#include "cli/tlv_report.h"
#include "emv/emv_decode.h"
#include "emv/emv_dol.h"
#include "emv/emv_tags.h"

namespace {

EmvBytes bytes_of(const std::vector<uint8_t>& v, size_t from = 0, size_t drop = 0)
{
    const size_t n = v.size() >= from + drop ? v.size() - from - drop : 0;
    return {n > 0 ? v.data() + from : v.data(), static_cast<int32_t>(n)};
}

std::string hex2(uint8_t byte)
{
    return hex_text(&byte, 1);
}

// What a transaction's exchanges have said so far that later ones need: the
// card's DOLs, and the minor units of the transaction currency.
struct TransactionState {
    std::map<uint32_t, std::vector<uint8_t>> dols;  // 9F38, 8C, 8D, 9F49 as the card gave them
    int genac_count = 0;
    DecodeContext context;
    bool pending_61 = false;  // the last answer was 61XX: a GET RESPONSE completes it
    EmvCommandInfo answered{};
};

void remember_dols(TransactionState& state, EmvBytes data)
{
    EmvTlvWalk walk;
    emv_tlv_walk_init(&walk, data);
    EmvTlv object;
    while (emv_tlv_walk_next(&walk, &object, nullptr) == EMV_TLV_OK) {
        if (object.tag == 0x9F38 || object.tag == 0x8C || object.tag == 0x8D ||
            object.tag == 0x9F49) {
            state.dols[object.tag].assign(object.value, object.value + object.length);
        }
    }
}

Json element_json(uint32_t tag, EmvBytes value, const DecodeContext& context)
{
    const char* name = emv_tag_name(tag);
    Json field = {{"tag", tag_text(tag)},
                  {"name", name != nullptr ? Json(name) : Json(nullptr)},
                  {"length", value.length},
                  {"value", hex_text(value.data, static_cast<size_t>(value.length))}};
    Json decoded = decoded_json(tag, value, context);
    if (!decoded.is_null())
        field["decoded"] = decoded;
    return field;
}

// The command data as the DOL placed it, element by element; GET
// PROCESSING OPTIONS sends it inside 83.
Json fields_json(const std::vector<uint8_t>& dol_bytes, EmvBytes data, const DecodeContext& context)
{
    Json fields = Json::array();
    EmvTlv wrapped;
    if (data.length > 0 && data.data[0] == 0x83 && emv_tlv_check(data, nullptr) == EMV_TLV_OK &&
        emv_tlv_find(data, 0x83, &wrapped, nullptr) == EMV_TLV_OK) {
        data = emv_tlv_value(&wrapped);
    }
    EmvDol dol;
    const EmvBytes list = {dol_bytes.data(), static_cast<int32_t>(dol_bytes.size())};
    if (emv_dol_parse(list, &dol, nullptr) != EMV_TLV_OK)
        return fields;
    for (int32_t i = 0; i < dol.count; ++i) {
        const EmvDolEntry& e = dol.entries[i];
        if (e.data_offset + e.length > data.length)
            break;
        fields.push_back(element_json(e.tag, {data.data + e.data_offset, e.length}, context));
    }
    return fields;
}

void add_command_details(Json& command, const EmvCommandInfo& info, TransactionState& state,
                         const TraceReportOptions& options)
{
    if (std::string(info.name) == "READ RECORD") {
        command["sfi"] = info.sfi;
        command["record"] = info.record;
    }
    if (info.tag != 0)
        command["tag"] = tag_text(info.tag);
    if (info.is_genac) {
        command["cryptogram"] = emv_cryptogram_name(info.cryptogram);
        command["cda"] = info.cda;
    }
    if (info.pin != EMV_PIN_NONE)
        command["pin"] = info.pin == EMV_PIN_PLAINTEXT ? "plaintext" : "enciphered";
    if (info.select != EMV_SELECT_NONE)
        command["aid"] = hex_text(info.data.data, static_cast<size_t>(info.data.length));
    if (info.select == EMV_SELECT_PSE || info.select == EMV_SELECT_PPSE)
        command["directory"] = info.select == EMV_SELECT_PSE ? "PSE" : "PPSE";
    const bool masked = std::string(info.name) == "VERIFY" && !options.show_pin;
    if (masked)
        command["data"] = nullptr;
    const EmvDolKind kind = emv_command_dol(&info, state.genac_count);
    if (kind == EMV_DOL_NONE)
        return;
    command["dol"] = emv_dol_kind_name(kind);
    const auto dol = state.dols.find(emv_dol_kind_tag(kind));
    if (dol != state.dols.end())
        command["fields"] = fields_json(dol->second, info.data, state.context);
}

Json command_json(const TraceExchange& e, const EmvCommandInfo& info, TransactionState& state,
                  const TraceReportOptions& options)
{
    Json command = {{"name", info.name},
                    {"cla", hex2(info.cla)},
                    {"ins", hex2(info.ins)},
                    {"p1", hex2(info.p1)},
                    {"p2", hex2(info.p2)},
                    {"data", hex_text(info.data.data, static_cast<size_t>(info.data.length))},
                    {"fields", Json::array()}};
    if (!info.well_formed && e.command.size() > 5)
        command["data"] = hex_text(e.command.data() + 4, e.command.size() - 4);
    // Le: the byte after the header alone, or after Lc and the data.
    const size_t with_data = info.data.length > 0 ? 5 + static_cast<size_t>(info.data.length) : 4;
    command["le"] = info.well_formed && e.command.size() == with_data + 1
                        ? Json(hex2(e.command[with_data]))
                        : Json(nullptr);
    add_command_details(command, info, state, options);
    return command;
}

// A format 1 answer's 80 stands for these objects, in this order: the last
// takes the rest.
void add_format1_objects(Json& node, const EmvCommandInfo& answered, EmvBytes value,
                         const DecodeContext& context)
{
    struct Part {
        uint32_t tag;
        int32_t length;  // 0: the rest
    };
    static const Part kGpo[] = {{0x82, 2}, {0x94, 0}};
    static const Part kGenac[] = {{0x9F27, 1}, {0x9F36, 2}, {0x9F26, 8}, {0x9F10, 0}};
    const bool gpo = std::string(answered.name) == "GET PROCESSING OPTIONS";
    if (!gpo && !answered.is_genac)
        return;
    const Part* parts = gpo ? kGpo : kGenac;
    const size_t count = gpo ? 2 : 4;
    Json objects = Json::array();
    int32_t at = 0;
    for (size_t i = 0; i < count && at < value.length; ++i) {
        const int32_t n = parts[i].length == 0 ? value.length - at : parts[i].length;
        if (at + n > value.length)
            break;
        objects.push_back(element_json(parts[i].tag, {value.data + at, n}, context));
        at += n;
    }
    node["decoded"] = {{"objects", objects}};
}

Json response_json(EmvBytes data, const EmvCommandInfo& answered, const DecodeContext& context)
{
    if (data.length == 0)
        return Json::array();
    if (emv_tlv_check(data, nullptr) != EMV_TLV_OK)
        return nullptr;
    Json tree = tlv_json(data, context);
    EmvTlv format1;
    if (tree.size() == 1 && tree[0]["tag"] == "80" &&
        emv_tlv_find(data, 0x80, &format1, nullptr) == EMV_TLV_OK) {
        add_format1_objects(tree[0], answered, emv_tlv_value(&format1), context);
    }
    return tree;
}

Json exchange_json(int number, const TraceExchange& e, TransactionState& state,
                   const TraceReportOptions& options)
{
    EmvCommandInfo info;
    emv_decode_command({e.command.data(), static_cast<int32_t>(e.command.size())}, &info);
    const EmvBytes data = bytes_of(e.response, 0, 2);
    const size_t n = e.response.size();
    const uint16_t sw = static_cast<uint16_t>(e.response[n - 2] << 8 | e.response[n - 1]);
    // A GET RESPONSE carries the answer to the command that had 61XX.
    const EmvCommandInfo answered =
        std::string(info.name) == "GET RESPONSE" && state.pending_61 ? state.answered : info;
    Json exchange = {{"transaction", number}, {"line", e.command_line}};
    exchange["command"] = command_json(e, info, state, options);
    char meaning[96];
    exchange["status"] = {{"sw", hex_text(e.response.data() + n - 2, 2)},
                          {"meaning", emv_sw_meaning(sw, meaning, sizeof meaning)}};
    exchange["response_data"] = hex_text(data.data, static_cast<size_t>(data.length));
    exchange["response"] = response_json(data, answered, state.context);
    if (info.is_genac && (sw == 0x9000 || (sw >> 8) == 0x61))
        ++state.genac_count;
    state.pending_61 = (sw >> 8) == 0x61;
    state.answered = answered;
    remember_dols(state, data);
    return exchange;
}

// The minor units of the currency the transaction's command data carry in
// 5F2A, -1 when none does.
int transaction_exponent(const Json& exchanges)
{
    for (const Json& e : exchanges) {
        for (const Json& f : e["command"]["fields"]) {
            if (f["tag"] == "5F2A") {
                const std::string hex = f["value"].get<std::string>();
                if (hex.size() != 4)
                    continue;
                const uint8_t code[2] = {
                    static_cast<uint8_t>(std::stoul(hex.substr(0, 2), nullptr, 16)),
                    static_cast<uint8_t>(std::stoul(hex.substr(2, 2), nullptr, 16))};
                return currency_exponent({code, 2});
            }
        }
    }
    return -1;
}

Json transaction_exchanges_json(const TransactionView& t, const TraceReportOptions& options)
{
    DecodeContext context;
    for (int pass = 0; pass < 2; ++pass) {
        TransactionState state;
        state.context = context;
        Json exchanges = Json::array();
        for (const TraceExchange& e : t.exchanges)
            exchanges.push_back(exchange_json(t.number, e, state, options));
        context.currency_exponent = transaction_exponent(exchanges);
        if (pass == 1 || context.currency_exponent < 0)
            return exchanges;
    }
    return Json::array();
}

std::string indented(const std::string& text, const std::string& indent)
{
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        out += indent + text.substr(start, end - start + 1);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return out;
}

void add_exchange_text(std::string& text, const Json& e)
{
    const Json& c = e["command"];
    text += "line " + text_value(e["line"]) + ": " + command_title(c) + "\n";
    text += "  > " + command_bytes(c) + "\n";
    if (!c["fields"].empty())
        text += "  data as the " + text_value(c["dol"]) + " places it:\n";
    for (const Json& f : c["fields"]) {
        text += "    " + field_text(f) + "\n";
        for (const std::string& line : decoded_lines(
                 static_cast<uint32_t>(std::stoul(f["tag"].get<std::string>(), nullptr, 16)),
                 f.value("decoded", Json())))
            text += "      " + line + "\n";
    }
    text += "  < " + e["status"]["sw"].get<std::string>() + ": " +
            e["status"]["meaning"].get<std::string>() + "\n";
    if (e["response"].is_null()) {
        text += "    data (not BER-TLV): " + e["response_data"].get<std::string>() + "\n";
    } else {
        text += tlv_json_text(e["response"], "    ");
    }
}

}  // namespace

std::string command_bytes(const Json& c)
{
    std::string text = c["cla"].get<std::string>() + c["ins"].get<std::string>() +
                       c["p1"].get<std::string>() + c["p2"].get<std::string>();
    if (c["data"].is_null())
        text += " PIN block (masked)";
    else if (c["data"] != "")
        text += " " + c["data"].get<std::string>();
    if (!c["le"].is_null())
        text += " Le " + c["le"].get<std::string>();
    return text;
}

std::string field_text(const Json& f)
{
    const std::string value = f["value"].get<std::string>();
    const size_t length = value.size() / 2;
    return f["tag"].get<std::string>() + " " +
           (f["name"].is_null() ? "unknown tag" : f["name"].get<std::string>()) + ", " +
           std::to_string(length) + (length == 1 ? " byte" : " bytes") + ": " + value;
}

std::string command_title(const Json& c)
{
    const std::string name = c["name"].get<std::string>();
    if (c.contains("directory"))
        return name + " the " + c["directory"].get<std::string>() + " (" +
               (c["directory"] == "PSE" ? "1PAY.SYS.DDF01" : "2PAY.SYS.DDF01") + ")";
    if (c.contains("aid"))
        return name + " application " + c["aid"].get<std::string>();
    if (c.contains("sfi"))
        return name + " SFI " + text_value(c["sfi"]) + " record " + text_value(c["record"]);
    if (c.contains("tag")) {
        const uint32_t tag =
            static_cast<uint32_t>(std::stoul(c["tag"].get<std::string>(), nullptr, 16));
        const char* tag_name = emv_tag_name(tag);
        return name + " " + c["tag"].get<std::string>() +
               (tag_name != nullptr ? " (" + std::string(tag_name) + ")" : "");
    }
    if (c.contains("cryptogram"))
        return name + " asking for " +
               (c["cryptogram"] == "ARQC" || c["cryptogram"] == "AAC" ? "an " : "a ") +
               c["cryptogram"].get<std::string>() +
               (c["cda"].get<bool>() ? ", CDA requested" : ", no CDA");
    if (c.contains("pin"))
        return name + ", " + c["pin"].get<std::string>() + " PIN";
    if (name == "UNKNOWN")
        return name + " (CLA " + c["cla"].get<std::string>() + " INS " +
               c["ins"].get<std::string>() + ")";
    return name;
}

Json trace_json(const std::vector<TransactionView>& transactions, const TraceReportOptions& options)
{
    Json doc;
    doc["transactions"] = Json::array();
    doc["exchanges"] = Json::array();
    for (const TransactionView& t : transactions) {
        doc["transactions"].push_back(
            {{"number", t.number},
             {"line", t.exchanges.empty() ? 0 : t.exchanges.front().command_line},
             {"oda", t.oda}});
        for (Json& e : transaction_exchanges_json(t, options))
            doc["exchanges"].push_back(std::move(e));
    }
    doc["oda"] = transactions.empty() ? Json(nullptr) : transactions.front().oda;
    return doc;
}

std::string trace_text(const Json& doc)
{
    std::string text;
    const bool several = doc["transactions"].size() > 1;
    for (const Json& t : doc["transactions"]) {
        if (several)
            text += "Transaction " + text_value(t["number"]) + " (from line " +
                    text_value(t["line"]) + ")\n";
        for (const Json& e : doc["exchanges"]) {
            if (e["transaction"] == t["number"])
                add_exchange_text(text, e);
        }
        if (t["oda"].is_null())
            continue;
        text += "ODA of transaction " + text_value(t["number"]) + ":\n";
        text += t["oda"].contains("error") ? "  not made: " + text_value(t["oda"]["error"]) + "\n"
                                           : indented(oda_text(t["oda"]), "  ");
    }
    return text;
}
