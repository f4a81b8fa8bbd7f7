#pragma once
// One error convention from the core up to the window: a Result carries either a value or an
// Error whose text comes from the catalogue in the interface language.

#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "core/language.h"
#include "core/text.h"

namespace tessaron {

// A message of the catalogue (its context, English source and disambiguation) with its
// arguments, which are messages themselves so that a message quoting another is translated
// whole. A message without context is a plain string shown as it is (a path, a system error).
struct Error {
    std::string context;
    std::string source;
    std::string disambiguation;
    std::vector<Error> args;
    std::string english;  // the English text, for logs, D-Bus replies and tests
    // A text composed by the code in each language at the time (see composed()).
    std::vector<std::pair<Language, std::string>> made;

    Error() = default;
    Error(const Text& message)  // NOLINT(google-explicit-constructor): a text is a message
        : context(message.context),
          source(message.source),
          disambiguation(message.disambiguation ? message.disambiguation : ""),
          english(message.source) {}

    // The text in the interface language.
    [[nodiscard]] std::string text(Language lang) const {
        for (const auto& [l, s] : made) {
            if (l == lang) return s;
        }
        if (context.empty()) return source;
        std::vector<std::string> filled;
        filled.reserve(args.size());
        for (const Error& a : args) filled.push_back(a.text(lang));
        const Text t{context.c_str(), source.c_str(), disambiguation.c_str()};
        return substitute(translate(lang, t), filled);
    }
};

// A plain string as an argument or a message shown as it is.
inline Error verbatim(std::string text) {
    Error e;
    e.english = text;
    e.source = std::move(text);
    return e;
}

// A text the code puts together from the catalogue's parts and names of its own tables (a key's
// name and what it does), made in every language at once: the catalogue holds its parts only.
template <class Make>
Error composed(const Make& make) {
    Error e = verbatim(make(Language::English));
    for (const Language l : kLanguages) e.made.emplace_back(l, make(l));
    return e;
}

namespace detail {
inline Error argument(Error e) { return e; }
template <class T>
Error argument(T&& value) {
    return verbatim(std::string(std::forward<T>(value)));
}
}  // namespace detail

template <class... Args>
Error makeError(const Text& message, Args&&... args) {
    Error e(message);
    (e.args.push_back(detail::argument(std::forward<Args>(args))), ...);
    e.english = e.text(Language::English);
    return e;
}

// The items joined by a pattern of two ("%1, %2"), whose translation joins them its own way.
inline Error joined(const std::vector<Error>& items, const Text& pattern) {
    if (items.empty()) return verbatim("");
    Error out = items.front();
    for (std::size_t i = 1; i < items.size(); ++i) out = makeError(pattern, std::move(out), items[i]);
    return out;
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
