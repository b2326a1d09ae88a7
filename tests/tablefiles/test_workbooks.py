"""The workbook writers end to end: workbooks written by workbook_fixture, read back by xlrd
(.xls) and openpyxl (.xlsx), and the .xls record structure that neither reader checks.

Run: /usr/bin/python3 test_workbooks.py PATH/TO/workbook_fixture"""

import math
import os
import resource
import signal
import struct
import subprocess
import sys
import tempfile
import unittest

import openpyxl
import xlrd
from xlrd import compdoc

FIXTURE = None
FORMATS = ('xls', 'xlsx')


def escape(text):
    return (text.replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n')
            .replace('\r', '\\r'))


def run(args, stdin, **options):
    """Runs the fixture; returns its failure word ('ok', 'TooManyRows', ...) and errno."""
    result = subprocess.run([FIXTURE, *args], input=stdin.encode('utf-8', 'surrogateescape'),
                            capture_output=True, timeout=300, **options)
    word, error = result.stdout.decode().split()
    return word, int(error)


def write_cells(path, cells, *flags, **options):
    """cells: (row, column, text), with 'G' as a fourth item for the General style."""
    lines = ''.join(f'{c[0]}\t{c[1]}\t{c[3] if len(c) > 3 else "F"}\t{escape(c[2])}\n'
                    for c in cells)
    return run(['cells', path, *flags], lines, **options)


def write_table(kind, path, rows, total, **options):
    lines = ''.join(f'{escape(p)}\t{escape(r)}\n' for p, r in rows)
    return run(['table', kind, path, total], lines, **options)


def read_xls(path):
    """(sheet names, {(row, column): (kind, value, number format)}) through xlrd."""
    with open(os.devnull, 'w') as quiet:
        book = xlrd.open_workbook(path, formatting_info=True, logfile=quiet)
    sheet = book.sheet_by_index(0)
    kinds = {xlrd.XL_CELL_TEXT: 'text', xlrd.XL_CELL_NUMBER: 'number'}
    cells = {}
    for r in range(sheet.nrows):
        for c, cell in enumerate(sheet.row(r)):
            if cell.ctype != xlrd.XL_CELL_EMPTY:
                shown = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
                cells[(r, c)] = (kinds[cell.ctype], cell.value, shown)
    return book.sheet_names(), cells


def read_xlsx(path, read_only=False):
    book = openpyxl.load_workbook(path, read_only=read_only)
    cells = {}
    for row in book.worksheets[0].iter_rows():
        for cell in row:
            if cell.value is not None:
                kind = 'text' if isinstance(cell.value, str) else 'number'
                cells[(cell.row - 1, cell.column - 1)] = (kind, cell.value, cell.number_format)
    return book.sheetnames, cells


def read(path, fmt):
    return read_xls(path) if fmt == 'xls' else read_xlsx(path)


def cell_at(path, fmt, row, column):
    """One cell of a sheet too sparse to walk whole: (kind, value, number format)."""
    if fmt == 'xlsx':
        cell = openpyxl.load_workbook(path).worksheets[0].cell(row + 1, column + 1)
        return 'text' if isinstance(cell.value, str) else 'number', cell.value, cell.number_format
    with open(os.devnull, 'w') as quiet:
        book = xlrd.open_workbook(path, formatting_info=True, logfile=quiet)
    cell = book.sheet_by_index(0).cell(row, column)
    kind = {xlrd.XL_CELL_TEXT: 'text', xlrd.XL_CELL_NUMBER: 'number'}[cell.ctype]
    return kind, cell.value, book.format_map[book.xf_list[cell.xf_index].format_key].format_str


def shown(decimals):
    return '0.' + '0' * decimals if decimals else 'General'


# --- the .xls structure, read with our own eyes -------------------------------------------

def compound_header(path):
    """(mini FAT sectors, DIFAT sectors) from the compound file header."""
    with open(path, 'rb') as f:
        header = f.read(76)
    return struct.unpack_from('<I', header, 0x40)[0], struct.unpack_from('<I', header, 0x48)[0]


def workbook_records(path):
    with open(path, 'rb') as f:
        data = f.read()
    with open(os.devnull, 'w') as quiet:
        stream = compdoc.CompDoc(data, logfile=quiet).get_named_stream('Workbook')
    records, pos = {}, 0
    while pos < len(stream):
        kind, length = struct.unpack_from('<HH', stream, pos)
        assert length <= 8224, f'record {kind:#x} at {pos} holds {length} bytes'
        records[pos] = (kind, stream[pos + 4:pos + 4 + length])
        pos += 4 + length
    return records


