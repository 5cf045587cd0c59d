#pragma once

#include <functional>
#include <type_traits>
#include <utility>

// Puts another value in place of a replaceable service (a hook, an installed implementation, a
// default) for the lifetime of the object, and puts the previous one back when it goes, so that
// a test that stops half-way never leaves its stand-in behind for the next one.
template <typename T> class ScopedOverride {
public:
    // A service kept in a variable.
    template <typename U>
    [[nodiscard]] ScopedOverride(T& slot, U&& value)
        : m_restore([&slot, previous = std::exchange(slot, T(std::forward<U>(value)))]() mutable {
              slot = std::move(previous);
          }) {}
    // A service behind an installer that returns the value it replaces.
    [[nodiscard]] ScopedOverride(T (*install)(T), T value)
        : m_restore([install, previous = install(std::move(value))] { install(previous); }) {}
    [[nodiscard]] ScopedOverride(T (*install)(const T&), const T& value)
        : m_restore([install, previous = install(value)] { install(previous); }) {}

    ~ScopedOverride() { m_restore(); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    std::function<void()> m_restore;
};

template <typename T, typename U>
requires(!std::is_function_v<T>) ScopedOverride(T&, U&&)
->ScopedOverride<T>;
template <typename T, typename U> ScopedOverride(T (*)(T), U&&) -> ScopedOverride<T>;
template <typename T, typename U> ScopedOverride(T (*)(const T&), U&&) -> ScopedOverride<T>;
