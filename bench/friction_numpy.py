"""quorvel-calc friction --csv once more, in vectorised numpy: the same formulas with every
step rounded to float32 where the calculator rounds it, writing the same CSV. It shares no code
with the calculator (numpy parses, numpy computes, Python's own float formatting writes the
texts). It is the yardstick of bench/numpy_compare.sh; the tests' model of the calculator is
tests/cli/reference.py.

    /usr/bin/python3 bench/friction_numpy.py FILE > OUT      (FILE - reads standard input)

Takes plain fields only: a quote anywhere in the input stops it (exit status 2). numpy reads a
field as the nearest 64-bit value, which is then rounded to 32 bits; rounding twice can differ
from rounding once only for a text within 2**-53 (relative) of a point halfway between two
32-bit values, which no text of a few digits comes near."""

import io
import re
import sys

import numpy as np

COLUMNS = [b'D', b'L', b't', b'G', b'K']
HEADER = b'D,L,t,G,K,rho,nu,V,Re,lambda,Hf,error\n'
BOM = b'\xef\xbb\xbf'
CHUNK_BYTES = 4 << 20

DENSITY_TABLE = [(0, 999.87), (5, 999.8), (10, 999.73), (15, 998.98), (20, 998.23),
                 (25, 996.91), (30, 995.6), (35, 993.92), (40, 992.24), (45, 990.12),
                 (50, 988.0), (60, 983.24), (70, 977.7), (80, 971.83), (90, 965.2),
                 (100, 958.4)]

NUMBER = re.compile(rb'[ \t]*[+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?[ \t]*')
# Bytes a line of numbers may hold; with them, numpy's reader and NUMBER agree.
NUMBER_BYTES = np.zeros(256, dtype=bool)
NUMBER_BYTES[np.frombuffer(b'0123456789.eE+-, \t\n', dtype=np.uint8)] = True

OK_ROW = b'%b,%.7G,%.7G,%.7G,%.7G,%.7G,%.7G,\n'


class InputError(Exception):
    pass


def read_fast(body, count):
    """The (count, 5) values of `count` lines of five numbers, or None when some line is not
    that."""
    codes = np.frombuffer(body, dtype=np.uint8)
    if not NUMBER_BYTES[codes].all():
        return None
    commas = np.cumsum(codes == ord(','))
    ends = np.flatnonzero(codes == ord('\n'))
    per_line = np.diff(commas[ends], prepend=0)
    if len(ends) != count or not (per_line == 4).all():
        return None
    try:
        return np.loadtxt(io.BytesIO(body), delimiter=',', dtype=np.float64, ndmin=2)
    except ValueError:
        return None


def read_slow(lines):
    """Values (NaN where there is no number), the not-a-number cells, the field-count rows and
    the input columns as they are copied to the output."""
    values = np.full((len(lines), 5), np.nan)
    not_a_number = np.zeros((len(lines), 5), dtype=bool)
    field_count = np.zeros(len(lines), dtype=bool)
    copied = list(lines)
    for row, line in enumerate(lines):
        fields = line.split(b',')
        if len(fields) != 5:
            field_count[row] = True
            copied[row] = b','.join((fields + [b''] * 5)[:5])
            continue
        for column, field in enumerate(fields):
            if NUMBER.fullmatch(field):
                values[row, column] = float(field)
            else:
                not_a_number[row, column] = True
    return values, not_a_number, field_count, copied


def density(t):
    rho = (((t - 10.0) * (t - 20.0)) * 999.87 / 200.0
           + (t * (t - 20.0)) * 999.73 / -100.0
           + (t * (t - 10.0)) * 998.23 / 200.0)
    for temperature, value in DENSITY_TABLE:
        rho[t == temperature] = value
    return rho


def single(x):
    """float64 → nearest float32 → float64, as the calculator rounds each step."""
    return x.astype(np.float32).astype(np.float64)


