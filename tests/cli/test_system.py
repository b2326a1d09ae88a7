"""quorvel-calc system against the independent model in system_model.py: a hand-worked tree,
random trees field by field, every kind of bad input, the screen model against the friction
command, the summary, the workbook read back and the exit statuses.

Run: /usr/bin/python3 test_system.py PATH/TO/quorvel-calc DATA_FOLDER"""

import csv
import io
import json
import math
import os
import random
import subprocess
import sys
import tempfile
import unittest

import openpyxl
import xlrd

import system_model

CALC = None
CATALOG = None
HEADER = 'id,up,L,G,Q,DN,d,zeta,equip'
OUT_COLUMNS = ['id', 'up', 'G', 'DN', 'd', 'v', 'R', 'Py', 'zeta', 'Pd', 'Pj', 'equip', 'P',
               'Pend', 'note', 'error']
FIGURES = ['G', 'd', 'v', 'R', 'Py', 'zeta', 'Pd', 'Pj', 'equip', 'P', 'Pend']


def csv_text(rows):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator='\n')
    writer.writerow(system_model.FIELDS)
    for row in rows:
        writer.writerow([row.get(f, '') for f in system_model.FIELDS])
    return out.getvalue()


def option_args(options):
    args = []
    for key, value in options.items():
        if key == 'doubled':
            if value:
                args.append('--return-doubled')
        elif key == 'lift':
            if value is not None:
                args += ['--open', repr(value)]
        elif key == 'series':
            args += ['--series', value]
        elif value is not None:
            args += ['--' + key, repr(value)]
    return args


