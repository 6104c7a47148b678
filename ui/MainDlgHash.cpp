// CMainDlg: the SHA-1 commands. Hash the typed data, build and hash the
// checksum input of the selected key, clear the result line.

#include "ui/MainDlg.h"

#include <cstdlib>

#include "core/capk_rules.h"
#include "crypto/sha1/sha1.h"
#include "ui/HexText.h"

void CMainDlg::OnHash()
{
    // A failed command never leaves an old digest on screen.
    m_editHashResult.SetWindowText("");
    UpdateData(FALSE);
    UpdateData(TRUE);

    CString strData = GetStrippedText(m_editHashData);
    uint8_t* pBytes = NULL;
    int32_t nCount = 0;
    if (strData.GetLength() != 0 &&
        !DecodeHexCopy(strData, strData.GetLength(), &pBytes, &nCount)) {
        MessageBox("Not available memory in heap !", "SHA-1 Info", MB_ICONSTOP);
        return;
    }

    // The data box shows exactly what is hashed, in the normal form; text
    // from the first character that does not decode onward is gone.
    m_editHashData.SetWindowText("");
    if (nCount != 0)
        m_editHashData.SetWindowText(DisplayForm(pBytes, nCount));
    UpdateData(FALSE);

    // No bytes decoded (an empty text, or one like "zz" that stops at once):
    // the empty string is hashed. The digest entry refuses a null pointer.
    uint8_t digest[kSha1DigestSize];
    const uint8_t* pData = nCount != 0 ? pBytes : (const uint8_t*)"";
    CryptoStatus st = sha1_digest(pData, (uint32_t)nCount, digest);
    free(pBytes);
    if (st != CRYPTO_OK) {
        MessageBox("SHA-1 Hashing Failed !", "SHA-1 Info", MB_ICONSTOP);
        return;
    }
    m_editHashResult.SetWindowText(DisplayForm(digest, kSha1DigestSize));
    UpdateData(FALSE);
}

void CMainDlg::OnCalcChecksum()
{
    m_editHashResult.SetWindowText("");
    UpdateData(FALSE);
    UpdateData(TRUE);

    int nSel = m_comboCapks.GetCurSel();
    if (nSel < 0 || nSel >= m_capks.count)
        return;
    const CapkRecord& rec = m_capks.records[nSel];

    // Checksum input: RID | index | modulus | exponent, at most
    // modulus_length + 9 bytes.
    uint8_t* pInput = (uint8_t*)malloc(rec.modulus_length + 100);
    if (pInput == NULL) {
        MessageBox("Internal Memory Error !", "SHA-1 Info", MB_ICONSTOP);
        return;
    }
    int32_t n = capk_checksum_input(&rec, pInput);
    if (n < 0) {
        // The list-file reader stores no other value.
        free(pInput);
        MessageBox("Invalid CAPK Exponent Value !", "SHA-1 Info", MB_ICONSTOP);
        return;
    }

    m_editHashData.SetWindowText(DisplayForm(pInput, n));
    UpdateData(FALSE);

    uint8_t digest[kSha1DigestSize];
    CryptoStatus st = sha1_digest(pInput, (uint32_t)n, digest);
    free(pInput);
    if (st != CRYPTO_OK) {
        MessageBox("SHA-1 Hashing Failed !", "SHA-1 Info", MB_ICONSTOP);
        return;
    }
    m_editHashResult.SetWindowText(DisplayForm(digest, kSha1DigestSize));
    UpdateData(FALSE);
}

void CMainDlg::OnClearChecksum()
{
    m_editHashResult.SetWindowText("");
    UpdateData(FALSE);
}
