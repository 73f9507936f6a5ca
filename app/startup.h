// Portable start-up decisions.
#pragma once

#include <cstddef>

// Switches are found anywhere in the command line, case-sensitively, glued to
// other text or not: "/ic" holds both "/i" and "/c".
bool HasSwitch(const char *commandLine, const char *switchText);

// Appends "\Orvanel.ini" to folder in place; false, leaving folder untouched,
// when the result would not fit in size bytes (a cut path would name the
// wrong file).
bool AppendDefaultIniName(char *folder, size_t size);
