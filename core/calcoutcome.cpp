#include "core/calcoutcome.h"

const char* failureCode(CalcFailure failure) {
    switch (failure) {
        case CalcFailure::ZeroDiameter:
            return "zero-diameter";
        case CalcFailure::ZeroReynolds:
            return "zero-reynolds";
        case CalcFailure::NegativeRoot:
            return "negative-root";
        case CalcFailure::Viscosity:
            return "viscosity";
        case CalcFailure::Overflow:
            return "overflow";
    }
    return "unknown";
}
