"""quorvel-calc end to end: argument mode, CSV mode, failure codes, exit statuses, quoting.

Run: /usr/bin/python3 test_cli.py PATH/TO/quorvel-calc"""

import csv
import io
import os
import selectors
import subprocess
import sys
import tempfile
import unittest

CALC = None

FRICTION_HEADER = 'D,L,t,G,K,rho,nu,V,Re,lambda,Hf,error'


def run(*args, stdin=None):
    return subprocess.run([CALC, *args], input=stdin, capture_output=True, text=True,
                          timeout=60)


def values(stdout):
    return dict(line.split('=', 1) for line in stdout.splitlines())


def csv_rows(stdout):
    return list(csv.reader(io.StringIO(stdout, newline='')))


def friction_csv_with_peak(text):
    """Runs `friction --csv` on `text` from a file under GNU time; returns the completed
    process (GNU time's line stripped from its stderr) and the peak memory in KiB."""
    with tempfile.NamedTemporaryFile('w', suffix='.csv', delete=False) as f:
        f.write(text)
    try:
        result = subprocess.run(['/usr/bin/time', '-f', '%M', CALC, 'friction', '--csv',
                                 f.name], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True, timeout=120)
    finally:
        os.unlink(f.name)
    lines = result.stderr.splitlines()
    peak_kib = int(lines[-1])
    result.stderr = '\n'.join(lines[:-1])
    return result, peak_kib


