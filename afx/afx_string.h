// afx_string.h - the 8-bit string class of the window layer.
//
// Classes in this file:
//   CString  owned, NUL-terminated 8-bit text of any length
#ifndef TARVELLO_AFX_STRING_H
#define TARVELLO_AFX_STRING_H

#include "afx_platform.h"

#if defined(__GNUC__)
#define TARVELLO_AFX_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define TARVELLO_AFX_PRINTF(fmt, args)
#endif

// Deep-copying string (no sharing). The buffer grows geometrically, so
// repeated appends are linear; there is no length limit. Allocation uses
// operator new, never malloc, so that tests which make malloc fail hit only
// the program's own buffers. The text may not hold embedded NULs except
// through GetBuffer.
class CString {
public:
    CString();
    CString(LPCTSTR psz);  // NULL gives the empty string
    CString(const CString& src);
    CString(CString&& src) noexcept;
    ~CString();

    CString& operator=(const CString& src);
    CString& operator=(CString&& src) noexcept;
    CString& operator=(LPCTSTR psz);
    CString& operator+=(const CString& src);
    CString& operator+=(LPCTSTR psz);
    CString& operator+=(TCHAR ch);

    operator LPCTSTR() const { return m_pchData; }
    int GetLength() const { return m_nDataLength; }
    BOOL IsEmpty() const { return m_nDataLength == 0; }
    void Empty();
    TCHAR GetAt(int nIndex) const;  // nIndex in [0, GetLength())
    TCHAR operator[](int nIndex) const { return GetAt(nIndex); }

    // printf-style formatting of the whole string; any length.
    void Format(LPCTSTR lpszFormat, ...) TARVELLO_AFX_PRINTF(2, 3);
    // The string-table entry nID of the resource module; FALSE (and empty
    // text) when it is missing or empty.
    BOOL LoadString(UINT nID);

    // Direct access: room for nMinBufLength chars plus the NUL, keeping the
    // current text. ReleaseBuffer(-1) takes the length from the NUL;
    // ReleaseBuffer(n) keeps n chars.
    LPTSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    void Reserve(int nChars);  // capacity for nChars + NUL, keeps text
    void Assign(LPCTSTR psz, int nLength);
    void Append(LPCTSTR psz, int nLength);

    LPTSTR m_pchData;  // never NULL; points at s_empty while nothing is owned
    int m_nDataLength;
    int m_nAllocLength;  // 0 while m_pchData is s_empty
    static TCHAR s_empty[1];
};

bool operator==(const CString& s1, LPCTSTR s2);
bool operator==(LPCTSTR s1, const CString& s2);
bool operator==(const CString& s1, const CString& s2);
bool operator!=(const CString& s1, LPCTSTR s2);
bool operator!=(LPCTSTR s1, const CString& s2);
bool operator!=(const CString& s1, const CString& s2);
CString operator+(const CString& s1, LPCTSTR s2);

#endif  // TARVELLO_AFX_STRING_H
