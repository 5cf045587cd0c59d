#pragma once

#include <QString>

#include <optional>
#include <utility>

// How an operation whose outcome matters to its caller ended.
enum class ResultStatus {
    Done,      // it happened
    Failed,    // it was tried and failed
    Cancelled, // the user stopped it; nothing more is said
    Refused,   // it was not tried: a precondition failed (a missing setting, a busy connection)
};

// What a transfer, a client call, a file read or write or a conversion did: its status, the value
// it produced when it has one, and the message and code to show when it did not happen. The
// layer that fails words the message (a server's own reply, a file error); the window decides
// whether and how to show it. The type is [[nodiscard]], and the build treats an ignored result
// as an error.
template <class T = void> class [[nodiscard]] Result;

namespace result_detail {

class Outcome {
public:
    [[nodiscard]] ResultStatus status() const { return m_status; }
    [[nodiscard]] bool ok() const { return m_status == ResultStatus::Done; }
    // (Not cancelled() and refused(): those make results.)
    [[nodiscard]] bool isCancelled() const { return m_status == ResultStatus::Cancelled; }
    [[nodiscard]] bool isRefused() const { return m_status == ResultStatus::Refused; }
    // The text that says why it did not happen; empty when there is nothing to say (done,
    // cancelled). An operation that also shows it itself says so where it is declared.
    [[nodiscard]] const QString& message() const { return m_message; }
    // A number that goes with the message: a server's reply code, an errno, a library's code.
    [[nodiscard]] int code() const { return m_code; }
    // The number a message shows for a result, as the transfer messages' "(CODE=%d)" always did:
    // 0 done, 1 failed or cancelled, -1 not tried.
    [[nodiscard]] int resultCode() const {
        return ok() ? 0 : m_status == ResultStatus::Refused ? -1 : 1;
    }

protected:
    Outcome() = default;
    Outcome(ResultStatus status, QString message, int code)
        : m_status(status), m_message(std::move(message)), m_code(code) {}

private:
    ResultStatus m_status = ResultStatus::Done;
    QString m_message;
    int m_code = 0;
};

} // namespace result_detail

template <> class [[nodiscard]] Result<void> : public result_detail::Outcome {
public:
    Result() = default; // done
    [[nodiscard]] static Result done() { return {}; }
    [[nodiscard]] static Result failed(QString message = {}, int code = 0) {
        return {ResultStatus::Failed, std::move(message), code};
    }
    [[nodiscard]] static Result cancelled() { return {ResultStatus::Cancelled, {}, 0}; }
    [[nodiscard]] static Result refused(QString message = {}, int code = 0) {
        return {ResultStatus::Refused, std::move(message), code};
    }
    // Any other result without its value: the way a failure travels up a layer.
    template <class U> [[nodiscard]] static Result from(const Result<U>& other) {
        return {other.status(), other.message(), other.code()};
    }

private:
    Result(ResultStatus status, QString message, int code)
        : Outcome(status, std::move(message), code) {}
};

template <class T> class [[nodiscard]] Result : public result_detail::Outcome {
public:
    Result(T value) : m_value(std::move(value)) {} // done, with its value
    [[nodiscard]] static Result done(T value) { return Result(std::move(value)); }
    [[nodiscard]] static Result failed(QString message = {}, int code = 0) {
        return {ResultStatus::Failed, std::move(message), code};
    }
    [[nodiscard]] static Result cancelled() { return {ResultStatus::Cancelled, {}, 0}; }
    [[nodiscard]] static Result refused(QString message = {}, int code = 0) {
        return {ResultStatus::Refused, std::move(message), code};
    }
    // A result that did not happen, with another value type (never a done one: it has no value).
    template <class U> [[nodiscard]] static Result from(const Result<U>& other) {
        return {other.ok() ? ResultStatus::Failed : other.status(), other.message(), other.code()};
    }

    // The value; only for a done result.
    [[nodiscard]] const T& value() const& { return *m_value; }
    [[nodiscard]] T& value() & { return *m_value; }
    [[nodiscard]] T&& value() && { return std::move(*m_value); }
    [[nodiscard]] const T* operator->() const { return &*m_value; }
    [[nodiscard]] const T& operator*() const { return *m_value; }
    // The value, or `fallback` when there is none.
    [[nodiscard]] T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }

private:
    Result(ResultStatus status, QString message, int code)
        : Outcome(status, std::move(message), code) {}

    std::optional<T> m_value;
};