class ArgumentMode(unittest.TestCase):
    def test_default_section_exact_texts(self):
        result = run('friction', '50', '1000', '45', '1', '0.2')
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual([line.split('=')[0] for line in result.stdout.splitlines()],
                         ['rho', 'nu', 'V', 'Re', 'lambda', 'Hf'])
        out = values(result.stdout)
        self.assertEqual(out['rho'], '990.12')
        self.assertEqual(out['nu'], '6.009453E-07')
        self.assertEqual(out['V'], '0.1414711')
        self.assertEqual(out['Hf'], '7.067252')
        self.assertAlmostEqual(float(out['Re']), 1.18e4, delta=0.01e4)
        self.assertAlmostEqual(float(out['lambda']), 0.036, delta=0.0005)

    def test_friction_worked_examples_to_three_decimals(self):
        # (inputs, rho, V, Hf) as published to three decimals: tolerance half a unit there.
        rows = {
            'default': ('50 1000 45 1 0.2', 990.12, 0.141, 7.067),
            'density from the quadratic at 45.5': ('50 1000 45.5 1 0.2', 988.249, 0.141, 7.045),
            'smooth pipe': ('50 1000 45 1 0', 990.12, 0.141, 5.881),
            'quadratic at 7': ('25 1000 7 1 0.2', 999.915, 0.566, 260.291),
            'table at 20': ('100 1000 20 10 0.2', 998.23, 0.354, 17.488),
        }
        for name, (args, rho, V, Hf) in rows.items():
            with self.subTest(name):
                result = run('friction', *args.split())
                self.assertEqual(result.returncode, 0, result.stderr)
                out = values(result.stdout)
                self.assertAlmostEqual(float(out['rho']), rho, delta=0.0005)
                self.assertAlmostEqual(float(out['V']), V, delta=0.0005)
                self.assertAlmostEqual(float(out['Hf']), Hf, delta=0.0005)

    def test_doubling_length_doubles_loss_only(self):
        single = values(run('friction', '50', '1000', '45', '1', '0.2').stdout)
        double = values(run('friction', '50', '2000', '45', '1', '0.2').stdout)
        self.assertEqual({k: v for k, v in double.items() if k != 'Hf'},
                         {k: v for k, v in single.items() if k != 'Hf'})
        # Hf doubles exactly in binary; the two 7-digit texts may differ by rounding only.
        self.assertAlmostEqual(float(double['Hf']), 2 * float(single['Hf']), delta=6e-6)
        self.assertAlmostEqual(float(double['Hf']), 14.135, delta=0.001)

    def test_no_laminar_law_at_low_reynolds(self):
        out = values(run('friction', '100', '1000', '20', '0.1', '0.2').stdout)
        self.assertAlmostEqual(float(out['Re']), 350, delta=1)
        self.assertAlmostEqual(float(out['lambda']), 0.084, delta=0.0005)

    def test_viscosity_rounded_once_from_64_bits(self):
        # At 0.22 °C the 64-bit viscosity is 1.76688152...E-06; through a 32-bit value it would
        # print 1.766881E-06.
        self.assertEqual(values(run('friction', '50', '1000', '0.22', '1', '0.2').stdout)['nu'],
                         '1.766882E-06')

    def test_local_worked_examples(self):
        rows = {
            'screen defaults, table density': ('1.0 1.2 50', '711.36', 0),
            'quadratic at 37.5': ('1.0 1.2 37.5', '714.479', 0.0005),
            'negative velocity squared away': ('1.0 -1.2 50', '711.36', 0),
            'zero coefficient': ('0 1.2 50', '0', 0),
            'last table row': ('2.5 2 100', '4792', 0),
            'extrapolated above the table': ('1 1 120', '454.215', 0.0005),
        }
        for name, (args, Hf, tolerance) in rows.items():
            with self.subTest(name):
                result = run('local', *args.split())
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(list(values(result.stdout)), ['Hf'])
                text = values(result.stdout)['Hf']
                if tolerance:
                    self.assertAlmostEqual(float(text), float(Hf), delta=tolerance)
                else:
                    self.assertEqual(text, Hf)

    def test_exit_statuses_and_one_line_messages(self):
        rows = {
            'zero diameter fails': (['friction', '0', '1000', '45', '1', '0.2'], 1,
                                    'zero-diameter'),
            'zero flow fails': (['friction', '50', '1000', '45', '0', '0.2'], 1, 'zero-reynolds'),
            'local overflow fails': (['local', '3e38', '1e10', '20'], 1, 'overflow'),
            'argument not a number': (['friction', '50', '1000', 'warm', '1', '0.2'], 2, 't'),
            'argument beyond 32 bits': (['local', '1', '1e39', '20'], 2, 'v'),
            'no command': ([], 2, 'command'),
            'unknown command': (['pressure', '1'], 2, 'pressure'),
            'too few arguments': (['friction', '50', '1000'], 2, 'friction'),
            'too many arguments': (['local', '1', '2', '3', '4'], 2, 'local'),
            'csv without file': (['local', '--csv'], 2, '--csv'),
            'missing file': (['friction', '--csv', '/nonexistent/sections.csv'], 2,
                             'sections.csv'),
            'directory as file': (['friction', '--csv', '/'], 2, '/'),
        }
        for name, (args, status, mentioned) in rows.items():
            with self.subTest(name):
                result = run(*args)
                self.assertEqual(result.returncode, status)
                self.assertEqual(result.stdout, '')
                self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
                self.assertIn(mentioned, result.stderr)

    def test_output_and_stream_failures_exit_two(self):
        with open('/dev/full', 'w') as full:
            result = subprocess.run([CALC, 'friction', '50', '1000', '45', '1', '0.2'],
                                    stdout=full, stderr=subprocess.PIPE, text=True)
        self.assertEqual(result.returncode, 2)
        self.assertIn('standard output', result.stderr)
        # A line with no end in sight would otherwise be held in memory whole.
        result = run('friction', '--csv', '-',
                     stdin='D,L,t,G,K\n50,1000,45,1,0.2\n' + '5' * (2 << 20) + '\n')
        self.assertEqual(result.returncode, 2)
        self.assertIn('line 3 is longer than 1 MiB', result.stderr)
        self.assertEqual(len(csv_rows(result.stdout)), 2)  # rows before it were written

    def test_user_texts_in_messages_escaped(self):
        # (arguments, what the message shows) – the argument quoted, its control characters,
        # bytes that are not UTF-8, the quote and the backslash escaped; other UTF-8 kept.
        rows = {
            'line break in a command': ([b'fric\ntion'], b'"fric\\ntion"'),
            'terminal escape': ([b'\x1b[2Jx'], b'"\\x1B[2Jx"'),
            'C1 control as UTF-8': (['a\u009bb'.encode()], b'"a\\u009Bb"'),
            'not UTF-8': ([b'a\xff\xc3b'], b'"a\\xFF\\xC3b"'),
            'Chinese kept': (['摩擦'.encode()], '"摩擦"'.encode()),
            'tab in a number': ([b'friction', b'50', b'1000', b'4\t5', b'1', b'0.2'],
                                b't "4\\t5"'),
            'quote and backslash': ([b'local', b'1', b'a"b\\c', b'20'], b'v "a\\"b\\\\c"'),
            'DEL and NUL-free bytes': ([b'local', b'1', b'2\x7f', b'20'], b'"2\\x7F"'),
            'file name': ([b'friction', b'--csv', b'/nonexistent/a\rb.csv'],
                          b'/nonexistent/a\\rb.csv'),
        }
        for name, (args, shown) in rows.items():
            with self.subTest(name):
                result = subprocess.run([CALC.encode(), *args], capture_output=True, timeout=60)
                self.assertEqual(result.returncode, 2)
                self.assertEqual(result.stdout, b'')
                self.assertIn(shown, result.stderr)
                message = result.stderr.removesuffix(b'\n')
                self.assertFalse([c for c in message if c < 0x20 or c == 0x7f], result.stderr)

    def test_help(self):
        result = run('--help')
        self.assertEqual(result.returncode, 0)
        for topic in ('--csv', 'D,L,t,G,K,rho,nu,V,Re,lambda,Hf,error', 'zeta,v,t,Hf,error',
                      'not-a-number:', 'out-of-range:', 'field-count', 'bad-quoting',
                      'Blank lines', 'Exit status'):
            self.assertIn(topic, result.stdout)


