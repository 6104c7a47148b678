// BER-TLV as card data uses it: tags of 1 to 3 bytes, lengths in short form
// or the 81 / 82 long forms, constructed objects holding further objects,
// 00 and FF bytes between objects skipped as padding.
//
// The reader never allocates and never reads past the bytes it is given:
// every object it returns points into them. Offsets count from the start of
// the outermost data given (a reader over a constructed object's value keeps
// the offsets of the whole), so a malformed object is named where it stands.
#pragma once

#include <cstdint>

#include "emv/emv.h"

// Deepest nesting of constructed objects the whole-data check and the lookup
// follow; deeper data is refused (EMV_TLV_TOO_DEEP), never read on the stack.
constexpr int kEmvTlvMaxDepth = 16;

enum EmvTlvStatus : uint8_t {
    EMV_TLV_OK = 0,
    EMV_TLV_END = 1,           // no (more) object: only padding left, or a tag not found
    EMV_TLV_TAG_CUT = 2,       // the data ends inside a tag
    EMV_TLV_TAG_TOO_LONG = 3,  // a tag of more than 3 bytes
    EMV_TLV_LENGTH_CUT = 4,    // the data ends inside a length
    EMV_TLV_LENGTH_FORM = 5,   // a length form other than short, 81 or 82 (80, 83, ...)
    EMV_TLV_VALUE_CUT = 6,     // the value runs past the end of the data (or of its template)
    EMV_TLV_TOO_DEEP = 7,      // constructed objects nested deeper than kEmvTlvMaxDepth
    EMV_TLV_TOO_MANY = 8,      // more entries than the caller's storage holds
    EMV_TLV_NO_ROOM = 9,       // the caller's output buffer is too short
};

// One data object, pointing into the data it was read from.
struct EmvTlv {
    uint32_t tag;           // the tag's bytes as a big-endian number: 9F46 -> 0x9F46
    int32_t tag_length;     // 1 to 3
    int32_t offset;         // where the tag starts, from the start of the outermost data
    int32_t header_length;  // tag and length bytes
    int32_t length;         // value length
    const uint8_t* value;   // the value's first byte; with length 0 where it would be (unread)
    bool constructed;       // bit 6 of the tag's first byte: the value holds objects
};

// Where a malformed object stands: its status and the offset (from the
// start of the outermost data) of the tag, length or value that is wrong.
struct EmvTlvError {
    EmvTlvStatus status;
    int32_t offset;
};

// Reads the objects of one level in turn.
struct EmvTlvReader {
    const uint8_t* data;
    int32_t length;
    int32_t position;  // next byte to read, from data
    int32_t base;      // offset of data[0] in the outermost data
};

// A reader over data (a not-given or empty string has no objects).
EmvTlvReader emv_tlv_reader(EmvBytes data);

// A reader over a constructed (or any) object's value, offsets kept.
EmvTlvReader emv_tlv_children(const EmvTlv* object);

// The next object of the reader's level, padding skipped: EMV_TLV_OK and
// *out filled; EMV_TLV_END when only padding is left; otherwise the reason
// it is malformed and *error (may be null) says where. The reader does not
// move past a malformed object. The value of a constructed object is not
// checked here (emv_tlv_check does it).
EmvTlvStatus emv_tlv_next(EmvTlvReader* reader, EmvTlv* out, EmvTlvError* error);

// Every object of a tree in document order, depth first: an object, then
// the objects inside it, then its next sibling. A fixed stack of readers,
// no recursion: data nested deeper than kEmvTlvMaxDepth is refused.
struct EmvTlvWalk {
    EmvTlvReader stack[kEmvTlvMaxDepth];
    int32_t depth;  // of the object returned last: 0 for the outermost level
    bool enter;     // the object returned last is constructed: its value comes next
    EmvTlv last;
};

void emv_tlv_walk_init(EmvTlvWalk* walk, EmvBytes data);

// The next object (walk->depth tells its level): EMV_TLV_OK, EMV_TLV_END
// when the whole data has been read, or the problem met and where.
EmvTlvStatus emv_tlv_walk_next(EmvTlvWalk* walk, EmvTlv* out, EmvTlvError* error);

// Checks the whole data, constructed values read recursively: EMV_TLV_OK
// when well-formed (empty or padding-only data is), otherwise the first
// problem and where it stands.
EmvTlvStatus emv_tlv_check(EmvBytes data, EmvTlvError* error);

// The first object with the tag, depth first (an object before the objects
// inside it, those before its next sibling): EMV_TLV_OK and *out filled,
// EMV_TLV_END when the data holds none, or the malformation met before it.
EmvTlvStatus emv_tlv_find(EmvBytes data, uint32_t tag, EmvTlv* out, EmvTlvError* error);

// The object as encoded: tag, length and value.
EmvBytes emv_tlv_encoded(const EmvTlv* object);

// The object's value as EmvBytes.
EmvBytes emv_tlv_value(const EmvTlv* object);

// Reads one tag at data[0..length): its number and byte count (1 to 3).
// Returns EMV_TLV_OK, EMV_TLV_TAG_CUT or EMV_TLV_TAG_TOO_LONG. Also used for
// the tag lists of DOLs and of 9F4A.
EmvTlvStatus emv_tlv_read_tag(const uint8_t* data, int32_t length, uint32_t* tag,
                              int32_t* tag_length);

// Reads one length at data[0..left): short form, 81 XX or 82 XX XX; its
// value and byte count. EMV_TLV_OK, EMV_TLV_LENGTH_CUT or EMV_TLV_LENGTH_FORM.
EmvTlvStatus emv_tlv_read_length(const uint8_t* data, int32_t left, int32_t* length, int32_t* size);

// True when the tag's first byte marks a constructed object.
bool emv_tlv_tag_constructed(uint32_t tag);
