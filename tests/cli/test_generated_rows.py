"""quorvel-calc friction --csv against reference.py, byte for byte on thousands of generated
rows: realistic sections, and rows written every which way with failures among them (blank
lines, CR LF, a byte-order mark, too few and too many fields).

Run: /usr/bin/python3 test_generated_rows.py PATH/TO/quorvel-calc"""

import os
import random
import subprocess
import sys
import tempfile
import unittest

import reference

CALC = None
HEADER = 'D,L,t,G,K,rho,nu,V,Re,lambda,Hf,error'


def expected_output(text):
    """What the calculator writes for a CSV text of plain fields (no quotes): the header, then
    each non-blank row's five input fields as written, the six results and the error code."""
    lines = [line[:-1] if line.endswith('\r') else line for line in text.split('\n')]
    lines = [line for line in lines if line]
    out = [HEADER]
    for line in lines[1:]:
        fields = line.split(',')
        if len(fields) != 5:
            out.append(','.join((fields + [''] * 5)[:5] + [''] * 6 + ['field-count']))
            continue
        results, error = reference.friction_texts(fields)
        out.append(','.join(fields + results + [error]))
    return out


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


class GeneratedRows(unittest.TestCase):
    def compare(self, text):
        with tempfile.NamedTemporaryFile('w', suffix='.csv', delete=False) as f:
            f.write(text)
        self.addCleanup(os.unlink, f.name)
        calc = subprocess.run([CALC, 'friction', '--csv', f.name], capture_output=True,
                              timeout=120)
        expected = expected_output(text.lstrip('\ufeff'))
        errors = [line.rsplit(',', 1)[1] for line in expected[1:]]
        self.assertEqual(calc.returncode, 1 if any(errors) else 0, calc.stderr)
        calc_lines = calc.stdout.decode('utf-8').splitlines()
        self.assertEqual(len(calc_lines), len(expected))
        for number, (got, wanted) in enumerate(zip(calc_lines, expected)):
            self.assertEqual(got, wanted, 'output line %d' % (number + 1))
        return [error.encode() for error in errors]

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
    unittest.main(verbosity=1)
