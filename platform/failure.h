#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

// A failure the user can cause or must be told about: what it concerns (a
// file, a picture, an option) and why, in words ready to show. It travels as
// a value up to the window or the command line, which shows it once.
// Programming mistakes are not failures: they are assertions.
//
// A piece of work the user stopped is an outcome of its own kind: it is not
// shown as a failure, and nothing it would have made is kept.
struct Failure {
    enum class Kind { Problem, Stopped };

    std::string subject;
    std::string reason;
    Kind kind = Kind::Problem;

    // The outcome of work stopped before it ended.
    static Failure stopped() { return Failure{"work", "stopped", Kind::Stopped}; }
    bool wasStopped() const { return kind == Kind::Stopped; }

    std::string message() const { return subject + ": " + reason; }
    friend bool operator==(const Failure&, const Failure&) = default;
};

// A value, or the failure that prevented it.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : content_(std::move(value)) {}
    Result(Failure failure) : content_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(content_); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { assert(ok()); return std::get<T>(content_); }
    T& value() & { assert(ok()); return std::get<T>(content_); }
    T&& value() && { assert(ok()); return std::get<T>(std::move(content_)); }
    const Failure& failure() const { assert(!ok()); return std::get<Failure>(content_); }

private:
    std::variant<T, Failure> content_;
};

// Success with nothing to hand back.
struct Done {
    friend bool operator==(Done, Done) = default;
};
using Status = Result<Done>;
