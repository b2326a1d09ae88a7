"""quorvel-calc --table: the workbook the result table would save, read back by xlrd and
openpyxl and compared with a model built here from the rules of the table.

Run: /usr/bin/python3 test_table.py PATH/TO/quorvel-calc"""

import csv
import io
import os
import subprocess
import sys
import tempfile
import unittest
from decimal import Decimal, ROUND_HALF_UP

import openpyxl
import xlrd

CALC = None


def fixed(text, decimals):
    value = Decimal(text).quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_UP)
    out = f'{value:.{decimals}f}'
    return out[1:] if out.startswith('-') and Decimal(out) == 0 else out


def friction_line(d, l, t, g, k, v):
    return (' ' + d + 'mm       ' + l + 'mm    ' + t + '℃      ' + g + 'm^3/h      ' + k +
            'mm     ' + fixed(v, 2) + 'm/s')


def read_cells(path):
    if path.lower().endswith('.xlsx'):
        sheet = openpyxl.load_workbook(path).worksheets[0]
        return sheet.title, {(c.row - 1, c.column - 1): c.value
                             for row in sheet.iter_rows() for c in row if c.value is not None}
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    return sheet.name, {(r, c): sheet.cell_value(r, c) for r in range(sheet.nrows)
                        for c in range(sheet.ncols)
                        if sheet.cell_type(r, c) != xlrd.XL_CELL_EMPTY}


class Table(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.csv = os.path.join(self.dir.name, 'in.csv')

    def tearDown(self):
        self.dir.cleanup()

    def run_table(self, command, text, out_name):
        with open(self.csv, 'w', encoding='utf-8') as f:
            f.write(text)
        out = os.path.join(self.dir.name, out_name)
        result = subprocess.run([CALC, command, '--csv', self.csv, '--table', out],
                                capture_output=True, text=True, timeout=120)
        return result, out

    def test_friction_rows_in_order_failed_rows_left_out(self):
        rows = [('50', '1000', '45', '1', '0.2'), ('0', '1000', '45', '1', '0.2'),
                (' 100 ', '12000', '7', '25.5', '.2'), ('abc', '1', '1', '1', '1')]
        text = 'D,L,t,G,K\n' + ''.join(','.join(r) + '\n' for r in rows)
        for name in ('t.xls', 't.XLSX'):
            with self.subTest(name=name):
                result, out = self.run_table('friction', text, name)
                self.assertEqual(result.returncode, 1, result.stderr)
                computed = list(csv.DictReader(io.StringIO(result.stdout, newline='')))
                self.assertEqual(len(computed), 4)
                good = [r for r in computed if not r['error']]
                sheet, cells = read_cells(out)
                self.assertEqual(sheet, 'sheet1')
                self.assertEqual(cells[(0, 2)], '直径D        长度L    水温t      流量G     粗糙度k     水流速度v')
                for i, r in enumerate(good):
                    self.assertEqual(cells[(i + 1, 2)],
                                     friction_line(r['D'], r['L'], r['t'], r['G'], r['K'], r['V']))
                    self.assertEqual(cells[(i + 1, 3)], float(fixed(r['Hf'], 3)))
                total = sum(float(fixed(r['Hf'], 3)) for r in good)
                self.assertEqual(cells[(len(good) + 1, 2)], '总沿程阻力值（Pa）')
                self.assertAlmostEqual(cells[(len(good) + 1, 3)], total, places=9)
                self.assertEqual(len(cells), 2 + 2 * len(good) + 2)

    def test_local_table_and_empty_table(self):
        result, out = self.run_table('local', 'zeta,v,t\n1.0,1.2,50\n', 'l.xls')
        self.assertEqual(result.returncode, 0, result.stderr)
        _, cells = read_cells(out)
        self.assertEqual(cells[(1, 2)], '   1.0           50℃      1.2m/s      ')
        self.assertEqual(cells[(1, 3)], 711.36)
        self.assertEqual(cells[(2, 3)], 711.36)

        result, out = self.run_table('local', 'zeta,v,t\n', 'e.xls')
        self.assertEqual(result.returncode, 0, result.stderr)
        _, cells = read_cells(out)
        self.assertEqual(sorted(cells), [(0, 2), (0, 3)])

    def test_unwritable_workbook_keeps_csv_and_exits_2(self):
        text = 'zeta,v,t\n1,1,20\n2,1,20\n'
        with open(self.csv, 'w') as f:
            f.write(text)
        out = os.path.join(self.dir.name, 'missing', 'x.xls')
        result = subprocess.run([CALC, 'local', '--csv', self.csv, '--table', out],
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 2)
        self.assertEqual(len(result.stdout.splitlines()), 3)
        self.assertIn(out, result.stderr)
        self.assertFalse(os.path.exists(out))

    def test_existing_workbook_is_replaced(self):
        out = os.path.join(self.dir.name, 'old.xlsx')
        with open(out, 'w') as f:
            f.write('old')
        result, _ = self.run_table('local', 'zeta,v,t\n1,1,20\n', 'old.xlsx')
        self.assertEqual(result.returncode, 0, result.stderr)
        _, cells = read_cells(out)
        self.assertEqual(cells[(2, 2)], '总局部阻力值（Pa）')


if __name__ == '__main__':
    CALC = sys.argv.pop(1)
    unittest.main(verbosity=1)
