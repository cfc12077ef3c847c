// Ownership of one interface of Firebird's C++ API: released (or disposed of) when the
// owner goes, so no path out of a function, error or not, leaves one behind.
#pragma once

#include <utility>

namespace conversor::db::fb {

template <typename T>
class Posse {
public:
    Posse() = default;
    explicit Posse(T* interface) : p_(interface) {}
    ~Posse() { Libera(); }
    Posse(Posse&& outra) noexcept : p_(std::exchange(outra.p_, nullptr)) {}
    Posse& operator=(Posse&& outra) noexcept {
        if (this != &outra) {
            Libera();
            p_ = std::exchange(outra.p_, nullptr);
        }
        return *this;
    }
    Posse(const Posse&) = delete;
    Posse& operator=(const Posse&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // After a call that ends the object itself has succeeded (commit, rollback,
    // detach, close, free): the interface is gone and nothing is left to release.
    void Esquece() { p_ = nullptr; }

    void Libera() {
        T* p = std::exchange(p_, nullptr);
        if (!p) return;
        if constexpr (requires { p->release(); })
            p->release();
        else
            p->dispose();
    }

private:
    T* p_ = nullptr;
};

}  // namespace conversor::db::fb
