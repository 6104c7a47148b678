// CString: owned 8-bit text with geometric growth.
#include "afx/afx_string.h"

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "afx/afx_app.h"

TCHAR CString::s_empty[1] = {0};

CString::CString() : m_pchData(s_empty), m_nDataLength(0), m_nAllocLength(0)
{
}

CString::CString(LPCTSTR psz) : CString()
{
    if (psz != NULL)
        Assign(psz, static_cast<int>(std::strlen(psz)));
}

CString::CString(const CString& src) : CString()
{
    Assign(src.m_pchData, src.m_nDataLength);
}

CString::CString(CString&& src) noexcept
    : m_pchData(src.m_pchData), m_nDataLength(src.m_nDataLength), m_nAllocLength(src.m_nAllocLength)
{
    src.m_pchData = s_empty;
    src.m_nDataLength = 0;
    src.m_nAllocLength = 0;
}

CString::~CString()
{
    if (m_nAllocLength != 0)
        delete[] m_pchData;
}

CString& CString::operator=(const CString& src)
{
    if (this != &src)
        Assign(src.m_pchData, src.m_nDataLength);
    return *this;
}

CString& CString::operator=(CString&& src) noexcept
{
    if (this != &src) {
        if (m_nAllocLength != 0)
            delete[] m_pchData;
        m_pchData = src.m_pchData;
        m_nDataLength = src.m_nDataLength;
        m_nAllocLength = src.m_nAllocLength;
        src.m_pchData = s_empty;
        src.m_nDataLength = 0;
        src.m_nAllocLength = 0;
    }
    return *this;
}

CString& CString::operator=(LPCTSTR psz)
{
    if (psz == NULL) {
        Empty();
    } else if (psz >= m_pchData && psz <= m_pchData + m_nDataLength) {
        // Assigning a tail of ourselves: copy first, the buffer may move.
        CString copy(psz);
        *this = static_cast<CString&&>(copy);
    } else {
        Assign(psz, static_cast<int>(std::strlen(psz)));
    }
    return *this;
}

CString& CString::operator+=(const CString& src)
{
    if (this == &src) {
        CString copy(src);
        Append(copy.m_pchData, copy.m_nDataLength);
    } else {
        Append(src.m_pchData, src.m_nDataLength);
    }
    return *this;
}

CString& CString::operator+=(LPCTSTR psz)
{
    if (psz == NULL)
        return *this;
    if (psz >= m_pchData && psz <= m_pchData + m_nDataLength)
        return *this += CString(psz);
    Append(psz, static_cast<int>(std::strlen(psz)));
    return *this;
}

CString& CString::operator+=(TCHAR ch)
{
    Append(&ch, 1);
    return *this;
}

void CString::Empty()
{
    if (m_nAllocLength != 0)
        delete[] m_pchData;
    m_pchData = s_empty;
    m_nDataLength = 0;
    m_nAllocLength = 0;
}

TCHAR CString::GetAt(int nIndex) const
{
    assert(nIndex >= 0 && nIndex < m_nDataLength);
    return m_pchData[nIndex];
}

void CString::Format(LPCTSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    va_list probe;
    va_copy(probe, args);
    int needed = std::vsnprintf(NULL, 0, lpszFormat, probe);
    va_end(probe);
    if (needed < 0) {
        Empty();
    } else {
        // Format into a fresh buffer: an argument may point into our own text.
        CString result;
        result.Reserve(needed);
        std::vsnprintf(result.m_pchData, static_cast<size_t>(needed) + 1, lpszFormat, args);
        result.m_nDataLength = needed;
        *this = static_cast<CString&&>(result);
    }
    va_end(args);
}

BOOL CString::LoadString(UINT nID)
{
    // LoadStringA truncates to the buffer; grow until the text fits with room to spare.
    HINSTANCE hInst = AfxGetResourceHandle();
    for (int size = 256;; size *= 2) {
        CString text;
        LPTSTR buf = text.GetBuffer(size - 1);
        int n = ::LoadStringA(hInst, nID, buf, size);
        if (n < size - 1) {
            text.ReleaseBuffer(n > 0 ? n : 0);
            *this = static_cast<CString&&>(text);
            return n > 0;
        }
    }
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    Reserve(nMinBufLength > m_nDataLength ? nMinBufLength : m_nDataLength);
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (m_nAllocLength == 0)
        return;  // GetBuffer(0) on an empty string: nothing to keep
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_pchData));
    assert(nNewLength <= m_nAllocLength);
    m_nDataLength = nNewLength;
    m_pchData[nNewLength] = '\0';
}

void CString::Reserve(int nChars)
{
    if (nChars <= m_nAllocLength && m_nAllocLength != 0)
        return;
    if (nChars == 0 && m_nAllocLength == 0) {
        nChars = 1;  // GetBuffer(0) must still hand out a writable buffer
    }
    // Geometric growth keeps n appends linear.
    int grown = m_nAllocLength + m_nAllocLength / 2;
    int capacity = nChars > grown ? nChars : grown;
    if (capacity < 15)
        capacity = 15;
    LPTSTR data = new TCHAR[static_cast<size_t>(capacity) + 1];
    std::memcpy(data, m_pchData, static_cast<size_t>(m_nDataLength) + 1);
    if (m_nAllocLength != 0)
        delete[] m_pchData;
    m_pchData = data;
    m_nAllocLength = capacity;
}

void CString::Assign(LPCTSTR psz, int nLength)
{
    if (nLength == 0) {
        Empty();
        return;
    }
    if (nLength > m_nAllocLength) {
        // Nothing to keep across the reallocation.
        m_nDataLength = 0;
        if (m_nAllocLength != 0)
            m_pchData[0] = '\0';
        Reserve(nLength);
    }
    std::memmove(m_pchData, psz, static_cast<size_t>(nLength));
    m_nDataLength = nLength;
    m_pchData[nLength] = '\0';
}

void CString::Append(LPCTSTR psz, int nLength)
{
    if (nLength == 0)
        return;
    Reserve(m_nDataLength + nLength);
    std::memcpy(m_pchData + m_nDataLength, psz, static_cast<size_t>(nLength));
    m_nDataLength += nLength;
    m_pchData[m_nDataLength] = '\0';
}

bool operator==(const CString& s1, LPCTSTR s2)
{
    return std::strcmp(s1, s2 != NULL ? s2 : "") == 0;
}
bool operator==(LPCTSTR s1, const CString& s2)
{
    return s2 == s1;
}
bool operator==(const CString& s1, const CString& s2)
{
    return s1.GetLength() == s2.GetLength() && std::strcmp(s1, s2) == 0;
}
bool operator!=(const CString& s1, LPCTSTR s2)
{
    return !(s1 == s2);
}
bool operator!=(LPCTSTR s1, const CString& s2)
{
    return !(s2 == s1);
}
bool operator!=(const CString& s1, const CString& s2)
{
    return !(s1 == s2);
}

CString operator+(const CString& s1, LPCTSTR s2)
{
    CString result(s1);
    result += s2;
    return result;
}
