// recover issuer|icc|ssad|sdad: the EMV data a key signs, recovered with the
// signer's public key and checked as a terminal checks it.

#include <memory>

#include "cli/command.h"
#include "cli/hex_args.h"
#include "cli/key_options.h"
#include "cli/recover_report.h"
#include "cli/scalar_args.h"
#include "cli/usage_error.h"
#include "cli/verdict.h"

namespace {

// The options of one recover subcommand; each uses those its kind has.
struct RecoverOptions {
    bool json = false;
    KeyOptions ca{"--ca-modulus", "--ca-exponent"};  // issuer: the CA key
    std::string modulus_flag;                        // the others: the signer's key
    std::string exponent_flag;
    std::string modulus;
    std::string signer_exponent;
    uint8_t format = 0;       // the format byte of the kind
    std::string signed_flag;  // --cert, --ssad or --sdad
    std::string signed_data;
    std::string remainder;
    std::string exponent;
    std::string pan;
    std::string date;
    std::string data_flag;  // --static-data or --dynamic-data
    std::string data;
    CLI::Option* exponent_given = nullptr;
    CLI::Option* remainder_given = nullptr;
    CLI::Option* pan_given = nullptr;
    CLI::Option* date_given = nullptr;
    CLI::Option* data_given = nullptr;
};

// Everything recover_* takes, decoded; the byte strings stay alive here.
struct RecoverInputs {
    std::vector<uint8_t> modulus;
    std::vector<uint8_t> signer_exponent;
    std::vector<uint8_t> signed_data;
    std::vector<uint8_t> remainder;
    std::vector<uint8_t> exponent;
    std::vector<uint8_t> data;
    bool remainder_given = false;
    bool data_given = false;
    std::string pan;
    EmvDate today = {0, 0, 0};

