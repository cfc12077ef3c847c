// Text on its way to a terminal, the command line's or the stderr the window leaves
// its last words on: nothing a cell, a sheet name or a file name holds may reach it
// as a command.
#pragma once

#include <string>
#include <string_view>

namespace conversor {

// UTF-8 text made safe for the terminal: control characters (C1 included) and bytes
// that are not UTF-8 become escapes ("\t", "\n", "\r", "\x1B"), so nothing a cell,
// a sheet name or a file name holds reaches the terminal as a command. `linhaUnica`:
// a cell or name on a line of its own, where line breaks are escaped too and the
// backslash doubled so that the line reads back unambiguously; otherwise a message,
// whose line breaks stay.
std::string EscapaParaTerminal(std::string_view utf8, bool linhaUnica);

// A message (Windows-1252, names marked by CaminhoParaMensagem) as UTF-8 for the
// terminal, escaped as above; the carriage returns that separate a message's parts
// become line breaks.
std::string ParaTerminal(std::string_view texto);

}  // namespace conversor
