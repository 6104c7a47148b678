#include "ui/HexText.h"

#include <cstdlib>
#include <cstring>

#include "core/hex_codec.h"

// see HexText.h
CString GetStrippedText(CWnd& edit)
{
    CString text;
    edit.GetWindowText(text);
    strip_hex_input(text.GetBuffer(text.GetLength()));
    text.ReleaseBuffer();
    return text;
}

// see HexText.h
bool DecodeHexCopy(const char* text, size_t n, uint8_t** bytes_out, int32_t* count_out)
{
    *bytes_out = NULL;
    *count_out = 0;

    char* copy = static_cast<char*>(malloc(n + 1));
    if (copy == NULL)
        return false;
    memcpy(copy, text, n);
    copy[n] = '\0';

    uint8_t* bytes = static_cast<uint8_t*>(malloc(n / 2 + 1));
    if (bytes == NULL) {
        free(copy);
        return false;
    }
    hex_to_bytes(copy, static_cast<uint32_t>(n), bytes, count_out, false);
    free(copy);

    *bytes_out = bytes;
    return true;
}

// see HexText.h
CString DisplayForm(const uint8_t* bytes, int32_t n)
{
    return CString(format_hex_display(bytes, n).c_str());
}