    // Made where it is used: it points into pan.
    EmvCertOptions cert_options() const { return {pan.empty() ? nullptr : pan.c_str(), today}; }
};

EmvBytes bytes_of(const std::vector<uint8_t>& v)
{
    return {v.data(), static_cast<int32_t>(v.size())};
}

bool given(const CLI::Option* option)
{
    return option != nullptr && option->count() > 0;
}

// Data a hash covers: absent means not given, so the hash is not checked
// (for a remainder: unless the key fits its field); "" means empty data.
EmvBytes optional_bytes(const std::vector<uint8_t>& v, bool given)
{
    return given ? bytes_of(v) : EmvBytes{nullptr, -1};
}

void read_signer(const RecoverOptions& o, RecoverInputs& in)
{
    if (o.modulus_flag.empty()) {
        const SignerKey key = resolve_key(o.ca, kEmvMaxKeyLength);
        in.modulus = key.modulus;
        in.signer_exponent =
            key.exponent == 3 ? std::vector<uint8_t>{0x03} : std::vector<uint8_t>{0x01, 0x00, 0x01};
    } else {
        in.modulus = parse_hex_arg(o.modulus_flag, o.modulus);
        check_modulus(o.modulus_flag, in.modulus, kEmvMaxKeyLength);
        in.signer_exponent = parse_exponent_bytes(o.exponent_flag, o.signer_exponent);
    }
}

RecoverInputs read_inputs(const RecoverOptions& o)
{
    RecoverInputs in;
    read_signer(o, in);
    in.signed_data = parse_hex_arg(o.signed_flag, o.signed_data);
    in.remainder_given = given(o.remainder_given);
    if (in.remainder_given)
        in.remainder = parse_hex_arg("--remainder", o.remainder);
    if (given(o.exponent_given))
        in.exponent = parse_exponent_bytes("--exponent", o.exponent);
    in.data_given = given(o.data_given);
    if (in.data_given)
        in.data = parse_hex_arg(o.data_flag, o.data);
    if (given(o.pan_given))
        in.pan = parse_pan("--pan", o.pan);
    in.today = given(o.date_given) ? parse_date("--date", o.date) : emv_today();
    return in;
}

// Prints what was recovered and returns the exit status; throws UsageError
// when nothing could be recovered for a reason other than a failed check.
int report(const RecoverOptions& o, const RecoverInputs& in, EmvRecoverStatus status, Json doc,
           const EmvRecoveredCommon& common)
{
    const std::string key_flag = o.modulus_flag.empty() ? "--ca-modulus" : o.modulus_flag;
    if (status == EMV_RECOVER_BAD_KEY)
        throw UsageError(key_flag, "not a usable key");
    if (status == EMV_RECOVER_SHORT_MODULUS) {
        throw UsageError(key_flag, "the modulus has " + std::to_string(in.modulus.size()) +
                                       " bytes, this format needs at least " +
                                       std::to_string(emv_layout_length(o.format)));
    }
    if (status == EMV_RECOVER_RSA_FAILED) {
        // The length matched; a value the modulus does not exceed cannot have
        // been signed with this key.
        const bool below = in.signed_data < in.modulus;
        throw UsageError(o.signed_flag, below ? "the RSA public operation failed"
                                              : "the signed data is not below the modulus");
    }
    VerdictContext context;
    context.hash_data_option = o.data_flag;
    context.today_unknown = !given(o.date_given) && !emv_date_valid(in.today);
    const Verdict verdict = emv_verdict(common.checks, context);
    finish_recover_json(doc, common, status == EMV_RECOVER_OK, verdict);
    o.json ? print_json(doc) : print_text(recover_text(doc));
    return verdict.status;
}

int run_issuer(const RecoverOptions& o)
{
    const RecoverInputs in = read_inputs(o);
    const EmvCertOptions options = in.cert_options();
    EmvIssuerCert cert;
    const EmvRecoverStatus st = emv_recover_issuer_cert(
        in.modulus.data(), static_cast<int32_t>(in.modulus.size()), bytes_of(in.signer_exponent),
        bytes_of(in.signed_data), optional_bytes(in.remainder, in.remainder_given),
        bytes_of(in.exponent), &options, &cert);
    return report(o, in, st, issuer_cert_json(cert), cert.common);
}

int run_icc(const RecoverOptions& o)
{
    const RecoverInputs in = read_inputs(o);
    const EmvCertOptions options = in.cert_options();
    EmvIccCert cert;
    const EmvRecoverStatus st = emv_recover_icc_cert(
        in.modulus.data(), static_cast<int32_t>(in.modulus.size()), bytes_of(in.signer_exponent),
        bytes_of(in.signed_data), optional_bytes(in.remainder, in.remainder_given),
        bytes_of(in.exponent), optional_bytes(in.data, in.data_given), &options, &cert);
    return report(o, in, st, icc_cert_json(cert), cert.common);
}

// Signed static or dynamic data: recovered with the signer's key, the hash
// over the data given (always given for static data: the option is required).
template <typename Signed>
int run_signed_data(const RecoverOptions& o,
                    EmvRecoverStatus (*recover)(const uint8_t*, int32_t, EmvBytes, EmvBytes,
                                                EmvBytes, Signed*),
                    Json (*to_json)(const Signed&))
{
    const RecoverInputs in = read_inputs(o);
    Signed out;
    const EmvRecoverStatus st = recover(in.modulus.data(), static_cast<int32_t>(in.modulus.size()),
                                        bytes_of(in.signer_exponent), bytes_of(in.signed_data),
                                        optional_bytes(in.data, in.data_given), &out);
    return report(o, in, st, to_json(out), out.common);
}

int run_ssad(const RecoverOptions& o)
{
    return run_signed_data(o, emv_recover_ssad, ssad_json);
}

int run_sdad(const RecoverOptions& o)
{
    return run_signed_data(o, emv_recover_sdad, sdad_json);
}

// A recover subcommand with its signed data and, for the kinds not signed
// by a CA key, the signer's key given by hand (modulus_flag and the
// exponent flag named after the signer).
CLI::App* add_kind(CLI::App* recover, Action& chosen, const char* name, const char* description,
                   int (*run)(const RecoverOptions&), std::shared_ptr<RecoverOptions> o,
                   const char* signed_flag, const char* signer)
{
    CLI::App* sub =
        add_command(*recover, name, description, o->json, chosen, [o, run] { return run(*o); });
    o->signed_flag = signed_flag;
    if (signer == nullptr) {
        add_key_options(sub, o->ca);
    } else {
        o->modulus_flag = std::string("--") + signer + "-modulus";
        o->exponent_flag = std::string("--") + signer + "-exponent";
        sub->add_option(o->modulus_flag, o->modulus, "The signer's modulus in hex")->required();
        sub->add_option(o->exponent_flag, o->signer_exponent,
                        "The signer's exponent: 3 or 65537 (or in hex: 03 or 010001)")
            ->required();
    }
    sub->add_option(signed_flag, o->signed_data, "The signed data in hex, as the card gives it")
        ->required();
    return sub;
}

// The options of the two key certificates after the signed data.
void add_cert_options(CLI::App* sub, RecoverOptions& o)
{
    o.remainder_given = sub->add_option("--remainder", o.remainder, "The key's remainder in hex");
    o.exponent_given =
        sub->add_option("--exponent", o.exponent,
                        "The certified key's exponent: 3 or 65537 (or in hex: 03 or 010001)")
            ->required();
    o.pan_given = sub->add_option("--pan", o.pan,
                                  "PAN to compare with: digits, F padding allowed (tag 5A as it "
                                  "stands); without it the PAN is not compared");
    o.date_given = sub->add_option("--date", o.date,
                                   "Date the expiry is judged at, YYMMDD "
                                   "(default today)");
}

void add_data_option(CLI::App* sub, RecoverOptions& o, const char* flag, const char* description)
{
    o.data_flag = flag;
    o.data_given = sub->add_option(flag, o.data, description);
}

}  // namespace

