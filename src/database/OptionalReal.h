#pragma once

// A measured value, or the mark that nothing was measured. The value of an
// absent OptionalReal carries no meaning (0.0 after loading or clearing).
struct OptionalReal {
    double value = 0.0;
    bool present = false;

    static OptionalReal of(double value) { return {value, true}; }
    static OptionalReal absent() { return {}; }

    // Forgets the measurement but keeps the number, as "Clear Data" does.
    void markAbsent() { present = false; }

    bool operator==(const OptionalReal&) const = default;
};
