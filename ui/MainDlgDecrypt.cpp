// CMainDlg: the RSA command. Raise the block in the encrypted-data box to the
// public exponent modulo the modulus in the modulus box, and clear the result.

#include "ui/MainDlg.h"

#include <cstdlib>

#include "crypto/rsa/rsa.h"
#include "ui/HexText.h"

// Longest modulus, in bytes, that the public operation supports. A modulus
// typed by hand can be of any length, so Decrypt refuses a longer one before
// the key is set.
static const int32_t kMaxDecryptModulusLength = 292;

void CMainDlg::OnDecrypt()
{
    // A failed command never leaves an old result on screen.
    m_editDecrypted.SetWindowText("");
    UpdateData(FALSE);
    UpdateData(TRUE);

    // The exponent comes from the buttons, whatever the mode.
    BOOL bExp3 = m_radioExp3.GetCheck() == BST_CHECKED;
    BOOL bExp65537 = m_radioExp65537.GetCheck() == BST_CHECKED;
    if (!bExp3 && !bExp65537) {
        MessageBox("CAPK Exponent is not selected !", "CAPK Info", MB_ICONSTOP);
        return;
    }
    const uint32_t nExponent = bExp3 ? 3 : 65537;

    const char* pszError = NULL;
    uint8_t* pModulus = NULL;
    uint8_t* pInput = NULL;
    uint8_t* pResult = NULL;
    RsaKey* pKey = NULL;
    int32_t m = 0;
    int32_t k = 0;
    CString strText;

    // The modulus is always read back from its box, never from m_capks.
    strText = GetStrippedText(m_editModulus);
    if (!DecodeHexCopy(strText, strText.GetLength(), &pModulus, &m)) {
        pszError = "Not available memory in heap !";
        goto done;
    }
    if (m == 0) {
        pszError = "Please set CAPK Modulus correctly !";
        goto done;
    }
    if (m > kMaxDecryptModulusLength) {
        pszError = "CAPK Modulus is longer than 292 bytes !";
        goto done;
    }

    strText = GetStrippedText(m_editEncrypted);
    if (!DecodeHexCopy(strText, strText.GetLength(), &pInput, &k)) {
        pszError = "Not available memory in heap !";
        goto done;
    }
    if (k == 0) {
        pszError = "Please set Encrypted Data correctly !";
        goto done;
    }
    if (k != m) {
        pszError = "Length of Modulus & Encrypted Data is NOT equal !";
        goto done;
    }

    // Every failure of the RSA layer, and of the result buffer, is reported
    // alike.
    pszError = "RSA ERROR !";
    if (rsa_new(&pKey) != CRYPTO_OK)
        goto done;
    pResult = (uint8_t*)malloc(m);
    if (pResult == NULL)
        goto done;
    if (rsa_set_public_key(pKey, pModulus, 8 * m, nExponent) != CRYPTO_OK)
        goto done;
    if (rsa_public(pKey, pResult, pInput, m) != CRYPTO_OK)
        goto done;

    // Success: the operands and the key go first, then the result is shown
    // and its buffer freed. The length check makes m the block size.
    free(pModulus);
    free(pInput);
    rsa_free(pKey);
    m_editDecrypted.SetWindowText(DisplayForm(pResult, m));
    free(pResult);
    UpdateData(FALSE);
    return;

done:
    free(pModulus);
    free(pInput);
    free(pResult);
    rsa_free(pKey);
    MessageBox(pszError, "RSA Info", MB_ICONSTOP);
}

void CMainDlg::OnClearDecrypted()
{
    m_editDecrypted.SetWindowText("");
    UpdateData(FALSE);
}
