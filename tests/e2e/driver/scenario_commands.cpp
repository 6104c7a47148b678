// The commands, driven as a user would: every message box of manual mode,
// hashing typed data, decrypting with typed keys, loading the list file
// through the file dialog, walking the loaded keys with their checksums and a
// decrypted block each, and back to manual mode.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/driver/act.h"
#include "tests/e2e/driver/expectations.h"
#include "tests/e2e/driver/hex_forms.h"
#include "tests/e2e/driver/main_window.h"
#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"
#include "tests/e2e/driver/scenarios.h"
#include "tests/e2e/driver/screenshot.h"
#include "ui/resource.h"

namespace e2e {

namespace {

const char kCapkInfo[] = "CAPK Info";
const char kRsaInfo[] = "RSA Info";

// Control ids of the system's file-open dialog.
constexpr int kFileNameBox = 0x47C;
constexpr int kFileTypeList = 0x470;

struct Window {
    DWORD pid;
    HWND dlg;

    HWND operator[](int id) const { return Item(dlg, id); }
    std::string Read(int id) const { return TextOf(Item(dlg, id)); }

    // Replaces an edit box's text as a paste would; only an editable box takes it.
    void Type(int id, const std::string& text) const
    {
        HWND edit = Item(dlg, id);
        if (!Visible(edit) || !Enabled(edit) || ReadOnly(edit)) {
            Fail(Fmt("typing into control %d: it is not editable", id));
        }
        SetText(edit, text);
    }

