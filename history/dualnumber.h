#pragma once

#include <array>
#include <cmath>

// A number that carries its first derivatives with respect to N inputs
// (forward-mode automatic differentiation). The weight fitter evaluates the
// memory model's formulas in it to get the exact gradient of the log-loss in
// one replay of the history, instead of N + 1 replays for finite
// differences. Written here because it is these few operators; Debian
// packages no small automatic-differentiation library for C++.
template <int N> struct DualNumber
{
    double value = 0;
    std::array<double, N> derivative{};

    DualNumber() = default;
    DualNumber(double v) : value(v) {} // a constant: every derivative zero
    static DualNumber variable(double v, int index)
    {
        DualNumber x(v);
        x.derivative[size_t(index)] = 1.0;
        return x;
    }

    friend DualNumber operator+(DualNumber a, const DualNumber &b)
    {
        a.value += b.value;
        for (int i = 0; i < N; ++i)
            a.derivative[i] += b.derivative[i];
        return a;
    }
    friend DualNumber operator-(DualNumber a, const DualNumber &b)
    {
        a.value -= b.value;
        for (int i = 0; i < N; ++i)
            a.derivative[i] -= b.derivative[i];
        return a;
    }
    friend DualNumber operator*(const DualNumber &a, const DualNumber &b)
    {
        DualNumber r(a.value * b.value);
        for (int i = 0; i < N; ++i)
            r.derivative[i] = a.derivative[i] * b.value + a.value * b.derivative[i];
        return r;
    }
    friend DualNumber operator/(const DualNumber &a, const DualNumber &b)
    {
        DualNumber r(a.value / b.value);
        const double inverseSquare = 1.0 / (b.value * b.value);
        for (int i = 0; i < N; ++i)
            r.derivative[i] =
                (a.derivative[i] * b.value - a.value * b.derivative[i]) * inverseSquare;
        return r;
    }
    friend bool operator<(const DualNumber &a, const DualNumber &b) { return a.value < b.value; }

    // The chain rule for y = f(x) with f'(x) = slope.
    DualNumber chained(double y, double slope) const
    {
        DualNumber r(y);
        for (int i = 0; i < N; ++i)
            r.derivative[i] = derivative[i] * slope;
        return r;
    }
    friend DualNumber exp(const DualNumber &x)
    {
        const double y = std::exp(x.value);
        return x.chained(y, y);
    }
    friend DualNumber log(const DualNumber &x)
    {
        return x.chained(std::log(x.value), 1.0 / x.value);
    }
    friend DualNumber pow(const DualNumber &x, double k)
    {
        const double y = std::pow(x.value, k);
        return x.chained(y, k * std::pow(x.value, k - 1.0));
    }
    // x^k = e^(k ln x), for x > 0.
    friend DualNumber pow(const DualNumber &x, const DualNumber &k) { return exp(k * log(x)); }
};
