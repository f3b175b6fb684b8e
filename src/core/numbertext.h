#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumetrix {

// The regional number separators in force when a text was formatted or read.
struct Separators {
    char decimal = '.';
    char thousands = ',';
    bool operator==(const Separators&) const = default;
};

// The largest exponent an extended float can carry; the numeric edit refuses more.
inline constexpr int kMaxExponent = 4932;

// The text a numeric edit shows: fixed-point, no thousands separator, no exponent.
// decimals > 0 gives exactly that many decimals, 0 none, -1 up to 14 with trailing zeros
// dropped (and no separator for a whole number).
std::string formatFixed(long double value, int decimals, char decimalSeparator);

// Whether formatFixed(value of text, decimals, decimalSeparator) gives back the text itself: a
// plain decimal of at most 18 significant digits in the form the edits show. A file's
// numbers, written from the edits, are mostly so, and need no formatting when read.
bool isFormattedFixed(std::string_view text, int decimals, char decimalSeparator);

// General format with up to 15 significant digits, for numbers kept outside edits.
std::string formatGeneral(long double value, char decimalSeparator);

// Appends the value as the C library's "%.<digits>g" writes it (general: the shorter of fixed
// and exponent form, trailing zeros dropped), or "%.<decimals>f", in the C locale: the
// numbers of the result files, written without printf's cost.
void appendGeneral(std::string& out, double value, int digits);
void appendFixed(std::string& out, double value, int decimals);

// Reads a number as the numeric edit does: thousands separators are dropped, an empty text
// is 0 and a lone "-" is -0; a mantissa without digits counts as 0 and an exponent mark
// without digits as E0, since typing passes through such texts. Nothing for anything else.
std::optional<long double> parseNumber(std::string_view text, Separators separators);

// Reads a number that a file holds: the whole text must convert, with the decimal separator
// (or, where that is ".", a comma as the numeric edits take it) and no thousands separator.
std::optional<long double> parseFileNumber(std::string_view text, char decimalSeparator);

// Rewrites a text formatted under the old separators for the new ones.
std::string convertSeparators(std::string_view text, Separators from, Separators to);

} // namespace lumetrix