def shared_string_layout(records):
    """Walks SST and its CONTINUE records. Returns the strings, where each starts (stream
    position, offset in its record), the kinds of strings that run on into the next record,
    and the EXTSST buckets (strings per bucket, [(position, offset)])."""
    positions = sorted(records)
    at = next(i for i, p in enumerate(positions) if records[p][0] == 0x00FC)
    pieces = [(positions[at], records[positions[at]][1])]
    for p in positions[at + 1:]:
        if records[p][0] != 0x003C:
            break
        pieces.append((p, records[p][1]))
    unique = struct.unpack_from('<I', pieces[0][1], 4)[0]
    strings, starts, straddles = [], [], []
    piece, off = 0, 8
    for _ in range(unique):
        if off == len(pieces[piece][1]):
            piece, off = piece + 1, 0
        pos, body = pieces[piece]
        starts.append((pos + 4 + off, 4 + off))
        count, flags = struct.unpack_from('<HB', body, off)
        off += 3
        wide, text, need = flags & 1, '', count
        while True:
            unit = 2 if wide else 1
            take = min(need, (len(body) - off) // unit)
            # A surrogate pair parted by a record boundary fails to decode here.
            text += body[off:off + take * unit].decode('utf-16-le' if wide else 'latin-1')
            off, need = off + take * unit, need - take
            if need == 0:
                break
            straddles.append('utf16' if wide else '8bit')
            piece += 1
            pos, body = pieces[piece]
            wide, off = body[0] & 1, 1
        strings.append(text)
    extsst = next(body for kind, body in records.values() if kind == 0x00FF)
    per_bucket = struct.unpack_from('<H', extsst)[0]
    buckets = [struct.unpack_from('<IH', extsst, 2 + 8 * i) for i in range((len(extsst) - 2) // 8)]
    return strings, starts, straddles, (per_bucket, buckets)


class XlsStructure:
    def assert_row_index(self, path):
        """INDEX points at every DBCELL; each DBCELL leads to its ROW records and to the first
        cell record of each of those rows."""
        records = workbook_records(path)
        index = next(body for kind, body in records.values() if kind == 0x020B)
        first_row, end_row, defcolwidth = struct.unpack_from('<III', index, 4)
        self.assertEqual(records[defcolwidth][0], 0x0055)
        indexed_rows = []
        for (dbcell,) in struct.iter_unpack('<I', index[16:]):
            kind, body = records[dbcell]
            self.assertEqual(kind, 0x00D7)
            row_pos = dbcell - struct.unpack_from('<I', body)[0]
            rows = []
            while records[row_pos][0] == 0x0208:
                rows.append(struct.unpack_from('<H', records[row_pos][1])[0])
                row_pos += 4 + 16
            offsets = [o for (o,) in struct.iter_unpack('<H', body[4:])]
            self.assertEqual(len(offsets), len(rows))
            cell = dbcell - struct.unpack_from('<I', body)[0] + 20
            for row, offset in zip(rows, offsets):
                cell += offset
                kind, cell_body = records[cell]
                self.assertIn(kind, (0x0203, 0x00FD))
                self.assertEqual(struct.unpack_from('<H', cell_body)[0], row)
            indexed_rows += rows
        self.assertEqual(indexed_rows, sorted(set(indexed_rows)))
        if indexed_rows:
            self.assertEqual((first_row, end_row), (indexed_rows[0], indexed_rows[-1] + 1))


# --- the tests ------------------------------------------------------------------------------

class Case(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)


class NumberRule(Case):
    # text, style, then the number and its decimals shown, or None for a text cell.
    ROWS = [
        ('12', 'F', 12.0, 0),
        ('12.000', 'F', 12.0, 3),
        ('-0.5', 'F', -0.5, 1),
        ('.5', 'F', 0.5, 1),
        ('5.', 'F', 5.0, 0),
        ('+7.25', 'F', 7.25, 2),
        ('1e3', 'F', 1000.0, 0),
        ('1.50E-3', 'F', 0.0015, 0),
        ('2.5e+2', 'F', 250.0, 0),
        ('-0.000', 'F', -0.0, 3),
        ('0.1', 'F', 0.1, 1),
        ('9007199254740993', 'F', 9007199254740992.0, 0),
        ('2.2250738585072011e-308', 'F', 2.2250738585072011e-308, 0),
        ('1e-400', 'F', 0.0, 0),
        ('-1e-400', 'F', -0.0, 0),
        ('0.' + '0' * 30 + '1', 'F', 1e-31, 0),
        ('3.750', 'G', 3.75, 3),
        ('3.75', 'G', 3.75, 0),
        ('3.0', 'G', 3.0, 1),
        ('-0.10', 'G', -0.1, 2),
        ('12', 'G', 12.0, 0),
        ('1.50e3', 'G', 1500.0, 0),
        ('1e400', 'F', None, None),
        ('-1.8e308', 'G', None, None),
        ('abc', 'F', None, None),
        ('12 ', 'F', None, None),
        (' 12', 'F', None, None),
        ('1,5', 'F', None, None),
        ('1 000', 'F', None, None),
        ('.', 'F', None, None),
        ('-', 'F', None, None),
        ('e5', 'F', None, None),
        ('1e', 'F', None, None),
        ('1e+', 'F', None, None),
        ('--1', 'F', None, None),
        ('1.2.3', 'F', None, None),
        ('0x10', 'F', None, None),
        ('inf', 'F', None, None),
        ('nan', 'F', None, None),
        ('１２', 'F', None, None),
    ]

    def test_texts_become_numbers_or_texts_in_both_formats(self):
        for fmt in FORMATS:
            path = self.path('numbers.' + fmt)
            cells = [(i, 0, text, style) for i, (text, style, _, _) in enumerate(self.ROWS)]
            self.assertEqual(write_cells(path, cells), ('ok', 0))
            _, read_back = read(path, fmt)
            for i, (text, style, number, decimals) in enumerate(self.ROWS):
                with self.subTest(fmt=fmt, text=text, style=style):
                    kind, value, format_shown = read_back[(i, 0)]
                    if number is None:
                        self.assertEqual((kind, value), ('text', text))
                        continue
                    self.assertEqual(kind, 'number')
                    self.assertEqual(format_shown, shown(decimals))
                    if fmt == 'xls':  # the double itself, sign of zero included
                        self.assertEqual(struct.pack('<d', value), struct.pack('<d', number))
                    else:  # libxlsxwriter prints 16 significant digits
                        self.assertTrue(math.isclose(value, number, rel_tol=1e-15), value)


class TextCells(Case, XlsStructure):
    TEXTS = [
        '中文  两个空格', '   leading', 'trailing   ', 'tab\there', 'two\nlines', 'café é',
        '全角（括号）ζ℃', '𠀀 astral 😀', 'a' * 300, '水' * 3000,
    ]

    def test_texts_round_trip_exactly(self):
        for fmt in FORMATS:
            with self.subTest(fmt=fmt):
                path = self.path('texts.' + fmt)
                cells = [(i, 1, t) for i, t in enumerate(self.TEXTS)]
                cells.append((len(self.TEXTS), 1, 'bad\udcffbyte'))
                self.assertEqual(write_cells(path, cells, '--sheet', '水管 表1'), ('ok', 0))
                names, read_back = read(path, fmt)
                self.assertEqual(names, ['水管 表1'])
                expected = {(i, 1): t for i, t in enumerate(self.TEXTS)}
                expected[(len(self.TEXTS), 1)] = 'bad\ufffdbyte'
                self.assertEqual({k: v[1] for k, v in read_back.items()}, expected)

    def test_cells_in_any_order_the_last_at_a_place_wins(self):
        cells = [(40, 3, 'late'), (0, 0, 'first'), (0, 0, 'second'), (7, 200, '1.5'),
                 (40, 1, 'x'), (40, 1, ''), (33, 2, 'y')]
        for fmt in FORMATS:
            with self.subTest(fmt=fmt):
                path = self.path('order.' + fmt)
                self.assertEqual(write_cells(path, cells), ('ok', 0))
                _, read_back = read(path, fmt)
                self.assertEqual({k: v[1] for k, v in read_back.items()},
                                 {(0, 0): 'second', (7, 200): 1.5, (33, 2): 'y', (40, 3): 'late'})
                if fmt == 'xls':
                    self.assert_row_index(path)

    def test_shared_strings_straddle_record_boundaries(self):
        # Lengths and alphabets chosen so that 8-bit strings, UTF-16 strings and surrogate
        # pairs all meet the end of an 8224-byte record somewhere.
        alphabets = ['abcdefg', 'éàüßøñç', '水管阻力计算结果', '𠀀𠀁𠀂', 'a水é𠀀']
        texts = []
        for i in range(400):
            alphabet = alphabets[i % len(alphabets)]
            length = 1 + (i * 7919) % 2600
            texts.append((alphabet * (length // len(alphabet) + 1))[:length] + str(i))
        texts.append('水' * 32767)
        path = self.path('sst.xls')
        self.assertEqual(write_cells(path, [(i, 2, t) for i, t in enumerate(texts)]), ('ok', 0))
        _, read_back = read_xls(path)
        self.assertEqual([read_back[(i, 2)][1] for i in range(len(texts))], texts)

        strings, starts, straddles, (per_bucket, buckets) = shared_string_layout(
            workbook_records(path))
        self.assertEqual(strings, texts)
        self.assertIn('8bit', straddles)
        self.assertIn('utf16', straddles)
        self.assertEqual(buckets, starts[::per_bucket])


class ResultTables(Case, XlsStructure):
    FRICTION = [('50   1000   45   1   0.2   0.141', '7.067'),
                ('25   1000   7    1   0.2   0.566', '260.290'),
                ('DN80 异径管   20   0.5', 'abc')]
    LOCAL = [('1.0  50  1.2', '711.36'), ('0.3  37.5  2.5', '924.000'), ('2.5  100  2', '4.9e3')]

    def test_headers_rows_and_total(self):
        for kind, rows, total in (('friction', self.FRICTION, '267.357'),
                                  ('local', self.LOCAL, '6535.360')):
            headers = {}
            for fmt in FORMATS:
                with self.subTest(kind=kind, fmt=fmt):
                    path = self.path(f'{kind}.{fmt}')
                    self.assertEqual(write_table(kind, path, rows, total), ('ok', 0))
                    names, cells = read(path, fmt)
                    self.assertEqual(names, ['sheet1'])
                    n = len(rows)
                    self.assertEqual({c for (_, c) in cells}, {2, 3})
                    self.assertEqual(max(r for (r, _) in cells), n + 1)
                    for i, (parameters, result) in enumerate(rows, start=1):
                        self.assertEqual(cells[(i, 2)][:2], ('text', parameters))
                    label_kind, _, _ = cells[(n + 1, 2)]
                    self.assertEqual(label_kind, 'text')
                    headers[fmt] = (cells[(0, 2)], cells[(0, 3)], cells[(n + 1, 2)])
                    # Fixed results keep their decimals; the total shows as written.
                    results = [cells[(i, 3)] for i in range(1, n + 2)]
                    if kind == 'friction':
                        self.assertEqual(results, [('number', 7.067, '0.000'),
                                                   ('number', 260.29, '0.000'),
                                                   ('text', 'abc', 'General'),
                                                   ('number', 267.357, 'General')])
                    else:
                        self.assertEqual(results, [('number', 711.36, '0.00'),
                                                   ('number', 924.0, '0.000'),
                                                   ('number', 4900.0, 'General'),
                                                   ('number', 6535.36, '0.000')])
                    if fmt == 'xls':
                        self.assert_row_index(path)
            self.assertEqual(headers['xls'], headers['xlsx'])

    def test_empty_table_has_headers_only(self):
        for kind in ('friction', 'local'):
            for fmt in FORMATS:
                with self.subTest(kind=kind, fmt=fmt):
                    path = self.path(f'{kind}.{fmt}')
                    self.assertEqual(write_table(kind, path, [], '0'), ('ok', 0))
                    _, cells = read(path, fmt)
                    self.assertEqual(sorted(cells), [(0, 2), (0, 3)])
                    self.assertTrue(all(v[0] == 'text' and v[1] for v in cells.values()))
                    if fmt == 'xls':
                        # A stream this small lives in the mini stream.
                        self.assertGreater(compound_header(path)[0], 0)


def friction_rows(count):
    return [(f'直径{20 + i % 280}毫米  长度{100 + i}米  水温{5 + i % 90}℃  '
             f'流量{i % 50}.{i % 10}立方米每小时  粗糙度0.{i % 9}毫米  第{i}段管道',
             f'{i % 1000}.{i % 997:03d}') for i in range(count)]


class SheetLimits(Case, XlsStructure):
    def test_full_xls_sheet_needs_difat_and_reads_back(self):
        rows = friction_rows(65534)
        path = self.path('full.xls')
        self.assertEqual(write_table('friction', path, rows, '12345.678'), ('ok', 0))
        self.assertGreater(os.path.getsize(path), 7 * 1024 * 1024)
        self.assertGreater(compound_header(path)[1], 0)
        _, cells = read_xls(path)
        self.assertEqual(max(r for (r, _) in cells), 65535)
        for i, (parameters, result) in enumerate(rows, start=1):
            self.assertEqual(cells[(i, 2)][1], parameters)
            self.assertEqual(cells[(i, 3)][1], float(result))
        self.assertEqual(cells[(65535, 3)][:2], ('number', 12345.678))
        self.assert_row_index(path)

    def test_70000_rows_refused_for_xls_written_as_xlsx(self):
        rows = friction_rows(70000)
        xls = self.path('big.xls')
        with open(xls, 'wb') as f:
            f.write(b'the old workbook')
        self.assertEqual(write_table('friction', xls, rows, '1.5'), ('TooManyRows', 0))
        with open(xls, 'rb') as f:
            self.assertEqual(f.read(), b'the old workbook')
        self.assertEqual(os.listdir(self.dir), ['big.xls'])

        xlsx = self.path('big.xlsx')
        self.assertEqual(write_table('friction', xlsx, rows, '1.5'), ('ok', 0))
        _, cells = read_xlsx(xlsx, read_only=True)
        self.assertEqual(max(r for (r, _) in cells), 70001)
        for i in (1, 35000, 70000):
            self.assertEqual(cells[(i, 2)][1], rows[i - 1][0])
            self.assertEqual(cells[(i, 3)][1], float(rows[i - 1][1]))

    def test_last_row_and_column_and_one_past(self):
        # format, row, column, expected
        rows = [('xls', 65535, 255, 'ok'), ('xls', 65536, 0, 'TooManyRows'),
                ('xls', 0, 256, 'TooManyRows'), ('xlsx', 1048575, 16383, 'ok'),
                ('xlsx', 1048576, 0, 'TooManyRows'), ('xlsx', 0, 16384, 'TooManyRows')]
        for fmt, row, column, expected in rows:
            with self.subTest(fmt=fmt, row=row, column=column):
                path = self.path('edge.' + fmt)
                if os.path.exists(path):
                    os.unlink(path)
                word, _ = write_cells(path, [(0, 0, 'first'), (row, column, '2.50')])
                self.assertEqual(word, expected)
                if expected == 'ok':
                    self.assertEqual(cell_at(path, fmt, row, column), ('number', 2.5, '0.00'))
                else:
                    self.assertFalse(os.path.exists(path))

    def test_longest_cell_text(self):
        pair = '\U00020000'  # two UTF-16 code units
        rows = [('a' * 32767, 'ok'), ('水' * 32767, 'ok'), (pair * 16383 + 'a', 'ok'),
                ('a' * 32768, 'CellTooLong'), (pair * 16384, 'CellTooLong'),
                ('1' + '0' * 32767, 'CellTooLong')]
        for fmt in FORMATS:
            for text, expected in rows:
                with self.subTest(fmt=fmt, length=len(text), first=text[0]):
                    path = self.path(f'long.{fmt}')
                    if os.path.exists(path):
                        os.unlink(path)
                    self.assertEqual(write_cells(path, [(0, 0, text)])[0], expected)
                    if expected == 'ok':
                        self.assertEqual(read(path, fmt)[1][(0, 0)][1], text)
                    else:
                        self.assertFalse(os.path.exists(path))


def limit_file_size(limit):
    def apply():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    return apply


class Failures(Case):
    def test_refused_targets_write_nothing(self):
        os.mkdir(self.path('folder'))
        with open(self.path('plain.txt'), 'w') as f:
            f.write('x')
        rows = [('E:\\results.xls', 'DriveLetter'), ('e:/results.xlsx', 'DriveLetter'),
                ('missing/out.xls', 'FolderMissing'), ('plain.txt/out.xlsx', 'FolderMissing'),
                ('folder', 'IsFolder'), ('folder/', 'IsFolder'), ('missing/', 'FolderMissing')]
        for path, expected in rows:
            with self.subTest(path=path):
                word, _ = write_cells(path, [(0, 0, 'x')], cwd=self.dir)
                self.assertEqual(word, expected)
                self.assertEqual(sorted(os.listdir(self.dir)), ['folder', 'plain.txt'])
                self.assertEqual(os.listdir(self.path('folder')), [])

    def test_failed_write_keeps_the_old_file_byte_for_byte(self):
        # A file size limit makes the write fail part way, even for root.
        cells = [(i, 2, f'第{i}行 {"水" * 40}') for i in range(200)]
        for fmt in FORMATS:
            with self.subTest(fmt=fmt):
                path = self.path('kept.' + fmt)
                with open(path, 'wb') as f:
                    f.write(b'old contents \x00\xff')
                word, _ = write_cells(path, cells, preexec_fn=limit_file_size(4096))
                self.assertNotEqual(word, 'ok')
                with open(path, 'rb') as f:
                    self.assertEqual(f.read(), b'old contents \x00\xff')
                self.assertEqual(os.listdir(self.dir), ['kept.' + fmt])
                os.unlink(path)

    @unittest.skipIf(os.geteuid() == 0, 'root writes into read-only folders and files')
    def test_read_only_folder_and_file(self):
        for fmt in FORMATS:
            with self.subTest(fmt=fmt, what='folder'):
                folder = self.path('locked-' + fmt)
                os.mkdir(folder)
                os.chmod(folder, 0o555)
                try:
                    self.assertEqual(write_cells(os.path.join(folder, 'a.' + fmt), [(0, 0, 'x')])[0],
                                     'PermissionDenied')
                    self.assertEqual(os.listdir(folder), [])
                finally:
                    os.chmod(folder, 0o755)
            with self.subTest(fmt=fmt, what='file'):
                path = self.path('readonly.' + fmt)
                with open(path, 'wb') as f:
                    f.write(b'keep')
                os.chmod(path, 0o444)
                self.assertEqual(write_cells(path, [(0, 0, 'x')])[0], 'PermissionDenied')
                with open(path, 'rb') as f:
                    self.assertEqual(f.read(), b'keep')

    def test_new_file_follows_umask_replaced_file_keeps_its_mode(self):
        for fmt in FORMATS:
            with self.subTest(fmt=fmt):
                path = self.path('mode.' + fmt)
                write = lambda: write_cells(path, [(0, 0, 'x')], preexec_fn=lambda: os.umask(0o027))
                self.assertEqual(write(), ('ok', 0))
                self.assertEqual(os.stat(path).st_mode & 0o7777, 0o640)
                os.chmod(path, 0o604)
                self.assertEqual(write(), ('ok', 0))
                self.assertEqual(os.stat(path).st_mode & 0o7777, 0o604)
                self.assertEqual(read(path, fmt)[1][(0, 0)][1], 'x')


class FormatChoice(Case):
    def test_only_an_xlsx_ending_in_any_case_writes_xlsx(self):
        rows = [('a.XLSX', 'xlsx'), ('b.Xlsx', 'xlsx'), ('c.xls', 'xls'), ('d', 'xls'),
                ('e.xlsx.bak', 'xls'), ('f.csv', 'xls')]
        for name, fmt in rows:
            with self.subTest(name=name):
                path = self.path(name)
                self.assertEqual(write_cells(path, [(0, 0, '1.25')]), ('ok', 0))
                self.assertEqual(read(path, fmt)[1], {(0, 0): ('number', 1.25, '0.00')})


class UserLocale(Case):
    def test_xlsx_numbers_under_a_decimal_comma_locale(self):
        locales = self.path('locales')
        os.mkdir(locales)
        made = subprocess.run(['localedef', '-i', 'de_DE', '-f', 'UTF-8',
                               os.path.join(locales, 'de_DE.UTF-8')], capture_output=True)
        if made.returncode != 0:
            self.skipTest('no de_DE locale source (Debian package locales)')
        env = dict(os.environ, LOCPATH=locales, LC_ALL='de_DE.UTF-8')
        path = self.path('komma.xlsx')
        self.assertEqual(write_cells(path, [(0, 0, '0.5'), (1, 0, '1234.125', 'G')], env=env),
                         ('ok', 0))
        _, cells = read_xlsx(path)
        self.assertEqual([cells[(0, 0)][:2], cells[(1, 0)][:2]],
                         [('number', 0.5), ('number', 1234.125)])


if __name__ == '__main__':
    FIXTURE = os.path.abspath(sys.argv.pop(1))
    unittest.main()
