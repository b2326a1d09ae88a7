"""The friction factor printed by quorvel-calc against Debian's python3-fluids, an independent
implementation of the same correlation: fluids.friction.Moody(Re, eD) returns
4 * 1.375E-3 * (1 + (2E4 * eD + 1E6 / Re) ** (1/3)), i.e. 0.0055 * (1 + (...)^(1/3)).

Sections are chosen to land on a grid of Reynolds numbers and relative roughnesses: D = 100 mm
at 20 °C, K = eD * D, and the flow G that gives the wanted Re. The comparison uses the Re that
quorvel-calc printed, so only the friction factor is under test.

Tolerance: 1E-6 relative. lambda is a 32-bit value (rounding <= 6E-8) printed with 7
significant digits (<= 5E-7); Re is printed with 7 digits too (<= 5E-7, of which at most a third
reaches lambda); K as a 32-bit input (<= 6E-8). Together below 8E-7.

Run: /usr/bin/python3 test_moody_crosscheck.py PATH/TO/quorvel-calc"""

import csv
import io
import math
import subprocess
import sys
import unittest

from fluids.friction import Moody

CALC = None
TOLERANCE = 1e-6

REYNOLDS = [1e3, 2.3e3, 4e3, 1e4, 3e4, 1e5, 1e6, 1e7, 1e8]
RELATIVE_ROUGHNESS = [0, 1e-5, 1e-4, 5e-4, 1e-3, 4e-3, 1e-2, 5e-2]
D_MM = 100.0
NU_20C = 0.0178e-4 / (1 + 0.0337 * 20 + 0.00022 * 400)


def flow_for(reynolds):
    # Re = V D / nu with V = G / (3600 * pi D^2 / 4), D in m, G in m³/h.
    area = math.pi * (D_MM / 1000) ** 2 / 4
    return reynolds * NU_20C / (D_MM / 1000) * area * 3600


class MoodyCrossCheck(unittest.TestCase):
    def test_friction_factor_matches_fluids_over_the_grid(self):
        grid = [(re_, ed) for re_ in REYNOLDS for ed in RELATIVE_ROUGHNESS]
        lines = ['D,L,t,G,K']
        for re_, ed in grid:
            lines.append('%g,1000,20,%.7g,%.7g' % (D_MM, flow_for(re_), ed * D_MM))
        result = subprocess.run([CALC, 'friction', '--csv', '-'], input='\n'.join(lines) + '\n',
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        rows = list(csv.DictReader(io.StringIO(result.stdout, newline='')))
        self.assertEqual(len(rows), len(grid))
        worst = 0.0
        for (re_, ed), row in zip(grid, rows):
            with self.subTest(Re=re_, eD=ed):
                printed_re = float(row['Re'])
                self.assertLess(abs(printed_re - re_) / re_, 1e-4)  # the grid point was hit
                expected = Moody(printed_re, float(row['K']) / float(row['D']))
                error = abs(float(row['lambda']) - expected) / expected
                worst = max(worst, error)
                self.assertLessEqual(error, TOLERANCE, (row['lambda'], expected))
        print('worst relative difference %.2e over %d grid points' % (worst, len(grid)),
              file=sys.stderr)


if __name__ == '__main__':
    CALC = sys.argv.pop(1)
    unittest.main(verbosity=1)