void add_recover_commands(CLI::App& app, Action& chosen)
{
    CLI::App* recover = app.add_subcommand("recover", "Recover and check EMV data a key signs");
    recover->require_subcommand(1);

    auto issuer = std::make_shared<RecoverOptions>();
    issuer->format = EMV_FORMAT_ISSUER_CERT;
    CLI::App* sub = add_kind(recover, chosen, "issuer",
                             "Issuer public key certificate (format 02), with a CA key", run_issuer,
                             issuer, "--cert", nullptr);
    add_cert_options(sub, *issuer);

    auto icc = std::make_shared<RecoverOptions>();
    icc->format = EMV_FORMAT_ICC_CERT;
    sub = add_kind(recover, chosen, "icc",
                   "ICC public key certificate (format 04), with the issuer key", run_icc, icc,
                   "--cert", "issuer");
    add_cert_options(sub, *icc);
    add_data_option(sub, *icc, "--static-data",
                    "Static data to be authenticated in hex (hash not checked when absent)");

    auto ssad = std::make_shared<RecoverOptions>();
    ssad->format = EMV_FORMAT_SSAD;
    sub = add_kind(recover, chosen, "ssad",
                   "Signed static application data (format 03), with the issuer key", run_ssad,
                   ssad, "--ssad", "issuer");
    add_data_option(sub, *ssad, "--static-data", "Static data to be authenticated in hex");
    ssad->data_given->required();

    auto sdad = std::make_shared<RecoverOptions>();
    sdad->format = EMV_FORMAT_SDAD;
    sub = add_kind(recover, chosen, "sdad",
                   "Signed dynamic application data (format 05), with the ICC key", run_sdad, sdad,
                   "--sdad", "icc");
    add_data_option(sub, *sdad, "--dynamic-data",
                    "Terminal dynamic data in hex (hash not checked when absent)");
}
