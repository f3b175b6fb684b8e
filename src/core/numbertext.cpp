#include "core/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace lumetrix {

void appendGeneral(std::string& out, double value, int digits) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    out.append(text, end.ptr);
}

void appendFixed(std::string& out, double value, int decimals) {
    char text[400]; // the largest double has 309 digits before the point
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, end.ptr);
}
namespace {

// An extended float holds about 18 significant decimal digits; more would show noise.
constexpr int kSignificantDigits = 18;
constexpr int kMaxDecimals = 14;

std::string printfLong(const char* format, int precision, long double value) {
    char buffer[6000]; // wide enough for the largest extended value in fixed notation
    const int n = std::snprintf(buffer, sizeof buffer, format, precision, value);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

void setSeparator(std::string& text, char decimalSeparator) {
    for (char& c : text)
        if (c == '.')
            c = decimalSeparator;
}

// Fixed-point text with the given number of decimals, rounded half away from zero on the
// value's 18 significant decimal digits (what an extended float holds).
std::string fixedDigits(long double value, int places) {
    const bool negative = std::signbit(value);
    std::string integerPart = "0";
    std::string fraction(static_cast<std::size_t>(places), '0');
    if (value != 0) {
        // d.ddddddddddddddddde+X: 18 digits; the point stands after X + 1 of them.
        const std::string sci = printfLong("%.*Le", kSignificantDigits - 1, std::fabs(value));
        std::string digits = sci.substr(0, 1) + sci.substr(2, kSignificantDigits - 1);
        int pointAt = std::atoi(sci.c_str() + sci.find('e') + 1) + 1;
        const int keep = pointAt + places;
        if (keep < 0) {
            digits.clear();
        } else if (keep < static_cast<int>(digits.size())) {
            const bool up = digits[keep] >= '5';
            digits.resize(keep);
            if (up) {
                int i = keep - 1;
                for (; i >= 0 && digits[i] == '9'; --i)
                    digits[i] = '0';
                if (i >= 0) {
                    ++digits[i];
                } else {
                    digits.insert(digits.begin(), '1');
                    ++pointAt;
                }
            }
        } else {
            digits.append(keep - digits.size(), '0');
        }
        // Lay the digits out around the point.
        if (pointAt <= 0) {
            digits.insert(0, static_cast<std::size_t>(-pointAt), '0');
            pointAt = 0;
        }
        integerPart = pointAt > 0 ? digits.substr(0, pointAt) : "0";
        fraction = digits.substr(pointAt);
        fraction.resize(static_cast<std::size_t>(places), '0');
        integerPart.erase(0, std::min(integerPart.find_first_not_of('0'), integerPart.size() - 1));
    }
    std::string text = integerPart;
    if (places > 0)
        text += "." + fraction;
    if (negative && text.find_first_not_of("0.") != std::string::npos)
        text.insert(0, 1, '-');
    return text;
}

} // namespace

std::string formatFixed(long double value, int decimals, char decimalSeparator) {
    if (!std::isfinite(value))
        return "0";
    int places = decimals;
    if (decimals < 0) {
        const long double magnitude = std::fabs(value);
        const int integerDigits =
            magnitude < 1 ? 0 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
        places = std::clamp(kSignificantDigits - integerDigits, 0, kMaxDecimals);
    }
    std::string text = fixedDigits(value, places);
    if (decimals < 0 && text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    setSeparator(text, decimalSeparator);
    return text;
}

bool isFormattedFixed(std::string_view text, int decimals, char decimalSeparator) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    const std::size_t integerStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    const std::size_t integerDigits = i - integerStart;
    if (integerDigits == 0 || (integerDigits > 1 && text[integerStart] == '0'))
        return false; // no digit before the point, or a leading zero
    std::size_t fractionDigits = 0;
    if (i < text.size()) {
        if (text[i] != decimalSeparator)
            return false;
        const std::size_t fractionStart = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        fractionDigits = i - fractionStart;
        if (i != text.size() || fractionDigits == 0)
            return false;
    }
    const bool zeroWhole = integerDigits == 1 && text[integerStart] == '0';
    if (text.find_first_of("123456789") == std::string_view::npos)
        return !text.starts_with('-') &&
               (decimals < 0 ? fractionDigits == 0
                             : fractionDigits == static_cast<std::size_t>(decimals));
    // Up to 18 significant digits come back unchanged from an extended float; 15 keep a value
    // clear of the next power of ten, where the edit counts its integer digits by a logarithm.
    const std::size_t leading = zeroWhole ? text.find_first_of("123456789") - integerStart - 2 : 0;
    if ((zeroWhole ? fractionDigits - leading : integerDigits + fractionDigits) > 15)
        return false;
    if (decimals >= 0)
        return fractionDigits == static_cast<std::size_t>(decimals);
    const int places = std::clamp(
        kSignificantDigits - (zeroWhole ? 0 : static_cast<int>(integerDigits)), 0, kMaxDecimals);
    return static_cast<int>(fractionDigits) <= places &&
           (fractionDigits == 0 || text.back() != '0');
}

std::string formatGeneral(long double value, char decimalSeparator) {
    if (!std::isfinite(value))
        return "0";
    std::string text = printfLong("%.*Lg", 15, value);
    if (text == "-0")
        text = "0";
    const auto e = text.find('e');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        const bool negative = text[e + 1] == '-';
        std::string digits = text.substr(e + 2);
        digits.erase(0, digits.find_first_not_of('0'));
        text = mantissa + "E" + (negative ? "-" : "") + (digits.empty() ? "0" : digits);
    }
    setSeparator(text, decimalSeparator);
    return text;
}

