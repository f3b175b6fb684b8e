#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumetrix {

// A list of interfaces of the structure, as the haze, ADF-group and calibration settings hold
// it: interface numbers from 0 (the front surface) to the last, between blanks, TABs, commas
// or semicolons. An empty list is a list.

// Why the text is no such list: the first word that is not an interface number. With `last`,
// a number beyond the structure's last interface is one too ("\"7\" is not an interface of the
// structure (0 to 5)"). A project keeps lists that a removed layer left beyond its structure,
// so only a run (which needs the structure's interfaces) asks for `last`.
std::optional<std::string> interfaceListProblem(std::string_view text,
                                                std::optional<int> last = std::nullopt);

// The interface numbers of a list that has no problem.
std::vector<int> interfaceNumbers(std::string_view text);

} // namespace lumetrix
