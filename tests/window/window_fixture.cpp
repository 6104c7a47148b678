#include "window_fixture.h"

#include <ostream>

namespace shell {

const std::vector<int> kMainIds = {
    IDOK, IDCANCEL, IDC_LOAD_CAPKS, IDC_USE_LOADED, IDC_CAPK_LIST, IDC_MODULUS,
    IDC_EXP_3, IDC_EXP_65537, IDC_ENCRYPTED, IDC_DECRYPTED, IDC_DECRYPT,
    IDC_HASH_DATA, IDC_HASH, IDC_HASH_RESULT, IDC_CALC_CHECKSUM, IDC_RID,
    IDC_INDEX, IDC_CHECKSUM, IDC_MODULUS_LEN, IDC_LINK_MAKER, IDC_LINK_PRODUCT,
    IDC_CLEAR_DECRYPTED, IDC_CLEAR_HASH,
};

bool View::operator==(const View& o) const
{
    return id == o.id && text == o.text && check == o.check && enabled == o.enabled &&
           visible == o.visible && read_only == o.read_only && items == o.items &&
           cur_sel == o.cur_sel;
}

void PrintTo(const View& v, std::ostream* os)
{
    *os << "{id " << v.id << ", \"" << v.text << "\", check " << v.check << ", enabled "
        << v.enabled << ", visible " << v.visible << ", read-only " << v.read_only << ", "
        << v.items.size() << " items, sel " << v.cur_sel << "}";
}

std::vector<View> Snapshot(HWND dlg)
{
    std::vector<View> views;
    for (int id : kMainIds) {
        View v{id, sim::Text(dlg, id), sim::CheckState(dlg, id), sim::IsEnabled(dlg, id),
               sim::IsVisible(dlg, id), sim::IsReadOnly(dlg, id), {}, -1};
        if (id == IDC_CAPK_LIST) {
            v.items = sim::ListItems(dlg, id);
            v.cur_sel = sim::CurSel(dlg, id);
        }
        views.push_back(v);
    }
    return views;
}

void WindowTest::SetUp()
{
    sim::Reset();
    sim::LoadResources(TARVELLO_RES_FILE);
}

int WindowTest::RunMain(const std::function<void(HWND, CMainDlg&)>& body)
{
    CMainDlg dlg;
    // As the application does: dialogs opened without a parent (the About
    // box) are then owned by this window.
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

}  // namespace shell
