"""The installed copy and the Debian package, checked with the tools a desktop and Debian use
on them: desktop-file-validate, appstreamcli, man, dpkg-deb, and ldd with dpkg -S for what
the programs load.

Run: /usr/bin/python3 test_packaging.py BUILD_DIR SOURCE_DIR [unittest arguments]"""

import configparser
import glob
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

BUILD = None
SOURCE = None


def run(*args, env=None, cwd=None):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=300, env=env,
                          cwd=cwd)


def checked(*args, **kwargs):
    result = run(*args, **kwargs)
    if result.returncode != 0:
        raise AssertionError(f'{" ".join(args)} exited {result.returncode}:\n'
                             f'{result.stdout}{result.stderr}')
    return result.stdout


def project_version():
    with open(os.path.join(SOURCE, 'CMakeLists.txt'), encoding='utf-8') as f:
        return re.search(r'project\(Quorvel VERSION ([0-9.]+)', f.read()).group(1)


def shipped_data():
    folder = os.path.join(SOURCE, 'data')
    return sorted(n for n in os.listdir(folder) if n.endswith('.csv')) + ['SOURCES.md']


ICON_SIZES = (16, 32, 48, 128)


def expected_files():
    """Every file of an installed copy, relative to the prefix, but for the desktop entry and
    the AppStream file, whose names follow the component id."""
    files = {'bin/quorvel', 'bin/quorvel-calc', 'share/man/man1/quorvel-calc.1.gz',
             'share/icons/hicolor/scalable/apps/quorvel.svg',
             'share/mime/packages/org.quorvel.Quorvel.xml'}
    files |= {f'share/icons/hicolor/{n}x{n}/apps/quorvel.png' for n in ICON_SIZES}
    files |= {'share/quorvel/' + name for name in shipped_data()}
    files.add(workbook_module())
    return files


def workbook_module():
    """The workbook writers' module, which the window program loads on its first save."""
    with open(os.path.join(BUILD, 'CMakeCache.txt'), encoding='utf-8') as cache:
        libdir = re.search(r'^CMAKE_INSTALL_LIBDIR:PATH=(.*)$', cache.read(), re.M).group(1)
    return f'{libdir}/quorvel/quorvel-workbooks.so'


def files_under(root):
    return {os.path.relpath(os.path.join(folder, name), root)
            for folder, _, names in os.walk(root) for name in names}


def png_size(path):
    with open(path, 'rb') as f:
        head = f.read(24)
    assert head[:8] == b'\x89PNG\r\n\x1a\n', path
    return struct.unpack('>II', head[16:24])


def no_display_env():
    env = {k: v for k, v in os.environ.items()
           if k not in ('DISPLAY', 'WAYLAND_DISPLAY', 'QT_QPA_PLATFORM')}
    env['LC_ALL'] = 'C.UTF-8'
    return env


