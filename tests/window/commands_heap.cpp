// Heap failures injected into the commands: the n-th malloc/calloc of one
// command fails, for n = 1, 2, ... until the command runs through without
// reaching the armed call. Each failure must show its message, empty only the
// command's output box and leave the table alone; LeakSanitizer (ASan build)
// reports any buffer a failure path forgets to free.

#include "tests/support/window_fixture.h"
#include "tests/support/heap_faults.h"

namespace support {
namespace {

const UINT kStop = 0x10;

struct HeapCase {
    const char* name;
    // Brings the window to where the command can run; once.
    std::function<void(HWND, CMainDlg&, CommandsTest&)> setup;
    // Puts the command's input in place; before every attempt.
    std::function<void(HWND)> prepare;
    // The user action that runs the command.
    std::function<void(HWND)> act;
    int output;                   // emptied by a failure; 0 for none
    std::vector<Box> failures;    // the message of the n-th allocation failing
    std::vector<Box> on_success;  // messages of a run without failure
};

class HeapFailures : public CommandsTest {
protected:
    void RunCase(const HeapCase& c);
    std::string worked_;
    std::string long_keys_;
    void SetUp() override
    {
        CommandsTest::SetUp();
        worked_ = WriteFile("worked.txt", kWorkedExample);
        ListKey k{{0xA0, 0x00, 0x00, 0x00, 0x04}, 0xF1, RandomModulus(81, 248), 65537, {}};
        long_keys_ = WriteFile("long.txt", ListEntry(k));
    }
};

void HeapFailures::RunCase(const HeapCase& c)
{
    Run([&](HWND h, CMainDlg& dlg) {
        c.setup(h, dlg, *this);
        for (long n = 1; n <= 50; n++) {
            SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
            // A successful run first, so that the output box holds something.
            c.prepare(h);
            c.act(h);
            if (c.output != 0) {
                ASSERT_NE(sim::Text(h, c.output), "");
            }
            c.prepare(h);
            auto before = Capture(h);
            auto table = CopyTable(dlg.m_capks);
            sim::ClearLog();

            heap_faults::FailNth(n);
            c.act(h);
            bool fired = heap_faults::Fired();
            heap_faults::Disarm();

            if (!fired) {
                EXPECT_EQ((size_t)(n - 1), c.failures.size()) << "allocations made";
                EXPECT_EQ(Boxes(), c.on_success);
                return;
            }
            ASSERT_LE((size_t)n, c.failures.size()) << "more allocations than expected";
            EXPECT_EQ(Boxes(), std::vector<Box>{c.failures[n - 1]});
            std::vector<int> changed;
            if (c.output != 0) {
                EXPECT_EQ(sim::Text(h, c.output), "");
                changed.push_back(c.output);
            }
            ExpectUnchangedExcept(before, Capture(h), changed);
            EXPECT_TRUE(SameTable(*table, dlg.m_capks));
        }
        ADD_FAILURE() << "the command never completed";
    });
}

void Nothing(HWND, CMainDlg&, CommandsTest&)
{
}

TEST_F(HeapFailures, EveryAllocationOfEveryCommand)
{
    const Box hash_heap{"Not available memory in heap !", "SHA-1 Info", kStop};
    const Box rsa_heap{"Not available memory in heap !", "RSA Info", kStop};
    const Box rsa_error{"RSA ERROR !", "RSA Info", kStop};
    std::vector<uint8_t> n = RandomModulus(82, 128);
    std::vector<uint8_t> x = RandomBytes(83, 128);
    std::vector<uint8_t> x248 = RandomBytes(84, 248);

    auto click = [](int id) { return [id](HWND h) { sim::Click(h, id); }; };
    auto type = [](int id, std::string text) {
        return [id, text](HWND h) { sim::Type(h, id, text); };
    };
    auto load = [this](HWND h, CMainDlg&, CommandsTest&) {
        Load(h, long_keys_);
        sim::Click(h, IDC_USE_LOADED);
    };
    // Decrypt: text copy and bytes of the modulus, then of the input; the key
    // context; the result buffer; the RSA layer's temporary block.
    std::vector<Box> decrypt_failures{rsa_heap,  rsa_heap,  rsa_heap, rsa_heap,
                                      rsa_error, rsa_error, rsa_error};

    const HeapCase cases[] = {
        {"Hash of typed data",
         Nothing,
         type(IDC_HASH_DATA, "de ad\r\nbe ef 0"),
         click(IDC_HASH),
         IDC_HASH_RESULT,
         {hash_heap, hash_heap},
         {}},
        {"Hash of an empty box",
         Nothing,
         type(IDC_HASH_DATA, ""),
         click(IDC_HASH),
         IDC_HASH_RESULT,
         {},
         {}},
        {"Calculate checksum",
         load,
         [](HWND) {},
         click(IDC_CALC_CHECKSUM),
         IDC_HASH_RESULT,
         {{"Internal Memory Error !", "SHA-1 Info", kStop}},
         {}},
        {"Decrypt with a typed key",
         [&](HWND h, CMainDlg&, CommandsTest&) {
             sim::Click(h, IDC_EXP_3);
             sim::Type(h, IDC_MODULUS, TypedHex(n, " "));
         },
         type(IDC_ENCRYPTED, TypedHex(x)),
         click(IDC_DECRYPT),
         IDC_DECRYPTED,
         decrypt_failures,
         {}},
        {"Decrypt with a loaded key",
         load,
         type(IDC_ENCRYPTED, TypedHex(x248, "\r\n")),
         click(IDC_DECRYPT),
         IDC_DECRYPTED,
         decrypt_failures,
         {}},
        {"Load CAPKs (the reader takes no heap)",
         Nothing,
         [](HWND) {},
         [this](HWND h) { Load(h, worked_); },
         0,
         {},
         {{"Total 2 CAPKs are successfully loaded !", "CAPK Info", 0x40}}},
        {"Pick a key",
         load,
         [](HWND) {},
         [](HWND h) { sim::Pick(h, IDC_CAPK_LIST, 0); },
         0,
         {},
         {}},
    };
    for (const HeapCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Reset();
        RunCase(c);
    }
}

}  // namespace
}  // namespace support
