// The diagnosis of a failed check on cards whose issuer signed each variant
// on purpose: the step, the check and the variants found, and nothing else;
// a card signed right gets none, a record changed after signing gets
// "nothing matched", a wrong key under the card's index is named with the
// key that opens the certificate.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "emv/emv_oda_diagnose.h"
#include "tests/unit/emv/emv_oda_run.h"

namespace {

using namespace emv_test;
using emv_card::Card;
using emv_card::CardRecords;
using emv_card::CardSpec;
using emv_card::Method;
using emv_card::spec;
using emv_card::with;

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A record after its 70 tag and length; the value inside its 70 template.
Bytes after_header(const Bytes& r)
{
    return Bytes(r.begin() + (r[1] == 0x81 ? 3 : 2), r.end());
}

Bytes template_value(const Bytes& r)
{
    const size_t header = r[1] == 0x81 ? 3 : 2;
    const size_t length = r[1] == 0x81 ? r[2] : r[1];
    return Bytes(r.begin() + static_cast<long>(header),
                 r.begin() + static_cast<long>(header + length));
}

const Bytes kCdol1Data = emv_chain::from_hex("000000001000000000000000082600000000000826261209"
                                             "0011223344");

enum class List { Card, WrongUnderIndex, NoneUnderIndex };

// The CA key list: the card's key under 92 (Card); another key of its
// length under 92 and the card's under 94 (WrongUnderIndex); only the card's
// under 94 (NoneUnderIndex).
struct Diagnosed {
    EmvOdaCard card;
    EmvOdaResult result;
    EmvOdaDiagnosis diagnosis;
};

std::unique_ptr<Diagnosed> diagnose(const Card& c, List list)
{
    auto d = std::make_unique<Diagnosed>();
    const std::vector<EmvExchange> log = exchanges_of(c);
    emv_oda_collect(log.data(), static_cast<int32_t>(log.size()), &d->card);
    const emv_chain::TestKey& other = emv_chain::test_key(1152, 3, 1);
    const EmvCaKey right = {given(c.ca->modulus), given(c.ca->exponent)};
    const EmvCaKey wrong = {given(other.modulus), given(other.exponent)};
    std::vector<EmvListedCaKey> keys;
    const auto add = [&](uint8_t index, const EmvCaKey& key) {
        EmvListedCaKey k = {{0xA0, 0x00, 0x00, 0x00, 0x03}, index, key};
        keys.push_back(k);
    };
    const EmvCaKey* used = list == List::Card ? &right : nullptr;
    if (list == List::Card)
        add(0x92, right);
    if (list == List::WrongUnderIndex) {
        add(0x92, wrong);
        used = &wrong;
    }
    if (list != List::Card)
        add(0x94, right);
    const EmvOdaOptions options = {kTransactionDate, nullptr, EMV_ODA_METHOD_NONE};
    emv_oda_authenticate(&d->card, used, &options, &d->result);
    emv_oda_diagnose(&d->card, used, keys.data(), static_cast<int32_t>(keys.size()), &d->result,
                     &d->diagnosis);
    return d;
}

// "step check: variants+of+one, next (afl ...)" as the diagnosis found it.
std::string found(const EmvOdaDiagnosis& d)
{
    if (!d.made)
        return "none";
    std::string text =
        std::string(emv_oda_step_name(d.step)) + " " + emv_diagnosis_check_name(d.check) + ":";
    for (int32_t i = 0; i < d.match_count && i < kEmvDiagnosisMaxMatches; ++i) {
        const EmvDiagnosisMatch& m = d.matches[i];
        std::string names;
        for (int bit = 0; bit < kEmvVariantBits; ++bit) {
            if (m.variants & (1u << bit))
                names += (names.empty() ? "" : "+") + std::string(emv_variant_name(1u << bit));
        }
        text += (i == 0 ? " " : ", ") + names;
        if (m.has_counts)
            text += " counts " + std::to_string(m.oda_counts[0]) + std::to_string(m.oda_counts[1]) +
                    std::to_string(m.oda_counts[2]);
        if (m.variants & EMV_VARIANT_DDOL_ELEMENTS)
            text +=
                " elements " + std::to_string(m.elements) + " length " + std::to_string(m.length);
        if (m.has_key)
            text += " key " + std::to_string(m.index);
    }
    return text;
}

using Signed = std::function<Bytes(const CardRecords&)>;

CardSpec signing(CardSpec s, Signed how)
{
    s.signed_static = std::move(how);
    return s;
}

CardSpec terminal_data(std::function<Bytes(const Bytes&, const Bytes&, const Bytes&)> how)
{
    CardSpec s = spec(Method::Cda);
    s.cda_terminal_data = std::move(how);
    return s;
}

struct DiagnosisCase {
    const char* name;
    CardSpec spec;
    List list;
    const char* found;
};

const DiagnosisCase kCases[] = {
    {"signed right", spec(Method::Cda), List::Card, "none"},
    {"records_with_template",
     signing(spec(Method::Sda),
             [](const CardRecords& r) {
                 return cat({r.sfi1_rec1, r.sfi11_rec1});
             }),
     List::Card, "ssad hash: records_with_template"},
    {"records_without_template",
     signing(spec(Method::Dda),
             [](const CardRecords& r) {
                 return cat({after_header(r.sfi1_rec1), template_value(r.sfi11_rec1)});
             }),
     List::Card, "icc hash: records_without_template"},
    {"without_tag_list",
     signing(spec(Method::Sda, 2, 2, true),
             [](const CardRecords& r) {
                 return cat({after_header(r.sfi1_rec1), r.sfi11_rec1});
             }),
     List::Card, "ssad hash: without_tag_list"},
    {"with_aip",
     signing(spec(Method::Sda),
             [](const CardRecords& r) {
                 return cat({after_header(r.sfi1_rec1), r.sfi11_rec1, r.aip});
             }),
     List::Card, "ssad hash: with_aip"},
    {"oda_counts",
     signing(spec(Method::Cda),
             [](const CardRecords& r) {
                 return cat({after_header(r.sfi1_rec1), after_header(r.sfi1_rec2), r.sfi11_rec1});
             }),
     List::Card, "icc hash: oda_counts counts 201"},
    {"oda_counts with records taken whole",
     signing(spec(Method::Sda),
             [](const CardRecords& r) {
                 return cat({r.sfi1_rec1, r.sfi1_rec2, r.sfi11_rec1});
             }),
     List::Card, "ssad hash: records_with_template+oda_counts counts 201"},
    {"later_answer",
     signing(spec(Method::Dda),
             [](const CardRecords& r) {
                 return cat({after_header(r.sfi1_rec1_later), r.sfi11_rec1});
             }),
     List::Card, "icc hash: later_answer"},
    {"afl_sorted",
     with(signing(spec(Method::Sda),
                  [](const CardRecords& r) {
                      return cat({after_header(r.sfi1_rec1), r.sfi11_rec1});
                  }),
          [](CardSpec& s) { s.afl_reversed = true; }),
     List::Card, "ssad hash: afl_sorted"},
    {"ddol_elements", with(spec(Method::Dda), [](CardSpec& s) { s.ddol_signed_length = 0; }),
     List::Card, "sdad hash: ddol_elements elements 0 length 0"},
    {"ddol_elements without 9F49",
     with(spec(Method::Dda),
          [](CardSpec& s) {
              s.ddol = "";
              s.ddol_signed_length = 2;
          }),
     List::Card, "sdad hash: ddol_elements elements -1 length 2"},
    {"unpredictable_number_from_pdol",
     with(spec(Method::Cda),
          [](CardSpec& s) { s.cda_signed_number = emv_chain::from_hex("55667788"); }),
     List::Card, "sdad hash: unpredictable_number_from_pdol"},
    {"cdol1_data", with(spec(Method::Cda), [](CardSpec& s) { s.cda_signed_number = kCdol1Data; }),
     List::Card, "sdad hash: cdol1_data"},
    {"without_pdol_data",
     terminal_data([](const Bytes&, const Bytes& c, const Bytes&) { return c; }), List::Card,
     "cda transaction_data_hash: without_pdol_data"},
    {"with_pdol_template", terminal_data([](const Bytes&, const Bytes& c, const Bytes& g) {
         return cat({g, c});
     }),
     List::Card, "cda transaction_data_hash: with_pdol_template"},
    {"without_cdol1_data",
     terminal_data([](const Bytes& p, const Bytes&, const Bytes&) { return p; }), List::Card,
     "cda transaction_data_hash: without_cdol1_data"},
    {"without both",
     terminal_data([](const Bytes&, const Bytes&, const Bytes&) { return Bytes{}; }), List::Card,
     "cda transaction_data_hash: without_pdol_data+without_cdol1_data"},
    {"template without cdol1",
     terminal_data([](const Bytes&, const Bytes&, const Bytes& g) { return g; }), List::Card,
     "cda transaction_data_hash: with_pdol_template+without_cdol1_data"},
    {"issuer without_remainder",
     with(spec(Method::Sda),
          [](CardSpec& s) { s.wrong_certs = emv_card::kIssuerWithoutRemainder; }),
     List::Card, "issuer hash: without_remainder"},
    {"issuer other_exponent",
     with(spec(Method::Sda), [](CardSpec& s) { s.wrong_certs = emv_card::kIssuerOtherExponent; }),
     List::Card, "issuer hash: other_exponent"},
    {"issuer both",
     with(spec(Method::Dda),
          [](CardSpec& s) {
              s.wrong_certs = emv_card::kIssuerWithoutRemainder | emv_card::kIssuerOtherExponent;
          }),
     List::Card, "issuer hash: without_remainder+other_exponent"},
    {"icc without_remainder",
     with(spec(Method::Dda), [](CardSpec& s) { s.wrong_certs = emv_card::kIccWithoutRemainder; }),
     List::Card, "icc hash: without_remainder"},
    {"icc other_exponent",
     with(spec(Method::Cda), [](CardSpec& s) { s.wrong_certs = emv_card::kIccOtherExponent; }),
     List::Card, "icc hash: other_exponent"},
    {"without_card_data", emv_card::fdda([](CardSpec& s) { s.fdda_signed_as = 1; }), List::Card,
     "sdad hash: without_card_data"},
    {"unpredictable_number_only", emv_card::fdda([](CardSpec& s) { s.fdda_signed_as = 2; }),
     List::Card, "sdad hash: unpredictable_number_only"},
    {"card_data_first", emv_card::fdda([](CardSpec& s) { s.fdda_signed_as = 3; }), List::Card,
     "sdad hash: card_data_first"},
    {"a wrong key under the card's index", spec(Method::Sda), List::WrongUnderIndex,
     "issuer recovery: other_ca_key key 148"},
    {"no key under the card's index", spec(Method::Dda), List::NoneUnderIndex,
     "ca_key recovery: other_ca_key key 148"},
};

class OdaDiagnosis : public ::testing::TestWithParam<DiagnosisCase> {};

TEST_P(OdaDiagnosis, NamesWhatTheCardSigned)
{
    const DiagnosisCase& t = GetParam();
    const auto d = diagnose(emv_card::make_card(t.spec), t.list);
    EXPECT_EQ(found(d->diagnosis), t.found);
    // The verdict is the one ODA gives without a diagnosis.
    const auto plain = run(emv_card::make_card(t.spec));
    if (t.list == List::Card) {
        EXPECT_EQ(d->result.failed_step, plain->result.failed_step);
        EXPECT_EQ(bytes(d->result.tvr, 5), bytes(plain->result.tvr, 5));
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, OdaDiagnosis, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name) {
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    }
    return name;
});

