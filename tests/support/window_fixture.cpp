#include "tests/support/window_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <random>

#include "tests/support/heap_faults.h"

namespace support {

void PrintTo(const Box& b, std::ostream* os)
{
    *os << "{\"" << b.text << "\", \"" << b.caption << "\", 0x" << std::hex << b.style << std::dec
        << "}";
}

std::vector<Box> Boxes()
{
    std::vector<Box> boxes;
    for (const sim::MessageBoxCall& call : sim::MessageBoxes())
        boxes.push_back({call.text, call.caption, call.style});
    return boxes;
}

bool ControlView::operator==(const ControlView& o) const
{
    return id == o.id && text == o.text && check == o.check && enabled == o.enabled &&
           visible == o.visible && read_only == o.read_only && items == o.items &&
           cur_sel == o.cur_sel;
}

void PrintTo(const ControlView& v, std::ostream* os)
{
    *os << "{id " << v.id << ", text \"" << v.text << "\", check " << v.check
        << (v.enabled ? ", enabled" : ", disabled") << (v.visible ? "" : ", hidden")
        << (v.read_only ? ", read-only" : "") << ", " << v.items.size() << " items, sel "
        << v.cur_sel << "}";
}

std::vector<ControlView> Capture(HWND dlg)
{
    std::vector<ControlView> views;
    for (const sim::ControlState& c : sim::Controls(dlg)) {
        if (c.id <= 0)
            continue;
        ControlView v{c.id,  c.text, c.check, sim::IsEnabled(dlg, c.id), sim::IsVisible(dlg, c.id),
                      false, {},     -1};
        if (c.window_class == "Edit")
            v.read_only = sim::IsReadOnly(dlg, c.id);
        if (c.window_class == "ComboBox") {
            v.items = sim::ListItems(dlg, c.id);
            v.cur_sel = sim::CurSel(dlg, c.id);
        }
        views.push_back(v);
    }
    return views;
}

void ExpectUnchangedExcept(const std::vector<ControlView>& before,
                           const std::vector<ControlView>& after, const std::vector<int>& changed)
{
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); i++) {
        bool may_change = false;
        for (int id : changed)
            may_change = may_change || before[i].id == id;
        if (!may_change) {
            EXPECT_EQ(before[i], after[i]) << "control " << before[i].id << " changed";
        }
    }
}

std::vector<uint8_t> ParseDisplay(const std::string& text)
{
    std::vector<uint8_t> bytes;
    size_t i = 0;
    while (i < text.size()) {
        if (!bytes.empty() && bytes.size() % 32 == 0) {
            if (text.compare(i, 2, "\r\n") != 0) {
                ADD_FAILURE() << "no CR LF before byte " << bytes.size() << " in \"" << text
                              << "\"";
                return bytes;
            }
            i += 2;
        }
        if (i + 3 > text.size() || HexDigitValue(text[i]) < 0 || HexDigitValue(text[i + 1]) < 0 ||
            text[i + 2] != ' ') {
            ADD_FAILURE() << "not the display form at character " << i << " of \"" << text << "\"";
            return bytes;
        }
        bytes.push_back((uint8_t)(HexDigitValue(text[i]) * 16 + HexDigitValue(text[i + 1])));
        i += 3;
    }
    return bytes;
}

std::vector<size_t> LineBytes(const std::string& display)
{
    std::vector<size_t> counts;
    size_t start = 0;
    while (start < display.size()) {
        size_t end = display.find("\r\n", start);
        if (end == std::string::npos)
            end = display.size();
        counts.push_back((end - start) / 3);
        start = end + 2;
    }
    return counts;
}

std::string TypedHex(const std::vector<uint8_t>& bytes, const std::string& separator)
{
    std::string text;
    char digits[3];
    for (uint8_t b : bytes) {
        snprintf(digits, sizeof digits, "%02x", b);
        text += digits;
        text += separator;
    }
    return text;
}

std::unique_ptr<CapkTable> CopyTable(const CapkTable& table)
{
    std::unique_ptr<CapkTable> copy(new CapkTable);
    memcpy(copy.get(), &table, sizeof table);
    return copy;
}

bool SameTable(const CapkTable& a, const CapkTable& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

std::vector<uint8_t> RandomBytes(uint32_t seed, size_t n)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes)
        b = (uint8_t)rng();
    return bytes;
}

std::vector<uint8_t> RandomModulus(uint32_t seed, size_t n)
{
    std::vector<uint8_t> modulus = RandomBytes(seed, n);
    modulus.front() |= 0x80;
    modulus.back() |= 0x01;
    return modulus;
}

void WindowTest::SetUp()
{
    heap_faults::Disarm();
    sim::Reset();
    sim::LoadResources(TARVELLO_RES_FILE);
}

void WindowTest::TearDown()
{
    heap_faults::Disarm();
}

int WindowTest::RunMain(const std::function<void(HWND, CMainDlg&)>& body)
{
    CMainDlg dlg;
    CWinApp* app = AfxGetApp();
    if (app != nullptr)
        app->m_pMainWnd = &dlg;
    bool ran = false;
    sim::OnNextModal([&](HWND h) {
        ran = true;
        body(h, dlg);
    });
    int result = dlg.DoModal();
    if (app != nullptr)
        app->m_pMainWnd = nullptr;
    EXPECT_TRUE(ran) << "the main window did not run";
    return result;
}

void WindowTest::Run(const std::function<void(HWND, CMainDlg&)>& body)
{
    RunMain([&](HWND h, CMainDlg& dlg) {
        body(h, dlg);
        sim::Click(h, IDOK);
    });
}

std::string WindowTest::WriteFile(const std::string& name, const std::string& content)
{
    return dir_.Write(name, content);
}

std::string WindowTest::MissingPath() const
{
    return dir_.Path("no such file.txt");
}

void WindowTest::Load(HWND dlg, const std::string& path)
{
    sim::QueueOpenFile(path);
    EXPECT_TRUE(sim::Click(dlg, IDC_LOAD_CAPKS));
}

}  // namespace support