class InstalledCopy:
    """Checks of a copy installed under `root` with the prefix `prefix` (a folder in it)."""

    def check_layout(self, prefix):
        found = files_under(prefix)
        desktop = [f for f in found if re.fullmatch(r'share/applications/[^/]+\.desktop', f)]
        metainfo = [f for f in found if re.fullmatch(r'share/metainfo/[^/]+\.metainfo\.xml', f)]
        self.assertEqual(len(desktop), 1, found)
        self.assertEqual(len(metainfo), 1, found)
        self.assertEqual(found - {desktop[0], metainfo[0]}, expected_files())
        for name in shipped_data():
            with open(os.path.join(SOURCE, 'data', name), 'rb') as a, \
                    open(os.path.join(prefix, 'share/quorvel', name), 'rb') as b:
                self.assertEqual(a.read(), b.read(), name)
        for program in ('quorvel', 'quorvel-calc'):
            self.assertTrue(os.access(os.path.join(prefix, 'bin', program), os.X_OK), program)
        return os.path.join(prefix, desktop[0]), os.path.join(prefix, metainfo[0])

    def check_desktop_entry(self, prefix, desktop):
        checked('desktop-file-validate', desktop)
        parser = configparser.RawConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(desktop, encoding='utf-8')
        entry = parser['Desktop Entry']
        # The command runs the installed program; the icon is there at every size.
        self.assertEqual(entry['Exec'].split()[0], 'quorvel')
        for size in ICON_SIZES:
            with self.subTest(size=size):
                icon = os.path.join(prefix, f'share/icons/hicolor/{size}x{size}/apps',
                                    entry['Icon'] + '.png')
                self.assertEqual(png_size(icon), (size, size))
        svg = ET.parse(os.path.join(prefix, 'share/icons/hicolor/scalable/apps',
                                    entry['Icon'] + '.svg')).getroot()
        self.assertEqual(svg.tag, '{http://www.w3.org/2000/svg}svg')
        self.assertEqual(set(entry['Categories'].rstrip(';').split(';')) &
                         {'Education', 'Engineering'}, {'Education', 'Engineering'})
        for key in ('Name[zh_CN]', 'Comment[zh_CN]'):
            self.assertRegex(entry.get(key, ''), r'[\u4e00-\u9fff]', key)
        # A double-click on a project opens it: the entry takes a file and names a type that
        # the installed shared-mime-info file gives the projects' ending.
        self.assertIn('%f', entry['Exec'].split())
        mime = ET.parse(os.path.join(prefix, 'share/mime/packages/org.quorvel.Quorvel.xml'))
        ns = '{http://www.freedesktop.org/standards/shared-mime-info}'
        globs = {t.get('type'): [g.get('pattern') for g in t.iter(ns + 'glob')]
                 for t in mime.getroot().iter(ns + 'mime-type')}
        for kind in entry['MimeType'].rstrip(';').split(';'):
            self.assertIn('*.qvs', globs.get(kind, []), kind)

    def check_metainfo(self, prefix, desktop, metainfo):
        checked('appstreamcli', 'validate', '--no-net', metainfo)
        root = ET.parse(metainfo).getroot()
        launchable = root.find("launchable[@type='desktop-id']")
        self.assertEqual(launchable.text, os.path.basename(desktop))
        self.assertEqual(root.findtext('id') + '.desktop', os.path.basename(desktop))
        for binary in root.iterfind('provides/binary'):
            self.assertTrue(os.access(os.path.join(prefix, 'bin', binary.text), os.X_OK),
                            binary.text)

    def check_versions(self, prefix):
        version = project_version()
        # No display: the window program prints its version all the same.
        for program, expected in (('quorvel-calc', f'quorvel-calc {version}\n'),
                                  ('quorvel', f'Quorvel {version}\n')):
            with self.subTest(program=program):
                result = run(os.path.join(prefix, 'bin', program), '--version',
                             env=no_display_env())
                self.assertEqual((result.returncode, result.stdout), (0, expected),
                                 result.stderr)

    def check_manual(self, prefix):
        page = os.path.join(prefix, 'share/man/man1/quorvel-calc.1.gz')
        env = no_display_env()
        env['MANWIDTH'] = '250'  # long lines: no word of the checks below is broken
        result = run('man', '--warnings', '-l', page, env=env)
        self.assertEqual((result.returncode, result.stderr), (0, ''))
        text = re.sub('[\u2010\u2212]', '-', result.stdout)
        self.assertRegex(text, r'NAME\s+quorvel-calc - ')
        self.assertIn(f'Quorvel {project_version()}', text)
        # Everything the program's own help names has its place in the manual: the options,
        # the CSV columns and the failure codes.
        help_text = checked(os.path.join(prefix, 'bin', 'quorvel-calc'), '--help')
        names = set(re.findall(r'--[a-z]+', help_text))
        names |= set(re.findall(r'(?:header|output) ([A-Za-z]+(?:,[A-Za-z]+)+)', help_text))
        names |= set(re.findall(r'^ {4}([a-z]+(?:-[a-z]+)*(?::X)?) ', help_text, re.M))
        self.assertGreater(len(names), 15, names)
        for name in sorted(names):
            with self.subTest(name=name):
                self.assertTrue(name in text, f'{name} is not in the manual')


