// Hexadecimal text forms of byte data: the one decoder, the clean-up applied
// to typed text, and the two forms in which bytes are shown.
//
// Texts are 8-bit characters. Only '0'-'9', 'A'-'F', 'a'-'f', the blank, CR
// and LF mean anything here, so no code page matters. Input accepts both
// letter cases; output is always uppercase.
//
// The formatters return std::string; the window layer copies it into its own
// string type. Nothing here reports failure: bad input only shortens the
// decoded count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Value 0..15 of a hex digit in either case, or -1 for any other character.
int hex_digit_value(char c);

// Decodes hex text into bytes, two digits to a byte, the first giving the
// high four bits.
//
// text      read-only characters, not necessarily terminated. MAY be null
//           when length is 0.
// length    number of characters to examine.
// out       MUST hold at least (length + 1) / 2 bytes: the decoder writes the
//           high half of a byte as soon as it sees its first digit, so one
//           byte past the counted ones may be written (see below). MUST NOT
//           overlap text.
// count_out receives the number of complete bytes decoded, at most
//           length / 2; MAY be null. Set to 0 before anything is read.
// pad_odd   when set and length is odd, the first character is taken as the
//           low digit of a first byte whose high digit is 0 ("ABC" gives
//           0A BC). Callers in this system pass false ("ABC" gives AB).
//
// Decoding is silent:
//  - blanks are skipped, but only in front of a byte; a blank between the
//    two digits of a byte stops decoding;
//  - any other non-digit (NUL, CR and LF included) stops decoding; what was
//    decoded before the stop stays in out and is counted;
//  - a byte cut short by the stop or by the end of the text keeps only its
//    high half in out[*count_out] and is not counted.
// Callers judge a text only by the count of complete bytes.
void hex_to_bytes(const char* text, uint32_t length, uint8_t* out, int32_t* count_out,
                  bool pad_odd);

// Removes every blank (0x20), CR (0x0D) and LF (0x0A) from the terminated
// text, in place; every other character stays, tabs included. Returns the
// new length; a null text gives 0. This removes exactly what the display
// form adds, so a display form, stripped and decoded, gives back its bytes.
size_t strip_hex_input(char* text);

// Hex display form of bytes[0 .. n): each byte as two uppercase digits and a
// blank, with CR LF in front of every byte whose zero-based position is a
// positive multiple of 32. A full line is 32 bytes in 96 characters; the
// text ends with a blank and no line break. n <= 0 gives the empty text.
// Linear in n.
std::string format_hex_display(const uint8_t* bytes, int32_t n);

// Compact hex of bytes[0 .. n): two uppercase digits per byte, nothing
// between or after them. n <= 0 gives the empty text. Linear in n.
std::string format_hex_compact(const uint8_t* bytes, int32_t n);
