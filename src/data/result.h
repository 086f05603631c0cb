#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace tarvik {

// A failure a user can cause: a Chinese message for the message box and the
// driver's own text for the "详细信息" part.
struct Error {
    QString message;
    QString detail;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    const T &operator*() const & { return *m_value; }
    T &operator*() & { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }
    T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }

    const Error &error() const { return m_error; }
    const QString &message() const { return m_error.message; }

private:
    std::optional<T> m_value;
    Error m_error;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_failed(true), m_error(std::move(error)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error &error() const { return m_error; }
    const QString &message() const { return m_error.message; }

private:
    bool m_failed = false;
    Error m_error;
};

inline Error makeError(QString message, QString detail = {})
{
    return Error{std::move(message), std::move(detail)};
}

} // namespace tarvik
