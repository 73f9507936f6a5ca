// The recording engine's log: one call a line, fields separated by tabs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Backslash, tab, line feed and carriage return become \\, \t, \n and \r, so
// that any text fits in one field of one line.
std::string escapeLogField(std::string_view field);
std::string unescapeLogField(std::string_view field);

// "<timestamp>\t<field>\t<field>...\n", the timestamp in milliseconds with
// three decimals; every field is escaped.
std::string formatLogLine(double timestampMs, const std::vector<std::string> &fields);

// Splits a line (without its line feed) into unescaped fields; the timestamp is the first.
std::vector<std::string> splitLogLine(std::string_view line);

} // namespace engine
