#pragma once

#include <variant>

// Why a computation produced no result.
enum class CalcFailure {
    ZeroDiameter,  // D = 0: a division by zero in the velocity, friction factor and loss
    ZeroReynolds,  // Re = 0, as with a zero flow or velocity
    NegativeRoot,  // the sum under the cube root of the friction factor is negative
    Viscosity,     // the viscosity formula gives no finite positive value at this temperature
    Overflow,      // a value left the range of a 32-bit real, or was not finite
};

// Stable, machine-readable code of a failure ("zero-diameter", ...), used by the CLI.
const char* failureCode(CalcFailure failure);

// Either a result or the reason there is none. Never holds a NaN or an infinity.
template <typename T>
class CalcOutcome {
  public:
    CalcOutcome(const T& value) : state_(value) {}
    CalcOutcome(CalcFailure failure) : state_(failure) {}

    bool ok() const { return std::holds_alternative<T>(state_); }
    const T& value() const { return std::get<T>(state_); }
    CalcFailure failure() const { return std::get<CalcFailure>(state_); }

  private:
    std::variant<T, CalcFailure> state_;
};
