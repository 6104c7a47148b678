// Hex text in the edit boxes of the main window: reading what the user typed
// or pasted, and writing bytes in the display form.
//
// The Hash and Decrypt commands read their data the same way: the box's text
// with every blank, CR and LF removed, copied to a terminated heap copy,
// decoded into a heap byte buffer, copy released. Each command shows its own
// message when the heap fails, so these helpers only report it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "afx/afxwin.h"

// Text of the edit box with every blank, CR and LF removed, so that a text
// shown in the hex display form reads back as its bytes.
CString GetStrippedText(CWnd& edit);

// Decodes text[0 .. n) as hex (no odd padding): copies it into a heap copy of
// n + 1 bytes with a terminating zero, decodes the copy into a heap buffer of
// n / 2 + 1 bytes (room for every byte the decoder may write) and frees the
// copy. On success returns true; *bytes_out then owns the buffer (release it
// with free) and *count_out holds the number of complete bytes, 0 or more.
// Returns false when either allocation fails; then *bytes_out is null,
// *count_out is 0 and nothing stays allocated.
bool DecodeHexCopy(const char* text, size_t n, uint8_t** bytes_out, int32_t* count_out);

// Hex display form of bytes[0 .. n) as a window text: "%02X " per byte, CR LF
// before every 33rd, 65th, ... byte. n <= 0 gives the empty text.
CString DisplayForm(const uint8_t* bytes, int32_t n);