// A record changed after signing: every variant tried, none matches.
TEST(OdaDiagnosisNothing, ChangedRecordMatchesNothing)
{
    for (Method m : {Method::Sda, Method::Dda}) {
        Card c = emv_card::make_card(spec(m));
        emv_card::replace(c, "record 11 1", "B860AC8800", "B860AC8801");
        const auto d = diagnose(c, List::Card);
        EXPECT_EQ(found(d->diagnosis), m == Method::Sda ? "ssad hash:" : "icc hash:");
        // AFL 08010201 10010200 58010101, records available 2, 2, 1: each
        // form alone (records whole, SFI 11 as its value, the AIP added),
        // the later answer; 17 other counts; with SFI 1-10 records whole 15
        // (a combination without such a record is the counts alone); SFI 11
        // as its value 8; the AIP added 17. DDA: the ICC certificate's
        // three.
        EXPECT_EQ(d->diagnosis.tried, 4 + 17 + 15 + 8 + 17 + (m == Method::Dda ? 3 : 0));
        EXPECT_FALSE(d->diagnosis.cut);
    }
}

// A search with more combinations than the limit stops there, and says so.
TEST(OdaDiagnosisNothing, SearchStopsAtItsLimit)
{
    Card c = emv_card::make_card(spec(Method::Sda));
    emv_card::add_spare_entries(c, 6, 4);
    EXPECT_EQ(found(diagnose(c, List::Card)->diagnosis), "none");
    emv_card::replace(c, "record 11 1", "B860AC8800", "B860AC8801");
    const auto d = diagnose(c, List::Card);
    EXPECT_TRUE(d->diagnosis.cut);
    EXPECT_EQ(d->diagnosis.match_count, 0);
    // Each search over the counts stops at the limit: alone and with each
    // of the three forms that apply (no 9F4A: the AIP appended).
    EXPECT_LE(d->diagnosis.tried, 4 * kEmvDiagnosisMaxCombinations + 8);
    EXPECT_GE(d->diagnosis.tried, 3 * kEmvDiagnosisMaxCombinations);
}

}  // namespace
