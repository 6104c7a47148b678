// CMainDlg: the key commands. Load a list file into m_capks and refill the
// key list, switch between manual and loaded-key mode, and show the key
// selected in the list.

#include "ui/MainDlg.h"

#include "core/capk_file.h"
#include "core/capk_rules.h"
#include "core/hex_codec.h"
#include "ui/HexText.h"

void CMainDlg::OnLoadCapks()
{
    // Only existing files; the read-only box is left visible on purpose.
    CFileDialog dlgFile(TRUE, "*.log", NULL, OFN_FILEMUSTEXIST, "All Files(*.txt)|*.txt||");
    if (dlgFile.DoModal() != IDOK)
        return;

    CString strPath = dlgFile.GetPathName();
    CString strText;
    // A file that cannot be opened leaves the table, the list and every field
    // as they were.
    if (load_capk_file(strPath, m_capks.records, &m_capks.count) != 0) {
        strText.Format("File I/O failed for the following file !\r\n%s", (LPCTSTR)strPath);
        MessageBox(strText, "CAPK Info", MB_ICONSTOP);
        return;
    }
    strText.Format("Total %d CAPKs are successfully loaded !", m_capks.count);
    MessageBox(strText, "CAPK Info", MB_ICONINFORMATION);

    // Entry i of the list is record i of the table: the list is not sorted.
    m_capks.selected = -1;
    m_comboCapks.ResetContent();
    if (m_capks.count > 0) {
        for (int i = 0; i < m_capks.count; i++) {
            char szLabel[kCapkLabelSize];
            capk_label(&m_capks.records[i], szLabel);
            m_comboCapks.AddString(szLabel);
        }
        m_capks.selected = 0;
        m_comboCapks.SetCurSel(0);
    }
    UpdateData(FALSE);
    UpdateData(TRUE);

    // In loaded-key mode the first key of the new file is shown at once.
    if (m_checkUseLoaded.GetCheck() != 0)
        OnSelchangeCapkList();
}

void CMainDlg::OnUseLoaded()
{
    UpdateData(TRUE);
    m_capks.use_loaded = (int32_t)m_checkUseLoaded.GetCheck();

    if (m_capks.use_loaded != 0 && m_capks.count != 0) {
        // Loaded-key mode: the key comes from the list and cannot be edited.
        m_comboCapks.EnableWindow(TRUE);
        m_radioExp3.EnableWindow(FALSE);
        m_radioExp65537.EnableWindow(FALSE);
        m_strModulusLength = "bytes";
        m_editModulus.SetReadOnly(TRUE);
        m_btnCalcChecksum.EnableWindow(TRUE);
        UpdateData(FALSE);
        OnSelchangeCapkList();
    } else if (m_capks.use_loaded != 0) {
        MessageBox("No CAPKs loaded. Please load CAPKs first!", "CAPK Info", MB_ICONINFORMATION);
        m_checkUseLoaded.SetCheck(BST_UNCHECKED);
        UpdateData(FALSE);
    } else {
        // Manual mode. The modulus text and the exponent buttons keep the key
        // last shown, so it stays available for editing and for Decrypt.
        m_comboCapks.EnableWindow(FALSE);
        m_radioExp3.EnableWindow(TRUE);
        m_radioExp65537.EnableWindow(TRUE);
        m_strRid.Empty();
        m_strIndex.Empty();
        m_strModulusLength.Empty();
        m_strChecksum.Empty();
        m_editModulus.SetReadOnly(FALSE);
        m_btnCalcChecksum.EnableWindow(FALSE);
        UpdateData(FALSE);
    }
}

void CMainDlg::OnSelchangeCapkList()
{
    UpdateData(TRUE);
    int nSel = m_comboCapks.GetCurSel();
    if (nSel < 0 || nSel >= m_capks.count)
        return;
    const CapkRecord& rec = m_capks.records[nSel];

    m_strRid.Format("%02X%02X%02X%02X%02X", rec.rid[0], rec.rid[1], rec.rid[2], rec.rid[3],
                    rec.rid[4]);
    m_strIndex.Format("%02X", rec.index);

    // Set both buttons explicitly; BM_SETCHECK sends no click notification.
    BOOL bExp3 = rec.exponent == 3;
    m_radioExp3.SetCheck(bExp3 ? BST_CHECKED : BST_UNCHECKED);
    m_radioExp65537.SetCheck(bExp3 ? BST_UNCHECKED : BST_CHECKED);

    m_strModulusLength.Format("%d bytes", rec.modulus_length);
    m_strChecksum = format_hex_compact(rec.checksum, sizeof rec.checksum).c_str();
    m_editModulus.SetWindowText(DisplayForm(rec.modulus, rec.modulus_length));
    UpdateData(FALSE);
}