def friction(values):
    """The six results (float64 arrays holding float32 values; nu a float64) and the failure
    code of each row, b'' where it computed."""
    f32 = values.astype(np.float32)
    D, L, t, G, K = (f32[:, i].astype(np.float64) for i in range(5))
    rho = single(density(t))
    nu = 1e-4 * 0.0178 * (1.0 / (0.00022 * (t * t) + (0.0337 * t + 1.0)))
    V = single((G * 4.0 * 1000000.0) / (D * D * 3.1415926 * 3600.0))
    Re = single((V * D * 0.001) / nu)
    root_sum = K * 20000.0 / D + 1000000.0 / Re
    lam = single(0.0055 * (1.0 + np.power(root_sum, 1.0 / 3.0)))
    Hf = single((V * V * (lam * L) * rho) / (2.0 * D))

    # The first reason in the calculator's order; a cell beyond float32 is out of range.
    out_of_range = ~np.isfinite(f32) & ~np.isnan(values)
    failures = [
        (~np.isfinite(rho), b'overflow'),
        (~np.isfinite(nu) | ~(nu > 0.0), b'viscosity'),
        (D == 0.0, b'zero-diameter'),
        (~np.isfinite(V) | ~np.isfinite(Re), b'overflow'),
        (Re == 0.0, b'zero-reynolds'),
        (root_sum < 0.0, b'negative-root'),
        (~np.isfinite(lam) | ~np.isfinite(Hf), b'overflow'),
    ]
    codes = np.select([c for c, _ in failures], [code for _, code in failures], b'')
    return (rho, nu, V, Re, lam, Hf), codes.astype(object), out_of_range


def rows_out(lines):
    body = b'\n'.join(lines) + b'\n'
    values = read_fast(body, len(lines))
    if values is not None:
        not_a_number = np.zeros(values.shape, dtype=bool)
        field_count = np.zeros(len(lines), dtype=bool)
        copied = lines
    else:
        values, not_a_number, field_count, copied = read_slow(lines)
    with np.errstate(all='ignore'):
        results, codes, out_of_range = friction(values)
    bad = not_a_number | out_of_range
    for row in np.flatnonzero(bad.any(axis=1)):
        column = int(np.argmax(bad[row]))
        kind = b'not-a-number:' if not_a_number[row, column] else b'out-of-range:'
        codes[row] = kind + COLUMNS[column]
    codes[field_count] = b'field-count'

    # +0.0 turns -0 into 0, which the calculator writes as "0".
    texts = [(x + 0.0).tolist() for x in results]
    out = list(map(OK_ROW.__mod__, zip(copied, *texts)))
    for row in np.flatnonzero(codes != b''):
        out[row] = copied[row] + b',,,,,,,' + codes[row] + b'\n'
    return b''.join(out), bool((codes != b'').any())


def lines_of(stream):
    """The input's lines without line ends, blank ones left out, in lists of about
    CHUNK_BYTES."""
    rest = b''
    while True:
        block = stream.read(CHUNK_BYTES)
        data = rest + block
        if not block:
            cut = len(data)
        else:
            cut = data.rfind(b'\n') + 1
        chunk, rest = data[:cut], data[cut:]
        if b'"' in chunk:
            raise InputError('quoted fields are not supported here')
        lines = chunk.split(b'\n')
        if b'\r' in chunk:
            lines = [line[:-1] if line.endswith(b'\r') else line for line in lines]
        lines = [line for line in lines if line]
        if lines:
            yield lines
        if not block:
            return


def main(path):
    stream = sys.stdin.buffer if path == '-' else open(path, 'rb')
    out = sys.stdout.buffer
    failed = False
    chunks = lines_of(stream)
    first = next(chunks, [])
    if not first:
        raise InputError('empty; expected the header D,L,t,G,K')
    header = first[0][len(BOM):] if first[0].startswith(BOM) else first[0]
    if header != b'D,L,t,G,K':
        raise InputError('the header must be D,L,t,G,K')
    out.write(HEADER)
    for lines in ([first[1:]] if len(first) > 1 else []):
        text, some_failed = rows_out(lines)
        out.write(text)
        failed |= some_failed
    for lines in chunks:
        text, some_failed = rows_out(lines)
        out.write(text)
        failed |= some_failed
    return 1 if failed else 0


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit('usage: friction_numpy.py FILE')
    try:
        sys.exit(main(sys.argv[1]))
    except (InputError, OSError) as error:
        print('friction_numpy.py: %s' % error, file=sys.stderr)
        sys.exit(2)
