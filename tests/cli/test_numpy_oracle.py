"""quorvel-calc friction --csv against bench/friction_numpy.py, the same formulas in vectorised
numpy, byte for byte on tens of thousands of rows: realistic sections (numpy's fast path) and
rows written every which way with failures among them (its line-by-line path).

Run: /usr/bin/python3 test_numpy_oracle.py PATH/TO/quorvel-calc PATH/TO/friction_numpy.py"""

import os
import random
import subprocess
import sys
import tempfile
import unittest

CALC = None
ORACLE = None


def number_text(rng, value):
    """One of the ways a person or a spreadsheet writes a number."""
    return rng.choice(['%d' % round(value), '%.9g' % value, '%.3e' % value, '%+.2f' % value,
                       ' %.4g ' % value, '%.3f' % value, '%.7G' % value, '%g' % value])


def section(rng):
    return [rng.choice([15, 20, 25, 50, 80, 100, 150, 300, 600]) + rng.random() * 5,
            rng.uniform(100, 200000),
            rng.choice([0, 5, 20, 45, 50, 60, 100]) if rng.random() < 0.3
            else rng.uniform(-120, 130),
            10 ** rng.uniform(-3, 4) * (1 if rng.random() > 0.05 else -1),
            rng.choice([0, 0.0015, 0.2, 1.5, rng.uniform(0, 3)])]


def messy_line(rng):
    fields = [number_text(rng, x) for x in section(rng)]
    trouble = rng.random()
    if trouble < 0.03:
        fields[0] = '0'
    elif trouble < 0.06:
        fields[3] = rng.choice(['0', '-0', '0e5'])
    elif trouble < 0.12:
        fields[rng.randrange(5)] = rng.choice(
            ['', ' ', 'abc', '1.2.3', 'inf', 'nan', '--1', '1e', '1e39', '-5e38', '0x10', '1e-60',
             '1e400'])
    elif trouble < 0.14:
        fields[0] = '1e-%d' % rng.randrange(20, 40)
    elif trouble < 0.16:
        fields = fields[:rng.randrange(1, 5)] if rng.random() < 0.5 else fields + ['', '7']
    line = ','.join(fields)
    return line + rng.choice(['\n', '\n', '\r\n', '\n\n'])


def realistic_line(rng):
    D, L, t, G, K = section(rng)
    return '%g,%d,%g,%.4g,%.3g\n' % (round(D, 1), L, round(abs(t) % 95 + 5, 2), abs(G), K)


class NumpyOracle(unittest.TestCase):
    def compare(self, text):
        with tempfile.NamedTemporaryFile('w', suffix='.csv', delete=False) as f:
            f.write(text)
        self.addCleanup(os.unlink, f.name)
        calc = subprocess.run([CALC, 'friction', '--csv', f.name], capture_output=True,
                              timeout=120)
        oracle = subprocess.run([sys.executable, ORACLE, f.name], capture_output=True,
                                timeout=300)
        self.assertEqual(oracle.stderr, b'')
        self.assertEqual(calc.returncode, oracle.returncode, calc.stderr)
        calc_lines = calc.stdout.splitlines()
        oracle_lines = oracle.stdout.splitlines()
        self.assertEqual(len(calc_lines), len(oracle_lines))
        for number, (got, expected) in enumerate(zip(calc_lines, oracle_lines)):
            self.assertEqual(got, expected, 'output line %d' % (number + 1))
        return [line.rsplit(b',', 1)[1] for line in calc_lines[1:]]

    def test_realistic_sections(self):
        rng = random.Random(1)
        errors = self.compare('D,L,t,G,K\n' + ''.join(realistic_line(rng) for _ in range(40000)))
        self.assertEqual(set(errors), {b''})

    def test_rows_written_every_which_way(self):
        rng = random.Random(2)
        errors = self.compare('\ufeffD,L,t,G,K\r\n' + ''.join(messy_line(rng) for _ in range(8000)))
        # Every path was taken.
        kinds = {error.split(b':')[0] for error in errors}
        self.assertEqual(kinds, {b'', b'not-a-number', b'out-of-range', b'field-count',
                                 b'viscosity', b'zero-diameter', b'zero-reynolds',
                                 b'negative-root', b'overflow'})


if __name__ == '__main__':
    CALC = sys.argv.pop(1)
    ORACLE = sys.argv.pop(1)
    unittest.main(verbosity=1)
