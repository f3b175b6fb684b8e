#include "core/interface_list.h"

#include <algorithm>

namespace lumetrix {
namespace {

bool separator(char c) {
    return c == ' ' || c == ',' || c == ';' || c == '\t';
}

// The words of the list, and for each its number: -1 for a word that is not a number of at
// most three digits (no interface list reaches 1000, and no word overflows on the way).
std::vector<std::pair<std::string_view, int>> words(std::string_view text) {
    std::vector<std::pair<std::string_view, int>> out;
    for (std::size_t i = 0; i < text.size();) {
        if (separator(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !separator(text[end]))
            ++end;
        const std::string_view word = text.substr(i, end - i);
        const bool digits = word.size() <= 3 && std::all_of(word.begin(), word.end(), [](char d) {
                                return d >= '0' && d <= '9';
                            });
        int value = -1;
        if (digits) {
            value = 0;
            for (const char d : word)
                value = value * 10 + (d - '0');
        }
        out.emplace_back(word, value);
        i = end;
    }
    return out;
}

} // namespace

std::optional<std::string> interfaceListProblem(std::string_view text, std::optional<int> last) {
    for (const auto& [word, value] : words(text)) {
        if (value < 0)
            return "\"" + std::string(word) + "\" is not an interface number";
        if (last && value > *last)
            return "\"" + std::string(word) + "\" is not an interface of the structure (0 to " +
                   std::to_string(*last) + ")";
    }
    return std::nullopt;
}

std::vector<int> interfaceNumbers(std::string_view text) {
    std::vector<int> numbers;
    for (const auto& [word, value] : words(text))
        if (value >= 0)
            numbers.push_back(value);
    return numbers;
}

} // namespace lumetrix