class CmakeInstall(InstalledCopy, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.prefix = os.path.join(cls.dir.name, 'prefix with space')
        checked('cmake', '--install', BUILD, '--prefix', cls.prefix)

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def test_installed_copy(self):
        desktop, metainfo = self.check_layout(self.prefix)
        self.check_desktop_entry(self.prefix, desktop)
        self.check_metainfo(self.prefix, desktop, metainfo)

    def test_versions(self):
        self.check_versions(self.prefix)

    def test_manual(self):
        self.check_manual(self.prefix)


def package_of(paths):
    """The Debian package of each file, by dpkg -S; with merged /usr a library found as /lib/...
    may be registered as /usr/lib/... or the other way round."""
    candidates = {}
    for path in paths:
        for c in {path, os.path.realpath(path)}:
            candidates[c] = path
            if c.startswith('/usr/lib/'):
                candidates[c[4:]] = path
            elif c.startswith('/lib/'):
                candidates['/usr' + c] = path
    # One call for all: dpkg -S is slow to start. It fails when any one is unknown, and still
    # names the owners of the others, one "package[:arch][, ...]: path" line each.
    owners = {}
    for line in run('dpkg', '-S', *candidates).stdout.splitlines():
        if line.startswith('diversion '):
            continue
        packages, path = line.split(': ', 1)
        if path in candidates:
            owners[candidates[path]] = packages.split(',')[0].split(':')[0].strip()
    return owners


def needed_libraries(binary):
    """The full paths of the libraries the program names itself (not theirs in turn)."""
    sonames = re.findall(r'\(NEEDED\)\s+Shared library: \[([^\]]+)\]',
                         checked('readelf', '-d', binary))
    resolved = dict(re.findall(r'^\s*(\S+) => (/\S+)', checked('ldd', binary), re.M))
    return [resolved[soname] for soname in sonames]


def dependency_names(depends):
    """The package names of a Depends field, every alternative of each clause."""
    return {re.match(r'\s*([a-z0-9][a-z0-9+.-]+)', alternative).group(1)
            for clause in depends.split(',') for alternative in clause.split('|')}


class DebianPackage(InstalledCopy, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        out = os.path.join(cls.dir.name, 'out')
        checked('cpack', '-G', 'DEB', '--config', os.path.join(BUILD, 'CPackConfig.cmake'),
                '-B', out, cwd=BUILD)
        cls.packages = glob.glob(os.path.join(out, 'quorvel_*.deb'))
        cls.root = os.path.join(cls.dir.name, 'root')
        if len(cls.packages) == 1:
            checked('dpkg-deb', '-x', cls.packages[0], cls.root)

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def setUp(self):
        self.assertEqual(len(self.packages), 1, self.packages)
        self.package = self.packages[0]

    def field(self, name):
        return checked('dpkg-deb', '-f', self.package, name).strip()

    def test_control(self):
        arch = checked('dpkg', '--print-architecture').strip()
        self.assertEqual(os.path.basename(self.package),
                         f'quorvel_{project_version()}_{arch}.deb')
        self.assertEqual([self.field(f) for f in ('Package', 'Version', 'Architecture')],
                         ['quorvel', project_version(), arch])
        self.assertRegex(self.field('Maintainer'), r'^[^<>]+ <[^@<>]+@[^@<>]+>$')

    def test_file_list(self):
        # Owned by root, folders and programs 0755, the rest 0644, all under /usr.
        entries = [line.split(None, 5) for line in
                   checked('dpkg-deb', '-c', self.package).splitlines()]
        files = set()
        for mode, owner, _, _, _, path in entries:
            with self.subTest(path=path):
                self.assertEqual(owner, 'root/root')
                self.assertTrue(path.startswith('./usr/'), path)
                if mode.startswith('d'):
                    self.assertEqual(mode, 'drwxr-xr-x')
                    continue
                files.add(path[len('./usr/'):])
                self.assertEqual(mode, '-rwxr-xr-x' if path.startswith('./usr/bin/')
                                 else '-rw-r--r--')
        self.assertEqual(files, files_under(os.path.join(self.root, 'usr')))

    def test_unpacked_copy(self):
        prefix = os.path.join(self.root, 'usr')
        desktop, metainfo = self.check_layout(prefix)
        self.check_desktop_entry(prefix, desktop)
        self.check_metainfo(prefix, desktop, metainfo)
        self.check_versions(prefix)
        self.check_manual(prefix)
        for program in ('quorvel', 'quorvel-calc'):
            with self.subTest(program=program):
                self.assertNotIn('.symtab', checked('readelf', '-S',
                                                    os.path.join(prefix, 'bin', program)))

    def test_depends_on_what_the_programs_load(self):
        depends = dependency_names(self.field('Depends'))
        # Every package named exists: this machine runs the programs, so it has them all.
        for name in sorted(depends):
            with self.subTest(installed=name):
                self.assertEqual(run('dpkg-query', '-W', '-f=${Status}', name).stdout,
                                 'install ok installed')
        loaded = []
        for program in ('bin/quorvel', 'bin/quorvel-calc', workbook_module()):
            loaded += needed_libraries(os.path.join(self.root, 'usr', program))
        # Read by name at run time: the SQLite driver, the Chinese texts of Qt's dialogs, the
        # faces that stand in for the Windows fonts the windows name.
        loaded += glob.glob('/usr/lib/*/qt6/plugins/sqldrivers/libqsqlite.so')
        loaded += glob.glob('/usr/share/qt6/translations/qtbase_zh_CN.qm')
        for family in ('Noto Sans CJK SC', 'Noto Serif CJK SC', 'AR PL UKai CN'):
            found, file = checked('fc-match', '-f', '%{family}|%{file}', family).split('|')
            self.assertIn(family, found.split(','))
            loaded.append(file)
        owners = package_of(loaded)
        for path in loaded:
            with self.subTest(loads=path):
                self.assertIn(owners.get(path), depends)


if __name__ == '__main__':
    BUILD, SOURCE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
