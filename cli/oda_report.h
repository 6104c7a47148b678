// What oda prints: the card as the trace shows it, its records and static
// data, each step made with its fields and checks as recover prints them,
// and the outcome (method, result, failed step, TVR, what was missing).
//
// JSON: aid, rid, ca_index, pan, aip, afl (sfi, first, last, oda_records),
// records (sfi, record, oda), static_data, static_data_problem, date,
// date_source, method, result, failed_step, tvr, missing, then one object
// per step made: issuer, icc, ssad, sdad (each as recover --json gives it)
// and cda, and fdda whenever the method is fDDA (cli/oda_fdda_report.h).
// Values missing from the card are null. The command adds diagnosis
// (cli/oda_diagnosis_report.h), whose text section ends oda_text.
#pragma once

#include <string>

#include "cli/output.h"
#include "emv/emv_oda.h"

// The date the expiry checks were judged at and where it came from:
// "option", "transaction" or "today".
struct OdaDate {
    EmvDate date;
    const char* source;
};

Json oda_json(const EmvOdaCard& card, const EmvOdaResult& result, const OdaDate& date);

// The text form of a document oda_json made.
std::string oda_text(const Json& doc);
