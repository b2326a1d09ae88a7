"""Several hundred random CSV rows through quorvel-calc, each compared field by field, on the
exact text, with the independent Python computation in reference.py.

Run: /usr/bin/python3 test_recompute.py PATH/TO/quorvel-calc [SEED]"""

import csv
import io
import random
import subprocess
import sys
import unittest

import reference

CALC = None
SEED = 20240601
TABLE_TEMPERATURES = [t for t, _ in reference.DENSITY_TABLE]


def number_text(rng, value):
    """One of the ways a person or a spreadsheet writes a number."""
    form = rng.randrange(10)
    if form == 0:
        return '%d' % round(value)
    if form == 1:
        return '%.9g' % value
    if form == 2:
        return '%.3e' % value
    if form == 3:
        return ('+%.2f' if value >= 0 else '%.2f') % value
    if form == 4:
        return ' %.4g ' % value
    if form == 5:
        text = '%.3f' % value
        return text[1:] if text.startswith('0.') else text  # ".125"
    if form == 6:
        return '%.1f' % value if abs(value) < 1e6 else '%g' % value
    return '%.6g' % value


def bad_text(rng, column):
    return rng.choice(['', 'abc', '1,5', '1.2.3', 'inf', 'nan', '--1', '1e', '1e39', '-5e38',
                       '%s?' % column, ' ', '0x10'])


def friction_row(rng):
    D = rng.choice([15, 20, 25, 32, 40, 50, 65, 80, 100, 150, 200, 300, 600]) + rng.random() * 5
    L = rng.uniform(100, 200000)
    kind = rng.random()
    if kind < 0.25:
        t = rng.choice(TABLE_TEMPERATURES)
    elif kind < 0.3:
        t = rng.uniform(-112, -41)  # no usable viscosity
    else:
        t = rng.uniform(-10, 130)
    G = 10 ** rng.uniform(-3, 4) * (1 if rng.random() > 0.05 else -1)
    K = rng.choice([0, 0.0015, 0.05, 0.2, 0.5, 1.5, rng.uniform(0, 3)])
    fields = [number_text(rng, x) for x in (D, L, t, G, K)]
    trouble = rng.random()
    if trouble < 0.04:
        fields[0] = '0'
    elif trouble < 0.08:
        fields[3] = '0'
    elif trouble < 0.14:
        column = rng.randrange(5)
        fields[column] = bad_text(rng, 'DLtGK'[column])
    elif trouble < 0.16:
        fields[0] = '1e-%d' % rng.randrange(20, 40)  # velocity beyond 32 bits
    return fields


def local_row(rng):
    zeta = rng.choice([0, 0.1, 0.5, 1.0, 2.5, rng.uniform(-1, 10)])
    v = rng.uniform(-4, 4)
    t = rng.choice(TABLE_TEMPERATURES) if rng.random() < 0.3 else rng.uniform(-20, 150)
    fields = [number_text(rng, x) for x in (zeta, v, t)]
    if rng.random() < 0.08:
        column = rng.randrange(3)
        fields[column] = bad_text(rng, ('zeta', 'v', 't')[column])
    if rng.random() < 0.02:
        fields[1] = '1e%d' % rng.randrange(18, 25)  # loss beyond 32 bits
    return fields


def as_csv(header, rows):
    buffer = io.StringIO(newline='')
    writer = csv.writer(buffer, lineterminator='\r\n')
    writer.writerow(header)
    writer.writerows(rows)
    return buffer.getvalue()


class Recompute(unittest.TestCase):
    def check(self, command, header, rows, expected_of, result_names):
        result = subprocess.run([CALC, command, '--csv', '-'], input=as_csv(header, rows),
                                capture_output=True, text=True, timeout=60)
        self.assertIn(result.returncode, (0, 1), result.stderr)
        out = list(csv.reader(io.StringIO(result.stdout, newline='')))
        self.assertEqual(out[0], header + result_names + ['error'])
        self.assertEqual(len(out), len(rows) + 1)
        failed = 0
        for number, (row, got) in enumerate(zip(rows, out[1:]), start=1):
            results, error = expected_of(row)
            failed += bool(error)
            with self.subTest(row=number, fields=row):
                self.assertEqual(got, row + results + [error])
        self.assertEqual(result.returncode, 1 if failed else 0)
        return failed

    def test_friction_rows(self):
        rng = random.Random(SEED)
        rows = [friction_row(rng) for _ in range(600)]
        failed = self.check('friction', ['D', 'L', 't', 'G', 'K'], rows,
                            reference.friction_texts,
                            ['rho', 'nu', 'V', 'Re', 'lambda', 'Hf'])
        self.assertGreater(failed, 30)  # the failure paths were exercised
        self.assertLess(failed, 300)

    def test_local_rows(self):
        rng = random.Random(SEED + 1)
        rows = [local_row(rng) for _ in range(400)]
        self.check('local', ['zeta', 'v', 't'], rows, reference.local_texts, ['Hf'])

    def test_reference_reads_worked_examples(self):
        # The reference itself against the published figures, so that a shared mistake in
        # both implementations cannot pass unnoticed.
        self.assertEqual(reference.friction_texts(['50', '1000', '45', '1', '0.2'])[0],
                         ['990.12', '6.009453E-07', '0.1414711', '11770.71', '0.03566379',
                          '7.067252'])
        self.assertEqual(reference.local_texts(['1.0', '1.2', '50'])[0], ['711.36'])
        self.assertEqual(reference.general_text(reference.kinematic_viscosity(10.0)),
                         '1.309787E-06')


if __name__ == '__main__':
    CALC = sys.argv.pop(1)
    if len(sys.argv) > 1 and sys.argv[1].isdigit():
        SEED = int(sys.argv.pop(1))
    unittest.main(verbosity=1)
