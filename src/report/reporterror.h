#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace zelvo::report {

// A problem found in a template file or while filling it with data. Line and column are
// 1-based positions in the template text; 0 means the problem has no position (e.g. the file
// could not be opened).
struct ReportError {
    QString fileName;
    int line = 0;
    int column = 0;
    QString message;

    // "liste1.frf, satır 12, sütun 7: ..." - the form shown to the user.
    QString toString() const;
};

// Either a value or the error that prevented it.
template <typename T> class Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(ReportError error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    const ReportError& error() const { return std::get<ReportError>(m_state); }

private:
    std::variant<T, ReportError> m_state;
};

} // namespace zelvo::report