class System(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, 'in.csv')

    def tearDown(self):
        self.dir.cleanup()

    def run_calc(self, text, *args, check=True):
        with open(self.path, 'w', encoding='utf-8', newline='') as f:
            f.write(text)
        summary = os.path.join(self.dir.name, 'summary.txt')
        result = subprocess.run([CALC, 'system', '--csv', self.path, '--summary', summary,
                                 *args], capture_output=True, text=True, timeout=120)
        if check:
            self.assertEqual(result.returncode, 0, result.stderr)
        rows = list(csv.DictReader(io.StringIO(result.stdout)))
        lines = {}
        if os.path.exists(summary):
            with open(summary, encoding='utf-8') as f:
                text = f.read()
            for line in text.splitlines():
                key, _, value = line.partition('=')
                lines.setdefault(key, []).append(value)
        return result, rows, lines

    def assertClose(self, got, expected, what, rel=2e-6):
        # The output has 7 significant digits: half a unit in the 7th is 5e-7 relative.
        self.assertTrue(math.isclose(float(got), expected, rel_tol=rel, abs_tol=1e-9),
                        f'{what}: {got} against {expected!r}')

    def compare(self, inputs, rows, summary, model_rows, model_summary, label):
        self.assertEqual(len(rows), len(inputs), label)
        for row, given, want in zip(rows, inputs, model_rows):
            what = f'{label} row {given["id"]!r}'
            errors = set(row['error'].split(';')) if row['error'] else set()
            self.assertEqual(errors, want['errors'], what)
            if want['errors']:
                self.assertTrue(all(row[c] == '' for c in OUT_COLUMNS[2:15]), what)
                continue
            self.assertEqual(row['note'], ';'.join(want['notes']), what)
            self.assertEqual(row['DN'], '' if want['DN'] is None else str(want['DN']), what)
            for c in FIGURES:
                self.assertClose(row[c], want[c], f'{what} {c}')
        if model_summary is None:
            self.assertEqual(summary['head_kPa'], [''], label)
            return
        self.assertEqual(summary['critical'], [model_summary['critical']], label)
        for key in ['flow_m3h', 'critical_Pa', 'head_kPa', 'head_m']:
            self.assertClose(summary[key][0], model_summary[key], f'{label} {key}')
        got = [u.split(',') for u in summary.get('unbalanced', [])]
        self.assertEqual([u[0] for u in got], [u[0] for u in model_summary['unbalanced']], label)
        for g, w in zip(got, model_summary['unbalanced']):
            for text, value in zip(g[1:], w[1:]):
                self.assertClose(text, value, f'{label} unbalanced {w[0]}', rel=1e-5)

    def check_against_model(self, inputs, label, **options):
        _, rows, summary = self.run_calc(csv_text(inputs), *option_args(options))
        model_rows, model_summary = system_model.compute(inputs, CATALOG, **options)
        self.compare(inputs, rows, summary, model_rows, model_summary, label)

    # Worked by hand, t = 10 C: rho = 999.73 kg/m3 (table row), nu = 1.78e-6 / (1 + 0.337 +
    # 0.022) = 1.3098e-6 m2/s, K = 0.2 mm.
    #  T1: Q = 35 kW -> G = 3600 x 35 / (4.187 x 999.73 x 5) = 126000 / 20929.35 = 6.0203 m3/h;
    #      d = 40 mm: A = 1.2566e-3 m2, v = 6.0203 / 3600 / A = 1.3308 m/s,
    #      Re = 1.3308 x 0.04 / 1.3098e-6 = 40641, Colebrook at K/d = 0.005: lambda = 0.032555,
    #      R = 0.032555 / 0.04 x 999.73 x 1.3308^2 / 2 = 720.46 Pa/m, Py = 10 m x R = 7204.6,
    #      Pd = 885.23, Pj = 3 x Pd = 2655.7, P = 7204.6 + 2655.7 + 40000 = 49860 Pa.
    #  T2: G = 6, DN50 (52.7 mm): v = 0.76408, Re = 30743, lambda = 0.031269, R = 173.15,
    #      Py = 3463.1, Pd = 291.83, Pj = 875.49, P = 3463.1 + 875.49 + 30000 = 34339 Pa.
    #  S1: G = 6.0203 + 6 = 12.020 (summed), DN80 (80.9 mm): v = 0.64957, lambda = 0.028106,
    #      R = 73.275, Py = 40 x R = 2931.0, Pj = 2 x 210.91 = 421.82, P = 3352.8 Pa.
    #  Pend: T1 3352.8 + 49860 = 53213, T2 3352.8 + 34339 = 37691 -> critical S1>T1, 53213 Pa.
    #  H = 1.1 x (53213 + 50000) = 113534 Pa = 113.53 kPa = 113534 / (999.73 x 9.81) = 11.576 m.
    #  Balance at S1: T2 is (49860 - 34339) / 49860 = 31.13 % below T1: extra 15522 Pa,
    #  Kv = 6 / sqrt(15.522 kPa / 100 kPa) = 15.229.
    def test_hand_worked_tree(self):
        text = ('id,up,L,G,Q,DN,d,zeta,equip\n'
                'S1,,40,,,80,,2,\n'
                'T1,S1,10,,35,,40,3,40\n'
                'T2,S1,20,6,,50,,3,30\n')
        _, rows, summary = self.run_calc(text, '--t', '10', '--plant', '50')
        by_id = {r['id']: r for r in rows}
        expected = {
            'T1': dict(G=6.0203, v=1.3308, R=720.46, Py=7204.6, Pd=885.23, Pj=2655.7, P=49860,
                       Pend=53213),
            'T2': dict(G=6, v=0.76408, R=173.15, Py=3463.1, Pd=291.83, Pj=875.49, P=34339,
                       Pend=37691),
            'S1': dict(G=12.020, v=0.64957, R=73.275, Py=2931.0, Pd=210.91, Pj=421.82, P=3352.8,
                       Pend=3352.8),
        }
        for section, figures in expected.items():
            for key, value in figures.items():
                self.assertClose(by_id[section][key], value, f'{section} {key}', rel=1e-4)
        self.assertEqual(by_id['T2']['DN'], '50')
        self.assertEqual(by_id['T1']['DN'], '')
        self.assertEqual(summary['critical'], ['S1>T1'])
        self.assertClose(summary['critical_Pa'][0], 53213, 'critical', rel=1e-4)
        self.assertClose(summary['head_kPa'][0], 113.53, 'head', rel=1e-4)
        self.assertClose(summary['head_m'][0], 11.576, 'head m', rel=1e-4)
        branch, percent, extra, kv = summary['unbalanced'][0].split(',')
        self.assertEqual(branch, 'T2')
        self.assertClose(percent, 31.13, 'percent', rel=1e-3)
        self.assertClose(extra, 15522, 'extra', rel=1e-4)
        self.assertClose(kv, 15.229, 'Kv', rel=1e-4)

    def random_tree(self, rng, n, bad=0.0):
        rows = []
        for i in range(n):
            row = dict(id=f'S{i}', up='' if i == 0 or rng.random() < 0.05 else
                       f'S{rng.randrange(max(0, i - 8), i)}',
                       L=f'{rng.uniform(1, 80):.3g}', G='', Q='', DN='', d='',
                       zeta=f'{rng.uniform(0, 8):.2g}' if rng.random() < 0.8 else '',
                       equip=f'{rng.uniform(0, 60):.3g}' if rng.random() < 0.3 else '')
            rows.append(row)
        has_child = {r['up'] for r in rows}
        for row in rows:
            terminal = row['id'] not in has_child
            pick = rng.random()
            if terminal or pick < 0.15:
                if rng.random() < 0.5:
                    row['Q'] = f'{rng.uniform(0, 400):.4g}'
                else:
                    row['G'] = f'{rng.uniform(0, 60):.4g}'
            pick = rng.random()
            if pick < 0.1:
                row['d'] = f'{rng.uniform(10, 300):.4g}'
            elif pick < 0.2:
                row['DN'] = str(rng.choice([15, 20, 25, 32, 40, 50, 65, 80, 100, 125, 150, 200]))
        for row in rows:
            if rng.random() < bad:
                kind = rng.randrange(9)
                if kind == 0:
                    row['L'] = rng.choice(['', 'abc', '-3', 'nan', 'inf', '１２', '1e999'])
                elif kind == 1:
                    row['G'] = rng.choice(['-1', 'x', '0x10'])
                elif kind == 2:
                    row['up'] = 'nowhere'
                elif kind == 3:
                    row['id'] = rng.choice(['', 'S0', 'S1'])
                elif kind == 4:
                    row['d'] = rng.choice(['0', '-5'])
                elif kind == 5:
                    row['DN'] = rng.choice(['33', '0', '50.5'])
                    row['d'] = ''
                elif kind == 6:
                    row['G'] = row['Q'] = ''
                elif kind == 7:
                    row['up'] = row['id']
                else:
                    row['zeta'] = rng.choice(['-0.5', '1,5', ' 2 '])
        return rows

    def test_random_trees_against_model(self):
        rng = random.Random(17)
        for trial in range(120):
            n = rng.choice([1, 2, 5, 20, 60])
            rows = self.random_tree(rng, n, bad=0.0 if trial % 3 else 0.15)
            options = dict(t=rng.choice([7.0, 10.0, 12.5, 45.0]), dt=rng.choice([5.0, 6.0, 10.0]),
                           series=rng.choice(['steel', 'steel', 'seamless', 'copper-B',
                                              'ppr-S5']),
                           rmax=rng.choice([300.0, 150.0, 400.0]),
                           doubled=rng.random() < 0.4, plant=rng.choice([0.0, 80.0]),
                           safety=rng.choice([1.1, 1.0, 1.25]),
                           balance=rng.choice([15.0, 5.0]))
            if rng.random() < 0.4:
                options['lift'] = rng.choice([0.0, 12.5])
            if rng.random() < 0.3:
                options['k'] = rng.choice([0.0, 0.05, 1.0])
            with self.subTest(trial=trial):
                self.check_against_model(rows, f'trial {trial}', **options)

    def test_every_bad_input_kind(self):
        rows = [
            dict(id='P', up='', L='10'),
            dict(id='A', up='P', L='', G='5'),  # missing L
            dict(id='B', up='P', L='5', G='abc'),  # not a number
            dict(id='C', up='P', L='-1', G='5'),  # negative length
            dict(id='D', up='P', L='5', G='-2'),  # negative flow
            dict(id='E', up='P', L='5', G='2', d='-40'),  # negative diameter
            dict(id='F', up='P', L='5', G='2', d='0'),  # zero diameter
            dict(id='G', up='P', L='5', G='2', DN='33'),  # no such DN
            dict(id='H', up='nowhere', L='5', G='2'),  # unknown upstream
            dict(id='I', up='K', L='5'),  # loop I -> K -> J -> I
            dict(id='J', up='I', L='5', G='1'),
            dict(id='K', up='J', L='5', G='1'),
            dict(id='L', up='I', L='5', G='1'),  # below the loop
            dict(id='M', up='P', L='5'),  # terminal without flow
            dict(id='N', up='P', L='5', G='nan'),
            dict(id='O', up='P', L='inf', G='1'),
            dict(id='Q', up='P', L='1e999', G='1'),
            dict(id='R', up='P', L='５', G='1'),  # full-width digit
            dict(id='', up='P', L='5', G='1'),  # empty id
            dict(id='T', up='P', L='5', G='1'),
            dict(id='T', up='P', L='5', G='1'),  # duplicate
            dict(id='U', up='T', L='5', G='1'),  # below a duplicated id
            dict(id='V', up='A', L='5', G='1'),  # below a failed section
            dict(id='W', up='P', L='5', G='1e300'),  # beyond any finite loss
            dict(id='X', up='', L='5', G='1', zeta='-0.3'),  # a negative zeta is allowed
        ]
        for row in rows:
            for f in system_model.FIELDS:
                row.setdefault(f, '')
        _, out, _ = self.run_calc(csv_text(rows))
        errors = {r['id'] + '#' + str(i): r['error'] for i, r in enumerate(out)}
        expected = ['flow-from-failed', 'missing-L', 'not-number-G', 'negative-L',
                    'negative-G', 'negative-d', 'zero-d', 'unknown-DN', 'unknown-up', 'loop',
                    'loop', 'loop', 'up-failed', 'no-flow', 'not-number-G', 'not-number-L',
                    'not-number-L', 'not-number-L', 'missing-id', 'duplicate-id',
                    'duplicate-id', 'up-failed', 'up-failed', 'not-computable', '']
        self.assertEqual([r['error'] for r in out], expected, errors)
        # A row with an error has no figures; the others are computed.
        self.assertEqual(out[-1]['G'], '1')
        self.assertTrue(float(out[-1]['Pj']) < 0)
        model_rows, _ = system_model.compute(rows, CATALOG)
        self.assertEqual([';'.join(sorted(m['errors'])) for m in model_rows], expected)

    def test_screen_model_is_the_friction_command(self):
        # R of the screen model is the friction command's Hf with L = 1000 mm, to the digit.
        cases = [('52.7', '6', '7', '0.2'), ('20', '0.3', '45', '0.5'), ('106.3', '40', '60',
                                                                        '0.05')]
        for d, g, t, k in cases:
            _, out, _ = self.run_calc(HEADER + f'\nA,,10,{g},,,{d},,\n', '--friction', 'screen',
                                      '--t', t, '--k', k)
            screen = subprocess.run([CALC, 'friction', d, '1000', t, g, k], capture_output=True,
                                    text=True, check=True).stdout
            values = dict(line.split('=') for line in screen.split())
            self.assertEqual(out[0]['R'], values['Hf'], (d, g, t, k))
            self.assertEqual(out[0]['v'], values['V'], (d, g, t, k))

    def test_settings_out_of_range_fail_every_row(self):
        for args, code in [(['--t', '150'], 'bad-setting-t'), (['--t', '-1'], 'bad-setting-t'),
                           (['--dt', '0'], 'bad-setting-dt'), (['--rmax', '-5'],
                                                               'bad-setting-rmax'),
                           (['--safety', '0'], 'bad-setting-safety'),
                           (['--open', '-2'], 'bad-setting-open')]:
            result, out, summary = self.run_calc(HEADER + '\nA,,1,1,,,,,\nB,A,1,1,,,,,\n', *args)
            self.assertEqual([r['error'] for r in out], [code, code], args)
            self.assertEqual(summary['head_kPa'], [''], args)

    def test_usage_errors_and_unwritable_outputs(self):
        with open(self.path, 'w') as f:
            f.write(HEADER + '\nA,,1,1,,,,,\n')
        for args in [['--csv', self.path, '--t', 'warm'], ['--csv', self.path, '--series', 'x'],
                     ['--csv', self.path, '--friction', 'moody'], ['--t', '7'],
                     ['--csv', self.path, '--bogus', '1'], ['--csv', self.path, '--dt']]:
            result = subprocess.run([CALC, 'system', *args], capture_output=True, text=True)
            self.assertEqual(result.returncode, 2, args)
            self.assertEqual(result.stdout, '', args)
        with open(self.path, 'w') as f:
            f.write('id,up,L,G,Q,DN,d,zeta\nA,,1,1,,,,\n')
        self.assertEqual(subprocess.run([CALC, 'system', '--csv', self.path],
                                        capture_output=True).returncode, 2)
        with open(self.path, 'w') as f:
            f.write(HEADER + '\nA,,1,1,,,,,\n')
        missing = os.path.join(self.dir.name, 'no', 'such', 'out')
        for option in ['--summary', '--table']:
            result = subprocess.run([CALC, 'system', '--csv', self.path, option, missing],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 2, option)
            # Standard output is complete all the same.
            self.assertEqual(len(result.stdout.splitlines()), 2, option)

    def test_malformed_rows_fail_with_what_hangs_on_them(self):
        _, out, _ = self.run_calc(HEADER + '\nA,,1,1,,,,\nB,A,1,1,,,,,\nC,,1,"1,,,,,\n')
        self.assertEqual([r['error'] for r in out], ['bad-row', 'up-failed', 'bad-row'])

    def test_workbook_read_back(self):
        rng = random.Random(5)
        rows = self.random_tree(rng, 30, bad=0.1)
        _, out, summary = self.run_calc(csv_text(rows))
        for name in ['t.xlsx', 't.xls']:
            table = os.path.join(self.dir.name, name)
            self.run_calc(csv_text(rows), '--table', table)
            if name.endswith('.xlsx'):
                sheet = openpyxl.load_workbook(table).worksheets[0]
                cells = [[c.value for c in r] for r in sheet.iter_rows()]
            else:
                sheet = xlrd.open_workbook(table).sheet_by_index(0)
                cells = [[None if sheet.cell_type(r, c) == xlrd.XL_CELL_EMPTY
                          else sheet.cell_value(r, c) for c in range(sheet.ncols)]
                         for r in range(sheet.nrows)]
            self.assertEqual([h.split(' (')[0] for h in cells[0][:16]], OUT_COLUMNS, name)
            self.assertEqual(cells[0][6], 'R (Pa/m)', name)
            for i, row in enumerate(out):
                got = cells[i + 1]
                for c, column in enumerate(OUT_COLUMNS):
                    value = got[c] if c < len(got) else None
                    if row[column] == '':
                        self.assertIn(value, (None, ''), (name, i, column))
                    elif column in ('id', 'up', 'note', 'error'):
                        self.assertEqual(str(value), row[column], (name, i, column))
                    else:
                        self.assertClose(value, float(row[column]), f'{name} {i} {column}',
                                         rel=1e-12)
            keys = {r[0]: r[1] for r in cells[len(out) + 2:] if r and r[0]}
            self.assertClose(keys['head_kPa'], float(summary['head_kPa'][0]), name, rel=1e-12)
            self.assertEqual(keys['critical'] or '', summary['critical'][0], name)

    def test_project_file_runs_like_its_csv(self):
        project = {'format': 'quorvel-system', 'version': 1, 'title': '样例',
                   'settings': {'t': 10, 'plantKPa': 50},
                   'sections': [{'id': 'S1', 'L': '40', 'DN': '80', 'zeta': '2'},
                                {'id': 'T1', 'up': 'S1', 'L': '10', 'Q': '35', 'd': '40',
                                 'zeta': '3', 'equip': '40'}]}
        path = os.path.join(self.dir.name, 'p.qvs')
        with open(path, 'w', encoding='utf-8') as f:
            json.dump(project, f, ensure_ascii=False)
        from_project = subprocess.run([CALC, 'system', '--project', path], capture_output=True,
                                      text=True, check=True).stdout
        with open(self.path, 'w') as f:
            f.write(HEADER + '\nS1,,40,,,80,,2,\nT1,S1,10,,35,,40,3,40\n')
        from_csv = subprocess.run([CALC, 'system', '--csv', self.path, '--t', '10', '--plant',
                                   '50'], capture_output=True, text=True, check=True).stdout
        self.assertEqual(from_project, from_csv)
        # An option overrides the project's setting.
        warmer = subprocess.run([CALC, 'system', '--project', path, '--t', '45'],
                                capture_output=True, text=True, check=True).stdout
        self.assertNotEqual(warmer, from_project)
        for text, needle in [('{"format": "quorvel-system", "version": 2}', '较新版本'),
                             ('{"format": "x"}', '不是水系统工程文件'), ('{', 'JSON'),
                             ('[' * 100 + ']' * 100, '嵌套')]:
            with open(path, 'w') as f:
                f.write(text)
            result = subprocess.run([CALC, 'system', '--project', path], capture_output=True,
                                    text=True)
            self.assertEqual(result.returncode, 2, text)
            self.assertIn(needle, result.stderr, text)


if __name__ == '__main__':
    CALC = sys.argv[1]
    CATALOG = system_model.Catalog(sys.argv[2])
    unittest.main(argv=[sys.argv[0]], verbosity=1)
