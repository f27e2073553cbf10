#pragma once
// What every operation that can fail hands back: success, or the German message the user
// sees. A Result<T> holds the value of a successful operation instead.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace zarvelo {

class [[nodiscard]] Status {
public:
    Status() = default;  // success
    static Status failure(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    // The German message of a failure; empty on success.
    const std::string& message() const { return message_; }

private:
    explicit Status(std::string message) : message_(std::move(message)), failed_(true) {}
    std::string message_;
    bool failed_ = false;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Status failure) : status_(std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Status& status() const { return status_; }
    const std::string& message() const { return status_.message(); }
    // Only on success.
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T* operator->() const { return &*value_; }

private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace zarvelo
