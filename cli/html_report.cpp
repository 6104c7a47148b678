// The HTML report of a trace: one file, inline style, no script.

#include "cli/html_report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/oda_diagnosis_report.h"
#include "cli/tlv_decoded.h"
#include "cli/trace_report.h"
#include "cli/usage_error.h"
#include "emv/emv_tags.h"

namespace {

const char kStyle[] = R"(
body{font:14px/1.4 sans-serif;margin:24px;color:#1d2330;background:#fff}
h1{font-size:22px;margin:0 0 4px}h2{font-size:18px;margin:28px 0 8px;border-bottom:1px solid #ccd}
.card{display:grid;grid-template-columns:max-content auto;gap:2px 16px;margin:8px 0}
.card dt{color:#556}.card dd{margin:0;font-family:monospace}
.verdict{display:inline-block;padding:6px 14px;border-radius:6px;font-weight:bold;font-size:16px}
.passed{background:#dff3e2;border:2px solid #2e8b47;color:#135e28}
.failed{background:#fbe1e1;border:2px solid #c0392b;color:#8e1f14}
.notmade{background:#eef0f4;border:2px dashed #8a93a6;color:#4a5162}
.chain{display:flex;align-items:stretch;flex-wrap:wrap;gap:0;margin:12px 0}
.box{border-radius:8px;padding:8px 12px;min-width:150px;max-width:240px}
.box h3{margin:0 0 4px;font-size:14px}.box ul{margin:0;padding-left:16px;font-size:12px}
.box .mark{font-weight:bold;font-size:12px}
.arrow{align-self:center;font-size:22px;padding:0 6px;color:#556}
.diagnosis{border-left:4px solid #c0392b;background:#fff6f5;padding:6px 12px;margin:8px 0;max-width:900px}
table{border-collapse:collapse;width:100%}td,th{border:1px solid #d5d9e2;padding:4px 6px;vertical-align:top;text-align:left}
th{background:#f0f2f6}.hex{font-family:monospace;word-break:break-all;font-size:12px}
.sw-ok{color:#135e28}.sw-bad{color:#8e1f14}.masked{color:#8e1f14;font-style:italic}
details{margin:2px 0}summary{cursor:pointer;color:#234}ul.tlv{margin:2px 0;padding-left:18px;list-style:none}
.dec{color:#445;font-size:12px;margin-left:12px}.tag{font-family:monospace;font-weight:bold}
)";

std::string esc(const Json& value)
{
    return html_escape(value.is_string() ? value.get<std::string>() : text_value(value));
}

uint32_t tag_number(const Json& tag)
{
    return static_cast<uint32_t>(std::stoul(tag.get<std::string>(), nullptr, 16));
}

// The value as characters for the data elements coded as text.
std::string characters(const Json& node)
{
    const EmvTagFormat format = emv_tag_format(tag_number(node["tag"]));
    if (format != EMV_TAG_ALPHA && format != EMV_TAG_TEXT)
        return "";
    const std::string hex = node["value"].get<std::string>();
    std::string text;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        const unsigned long c = std::stoul(hex.substr(i, 2), nullptr, 16);
        if (c < 0x20 || c > 0x7E)
            return "";
        text += static_cast<char>(c);
    }
    return text.empty() ? "" : " &ldquo;" + html_escape(text) + "&rdquo;";
}

std::string decoded_html(const Json& node)
{
    std::string html;
    for (const std::string& line :
         decoded_lines(tag_number(node["tag"]), node.value("decoded", Json())))
        html += "<div class=\"dec\">" + html_escape(line) + "</div>";
    return html;
}

std::string tree_html(const Json& nodes)
{
    std::string html = "<ul class=\"tlv\">";
    for (const Json& n : nodes) {
        html += "<li><span class=\"tag\">" + esc(n["tag"]) + "</span> " +
                (n["name"].is_null() ? "unknown tag" : esc(n["name"])) + ", " + esc(n["length"]) +
                (n["length"] == 1 ? " byte" : " bytes");
        if (n.contains("children")) {
            html += tree_html(n["children"]);
        } else {
            html += ": <span class=\"hex\">" + esc(n["value"]) + "</span>" + characters(n) +
                    decoded_html(n);
            if (n.contains("decoded") && n["decoded"].contains("objects"))
                html += tree_html(n["decoded"]["objects"]);
        }
        html += "</li>";
    }
    return html + "</ul>";
}

std::string fields_html(const Json& command)
{
    if (command["fields"].empty())
        return "";
    std::string html = "<details><summary>data as the " + esc(command["dol"]) +
                       " places it</summary><ul class=\"tlv\">";
    for (const Json& f : command["fields"])
        html += "<li>" + html_escape(field_text(f)) + decoded_html(f) + "</li>";
    return html + "</ul></details>";
}

std::string exchange_row(const Json& e)
{
    const Json& c = e["command"];
    const bool masked = c["data"].is_null();
    std::string html = "<tr><td>" + esc(e["line"]) + "</td><td><b>" +
                       html_escape(command_title(c)) + "</b><div class=\"hex" +
                       (masked ? " masked" : "") + "\">" + html_escape(command_bytes(c)) +
                       "</div>" + fields_html(c) + "</td>";
    const bool ok =
        e["status"]["sw"] == "9000" || e["status"]["sw"].get<std::string>().rfind("61", 0) == 0;
    html += "<td class=\"" + std::string(ok ? "sw-ok" : "sw-bad") + "\"><span class=\"hex\">" +
            esc(e["status"]["sw"]) + "</span><br>" + esc(e["status"]["meaning"]) + "</td><td>";
    if (e["response"].is_null()) {
        html += "<div class=\"hex\">" + esc(e["response_data"]) + "</div>(not BER-TLV)";
    } else if (!e["response"].empty()) {
        html += "<details open><summary>" + std::to_string(e["response"].size()) +
                (e["response"].size() == 1 ? " object" : " objects") + "</summary>" +
                tree_html(e["response"]) + "</details>";
    }
    return html + "</td></tr>\n";
}

struct StepBox {
    const char* key;  // the step's name as failed_step names it, and its object in oda
    const char* title;
};

// The boxes of the chain for the method made, in order.
std::vector<StepBox> chain_of(const Json& oda)
{
    const std::string method = oda["method"].is_null() ? "" : oda["method"].get<std::string>();
    std::vector<StepBox> boxes = {{"ca_key", "CA public key"}, {"issuer", "Issuer certificate"}};
    if (method == "SDA") {
        boxes.push_back({"static_data", "Static data"});
        boxes.push_back({"ssad", "Signed static data"});
        return boxes;
    }
    boxes.push_back({"static_data", "Static data"});
    boxes.push_back({"icc", "ICC certificate"});
    boxes.push_back({"sdad", "Signed dynamic data"});
    if (method == "CDA")
        boxes.push_back({"cda", "CDA: cryptogram and hash"});
    return boxes;
}

std::string checks_html(const Json& step)
{
    std::string html = "<ul>";
    if (step.contains("checks")) {
        for (const auto& c : step["checks"].items()) {
            const std::string result = c.value().is_null()     ? "not checked"
                                       : c.value().get<bool>() ? "passed"
                                                               : "FAILED";
            html += "<li>" + html_escape(c.key()) + ": " + result + "</li>";
        }
    }
    return html + "</ul>";
}

std::string box_html(const Json& oda, const StepBox& box, bool& after_failure)
{
    const bool failed = oda["failed_step"] == box.key;
    const bool made = oda.contains(box.key) ||
                      (std::string(box.key) == "static_data" && !oda["static_data"].is_null()) ||
                      (std::string(box.key) == "ca_key" && !oda["ca_index"].is_null() && !(failed));
    std::string state = failed ? "failed" : (made && !after_failure) ? "passed" : "notmade";
    std::string mark = failed              ? "&#10007; failed here"
                       : state == "passed" ? "&#10003; passed"
                                           : "not reached";
    std::string html = "<div class=\"box " + state + "\"><h3>" + box.title +
                       "</h3><div class=\"mark\">" + mark + "</div>";
    if (std::string(box.key) == "ca_key")
        html += "<ul><li>RID " + esc(oda["rid"].is_null() ? Json("?") : oda["rid"]) + ", index " +
                esc(oda["ca_index"].is_null() ? Json("?") : oda["ca_index"]) + "</li></ul>";
    if (oda.contains(box.key))
        html += checks_html(oda[box.key]);
    if (failed)
        after_failure = true;
    return html + "</div>";
}

std::string diagnosis_html(const Json& oda)
{
    std::vector<std::string> lines;
    if (!oda["failed_step"].is_null())
        lines.push_back("Failed step: " + oda["failed_step"].get<std::string>());
    const std::string failed =
        oda["failed_step"].is_null() ? "" : oda["failed_step"].get<std::string>();
    if (!failed.empty() && oda.contains(failed) && oda[failed].contains("reason"))
        lines.push_back(oda[failed]["reason"].get<std::string>());
    if (!oda["static_data_problem"].is_null())
        lines.push_back("Static data: " + oda["static_data_problem"].get<std::string>());
    std::string missing;
    for (const Json& m : oda["missing"])
        missing += (missing.empty() ? "" : ", ") + m.get<std::string>();
    if (!missing.empty())
        lines.push_back("Missing from the card: " + missing);
    // The diagnosis of the failed check as the text gives it, line by line
    // (none when it is null: passed, or nothing to try).
    const std::string diagnosis = diagnosis_text(oda);
    for (size_t at = 0, end; (end = diagnosis.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = diagnosis.substr(at, end - at);
        lines.push_back(line.rfind("  ", 0) == 0 ? line.substr(2) : line);
    }
    if (lines.empty())
        return "";
    std::string html = "<div class=\"diagnosis\">";
    for (const std::string& l : lines)
        html += html_escape(l) + "<br>";
    return html + "</div>";
}

std::string oda_html(const Json& oda)
{
    if (oda.is_null())
        return "<p>No CAPK list given: offline data authentication not made.</p>";
    if (oda.contains("error"))
        return "<p class=\"verdict failed\">ODA not made: " + esc(oda["error"]) + "</p>";
    const std::string result = oda["result"].get<std::string>();
    const std::string css = result == "passed"   ? "passed"
                            : result == "failed" ? "failed"
                                                 : "notmade";
    std::string html = "<div class=\"verdict " + css + "\">ODA " +
                       (oda["method"].is_null() ? std::string("(no method)") : esc(oda["method"])) +
                       ": " + html_escape(result) + "</div>";
    html += "<dl class=\"card\"><dt>AID</dt><dd>" +
            esc(oda["aid"].is_null() ? Json("not in the trace") : oda["aid"]) +
            "</dd><dt>PAN</dt><dd>" +
            esc(oda["pan"].is_null() ? Json("not in the trace") : oda["pan"]) +
            "</dd><dt>AIP</dt><dd>" +
            esc(oda["aip"].is_null() ? Json("not in the trace") : oda["aip"]) +
            "</dd><dt>TVR</dt><dd>" + esc(oda["tvr"]) + "</dd><dt>Date</dt><dd>" +
            esc(oda["date"]) + " (" + esc(oda["date_source"]) + ")</dd></dl>";
    html += "<div class=\"chain\">";
    bool after_failure = false;
    bool first = true;
    for (const StepBox& box : chain_of(oda)) {
        if (!first)
            html += "<div class=\"arrow\">&rarr;</div>";
        first = false;
        html += box_html(oda, box, after_failure);
    }
    return html + "</div>" + diagnosis_html(oda);
}

}  // namespace

std::string html_escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string html_report(const Json& doc)
{
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src "
        "'unsafe-inline'\"><title>Tarvello trace report</title><style>" +
        std::string(kStyle) + "</style></head><body>\n<h1>Tarvello trace report</h1>\n";
    for (const Json& t : doc["transactions"]) {
        html +=
            "<h2>Transaction " + esc(t["number"]) + " (from line " + esc(t["line"]) + ")</h2>\n";
        html += oda_html(t["oda"]);
        html += "<h2>Exchanges of transaction " + esc(t["number"]) +
                "</h2>\n<table><tr><th>Line</th><th>Command</th><th>Status</th><th>Response</th></"
                "tr>\n";
        for (const Json& e : doc["exchanges"]) {
            if (e["transaction"] == t["number"])
                html += exchange_row(e);
        }
        html += "</table>\n";
    }
    return html + "</body></html>\n";
}

void write_html_report(const std::string& path, const Json& doc)
{
    const std::string html = html_report(doc);
    FILE* out = fopen(path.c_str(), "wb");
    if (out == nullptr)
        throw UsageError("--html", path + ": " + strerror(errno));
    const bool written = fwrite(html.data(), 1, html.size(), out) == html.size();
    const int error = errno;
    if (fclose(out) != 0 || !written)
        throw UsageError("--html", path + ": " + strerror(written ? errno : error));
}
