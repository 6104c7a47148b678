// Test support: a card's records and signed data laid out, and one
// transaction's log with it.
#include "tests/emv_support/emv_card.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/oracles.h"

namespace emv_card {

namespace {

using emv_chain::from_hex;

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes tag_bytes(uint32_t tag)
{
    Bytes out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if ((tag >> shift) != 0) {
            out.push_back(static_cast<uint8_t>(tag >> shift));
        }
    }
    return out;
}

// Data objects CDOL1 and PDOL name, and the values the terminal sent.
const char* kPdol = "9F6604"
                    "9F0206"
                    "9A03"
                    "9F3704";
const char* kPdolData = "36000000"
                        "000000001000"
                        "261208"
                        "55667788";
const char* kCdol1 = "9F0206"
                     "9F0306"
                     "9F1A02"
                     "9505"
                     "5F2A02"
                     "9A03"
                     "9C01"
                     "9F3704";
const char* kCdol1Data = "000000001000"
                         "000000000000"
                         "0826"
                         "0000000000"
                         "0826"
                         "261209"
                         "00"
                         "11223344";
const char* kUnpredictable = "11223344";
const char* kCdol2 = "8A029F3704";
const char* kCdol2Data = "3030"
                         "99887766";
const char* kDdolData = "0A0B0C0D";
const char* kPan = "4761739001010119";

Bytes aip_of(Method m)
{
    switch (m) {
        case Method::Sda:
            return {0x40, 0x00};
        case Method::Dda:
            return {0x60, 0x00};  // SDA and DDA: DDA is chosen
        case Method::Fdda:
            return {0x20, 0x00};  // DDA alone, as contactless cards have it
        default:
            return {0x61, 0x00};  // all three
    }
}

// What the reader sends for each tag a PDOL may name. A tag named again
// gets EE bytes, so only the first can pass.
const std::map<uint32_t, Bytes> kReaderValues = {
    {0x9F66, from_hex("36004000")}, {0x9F02, from_hex("000000001000")},
    {0x9F37, from_hex("55667788")}, {0x5F2A, from_hex("0826")},
    {0x9A, from_hex("261208")},     {0x9C, from_hex("00")}};

// The PDOL data the reader builds for the card's PDOL (CardSpec::pdol), each value
// left-padded with 00 or cut to the entry's length; first_values gets the
// first value placed for each tag.
Bytes fdda_pdol_data(const std::string& pdol_hex, std::map<uint32_t, Bytes>& first_values)
{
    const Bytes pdol = from_hex(pdol_hex);
    Bytes data;
    for (size_t at = 0; at < pdol.size();) {
        uint32_t tag = pdol[at++];
        if ((tag & 0x1F) == 0x1F) {
            tag = tag << 8 | pdol[at++];
        }
        const size_t length = pdol[at++];
        Bytes value(length, 0xEE);
        const auto known = kReaderValues.find(tag);
        if (known != kReaderValues.end() && first_values.count(tag) == 0) {
            const Bytes& v = known->second;
            value.assign(length, 0x00);
            const size_t n = std::min(length, v.size());
            std::copy(v.end() - static_cast<long>(n), v.end(), value.end() - static_cast<long>(n));
            first_values[tag] = value;
        }
        data.insert(data.end(), value.begin(), value.end());
    }
    return data;
}

Bytes card_data_of(const CardSpec& spec)
{
    Bytes v = from_hex("00A1B2C3D48000010203040506070809");
    v[0] = spec.fdda_version;
    v.resize(spec.card_data_length, 0x5A);
    return v;
}

// The SDAD of fDDA: ICC dynamic number length | number, signed with the
// terminal data the PDOL placed and 9F69.
Bytes fdda_sdad(const Card& card, const CardSpec& spec,
                const std::map<uint32_t, Bytes>& reader_values)
{
    const auto value = [&](uint32_t tag) {
        const auto it = reader_values.find(tag);
        return it == reader_values.end() ? Bytes{} : it->second;
    };
    const Bytes terminal = cat({value(0x9F37), value(0x9F02), value(0x5F2A)});
    const Bytes signed_with = spec.fdda_signed_as == 1   ? terminal
                              : spec.fdda_signed_as == 2 ? value(0x9F37)
                              : spec.fdda_signed_as == 3 ? cat({card.card_data, terminal})
                                                         : cat({terminal, card.card_data});
    const Bytes icc_dynamic = cat(
        {{static_cast<uint8_t>(spec.signed_dynamic_number.size())}, spec.signed_dynamic_number});
    Bytes block = emv_chain::sdad_block(card.icc->modulus.size(), icc_dynamic, signed_with);
    block[1] = spec.fdda_format;
    emv_chain::seal(block, {signed_with});
    return emv_chain::sign(*card.icc, block);
}

using Records = CardRecords;

Bytes sfi1_rec1(const CardSpec& spec)
{
    Bytes v = cat({tlv(0x5A, from_hex(spec.pan)), tlv(0x5F24, from_hex("491231")),
                   tlv(0x5F25, from_hex("200101")), tlv(0x5F34, {0x01}),
                   tlv(0x8C, from_hex(kCdol1)), tlv(0x8D, from_hex(kCdol2))});
    if (*spec.ddol != '\0') {
        v = cat({v, tlv(0x9F49, from_hex(spec.ddol))});
    }
    v = cat({v, tlv(0x9F07, {0xFF, 0x00})});
    if (spec.tag_list) {
        v = cat({v, tlv(0x9F4A, {0x82})});
    }
    return cat({tlv(0x70, v), spec.sfi1_trailer});
}

Bytes sfi11_rec1()
{
    return tlv(0x70,
               cat({tlv(0x9F08, {0x00, 0x02}), tlv(0x9F0D, from_hex("B860AC8800")),
                    tlv(0x9F0E, from_hex("0010000000")), tlv(0x9F0F, from_hex("B860BC9800"))}));
}

Bytes static_data_of(const Records& r, const Bytes& aip, const CardSpec& spec)
{
    if (spec.signed_static) {
        return spec.signed_static(r);
    }
    // SFI 1 record 1 without its 70 header (short form: 2 bytes; long: 3).
    const size_t header = r.sfi1_rec1[1] == 0x81 ? 3 : 2;  // the trailer after the template too
    Bytes data(r.sfi1_rec1.begin() + static_cast<long>(header), r.sfi1_rec1.end());
    data = spec.afl_reversed ? cat({r.sfi11_rec1, data}) : cat({data, r.sfi11_rec1});
    if (spec.tag_list) {
        data = cat({data, aip});
    }
    return data;
}

Bytes sign_block(const emv_chain::TestKey& signer, const Bytes& block)
{
    return emv_chain::sign(signer, block);
}

// A key certificate hashed without its remainder (bit 1) or with the other
// exponent (bit 2), on purpose.
void reseal(emv_chain::KeyCert& cert, unsigned wrong, const Bytes& static_data)
{
    if ((wrong & 3) == 0) {
        return;
    }
    const Bytes remainder = (wrong & 1) != 0 ? Bytes{} : cert.remainder;
    const Bytes exponent = (wrong & 2) == 0            ? cert.exponent
                           : cert.exponent.size() == 1 ? from_hex("010001")
                                                       : from_hex("03");
    emv_chain::seal(cert.block, {remainder, exponent, static_data});
}

emv_chain::KeyCert issuer_cert(const Card& card, const CardSpec& card_spec)
{
    emv_chain::KeyCertSpec spec;
    spec.format = 0x02;
    spec.identifier = emv_chain::bcd_padded("476173", 4);
    emv_chain::KeyCert cert = emv_chain::key_cert(spec, card.issuer->modulus, card.issuer->exponent,
                                                  card.ca->modulus.size());
    if (!card_spec.spare_remainder.empty()) {
        cert.remainder = card_spec.spare_remainder;
        emv_chain::seal(cert.block, {cert.remainder, cert.exponent});
    }
    reseal(cert, card_spec.wrong_certs / kIssuerWithoutRemainder, {});
    return cert;
}

emv_chain::KeyCert icc_cert(const Card& card, const CardSpec& card_spec)
{
    emv_chain::KeyCertSpec spec;
    spec.format = 0x04;
    spec.identifier = emv_chain::bcd_padded(kPan, 10);
    emv_chain::KeyCert cert = emv_chain::key_cert(spec, card.icc->modulus, card.icc->exponent,
                                                  card.issuer->modulus.size(), card.static_data);
    reseal(cert, card_spec.wrong_certs / kIccWithoutRemainder, card.static_data);
    return cert;
}

Bytes sfi2_rec1(const Card& card, const CardSpec& spec)
{
    const emv_chain::KeyCert cert = issuer_cert(card, spec);
    Bytes v;
    if (spec.with_ca_index) {
        v = tlv(0x8F, {spec.ca_index});
    }
    v = cat({v, tlv(0x90, sign_block(*card.ca, cert.block)), tlv(0x9F32, cert.exponent)});
    if (!cert.remainder.empty()) {
        v = cat({v, tlv(0x92, cert.remainder)});
    }
    return tlv(0x70, v);
}

Bytes sfi2_rec2(const Card& card, const CardSpec& spec)
{
    if (spec.method == Method::Sda) {
        const Bytes ssad =
            emv_chain::ssad_block(card.issuer->modulus.size(), 0xDA, 0xC0, card.static_data);
        return tlv(0x70, tlv(0x93, sign_block(*card.issuer, ssad)));
    }
    const emv_chain::KeyCert cert = icc_cert(card, spec);
    Bytes v = cat({tlv(0x9F46, sign_block(*card.issuer, cert.block)), tlv(0x9F47, cert.exponent)});
    if (!cert.remainder.empty()) {
        v = cat({v, tlv(0x9F48, cert.remainder)});
    }
    return tlv(0x70, v);
}

Bytes fci(const Card& card, const CardSpec& spec)
{
    const Bytes pdol = from_hex(spec.method == Method::Fdda ? spec.pdol : kPdol);
    return tlv(0x6F,
               cat({tlv(0x84, card.aid), tlv(0xA5, cat({tlv(0x50, {'T', 'E', 'S', 'T'}),
                                                        tlv(0x87, {0x01}), tlv(0x9F38, pdol)}))}));
}

Bytes gpo_response(const Card& card, const CardSpec& spec, const Bytes& fdda_sdad = {})
{
    if (spec.gpo_format == 1) {
        return tlv(0x80, cat({card.aip, card.afl}));
    }
    Bytes objects = cat({tlv(0x82, card.aip), tlv(0x94, card.afl)});
    if (spec.method == Method::Fdda) {
        objects = cat({objects, tlv(0x9F36, {0x00, 0x01})});
        if (spec.gpo_cid >= 0) {
            objects = cat({objects, tlv(0x9F27, {static_cast<uint8_t>(spec.gpo_cid)})});
        }
        if (!spec.sdad_in_record) {
            objects = cat({objects, tlv(0x9F4B, fdda_sdad)});
        }
        objects = cat({objects, tlv(0x9F26, from_hex("C1C2C3C4C5C6C7C8"))});
        if (!spec.ctq.empty()) {
            objects = cat({objects, tlv(0x9F6C, spec.ctq)});
        }
    }
    return tlv(0x77, objects);
}

Bytes ia_response(const Card& card, const CardSpec& spec)
{
    const Bytes icc_dynamic = from_hex("08A1A2A3A4A5A6A7A8");
    Bytes ddol_data = card.ddol_data;
    if (spec.ddol_signed_length >= 0) {
        ddol_data.resize(static_cast<size_t>(spec.ddol_signed_length));
    }
    const Bytes sdad = sign_block(
        *card.icc, emv_chain::sdad_block(card.icc->modulus.size(), icc_dynamic, ddol_data));
    return spec.ia_format == 1 ? tlv(0x80, sdad) : tlv(0x77, tlv(0x9F4B, sdad));
}

// A GENERATE AC answer: what CDA signs is the terminal's data before it
// (PDOL data, CDOL1 data, and the CDOL2 data for the second) and the
// unpredictable number the CDOL placed.
struct AcAnswer {
    uint8_t cid;
    uint8_t signed_cid;
    Bytes terminal_data;
    Bytes unpredictable_number;
};

Bytes genac_response(const Card& card, const CardSpec& spec, const AcAnswer& a)
{
    const Bytes cid = tlv(0x9F27, {a.cid});
    const Bytes atc = tlv(0x9F36, {0x00, 0x01});
    const Bytes iad = tlv(0x9F10, from_hex("06010A03A00000"));
    const Bytes cryptogram = from_hex("C1C2C3C4C5C6C7C8");
    if (spec.method != Method::Cda) {
        return tlv(0x77, cat({cid, atc, tlv(0x9F26, cryptogram), iad}));
    }
    // The transaction data hash covers the response's objects but 9F4B,
    // in the order returned: 9F27, 9F36, then 9F10 after the SDAD.
    const Bytes hash = support::Sha1(cat({a.terminal_data, cid, atc, iad}));
    const Bytes icc_dynamic =
        cat({{0x08}, from_hex("B1B2B3B4B5B6B7B8"), {a.signed_cid}, cryptogram, hash});
    const Bytes sdad =
        sign_block(*card.icc, emv_chain::sdad_block(card.icc->modulus.size(), icc_dynamic,
                                                    a.unpredictable_number));
    return tlv(0x77, cat({cid, atc, tlv(0x9F4B, sdad), iad}));
}

// Appends one command and its answer to the log; under T=0 the answer comes
// through 61XX / GET RESPONSE (records: 6CXX and the command repeated).
size_t exchange(Card& card, const CardSpec& spec, const Bytes& cmd, const Bytes& data, bool record)
{
    const uint8_t length = static_cast<uint8_t>(data.size());
    if (spec.t0 && record) {
        Bytes first = cmd;
        first.back() = 0x00;
        card.log.push_back({first, {0x6C, length}});
        Bytes repeat = cmd;
        repeat.back() = length;
        card.log.push_back({repeat, answer(data)});
    } else if (spec.t0 && !data.empty()) {
        card.log.push_back({cmd, {0x61, length}});
        card.log.push_back({{0x00, 0xC0, 0x00, 0x00, length}, answer(data)});
    } else {
        card.log.push_back({cmd, answer(data)});
    }
    return card.log.size() - 1;
}

size_t read_record(Card& card, const CardSpec& spec, uint8_t sfi, uint8_t number, const Bytes& data)
{
    const Bytes cmd = {0x00, 0xB2, number, static_cast<uint8_t>(sfi << 3 | 4), 0x00};
    return exchange(card, spec, cmd, data, true);
}

Bytes select(const Bytes& name)
{
    return apdu({0x00, 0xA4, 0x04, 0x00}, name);
}

void write_log(Card& card, const CardSpec& spec, const Records& r, const Bytes& fdda_sdad)
{
    const Bytes pse = from_hex("315041592E5359532E4444463031");
    exchange(card, spec, select(pse), tlv(0x6F, tlv(0x84, pse)), false);
    // A directory record: SFI 1 record 1 too, read before the application.
    read_record(card, spec, 1, 1, tlv(0x70, tlv(0x61, tlv(0x4F, card.aid))));
    exchange(card, spec, select(card.aid), fci(card, spec), false);
    card.log.push_back({from_hex("80CA9F1700"), {}, false});
    card.at["gpo"] = exchange(card, spec, apdu({0x80, 0xA8, 0x00, 0x00}, tlv(0x83, card.pdol_data)),
                              gpo_response(card, spec, fdda_sdad), false);
    const struct {
        uint8_t sfi, number;
        const Bytes& data;
    } reads[] = {{1, 1, r.sfi1_rec1},
                 {1, 2, r.sfi1_rec2},
                 {2, 1, r.sfi2_rec1},
                 {2, 2, r.sfi2_rec2},
                 {11, 1, r.sfi11_rec1}};
    for (const auto& read : reads) {
        card.at["record " + std::to_string(read.sfi) + " " + std::to_string(read.number)] =
            read_record(card, spec, read.sfi, read.number, read.data);
    }
    // Read twice: the first answer counts.
    read_record(card, spec, 1, 1, r.sfi1_rec1_later);
    if (spec.method == Method::Dda) {
        card.at["ia"] = exchange(card, spec, apdu({0x00, 0x88, 0x00, 0x00}, card.ddol_data),
                                 ia_response(card, spec), false);
    }
    const uint8_t p1 = spec.method == Method::Cda ? 0x50 : 0x40;
    AcAnswer first = {spec.cid, spec.signed_cid, cat({card.pdol_data, card.cdol1_data}),
                      card.unpredictable_number};
    if (spec.cda_terminal_data) {
        first.terminal_data =
            spec.cda_terminal_data(card.pdol_data, card.cdol1_data, tlv(0x83, card.pdol_data));
    }
    if (!spec.cda_signed_number.empty()) {
        first.unpredictable_number = spec.cda_signed_number;
    }
    if (spec.method != Method::Fdda) {
        card.at["genac"] = exchange(card, spec, apdu({0x80, 0xAE, p1, 0x00}, card.cdol1_data),
                                    genac_response(card, spec, first), false);
    }
    if (spec.second_ac) {
        const Bytes cdol2_data = from_hex(kCdol2Data);
        const AcAnswer second = {0x40, 0x40, cat({card.pdol_data, card.cdol1_data, cdol2_data}),
                                 from_hex("99887766")};
        card.at["genac2"] = exchange(card, spec, apdu({0x80, 0xAE, 0x50, 0x00}, cdol2_data),
                                     genac_response(card, spec, second), false);
    }
    // A second transaction: its records must not count.
    exchange(card, spec, select(card.aid), fci(card, spec), false);
    exchange(card, spec, apdu({0x80, 0xA8, 0x00, 0x00}, tlv(0x83, card.pdol_data)),
             gpo_response(card, spec), false);
    read_record(card, spec, 1, 1, tlv(0x70, tlv(0x5A, from_hex("5413330089020011"))));
}

}  // namespace

