#pragma once
// A plain text form of one macro, for writing macros by hand and sharing them. It uses the words
// the macro manager shows:
//
//   # comment lines and blank lines are ignored
//   name: Greeting          (optional; at most 254 characters)
//   loops: 1                (optional; 0..65535, default 1)
//   H dn                    a press: key name or legend, or 0xNN for a virtual-key code
//   120 ms                  wait 2..60000 ms before the next event
//   H up                    a release
//   MsLB dn                 mouse buttons: MsLB, MsRB, MsMB
//
// A macro cannot start with a delay, and its events must fit the 190 bytes of a macro.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"
#include "macros/macro_record.h"

namespace tessaron::macros {

// The record the text describes: name, loop count, both streams, and the delay flag set when it
// has delays. An empty name is left empty for the caller to fill.
Result<MacroRecord> parseMacroText(std::string_view text);

std::string formatMacroText(const MacroRecord& record);

// The line a parse error of parseMacroText names (its second argument is the reason), if any.
std::optional<std::size_t> errorLine(const Error& e);

}  // namespace tessaron::macros
