#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace kodrix {

// The outcome of an operation that can fail with a message the user can read.
template <typename T> class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    static Result failure(QString message) { return Result(std::move(message), 0); }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const & { return *value_; }
    T &value() & { return *value_; }
    T &&value() && { return std::move(*value_); }
    const T &operator*() const { return *value_; }
    const T *operator->() const { return &*value_; }
    T *operator->() { return &*value_; }
    const QString &error() const { return error_; }

private:
    Result(QString message, int) : error_(std::move(message)) {}
    std::optional<T> value_;
    QString error_;
};

// Success or a message, for operations without a value.
class Status {
public:
    Status() = default;
    static Status failure(QString message) {
        Status s;
        s.failed_ = true;
        s.error_ = std::move(message);
        return s;
    }
    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return error_; }

private:
    bool failed_ = false;
    QString error_;
};

} // namespace kodrix