Bytes tlv(uint32_t tag, const Bytes& value)
{
    Bytes out = tag_bytes(tag);
    const size_t n = value.size();
    if (n > 0xFF) {
        out.insert(out.end(), {0x82, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
    } else if (n > 0x7F) {
        out.insert(out.end(), {0x81, static_cast<uint8_t>(n)});
    } else {
        out.push_back(static_cast<uint8_t>(n));
    }
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

Bytes apdu(const Bytes& header, const Bytes& data)
{
    Bytes out = header;
    if (!data.empty()) {
        out.push_back(static_cast<uint8_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }
    out.push_back(0x00);
    return out;
}

std::string trace_text(const Card& card)
{
    std::string text = "# made in the tests\n";
    for (const Exchange& e : card.log) {
        text += "> " + emv_chain::to_hex(e.command) + "\n";
        if (e.answered)
            text += "< " + emv_chain::to_hex(e.response) + "\n";
    }
    return text;
}

Bytes answer(const Bytes& data)
{
    return cat({data, {0x90, 0x00}});
}

Card make_card(const CardSpec& spec)
{
    Card card;
    card.ca = &emv_chain::test_key(spec.ca_bits, 3);
    card.issuer = &emv_chain::test_key(1024, 3);
    card.icc = &emv_chain::test_key(768, 65537);
    card.aid = from_hex(spec.aid);
    card.rid = Bytes(card.aid.begin(), card.aid.begin() + 5);
    card.aip = aip_of(spec.method);
    // SFI 1 records 1-2 (1 for ODA), SFI 2 records 1-2 (none), SFI 11 record 1.
    card.afl = from_hex("08010201"
                        "10010200"
                        "58010101");
    if (spec.afl_reversed) {
        card.afl = from_hex("58010101"
                            "08010201"
                            "10010200");
    }
    card.pdol_data = from_hex(kPdolData);
    card.cdol1_data = from_hex(kCdol1Data);
    card.ddol_data = from_hex(kDdolData);
    card.unpredictable_number = from_hex(kUnpredictable);

    Records r;
    r.sfi1_rec1 = sfi1_rec1(spec);
    Bytes rec2 = cat({tlv(0x5F20, {'C', 'A', 'R', 'D', '/', 'T', 'E', 'S', 'T'}),
                      tlv(0x57, from_hex("4761739001010119D49122010000000000"))});
    std::map<uint32_t, Bytes> reader_values;
    if (spec.method == Method::Fdda) {
        card.pdol_data = fdda_pdol_data(spec.pdol, reader_values);
        card.card_data = card_data_of(spec);
        if (!card.card_data.empty()) {
            rec2 = cat({rec2, tlv(0x9F69, card.card_data)});
        }
    }
    r.sfi1_rec2 = tlv(0x70, rec2);
    r.sfi11_rec1 = spec.sfi11_record.empty() ? sfi11_rec1() : spec.sfi11_record;
    r.sfi1_rec1_later = tlv(0x70, tlv(0x5A, from_hex("5413330089020011")));
    r.aip = card.aip;
    card.static_data = static_data_of(r, card.aip, spec);
    r.sfi2_rec1 = sfi2_rec1(card, spec);
    r.sfi2_rec2 = sfi2_rec2(card, spec);
    Bytes sdad;
    if (spec.method == Method::Fdda) {
        sdad = fdda_sdad(card, spec, reader_values);
        if (spec.sdad_in_record) {
            r.sfi1_rec2 = tlv(0x70, cat({rec2, tlv(0x9F4B, sdad)}));
        }
    }
    write_log(card, spec, r, sdad);
    return card;
}

CardSpec spec(Method m, int gpo_format, int ia_format, bool tag_list, bool t0)
{
    CardSpec s;
    s.method = m;
    s.gpo_format = gpo_format;
    s.ia_format = ia_format;
    s.tag_list = tag_list;
    s.t0 = t0;
    return s;
}

CardSpec fdda(const std::function<void(CardSpec&)>& change)
{
    CardSpec s;
    s.method = Method::Fdda;
    change(s);
    return s;
}

CardSpec with(CardSpec s, const std::function<void(CardSpec&)>& change)
{
    change(s);
    return s;
}

void replace(Card& c, const std::string& where, const std::string& from, const std::string& to)
{
    Bytes& r = c.log.at(c.at.at(where)).response;
    const Bytes f = emv_chain::from_hex(from);
    const Bytes t = emv_chain::from_hex(to);
    const auto it = std::search(r.begin(), r.end(), f.begin(), f.end());
    if (it == r.end()) {
        ADD_FAILURE() << from << " not in " << where;
        return;
    }
    std::copy(t.begin(), t.end(), it);
}

}  // namespace emv_card

namespace emv_card {

void add_spare_entries(Card& c, int entries, int records)
{
    std::vector<Exchange> reads;
    for (int e = 0; e < entries; ++e) {
        const uint8_t sfi = static_cast<uint8_t>(3 + e);
        c.afl.insert(c.afl.end(),
                     {static_cast<uint8_t>(sfi << 3), 1, static_cast<uint8_t>(records), 0});
        for (int n = 1; n <= records; ++n) {
            const Bytes data = tlv(0x70, tlv(0x9F08, {sfi, static_cast<uint8_t>(n)}));
            reads.push_back(
                {{0x00, 0xB2, static_cast<uint8_t>(n), static_cast<uint8_t>(sfi << 3 | 4), 0x00},
                 answer(data)});
        }
    }
    const size_t gpo = c.at.at("gpo");
    c.log.at(gpo).response = answer(tlv(0x77, cat({tlv(0x82, c.aip), tlv(0x94, c.afl)})));
    c.log.insert(c.log.begin() + static_cast<long>(gpo + 1), reads.begin(), reads.end());
    for (auto& [name, at] : c.at) {
        if (at > gpo)
            at += reads.size();
    }
}

}  // namespace emv_card
