#pragma once

#include <utility>

// A dialog that another dialog opens from within itself, held as a function that tests may
// replace by a scripted answer. `Fn` is a plain function pointer; the real dialog is kept so that
// a replacement is always undone by passing null.
template <class Fn> class CNestedDialog {
public:
    explicit constexpr CNestedDialog(Fn real) : m_real(real), m_current(real) {}

    // Puts `replacement` in place of the dialog (the real one again when null); returns what was
    // in place, for the caller to put back.
    Fn Replace(Fn replacement)
    {
        const Fn previous = m_current;
        m_current = replacement != nullptr ? replacement : m_real;
        return previous;
    }

    template <class... Args> decltype(auto) operator()(Args&&... args) const
    {
        return m_current(std::forward<Args>(args)...);
    }

private:
    Fn m_real;
    Fn m_current;
};