std::optional<long double> parseNumber(std::string_view text, Separators separators) {
    std::string plain;
    for (const char c : text)
        if (c != separators.thousands || c == separators.decimal)
            plain += c;
    if (plain.empty())
        return 0.0L;

    // Rebuild the text in the C locale's notation, checking its shape on the way.
    std::string c;
    std::size_t i = 0;
    bool negative = false;
    if (plain[i] == '-') {
        negative = true;
        ++i;
    }
    bool mantissaDigits = false;
    bool separatorSeen = false;
    for (; i < plain.size() && plain[i] != 'E' && plain[i] != 'e'; ++i) {
        const char ch = plain[i];
        if (ch >= '0' && ch <= '9') {
            mantissaDigits = true;
            c += ch;
        } else if (ch == separators.decimal && !separatorSeen) {
            separatorSeen = true;
            c += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!mantissaDigits)
        c = "0";
    if (i < plain.size()) { // exponent
        ++i;
        std::string exponent;
        if (i < plain.size() && (plain[i] == '-' || plain[i] == '+'))
            exponent += plain[i++];
        bool exponentDigits = false;
        for (; i < plain.size(); ++i) {
            if (plain[i] < '0' || plain[i] > '9')
                return std::nullopt;
            exponentDigits = true;
            exponent += plain[i];
        }
        c += "E" + (exponentDigits ? exponent : std::string("0"));
    }
    // A plain decimal of up to 19 digits is its digits over a power of ten, both exact in an
    // extended float: one division rounds it as strtold does, at a fraction of the cost.
    if (const auto point = c.find('.'); c.find('E') == std::string::npos && c.size() <= 20) {
        std::uint64_t digits = 0;
        int count = 0;
        for (const char ch : c)
            if (ch != '.') {
                digits = digits * 10 + static_cast<std::uint64_t>(ch - '0');
                ++count;
            }
        const int decimals =
            point == std::string::npos ? 0 : static_cast<int>(c.size() - point - 1);
        if (count <= 19) {
            long double scale = 1;
            for (int d = 0; d < decimals; ++d)
                scale *= 10;
            const long double value = static_cast<long double>(digits) / scale;
            return negative ? -value : value;
        }
    }
    char* end = nullptr;
    long double value = std::strtold(c.c_str(), &end);
    if (end != c.c_str() + c.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<long double> parseFileNumber(std::string_view text, char decimalSeparator) {
    std::string plain(text);
    if (decimalSeparator == '.')
        std::replace(plain.begin(), plain.end(), ',', '.');
    if (std::none_of(plain.begin(), plain.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return parseNumber(plain, {decimalSeparator, '\0'});
}

std::string convertSeparators(std::string_view text, Separators from, Separators to) {
    std::string out(text);
    for (char& ch : out) {
        if (ch == from.decimal)
            ch = to.decimal;
        else if (ch == from.thousands)
            ch = to.thousands;
    }
    return out;
}

} // namespace lumetrix
