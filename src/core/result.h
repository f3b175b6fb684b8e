#pragma once

#include <string>
#include <utility>
#include <variant>

namespace lumetrix {

// What went wrong while reading a file, and where: the UI turns it into a message.
struct ReadError {
    std::string file;
    int line = 0; // 1-based; 0 when the fault is not tied to a line
    std::string reason;

    std::string describe() const;
};

// A value or the error that prevented it.
template <typename T> class Result {
public:
    Result(T value) : m_data(std::move(value)) {}
    Result(ReadError error) : m_data(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(m_data); }
    T&& value() && { return std::get<T>(std::move(m_data)); }
    const ReadError& error() const { return std::get<ReadError>(m_data); }

private:
    std::variant<T, ReadError> m_data;
};

} // namespace lumetrix
