// sim_rc_symbols.h - the names a resource script may use without defining them.
//
// Classes in this file: none.
#ifndef TARVELLO_AFX_SIM_RC_SYMBOLS_H
#define TARVELLO_AFX_SIM_RC_SYMBOLS_H

#include <map>
#include <string>

#include "afx_platform.h"

namespace sim {
namespace detail {

// WS_/WS_EX_/BS_/ES_/CBS_/SS_/DS_ styles, IDOK.., IDC_STATIC (-1), RT_MANIFEST.
const std::map<std::string, long>& BuiltinSymbols();

}  // namespace detail
}  // namespace sim

#endif  // TARVELLO_AFX_SIM_RC_SYMBOLS_H
