// The HTML report opened in a real headless browser (Debian's chromium):
// the page's text holds the verdict, the chain's boxes and every exchange,
// a screenshot is kept, and card data that looks like markup stays text.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/cli/run_cli.h"

namespace {

struct Page {
    std::string dom;
    bool screenshot = false;
};

// Opens the file in chromium; its serialized DOM after loading, and whether
// the screenshot was written. A fresh profile each time, nothing fetched.
Page open_in_browser(const std::string& html, const std::string& screenshot)
{
    const std::string profile = testing::TempDir() + "chromium-" + std::to_string(getpid());
    const std::string command =
        "timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync "
        "--user-data-dir='" +
        profile + "' --window-size=1280,1000 --screenshot='" + screenshot +
        "' --dump-dom 'file://" + html + "' 2>/dev/null; rm -rf '" + profile + "'";
    unlink(screenshot.c_str());
    Page page;
    FILE* out = popen(command.c_str(), "r");
    if (out == nullptr)
        return page;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, out)) > 0)
        page.dom.append(buffer, n);
    pclose(out);
    struct stat st;
    page.screenshot = stat(screenshot.c_str(), &st) == 0 && st.st_size > 10000;
    return page;
}

std::string hex_of(const std::string& text)
{
    std::string hex;
    char byte[3];
    for (unsigned char c : text) {
        snprintf(byte, sizeof byte, "%02X", c);
        hex += byte;
    }
    return hex;
}

// The text of the page: the DOM without its tags (entities kept as written).
std::string page_text(const std::string& dom)
{
    std::string text;
    bool in_tag = false;
    for (char c : dom) {
        if (c == '<')
            in_tag = true;
        else if (c == '>')
            in_tag = false;
        else if (!in_tag)
            text += c;
    }
    return text;
}

TEST(CliTraceReport, OpensInChromiumWithTheChainAndEveryExchange)
{
    ASSERT_EQ(system("command -v chromium >/dev/null"), 0)
        << "chromium is missing: scripts/test.sh deps installs it";
    const std::string report = testing::TempDir() + "report-" + std::to_string(getpid()) + ".html";
    const CliRun run = run_cli({"trace", "--json", test_data("trace_emvpt_dda.txt"), "--capks",
                                test_data("capk_emvpt_test.txt"), "--html", report});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string screenshot = std::string(TARVELLO_REPORT_SCREENSHOT);
    const Page page = open_in_browser(report, screenshot);
    EXPECT_TRUE(page.screenshot) << screenshot;
    const std::string text = page_text(page.dom);
    for (const char* expected : {"ODA DDA: passed", "CA public key", "Issuer certificate",
                                 "Static data", "ICC certificate", "Signed dynamic data"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
    // Every exchange: its line in the first cell, its command named.
    const nlohmann::json doc = run.json();
    for (const auto& e : doc["exchanges"]) {
        const std::string cell = "<tr><td>" + std::to_string(e["line"].get<int>()) +
                                 "</td><td><b>" + e["command"]["name"].get<std::string>();
        EXPECT_NE(page.dom.find(cell), std::string::npos) << cell;
    }
    // A format 1 answer's objects, decoded in the tree.
    EXPECT_NE(text.find("Cryptogram Information Data, 1 byte: 80"), std::string::npos);
    EXPECT_EQ(page.dom.find("<script"), std::string::npos);
}

TEST(CliTraceReport, MarkupInCardDataStaysText)
{
    const std::string label = "<script>alert(\"x\")</script>'&amp;";
    const std::string a5 =
        "50" + hex_of(std::string(1, static_cast<char>(label.size()))) + hex_of(label);
    const std::string fci_body =
        "8407A0000000031010A5" + hex_of(std::string(1, static_cast<char>(a5.size() / 2))) + a5;
    const std::string fci =
        "6F" + hex_of(std::string(1, static_cast<char>(fci_body.size() / 2))) + fci_body;
    const std::string trace =
        write_temp_file("markup.txt", "> 00A4040007A000000003101000\n< " + fci +
                                          "9000\n> 80A8000002830000\n< 6985\n");
    const std::string report = testing::TempDir() + "markup-" + std::to_string(getpid()) + ".html";
    const CliRun run = run_cli({"trace", trace, "--html", report});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string html = read_file(report);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&#39;&amp;amp;"),
              std::string::npos);

    const Page page = open_in_browser(report, testing::TempDir() + "markup.png");
    EXPECT_EQ(page.dom.find("<script"), std::string::npos);
    // The browser keeps it as characters of a text node.
    EXPECT_NE(page.dom.find("&lt;script&gt;alert(\"x\")&lt;/script&gt;'&amp;amp;"),
              std::string::npos);
}

}  // namespace
