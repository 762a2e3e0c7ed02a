// Errors as values for the engine. The engine never shows anything: it
// returns what went wrong as text, and the window that called it decides
// how to tell the user.
#pragma once

#include <QString>

#include <optional>
#include <utility>

struct Error
{
    QString message;
};

template <typename T>
class [[nodiscard]] Expected
{
public:
    Expected(T value) : m_value(std::move(value)) {}
    Expected(Error error) : m_error(std::move(error.message)) {}

    bool hasValue() const { return m_value.has_value(); }
    explicit operator bool() const { return hasValue(); }

    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    const T &operator*() const & { return *m_value; }
    T &operator*() & { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }

    const QString &error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

// The outcome of an operation that produces nothing but may fail.
class [[nodiscard]] Status
{
public:
    Status() = default;
    Status(Error error) : m_failed(true), m_error(std::move(error.message)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }

private:
    bool m_failed = false;
    QString m_error;
};
