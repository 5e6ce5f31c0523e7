// Signed fixed-point number with four decimal places: the rounding of the blue-return
// deduction and of every fixed-point text in the report.
#pragma once

#include <cstdint>

class ClFixedDecimal {
public:
    ClFixedDecimal();
    ClFixedDecimal(int32_t whole, uint32_t tenThousandths);
    explicit ClFixedDecimal(int64_t raw);
    ClFixedDecimal(const ClFixedDecimal& other);
    ClFixedDecimal& operator=(const ClFixedDecimal& other);
    virtual ~ClFixedDecimal();

    static void Subtract(ClFixedDecimal& result, const ClFixedDecimal& a, const ClFixedDecimal& b);
    static int IsLess(const ClFixedDecimal& a, const ClFixedDecimal& b);
    static int IsGreater(const ClFixedDecimal& a, const ClFixedDecimal& b);

    // The rounding modes of RoundAt and ToText, on the magnitude.
    enum RoundMode : int { kRoundHalfUp = 0, kRoundUp = 1, kRoundDown = 2 };

    // mode a RoundMode; position 1-4 decimal places kept - 1 (0 acts as 1), -1 to -12
    // integer digits rounded off. 0 and the value unchanged when out of range.
    int RoundAt(int mode, int position);
    // Rounds at decimals + 1, then renders; nullptr when decimals > 4.
    const char* ToText(int decimals, int mode);
    int64_t Raw() const;

    int64_t integer;
    uint32_t fraction;
    int16_t sign;
    char text[32];
};
