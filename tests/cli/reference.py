"""An independent Python reading of the water properties, the friction and local losses and
the number texts, used to check quorvel-calc's CSV output field by field on the exact text.

Single precision is emulated with struct (pack to IEEE binary32 and back), decimal texts are
read exactly with Fraction and rounded once to the nearest binary32, so nothing here shares
code or rounding paths with the C++ core."""

import math
import re
import struct
from fractions import Fraction

FLOAT32_MAX = Fraction(2) ** 128 - Fraction(2) ** 104
# Values at or beyond this magnitude round to infinity in binary32 (FLT_MAX + half an ulp).
FLOAT32_OVERFLOW = Fraction(2) ** 128 - Fraction(2) ** 103

DENSITY_TABLE = [(0, 999.87), (5, 999.8), (10, 999.73), (15, 998.98), (20, 998.23),
                 (25, 996.91), (30, 995.6), (35, 993.92), (40, 992.24), (45, 990.12),
                 (50, 988.0), (60, 983.24), (70, 977.7), (80, 971.83), (90, 965.2),
                 (100, 958.4)]

NUMBER = re.compile(r'[ \t]*([+-]?)(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?[ \t]*')


class Failure(Exception):
    """A computation or a field that yields no result; str() is the CLI's code."""


def single(x):
    """x (a Python float) rounded to the nearest binary32, or Failure('overflow')."""
    if not math.isfinite(x):
        raise Failure('overflow')
    try:
        return struct.unpack('<f', struct.pack('<f', x))[0]
    except OverflowError:
        raise Failure('overflow') from None


def _bits(x):
    return struct.unpack('<I', struct.pack('<f', x))[0]


def _from_bits(b):
    return struct.unpack('<f', struct.pack('<I', b))[0]


def parse_single(text, name):
    """The whole text as a decimal number, correctly rounded to binary32."""
    m = NUMBER.fullmatch(text)
    if not m:
        raise Failure('not-a-number:' + name)
    sign, mantissa, exponent = m.groups()
    exact = Fraction(mantissa) * Fraction(10) ** int(exponent[1:] if exponent else 0)
    if exact >= FLOAT32_OVERFLOW:
        raise Failure('out-of-range:' + name)
    if exact == 0:
        return -0.0 if sign == '-' else 0.0
    # float(Fraction) is correctly rounded to binary64; rounding that to binary32 can round
    # twice, so pick among the neighbours the one exactly nearest (ties to an even pattern).
    guess = abs(single(float(exact))) if exact <= FLOAT32_MAX else _from_bits(0x7F7FFFFF)
    best = None
    for b in (_bits(guess) - 1, _bits(guess), _bits(guess) + 1):
        if b < 0 or b > 0x7F7FFFFF:
            continue
        candidate = _from_bits(b)
        key = (abs(Fraction(candidate) - exact), b & 1)
        if best is None or key < best[0]:
            best = (key, candidate)
    value = best[1]
    return -value if sign == '-' else value


def general_text(value, digits=7):
    """At most `digits` significant digits, exponent form below 1E-04 or from 1E+digits."""
    if value == 0:
        return '0'
    return '%.*G' % (digits, value)


def density(t):
    for temperature, rho in DENSITY_TABLE:
        if t == temperature:
            return rho
    return (((t - 10) * (t - 20)) * 999.87 / 200
            + (t * (t - 20)) * 999.73 / -100
            + (t * (t - 10)) * 998.23 / 200)


def kinematic_viscosity(t):
    denominator = 0.00022 * (t * t) + (0.0337 * t + 1)
    if denominator == 0:
        raise Failure('viscosity')
    nu = 1e-4 * 0.0178 * (1 / denominator)
    if not math.isfinite(nu) or nu <= 0:
        raise Failure('viscosity')
    return nu


def friction(D, L, t, G, K):
    """The six results (rho, nu, V, Re, lambda, Hf) from binary32 inputs, each rounded to its
    width as it is formed."""
    rho = single(density(t))
    nu = kinematic_viscosity(t)
    if D == 0:
        raise Failure('zero-diameter')
    V = single((G * 4 * 1000000) / (D * D * 3.1415926 * 3600))
    Re = single((V * D * 0.001) / nu)
    if Re == 0:
        raise Failure('zero-reynolds')
    root_sum = K * 20000 / D + 1000000 / Re
    if root_sum < 0:
        raise Failure('negative-root')
    lam = single(0.0055 * (1 + root_sum ** (1 / 3)))
    Hf = single((V * V * (lam * L) * rho) / (2 * D))
    return rho, nu, V, Re, lam, Hf


def local(zeta, v, t):
    rho = density(t)
    a = (v * v) * zeta
    return single((rho * a) / 2)


def friction_texts(fields):
    """The expected result fields and error of one friction CSV row (five input texts)."""
    try:
        values = [parse_single(text, name) for text, name in zip(fields, 'DLtGK')]
        rho, nu, V, Re, lam, Hf = friction(*values)
        return [general_text(rho), general_text(nu), general_text(V), general_text(Re),
                general_text(lam), general_text(Hf)], ''
    except Failure as failure:
        return [''] * 6, str(failure)


def local_texts(fields):
    try:
        values = [parse_single(text, name) for text, name in zip(fields, ('zeta', 'v', 't'))]
        return [general_text(local(*values))], ''
    except Failure as failure:
        return [''], str(failure)
