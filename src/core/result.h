#pragma once
// One error convention from the core up to the window: a Result carries either a value or an
// Error whose text exists in both interface languages.

#include <string>
#include <utility>
#include <variant>

#include "core/language.h"

namespace tessaron {

struct Error {
    std::string english;
    std::string chinese;

    // The text for the interface language; falls back to English when no Chinese text was given.
    [[nodiscard]] const std::string& text(Language lang) const {
        return (lang == Language::Chinese && !chinese.empty()) ? chinese : english;
    }
};

inline Error makeError(std::string english, std::string chinese = {}) {
    return Error{std::move(english), std::move(chinese)};
}

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : data_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Result(Error error) : data_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

    [[nodiscard]] bool ok() const { return data_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(data_); }
    const T& value() const& { return std::get<0>(data_); }
    T&& value() && { return std::get<0>(std::move(data_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    [[nodiscard]] const Error& error() const { return std::get<1>(data_); }

private:
    std::variant<T, Error> data_;
};

// Result<void>: success or an Error.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), failed_(true) {}  // NOLINT

    [[nodiscard]] bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] const Error& error() const { return error_; }

private:
    Error error_;
    bool failed_ = false;
};

using Status = Result<void>;

}  // namespace tessaron