    void Click(int id, const std::vector<Modal>& modals = {}) const
    {
        e2e::Click(pid, dlg, id, modals);
    }
};

// "Decrypt" that must fail with `text`, leaving the result box empty.
void DecryptFails(const Window& w, const char* caption, const std::string& text)
{
    w.Click(IDC_DECRYPT, {MessageBoxOf(caption, text)});
    CheckEq(w.Read(IDC_DECRYPTED), "", "result box empty after \"" + text + "\"");
}

void Decrypts(const Window& w, const std::string& block_in, const std::string& block_out,
              const std::string& what)
{
    w.Type(IDC_ENCRYPTED, TypedForm(block_in));
    w.Click(IDC_DECRYPT);
    CheckEq(w.Read(IDC_DECRYPTED), DisplayForm(block_out), what + ": decrypted block");
    CheckEq(w.Read(IDC_ENCRYPTED), TypedForm(block_in), what + ": input left as typed");
}

void ChooseExponent(const Window& w, int exponent)
{
    int on = exponent == 3 ? IDC_EXP_3 : IDC_EXP_65537;
    int off = exponent == 3 ? IDC_EXP_65537 : IDC_EXP_3;
    w.Click(on);
    Check(CheckState(w[on]) == BST_CHECKED && CheckState(w[off]) == BST_UNCHECKED,
          Fmt("exponent %d chosen, the other button unchecked", exponent));
}

void ManualModeMessages(const Window& w)
{
    w.Click(IDC_DECRYPT, {MessageBoxOf(kCapkInfo, "CAPK Exponent is not selected !")});
    w.Click(IDC_USE_LOADED, {MessageBoxOf(kCapkInfo, "No CAPKs loaded. Please load CAPKs first!")});
    CheckEq(CheckState(w[IDC_USE_LOADED]), BST_UNCHECKED, "\"Use loaded CAPKs\" unticked again");
    Check(!Enabled(w[IDC_CAPK_LIST]) && Enabled(w[IDC_EXP_3]) && Enabled(w[IDC_EXP_65537]) &&
              !ReadOnly(w[IDC_MODULUS]) && !Enabled(w[IDC_CALC_CHECKSUM]),
          "still in manual mode");
}

void HashTypedData(const Window& w, const Expectations& expect)
{
    for (const ExpectedHash& h : expect.hashes) {
        // A lone last digit is not a byte: it is dropped from the box and the digest.
        std::string typed = TypedForm(h.data) + (h.name == "odd" ? " 7" : "");
        w.Type(IDC_HASH_DATA, typed);
        w.Click(IDC_HASH);
        CheckEq(w.Read(IDC_HASH_DATA), DisplayForm(h.data),
                "hash " + h.name + ": data box rewritten");
        CheckEq(w.Read(IDC_HASH_RESULT), DisplayForm(h.digest), "hash " + h.name + ": digest");
    }
    std::string data = w.Read(IDC_HASH_DATA);
    w.Click(IDC_CLEAR_HASH);
    CheckEq(w.Read(IDC_HASH_RESULT), "", "\"Clear Checksum\" empties the result line");
    CheckEq(w.Read(IDC_HASH_DATA), data, "\"Clear Checksum\" keeps the data box");
}

void DecryptTypedKeys(const Window& w, const Expectations& expect)
{
    for (const ExpectedTyped& t : expect.typed) {
        ChooseExponent(w, t.exponent);
        w.Type(IDC_MODULUS, TypedForm(t.modulus));
        Decrypts(w, t.block_in, t.block_out,
                 Fmt("typed key %s (%d bytes, exponent %d)", t.name.c_str(),
                     static_cast<int>(t.modulus.size() / 2), t.exponent));
    }
    std::string input = w.Read(IDC_ENCRYPTED);
    w.Click(IDC_CLEAR_DECRYPTED);
    CheckEq(w.Read(IDC_DECRYPTED), "", "\"Clear Decrypted Data\" empties the result box");
    CheckEq(w.Read(IDC_ENCRYPTED), input, "\"Clear Decrypted Data\" keeps the input");
}

// Each failure of "Decrypt" in its order of checks; a result on screen from
// before must not survive any of them.
void DecryptMessages(const Window& w, const ExpectedTyped& t)
{
    w.Type(IDC_MODULUS, TypedForm(t.modulus));
    Decrypts(w, t.block_in, t.block_out, "before the failures");
    w.Type(IDC_MODULUS, "");
    DecryptFails(w, kRsaInfo, "Please set CAPK Modulus correctly !");
    w.Type(IDC_MODULUS, "zz" + t.modulus);
    DecryptFails(w, kRsaInfo, "Please set CAPK Modulus correctly !");
    w.Type(IDC_MODULUS, t.modulus);
    w.Type(IDC_ENCRYPTED, "\r\n  ");
    DecryptFails(w, kRsaInfo, "Please set Encrypted Data correctly !");
    w.Type(IDC_ENCRYPTED, t.block_in.substr(2));
    DecryptFails(w, kRsaInfo, "Length of Modulus & Encrypted Data is NOT equal !");
    // A modulus with a leading zero byte is shorter than its block.
    w.Type(IDC_MODULUS, "00" + t.modulus.substr(2));
    w.Type(IDC_ENCRYPTED, t.block_in);
    DecryptFails(w, kRsaInfo, "RSA ERROR !");
    std::string long_modulus(293 * 2, 'B');
    w.Type(IDC_MODULUS, long_modulus);
    w.Type(IDC_ENCRYPTED, std::string(293 * 2, '1'));
    DecryptFails(w, kRsaInfo, "CAPK Modulus is longer than 292 bytes !");
}

// The system's file-open dialog: the filter offered, then the path typed
// into the file-name box and accepted with OK.
Modal FileDialogChoosing(const std::string& path)
{
    return Modal{"Open", [path](HWND dialog) {
                     std::vector<std::string> types = ListItems(Item(dialog, kFileTypeList));
                     CheckEq(types.empty() ? std::string() : types[0], "All Files(*.txt)",
                             "file dialog offers the filter \"All Files(*.txt)\"");
                     CheckEq(static_cast<long long>(types.size()), 1, "file dialog: one filter");
                     HWND box = Item(dialog, kFileNameBox);
                     HWND edit = FindWindowExA(box, nullptr, "Edit", nullptr);
                     for (HWND inner = box; edit == nullptr && inner != nullptr;) {
                         inner = FindWindowExA(inner, nullptr, "ComboBox", nullptr);
                         if (inner)
                             edit = FindWindowExA(inner, nullptr, "Edit", nullptr);
                     }
                     if (edit == nullptr)
                         Fail("file dialog: no file-name edit box");
                     SetText(edit, path);
                     Send(Item(dialog, IDOK), BM_CLICK);
                     WaitGone(dialog, "file dialog");
                 }};
}

Modal FileDialogCancelled()
{
    return Modal{"Open", [](HWND dialog) {
                     Send(Item(dialog, IDCANCEL), BM_CLICK);
                     WaitGone(dialog, "file dialog");
                 }};
}

// "Load CAPKs ..." with `path` chosen in the file dialog: the load report,
// then the list holds `keys` in file order with the first selected.
void LoadFile(const Window& w, const std::string& path, const std::vector<ExpectedKey>& keys)
{
    w.Click(IDC_LOAD_CAPKS, {FileDialogChoosing(path),
                             MessageBoxOf(kCapkInfo, Fmt("Total %d CAPKs are successfully loaded !",
                                                         static_cast<int>(keys.size())))});
    std::vector<std::string> items = ListItems(w[IDC_CAPK_LIST]);
    CheckEq(static_cast<long long>(items.size()), static_cast<long long>(keys.size()),
            "key list: one entry per key");
    for (size_t i = 0; i < keys.size(); ++i) {
        CheckEq(items[i], keys[i].label,
                Fmt("key list entry %d: %s", static_cast<int>(i), keys[i].label.c_str()));
    }
    CheckEq(CurSel(w[IDC_CAPK_LIST]), keys.empty() ? CB_ERR : 0,
            keys.empty() ? "no entry selected" : "first entry selected");
}

void LoadInManualMode(const Window& w, const Expectations& expect, const std::string& path)
{
    std::string modulus = w.Read(IDC_MODULUS);
    w.Click(IDC_LOAD_CAPKS, {FileDialogCancelled()});
    CheckEq(static_cast<long long>(ListItems(w[IDC_CAPK_LIST]).size()), 0,
            "a cancelled file dialog loads nothing");
    LoadFile(w, path, expect.keys);
    Check(!Enabled(w[IDC_CAPK_LIST]), "manual mode: the list stays disabled after the load");
    for (int id : {IDC_RID, IDC_INDEX, IDC_CHECKSUM, IDC_MODULUS_LEN}) {
        CheckEq(w.Read(id), "", Fmt("manual mode: field %d unchanged by the load", id));
    }
    CheckEq(w.Read(IDC_MODULUS), modulus, "manual mode: modulus box unchanged by the load");
}

void CheckKeyShown(const Window& w, const ExpectedKey& k)
{
    std::string what = "key " + k.label;
    CheckEq(w.Read(IDC_RID), k.rid, what + ": RID");
    CheckEq(w.Read(IDC_INDEX), k.index, what + ": index");
    CheckEq(w.Read(IDC_MODULUS_LEN), Fmt("%d bytes", k.modulus_length), what + ": modulus length");
    CheckEq(w.Read(IDC_CHECKSUM), k.stored_checksum, what + ": stored checksum");
    CheckEq(w.Read(IDC_MODULUS), DisplayForm(k.modulus), what + ": modulus");
    bool three = k.exponent == 3;
    Check(CheckState(w[IDC_EXP_3]) == (three ? BST_CHECKED : BST_UNCHECKED) &&
              CheckState(w[IDC_EXP_65537]) == (three ? BST_UNCHECKED : BST_CHECKED),
          Fmt("%s: exponent %d checked", what.c_str(), k.exponent));
}

void CheckLoadedMode(const Window& w)
{
    Check(Enabled(w[IDC_CAPK_LIST]) && !Enabled(w[IDC_EXP_3]) && !Enabled(w[IDC_EXP_65537]) &&
              ReadOnly(w[IDC_MODULUS]) && Enabled(w[IDC_CALC_CHECKSUM]),
          "loaded-key mode: list and calculate button enabled, key locked");
}

void ChecksumAndDecrypt(const Window& w, const ExpectedKey& k)
{
    std::string what = "key " + k.label;
    w.Click(IDC_CALC_CHECKSUM);
    CheckEq(w.Read(IDC_HASH_DATA), DisplayForm(k.checksum_input), what + ": checksum input");
    CheckEq(w.Read(IDC_HASH_RESULT), DisplayForm(k.checksum_digest), what + ": checksum (SHA-1)");
    CheckEq(w.Read(IDC_HASH_RESULT), DisplayForm(k.stored_checksum),
            what + ": checksum reproduces the stored one");
    if (k.modulus.empty())
        return;
    Decrypts(w, k.block_in, k.block_out, what);
}

void WalkKeys(const Window& w, const Expectations& expect)
{
    w.Click(IDC_USE_LOADED);
    CheckLoadedMode(w);
    CheckEq(CheckState(w[IDC_USE_LOADED]), BST_CHECKED, "\"Use loaded CAPKs\" ticked");
    CheckKeyShown(w, expect.keys[0]);
    if (expect.keys.size() > 1) {
        // A selection made by the program itself notifies nobody.
        Send(w[IDC_CAPK_LIST], CB_SETCURSEL, 1);
        Send(w.dlg, WM_NULL);
        CheckEq(w.Read(IDC_RID) + "_" + w.Read(IDC_INDEX), expect.keys[0].label,
                "CB_SETCURSEL alone leaves the shown key");
    }
    for (size_t i = 0; i < expect.keys.size(); ++i) {
        Pick(w.pid, w.dlg, IDC_CAPK_LIST, static_cast<int>(i));
        CheckKeyShown(w, expect.keys[i]);
        ChecksumAndDecrypt(w, expect.keys[i]);
    }
    CheckLoadedMode(w);
}

// Shows the key with the longest modulus, its checksum and a decrypted block.
void ShowLongestKey(const Window& w, const Expectations& expect)
{
    auto longest = std::max_element(expect.keys.begin(), expect.keys.end(),
                                    [](const ExpectedKey& a, const ExpectedKey& b) {
                                        return a.modulus_length < b.modulus_length;
                                    });
    size_t i = static_cast<size_t>(longest - expect.keys.begin());
    Pick(w.pid, w.dlg, IDC_CAPK_LIST, static_cast<int>(i));
    ChecksumAndDecrypt(w, *longest);
    Screenshot(w.dlg, "screenshot-loaded");
}

// Loads in loaded-key mode: a file without keys empties the list but keeps
// the key on show, and the checksum command then has nothing to work on; the
// list file again shows its first key at once.
void LoadsInLoadedMode(const Window& w, const Expectations& expect, const std::string& data,
                       const std::string& no_keys)
{
    std::string rid = w.Read(IDC_RID);
    std::string modulus = w.Read(IDC_MODULUS);
    std::string hash_data = w.Read(IDC_HASH_DATA);
    LoadFile(w, no_keys, {});
    CheckLoadedMode(w);
    CheckEq(w.Read(IDC_RID), rid, "a load without keys keeps the shown RID");
    CheckEq(w.Read(IDC_MODULUS), modulus, "a load without keys keeps the shown modulus");
    w.Click(IDC_CALC_CHECKSUM);
    CheckEq(w.Read(IDC_HASH_RESULT), "", "no selection: the checksum result stays empty");
    CheckEq(w.Read(IDC_HASH_DATA), hash_data, "no selection: the data box is untouched");
    LoadFile(w, data, expect.keys);
    CheckKeyShown(w, expect.keys[0]);
}

// Everything a user can see of the window's controls, in template order.
std::vector<std::string> Snapshot(const Window& w)
{
    std::vector<std::string> seen;
    for (HWND c : Children(w.dlg)) {
        std::string line =
            Fmt("id %d \"%s\" check %d enabled %d read-only %d", GetDlgCtrlID(c), TextOf(c).c_str(),
                CheckState(c), Enabled(c) ? 1 : 0, ReadOnly(c) ? 1 : 0);
        if (ClassOf(c) == "ComboBox") {
            for (const std::string& item : ListItems(c))
                line += " [" + item + "]";
            line += Fmt(" sel %d", CurSel(c));
        }
        seen.push_back(line);
    }
    return seen;
}

// Another program holds the list file open without sharing: the file exists,
// so the file dialog takes it, but the load cannot open it. The message names
// the file; the list, the key on show and every box stay as they were, and
// the table still serves the keys.
void LoadOfAFileHeldOpen(const Window& w, const Expectations& expect, const std::string& data)
{
    std::vector<std::string> before = Snapshot(w);
    HANDLE held = CreateFileA(data.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        Fail("cannot hold the list file open: " + data);
    w.Click(IDC_LOAD_CAPKS,
            {FileDialogChoosing(data),
             MessageBoxOf(kCapkInfo, "File I/O failed for the following file !\r\n" + data)});
    CloseHandle(held);
    std::vector<std::string> after = Snapshot(w);
    for (size_t i = 0; i < before.size() && i < after.size(); ++i) {
        CheckEq(after[i], before[i],
                Fmt("failed load: control #%d unchanged", static_cast<int>(i + 1)));
    }
    const ExpectedKey& last = expect.keys.back();
    Pick(w.pid, w.dlg, IDC_CAPK_LIST, static_cast<int>(expect.keys.size() - 1));
    CheckKeyShown(w, last);
    ChecksumAndDecrypt(w, last);
    Pick(w.pid, w.dlg, IDC_CAPK_LIST, 0);
    CheckKeyShown(w, expect.keys[0]);
}

void BackToManualMode(const Window& w, const ExpectedKey& shown)
{
    w.Click(IDC_USE_LOADED);
    Check(!Enabled(w[IDC_CAPK_LIST]) && Enabled(w[IDC_EXP_3]) && Enabled(w[IDC_EXP_65537]) &&
              !ReadOnly(w[IDC_MODULUS]) && !Enabled(w[IDC_CALC_CHECKSUM]),
          "unticked: manual mode again");
    for (int id : {IDC_RID, IDC_INDEX, IDC_CHECKSUM, IDC_MODULUS_LEN}) {
        CheckEq(w.Read(id), "", Fmt("unticked: field %d blanked", id));
    }
    CheckEq(w.Read(IDC_MODULUS), DisplayForm(shown.modulus), "unticked: the key's modulus stays");
    int on = shown.exponent == 3 ? IDC_EXP_3 : IDC_EXP_65537;
    CheckEq(CheckState(w[on]), BST_CHECKED, "unticked: the key's exponent stays checked");
    // The modulus shown, pasted text and all, still decrypts the same block.
    Decrypts(w, shown.block_in, shown.block_out, "manual mode with the kept modulus");
}

}  // namespace

void ScenarioCommands(const Options& options)
{
    Expectations expect = ReadExpectations(options.expect);
    if (expect.keys.empty() || expect.typed.empty() || expect.hashes.empty()) {
        Fail("the expectation file lacks keys, typed keys or hash cases");
    }
    Program program = Launch(options.program, kMainCaption);
    Window w{program.pi.dwProcessId, program.main};

    ManualModeMessages(w);
    HashTypedData(w, expect);
    DecryptTypedKeys(w, expect);
    DecryptMessages(w, expect.typed.front());
    LoadInManualMode(w, expect, options.data);
    WalkKeys(w, expect);
    ShowLongestKey(w, expect);
    // The expectation file is a text file without a single tagged line.
    LoadsInLoadedMode(w, expect, options.data, options.expect);
    LoadOfAFileHeldOpen(w, expect, options.data);
    BackToManualMode(w, expect.keys[0]);

    PostMessageA(w[IDOK], BM_CLICK, 0, 0);
    DWORD code = WaitForExit(program, kAppearMs);
    Pass(Fmt("\"OK\" ended the program (exit code %lu)", code));
}

}  // namespace e2e
