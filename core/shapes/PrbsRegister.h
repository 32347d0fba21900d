#pragma once

#include <cstdint>

namespace arb
{

// The shift register of a pseudo-random binary sequence of order n (7, 9,
// 15, 23 or 31): n bits, all ones at the start. Each step feeds back bit
// n-1 xor bit m-1 (m = 6, 5, 14, 18, 28 for the five orders), shifts it in
// at the low end and gives it out, so the bits repeat after 2^n - 1 steps.
class PrbsRegister
{
  public:
    // The feedback tap m of an order; 0 for an order that has none.
    static int Tap(int order)
    {
        switch (order) {
        case 7: return 6;
        case 9: return 5;
        case 15: return 14;
        case 23: return 18;
        case 31: return 28;
        default: return 0;
        }
    }

    // order must be one with a tap.
    explicit PrbsRegister(int order)
        : high_(order - 1), low_(Tap(order) - 1), mask_((std::uint32_t{1} << order) - 1), r_(mask_)
    {
    }

    int nextBit()
    {
        const std::uint32_t t = ((r_ >> high_) ^ (r_ >> low_)) & 1u;
        r_ = ((r_ << 1) | t) & mask_;
        return static_cast<int>(t);
    }

    std::uint32_t state() const { return r_; }

  private:
    int high_;
    int low_;
    std::uint32_t mask_;
    std::uint32_t r_;
};

} // namespace arb
