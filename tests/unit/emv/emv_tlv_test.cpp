// The BER-TLV reader over the edges of its forms: tag lengths, length forms,
// values past the end, padding, nesting and depth, each object or problem
// reported at its offset; the depth-first lookup; DOLs parsed and their
// data built by each format's padding and truncation rules.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "emv/emv_dol.h"
#include "emv/emv_tlv.h"
#include "tests/emv_support/emv_card.h"
#include "tests/unit/emv/emv_test_support.h"

namespace {

using namespace emv_test;

const char* status_name(EmvTlvStatus s)
{
    static const char* const kNames[] = {"OK",         "END",         "TAG_CUT",   "TAG_TOO_LONG",
                                         "LENGTH_CUT", "LENGTH_FORM", "VALUE_CUT", "TOO_DEEP",
                                         "TOO_MANY",   "NO_ROOM"};
    return kNames[s];
}

// Every object of the walk as "TAG@offset/length" with its depth as dots,
// then the problem met as "STATUS@offset"; the whole-data check agrees.
std::string walk(const Bytes& data)
{
    // An exact-size heap copy, so a read past it is a sanitizer error.
    const std::unique_ptr<uint8_t[]> copy(new uint8_t[data.size() + 1]);
    std::copy(data.begin(), data.end(), copy.get());
    const EmvBytes input = {data.empty() ? nullptr : copy.get(), static_cast<int32_t>(data.size())};
    EmvTlvWalk w;
    emv_tlv_walk_init(&w, input);
    EmvTlv o;
    EmvTlvError error = {EMV_TLV_OK, -1};
    std::string out;
    EmvTlvStatus s;
    while ((s = emv_tlv_walk_next(&w, &o, &error)) == EMV_TLV_OK) {
        char text[48];
        snprintf(text, sizeof text, "%s%X@%d/%d ", std::string(w.depth, '.').c_str(), o.tag,
                 o.offset, o.length);
        out += text;
        EXPECT_EQ(o.value, input.data + o.offset + o.header_length);
    }
    EmvTlvError check_error = {EMV_TLV_OK, -1};
    const EmvTlvStatus check = emv_tlv_check(input, &check_error);
    if (s == EMV_TLV_END) {
        EXPECT_EQ(check, EMV_TLV_OK);
        return out + "END";
    }
    EXPECT_EQ(check, s);
    EXPECT_EQ(check_error.offset, error.offset);
    return out + status_name(s) + "@" + std::to_string(error.offset);
}

Bytes nested(int levels)
{
    Bytes data = from_hex("5A00");
    for (int i = 0; i < levels; ++i) {
        data = emv_card::tlv(0x70, data);
    }
    return data;
}

struct TlvCase {
    const char* name;
    Bytes data;
    const char* walk;
};

Bytes hex_then(const char* hex, size_t zeros)
{
    Bytes b = from_hex(hex);
    b.resize(b.size() + zeros, 0x11);
    return b;
}

const TlvCase kTlv[] = {
    {"empty", {}, "END"},
    {"padding_only", from_hex("00FF00"), "END"},
    {"one_byte_tag", from_hex("5A021234"), "5A@0/2 END"},
    {"two_byte_tag", from_hex("9F470103"), "9F47@0/1 END"},
    {"three_byte_tag", from_hex("DF810101AA"), "DF8101@0/1 END"},
    {"four_byte_tag_refused", from_hex("DF8181010100"), "TAG_TOO_LONG@0"},
    {"tag_cut_after_first_byte", from_hex("9F"), "TAG_CUT@0"},
    {"tag_cut_after_continuation", from_hex("5A00DF81"), "5A@0/0 TAG_CUT@2"},
    {"length_missing", from_hex("5A"), "LENGTH_CUT@1"},
    {"length_81_cut", from_hex("5A81"), "LENGTH_CUT@1"},
    {"length_82_cut", from_hex("5A8201"), "LENGTH_CUT@1"},
    {"length_81", hex_then("5A8180", 128), "5A@0/128 END"},
    {"length_82", hex_then("5A820100", 256), "5A@0/256 END"},
    {"length_80_refused", from_hex("5A80"), "LENGTH_FORM@1"},
    {"length_83_refused", from_hex("5A8300000100"), "LENGTH_FORM@1"},
    {"value_past_end", from_hex("5A03AABB"), "VALUE_CUT@1"},
    {"value_past_end_long_form", hex_then("5A8181", 128), "VALUE_CUT@1"},
    {"padding_between_and_after", from_hex("00FF5A01AA0000FF9F0200FF"), "5A@2/1 9F02@8/0 END"},
    {"constructed_read_inside", from_hex("70095A01AA00A5039F0200"),
     "70@0/9 .5A@2/1 .A5@6/3 ..9F02@8/0 END"},
    {"child_past_its_template", from_hex("70035A02AABB"), "70@0/3 VALUE_CUT@3"},
    {"child_length_cut_at_outer_offset", from_hex("5A00700361015A"),
     "5A@0/0 70@2/3 .61@4/1 "
     "LENGTH_CUT@7"},
    {"empty_template", from_hex("70005A00"), "70@0/0 5A@2/0 END"},
    {"primitive_value_not_read", from_hex("5A02DF81"), "5A@0/2 END"},
    {"deepest_nesting_read", nested(kEmvTlvMaxDepth - 1), nullptr},
    {"deeper_nesting_refused", nested(kEmvTlvMaxDepth), nullptr},
};

void PrintTo(const TlvCase& c, std::ostream* os)
{
    *os << c.name;
}

class TlvWalk : public ::testing::TestWithParam<TlvCase> {};

TEST_P(TlvWalk, ReportsEachObjectAndTheProblemWhereItStands)
{
    const TlvCase& p = GetParam();
    const std::string got = walk(p.data);
    if (p.walk != nullptr) {
        EXPECT_EQ(got, p.walk);
        return;
    }
    // Nesting: each 70 two bytes further in; the first too deep is refused
    // where it stands.
    const bool refused = p.data.size() == nested(kEmvTlvMaxDepth).size();
    const std::string tail = got.substr(got.rfind(' ') + 1);
    EXPECT_EQ(tail, refused ? "TOO_DEEP@" + std::to_string(2 * (kEmvTlvMaxDepth - 1)) : "END");
}

INSTANTIATE_TEST_SUITE_P(Forms, TlvWalk, ::testing::ValuesIn(kTlv),
                         [](const ::testing::TestParamInfo<TlvCase>& i) { return i.param.name; });

struct FindCase {
    const char* name;
    const char* data;
    uint32_t tag;
    EmvTlvStatus status;
    const char* value;
};

const FindCase kFind[] = {
    // Depth first: the 5A inside 70 comes before the 5A after it.
    {"inside_before_next_sibling", "70035A01115A0122", 0x5A, EMV_TLV_OK, "11"},
    {"template_itself", "6F05A5035A0111", 0xA5, EMV_TLV_OK, "5A0111"},
    {"absent", "70035A0111", 0x9F46, EMV_TLV_END, ""},
    {"found_before_a_malformed_object", "5A0111 9F4605", 0x5A, EMV_TLV_OK, "11"},
    {"malformed_before_it", "70025A03 9F460111", 0x9F46, EMV_TLV_VALUE_CUT, ""},
};

TEST(TlvFind, FirstOccurrenceDepthFirst)
{
    for (const FindCase& c : kFind) {
        const Bytes data = from_hex(c.data);
        EmvTlv o = {};
        EXPECT_EQ(emv_tlv_find(given(data), c.tag, &o, nullptr), c.status) << c.name;
        if (c.status == EMV_TLV_OK) {
            EXPECT_EQ(to_hex(bytes(o.value, static_cast<size_t>(o.length))), c.value) << c.name;
            const auto at = data.begin() + o.offset;
            EXPECT_EQ(bytes(emv_tlv_encoded(&o)), Bytes(at, at + o.header_length + o.length))
                << c.name;
        }
    }
}

// --- DOLs --------------------------------------------------------------------

std::string entries(const EmvDol& dol)
{
    std::string out;
    for (int32_t i = 0; i < dol.count; ++i) {
        const EmvDolEntry& e = dol.entries[i];
        char text[32];
        snprintf(text, sizeof text, "%X:%d@%d ", e.tag, e.length, e.data_offset);
        out += text;
    }
    return out + "total " + std::to_string(dol.data_length);
}

TEST(Dol, ParsesEntriesWithTheirPlaceInTheData)
{
    struct {
        const char* dol;
        EmvTlvStatus status;
        int32_t offset;
        const char* entries;
    } cases[] = {
        {"9F02069A039F3704DF810102", EMV_TLV_OK, 0,
         "9F02:6@0 9A:3@6 9F37:4@9 DF8101:2@13 total 15"},
        {"", EMV_TLV_OK, 0, "total 0"},
        {"9F3781FF", EMV_TLV_OK, 0, "9F37:255@0 total 255"},
        {"9F0206 9F", EMV_TLV_TAG_CUT, 3, "9F02:6@0 total 6"},
        {"9F0206 9F37", EMV_TLV_LENGTH_CUT, 5, "9F02:6@0 total 6"},
        {"9A 83000003", EMV_TLV_LENGTH_FORM, 1, "total 0"},
    };
    for (const auto& c : cases) {
        const Bytes dol = from_hex(c.dol);
        EmvDol parsed;
        EmvTlvError error = {EMV_TLV_OK, 0};
        EXPECT_EQ(emv_dol_parse(given(dol), &parsed, &error), c.status) << c.dol;
        EXPECT_EQ(error.offset, c.offset) << c.dol;
        EXPECT_EQ(entries(parsed), c.entries) << c.dol;
    }
    Bytes many;
    for (int i = 0; i <= kEmvMaxDolEntries; ++i) {
        many.insert(many.end(), {0x9F, 0x37, 0x01});
    }
    EmvDol parsed;
    EmvTlvError error = {EMV_TLV_OK, 0};
    EXPECT_EQ(emv_dol_parse(given(many), &parsed, &error), EMV_TLV_TOO_MANY);
    EXPECT_EQ(error.offset, 3 * kEmvMaxDolEntries);
}

TEST(Dol, BuildsDataByEachFormatsRules)
{
    struct {
        const char* entry;
        const char* value;  // null: not known
        const char* data;
    } cases[] = {
        {"9F3704", "11223344", "11223344"},                    // binary, as long
        {"9F3704", "112233445566", "11223344"},                // binary, longer: leftmost kept
        {"9F3704", "1122", "11220000"},                        // binary, shorter: trailing 00
        {"9F0206", "1000", "000000001000"},                    // numeric, shorter: leading 00
        {"9F0202", "000000001234", "1234"},                    // numeric, longer: rightmost kept
        {"5A0A", "4761739001010119", "4761739001010119FFFF"},  // compressed: trailing FF
        {"5004", "4142", "41420000"},                          // text: trailing 00
        {"9F1A02", nullptr, "0000"},                           // not known: zeros
        {"7002", "AABB", "0000"},                              // constructed: zeros
        {"DF810103", "AABBCC", "AABBCC"},                      // not in the dictionary: binary
    };
    for (const auto& c : cases) {
        const Bytes dol = from_hex(c.entry);
        EmvDol parsed;
        ASSERT_EQ(emv_dol_parse(given(dol), &parsed, nullptr), EMV_TLV_OK);
        const Bytes value = c.value != nullptr ? from_hex(c.value) : Bytes{};
        const EmvTagValue known[] = {{0x9F36, given(from_hex("FFFF"))},
                                     {parsed.entries[0].tag, c.value ? given(value) : kNotGiven}};
        uint8_t out[32];
        int32_t length = 0;
        ASSERT_EQ(emv_dol_build(&parsed, known, 2, out, sizeof out, &length), EMV_TLV_OK);
        EXPECT_EQ(to_hex(bytes(out, static_cast<size_t>(length))), c.data) << c.entry;
    }
}

TEST(Dol, PlacesEachValueAndRefusesShortRoom)
{
    const Bytes dol = from_hex("9F02069A039F3704");
    EmvDol parsed;
    ASSERT_EQ(emv_dol_parse(given(dol), &parsed, nullptr), EMV_TLV_OK);
    const Bytes date = from_hex("261209");
    const Bytes un = from_hex("CAFEBABE");
    const EmvTagValue known[] = {{0x9A, given(date)}, {0x9F37, given(un)}};
    uint8_t out[13];
    int32_t length = 0;
    ASSERT_EQ(emv_dol_build(&parsed, known, 2, out, sizeof out, &length), EMV_TLV_OK);
    const Bytes data = bytes(out, sizeof out);
    EXPECT_EQ(to_hex(data), "000000000000261209CAFEBABE");
    EXPECT_EQ(to_hex(bytes(emv_dol_value(&parsed, given(data), 0x9A))), "261209");
    EXPECT_EQ(emv_dol_value(&parsed, given(data), 0x9F1A).length, -1);
    const Bytes cut(data.begin(), data.end() - 1);
    EXPECT_EQ(emv_dol_value(&parsed, given(cut), 0x9F37).length, -1);
    EXPECT_EQ(emv_dol_build(&parsed, known, 2, out, 12, &length), EMV_TLV_NO_ROOM);
}

}  // namespace