class Conversation(unittest.TestCase):
    """A program that writes one row and waits for its answer before it writes the next."""

    def setUp(self):
        self.process = subprocess.Popen([CALC, 'friction', '--csv', '-'], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.addCleanup(self.process.kill)
        self.selector = selectors.DefaultSelector()
        self.selector.register(self.process.stdout, selectors.EVENT_READ)
        self.addCleanup(self.selector.close)
        self.pending = b''

    def ask(self, line):
        self.process.stdin.write(line)
        self.process.stdin.flush()
        # Not a timing: a generous deadline that only turns a hang into a failure.
        while b'\n' not in self.pending:
            if not self.selector.select(timeout=30):
                self.fail('no answer to %r within 30 s' % line)
            chunk = os.read(self.process.stdout.fileno(), 65536)
            self.assertTrue(chunk, 'output ended')
            self.pending += chunk
        answer, self.pending = self.pending.split(b'\n', 1)
        return answer.decode()

    def test_every_row_answered_before_the_next(self):
        self.assertEqual(self.ask(b'D,L,t,G,K\r\n'), FRICTION_HEADER)
        rows = [(b'50,1000,45,1,0.2\n', '7.067252,'),
                (b'"50",1000,45,x,0.2\r\n', ',not-a-number:G'),
                (b'\n25,1000,7,1,0.2\n', '260.2909,')]
        for row, end in rows:
            with self.subTest(row=row):
                self.assertTrue(self.ask(row).endswith(end))
        self.process.stdin.close()
        self.assertEqual(self.process.wait(timeout=60), 1)
        self.assertEqual(self.pending + self.process.stdout.read(), b'')


class CsvMode(unittest.TestCase):
    def friction_csv(self, body, header='D,L,t,G,K\n'):
        return run('friction', '--csv', '-', stdin=header + body)

    def test_good_and_failing_rows(self):
        rows = [
            # (input row, expected error; '' = computed)
            ('50,1000,45,1,0.2', ''),
            ('0,1000,45,1,0.2', 'zero-diameter'),
            ('50,1000,45,0,0.2', 'zero-reynolds'),
            ('50,1000,45,-1,0.2', 'negative-root'),
            ('50,1000,-50,1,0.2', 'viscosity'),
            ('1e-30,1000,45,1,0.2', 'overflow'),
            ('abc,1000,45,1,0.2', 'not-a-number:D'),
            ('50,1 000,45,1,0.2', 'not-a-number:L'),
            ('50,1000,inf,1,0.2', 'not-a-number:t'),
            ('50,1000,45,1,5,0', 'field-count'),
            ('50,1000,45,,0.2', 'not-a-number:G'),
            ('50,1000,45,1,nan', 'not-a-number:K'),
            ('1e39,1000,45,1,0.2', 'out-of-range:D'),
            ('50,1000,45,-4e38,0.2', 'out-of-range:G'),
            ('x,1e39,45,1,0.2', 'not-a-number:D'),  # fields are checked in column order
            ('50,1e39,x,1,0.2', 'out-of-range:L'),
            ('50,1000,45', 'field-count'),
            ('50', 'field-count'),
            ('50,1000,45,1,0.2,', 'field-count'),
            ('50,1000,45,"1"0,0.2', 'bad-quoting'),
            ('50,1000,4"5,1,0.2', 'bad-quoting'),
        ]
        result = self.friction_csv(''.join(row + '\n' for row, _ in rows))
        self.assertEqual(result.returncode, 1, result.stderr)
        out = csv_rows(result.stdout)
        self.assertEqual(','.join(out[0]), FRICTION_HEADER)
        self.assertEqual(len(out), len(rows) + 1)
        for (row, error), got in zip(rows, out[1:]):
            with self.subTest(row):
                self.assertEqual(len(got), 12)
                self.assertEqual(got[11], error)
                if error:
                    self.assertEqual(got[5:11], [''] * 6)
                else:
                    self.assertEqual(got[7], '0.1414711')
                    self.assertEqual(got[10], '7.067252')
                if error not in ('field-count', 'bad-quoting'):
                    self.assertEqual(got[:5], row.split(','))
        self.assertEqual(out[10][:5], ['50', '1000', '45', '1', '5'])  # first fields kept
        self.assertEqual(out[17][:5], ['50', '1000', '45', '', ''])

    def test_all_rows_computed_exit_zero(self):
        result = self.friction_csv('50,1000,45,1,0.2\n100,1000,20,10,0.2\n')
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(len(csv_rows(result.stdout)), 3)
        self.assertEqual(result.stderr, '')

    def test_header_only_is_an_empty_success(self):
        result = self.friction_csv('')
        self.assertEqual((result.returncode, result.stdout), (0, FRICTION_HEADER + '\n'))

    def test_header_errors(self):
        rows = {
            'empty input': '',
            'columns out of order': 'D,L,G,t,K\n',
            'extra column': 'D,L,t,G,K,note\n',
            'missing column': 'D,L,t,G\n',
            'names are case-sensitive': 'd,l,t,g,k\n',
            'no header, data first': '50,1000,45,1,0.2\n',
            'local header for friction': 'zeta,v,t\n',
        }
        for name, header in rows.items():
            with self.subTest(name):
                result = self.friction_csv('50,1000,45,1,0.2\n', header=header)
                self.assertEqual(result.returncode, 2)
                self.assertEqual(result.stdout, '')
                self.assertEqual(len(result.stderr.splitlines()), 1)
                self.assertIn('D,L,t,G,K', result.stderr)

    def test_header_variants_accepted(self):
        rows = {
            'quoted names': '"D","L","t","G","K"\n',
            'CRLF': 'D,L,t,G,K\r\n',
            'byte order mark': '\ufeffD,L,t,G,K\n',
            'blank lines before': '\n\nD,L,t,G,K\n',
        }
        for name, header in rows.items():
            with self.subTest(name):
                result = self.friction_csv('50,1000,45,1,0.2\r\n', header=header)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(csv_rows(result.stdout)[1][10], '7.067252')

    def test_quoting_line_ends_and_blank_lines(self):
        body = ('"50","1000","45","1","0.2"\r\n'
                '\r\n'
                '"50,5",1000,45,1,0.2\n'
                '\n'
                '"say ""50""",1000,45,1,0.2\n'
                '"5\n0",1000,45,1,0.2\n'
                ' 50 ,1000,45,1,0.2\n'
                '50,1000,45,1,"0.2\n')
        result = self.friction_csv(body)
        self.assertEqual(result.returncode, 1)
        out = csv_rows(result.stdout)
        self.assertEqual([row[0] for row in out[1:]],
                         ['50', '50,5', 'say "50"', '5\n0', ' 50 ', '50'])
        self.assertEqual([row[11] for row in out[1:]],
                         ['', 'not-a-number:D', 'not-a-number:D', 'not-a-number:D', '',
                          'bad-quoting'])
        self.assertTrue(all(len(row) == 12 for row in out))
        self.assertIn('"50,5"', result.stdout)
        self.assertIn('"say ""50"""', result.stdout)
        self.assertEqual(out[5][10], '7.067252')  # blanks around a number are allowed

    def test_file_and_stdin_agree(self):
        body = 'D,L,t,G,K\n50,1000,45,1,0.2\n25,1000,7,1,0.2\n'
        with tempfile.NamedTemporaryFile('w', suffix='.csv', delete=False) as f:
            f.write(body)
        try:
            from_file = run('friction', '--csv', f.name)
        finally:
            os.unlink(f.name)
        from_stdin = run('friction', '--csv', '-', stdin=body)
        self.assertEqual(from_file.returncode, 0)
        self.assertEqual(from_file.stdout, from_stdin.stdout)

    def test_local_csv(self):
        result = run('local', '--csv', '-',
                     stdin='zeta,v,t\n1.0,1.2,50\n2.5,2,100\n1,1e20,50\n1,x,50\n1,2\n')
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout,
                         'zeta,v,t,Hf,error\n'
                         '1.0,1.2,50,711.36,\n'
                         '2.5,2,100,4792,\n'
                         '1,1e20,50,,overflow\n'
                         '1,x,50,,not-a-number:v\n'
                         '1,2,,,field-count\n')

    def test_unterminated_quote_at_the_end_is_one_row(self):
        result = self.friction_csv('50,1000,45,1,0.2\n"50,1000,45,1,0.2\n50,1000,45,1,0.2\n')
        out = csv_rows(result.stdout)
        self.assertEqual(len(out), 3)
        self.assertEqual(out[2][11], 'bad-quoting')

    @unittest.skipUnless(os.access('/usr/bin/time', os.X_OK), 'GNU time not installed')
    def test_memory_stays_flat_on_a_long_stream(self):
        # GNU time reports the peak of its own child; this Python process's size would
        # otherwise count towards the child forked from it.
        rows = 500000
        result, peak_kib = friction_csv_with_peak(
            'D,L,t,G,K\n' + '50,1000,45.5,1,0.2\n100,2000,20,10,0.2\n' * (rows // 2))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertLess(peak_kib, 20 * 1024)

    @unittest.skipUnless(os.access('/usr/bin/time', os.X_OK), 'GNU time not installed')
    def test_memory_stays_flat_on_a_line_of_commas(self):
        # Just under the 1 MiB line limit, about a million empty fields: only the first five
        # are worth keeping.
        result, peak_kib = friction_csv_with_peak(
            'D,L,t,G,K\n50,1000,45,1,' + ',' * ((1 << 20) - 16) + '\n50,1000,45,1,0.2\n')
        self.assertEqual(result.returncode, 1, result.stderr)
        out = csv_rows(result.stdout)
        self.assertEqual(out[1], ['50', '1000', '45', '1', ''] + [''] * 6 + ['field-count'])
        self.assertEqual(out[2][10], '7.067252')
        self.assertLess(peak_kib, 20 * 1024)


if __name__ == '__main__':
    CALC = sys.argv.pop(1)
    unittest.main(verbosity=1)
