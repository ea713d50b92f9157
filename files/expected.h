#pragma once

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

// A value or why not, the one way every layer says it. The names are those of C++23's
// std::expected, which the toolchains here cannot all offer yet (clang 14's concepts are too old
// for libstdc++'s <expected>), so that moving to it is a matter of an alias.

namespace shenbao {

template <class E> class Unexpected
{
public:
    explicit Unexpected(E error) : m_error(std::move(error)) {}
    const E& error() const& { return m_error; }
    E&& error() && { return std::move(m_error); }

private:
    E m_error;
};

template <class E> Unexpected<std::decay_t<E>> unexpected(E&& error)
{
    return Unexpected<std::decay_t<E>>(std::forward<E>(error));
}

template <class T, class E> class [[nodiscard]] Expected
{
public:
    using value_type = T;
    using error_type = E;

    Expected() requires std::is_default_constructible_v<T> : m_state(std::in_place_index<0>) {}
    template <class U = T>
    requires std::is_constructible_v<T, U&&> &&
        (!std::is_same_v<std::decay_t<U>, Expected>)&&(!std::is_same_v<std::decay_t<U>, Unexpected<E>>)
            Expected(U&& value)
        : m_state(std::in_place_index<0>, std::forward<U>(value))
    {
    }
    template <class G>
    Expected(Unexpected<G> error) : m_state(std::in_place_index<1>, std::move(error).error())
    {
    }

    bool has_value() const { return m_state.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(m_state); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const E& error() const& { return std::get<1>(m_state); }
    E&& error() && { return std::get<1>(std::move(m_state)); }

    template <class U> T value_or(U&& fallback) const&
    {
        return has_value() ? value() : T(std::forward<U>(fallback));
    }

private:
    std::variant<T, E> m_state;
};

template <class E> class [[nodiscard]] Expected<void, E>
{
public:
    using value_type = void;
    using error_type = E;

    Expected() = default;
    template <class G> Expected(Unexpected<G> error) : m_error(std::move(error).error()) {}

    bool has_value() const { return !m_error; }
    explicit operator bool() const { return has_value(); }
    void value() const {}
    const E& error() const& { return *m_error; }
    E&& error() && { return std::move(*m_error); }

private:
    std::optional<E> m_error;
};

} // namespace shenbao
