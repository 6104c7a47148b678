// CMainDlg: construction, data exchange, message map and start state.
#include "ui/MainDlg.h"

#include <cstring>

// see MainDlg.h
CMainDlg::CMainDlg(CWnd* pParent) : CBCGPDialog(CMainDlg::IDD, pParent)
{
    m_strRid = "";
    m_strIndex = "";
    m_strChecksum = "";
    m_strModulusLength = "";
    // The icon lives in the module that holds the resources; LoadIconA gives
    // the image at the system's large-icon size.
    m_hIcon = ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON),
                          MAKEINTRESOURCEA(IDR_MAINFRAME));
    // m_capks is set up by OnInitDialog, before any command can run.
}

// The icon is a shared resource icon: nothing to release.
CMainDlg::~CMainDlg()
{
}

// see MainDlg.h
void CMainDlg::DoDataExchange(CDataExchange* pDX)
{
    CBCGPDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LINK_PRODUCT, m_linkProduct);
    DDX_Control(pDX, IDC_LINK_MAKER, m_linkMaker);
    DDX_Control(pDX, IDC_EXP_3, m_radioExp3);
    DDX_Control(pDX, IDC_EXP_65537, m_radioExp65537);
    DDX_Control(pDX, IDC_MODULUS, m_editModulus);
    DDX_Control(pDX, IDC_HASH_DATA, m_editHashData);
    DDX_Control(pDX, IDC_ENCRYPTED, m_editEncrypted);
    DDX_Control(pDX, IDC_DECRYPTED, m_editDecrypted);
    DDX_Control(pDX, IDC_HASH_RESULT, m_editHashResult);
    DDX_Control(pDX, IDC_CAPK_LIST, m_comboCapks);
    DDX_Control(pDX, IDC_USE_LOADED, m_checkUseLoaded);
    DDX_Control(pDX, IDC_LOAD_CAPKS, m_btnLoadCapks);
    DDX_Control(pDX, IDC_CALC_CHECKSUM, m_btnCalcChecksum);
    DDX_Control(pDX, IDC_HASH, m_btnHash);
    DDX_Control(pDX, IDC_DECRYPT, m_btnDecrypt);
    DDX_Text(pDX, IDC_CHECKSUM, m_strChecksum);
    DDX_Text(pDX, IDC_INDEX, m_strIndex);
    DDX_Text(pDX, IDC_RID, m_strRid);
    DDX_Text(pDX, IDC_MODULUS_LEN, m_strModulusLength);
}

// IDOK and IDCANCEL have no entry: the framework's OnOK (final pull, end
// with IDOK) and OnCancel (end with IDCANCEL; also Escape and the close box)
// handle them. The hyperlink buttons handle their own clicks.
BEGIN_MESSAGE_MAP(CMainDlg, CBCGPDialog)
    // void OnSysCommand(UINT nID, LPARAM lParam)
    ON_WM_SYSCOMMAND()
    // void OnPaint()
    ON_WM_PAINT()
    // HCURSOR OnQueryDragIcon()
    ON_WM_QUERYDRAGICON()
    // void OnDecrypt()
    ON_BN_CLICKED(IDC_DECRYPT, OnDecrypt)
    // void OnHash()
    ON_BN_CLICKED(IDC_HASH, OnHash)
    // void OnCalcChecksum()
    ON_BN_CLICKED(IDC_CALC_CHECKSUM, OnCalcChecksum)
    // void OnLoadCapks()
    ON_BN_CLICKED(IDC_LOAD_CAPKS, OnLoadCapks)
    // void OnUseLoaded()
    ON_BN_CLICKED(IDC_USE_LOADED, OnUseLoaded)
    // void OnSelchangeCapkList()
    ON_CBN_SELCHANGE(IDC_CAPK_LIST, OnSelchangeCapkList)
    // void OnExponentRadio()
    ON_BN_CLICKED(IDC_EXP_3, OnExponentRadio)
    // void OnExponentRadio()
    ON_BN_CLICKED(IDC_EXP_65537, OnExponentRadio)
    // void OnClearChecksum()
    ON_BN_CLICKED(IDC_CLEAR_HASH, OnClearChecksum)
    // void OnClearDecrypted()
    ON_BN_CLICKED(IDC_CLEAR_DECRYPTED, OnClearDecrypted)
END_MESSAGE_MAP()

// see MainDlg.h
BOOL CMainDlg::OnInitDialog()
{
    // Binds the member controls and pushes the four empty strings.
    CBCGPDialog::OnInitDialog();

    // IDM_ABOUTBOX must be usable as a system command (see resource.h).
    static_assert((IDM_ABOUTBOX & 0xFFF0) == IDM_ABOUTBOX, "low bits are the system's");
    static_assert(IDM_ABOUTBOX < 0xF000, "ids from 0xF000 are standard commands");

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu != NULL) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // Manual mode with an empty table: no key, no selection.
    std::memset(&m_capks, 0, sizeof m_capks);
    m_capks.selected = -1;

    // The template's "bytes" shows only in loaded-key mode.
    m_strModulusLength = "";
    UpdateData(FALSE);

    // The dialog manager focuses the first enabled tab stop: "OK".
    return TRUE;
}

// The automatic radio buttons check themselves and uncheck the other.
void CMainDlg::OnExponentRadio()
{
}
