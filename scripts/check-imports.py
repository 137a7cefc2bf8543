#!/usr/bin/env python3
"""check-imports.py --arch i686|x86_64 [options] PACKAGE_DIR

Checks every Windows program and DLL of a laid-out installation package
against each Windows the package is made for, so that what ships loads
there:

  - the file is a PE image for the architecture (i386 or x86-64);
  - its subsystem and OS versions are those of the oldest Windows of the
    architecture: 4.0 for i386 (the loader of Windows 98 and NT 4.0 refuses a
    higher subsystem version), 5.2 for x86-64 (Windows Server 2003 and XP
    x64);
  - every function it imports, at load time or delay-loaded, is exported by
    name by each Windows of the architecture, from the export lists in
    scripts/winapi (its README.txt says where they come from):
      i386:   Windows XP (every DLL), and Windows 2000, NT 4.0, Me and 98
              for the DLLs their lists cover (kernel32, advapi32, shell32,
              comctl32, msvcrt). For the DLLs that the XP list has and those
              lists lack (user32, gdi32, winspool.drv, version) the functions
              known to be newer (KNOWN_NEWER below) fail; every other import
              from them is unproven there, and one line per Windows says how
              many (not a fault).
      x86-64: Windows Server 2003.
    An import from a DLL that has no list fails, so that every new
    dependency is a decision; so does an import by ordinal: no list can prove
    it, and the ordinals of the system DLLs differ between Windows versions
    (a function that only newer Windows has is looked up by name at run time
    instead);
  - it carries no symbols (the build folders keep them);
  - it is no larger than its --max-size limit, when it has one.

A file is checked when its name ends in .exe or .dll, or when it starts
with the "MZ" of an executable image. DLL names are compared without regard
to case, function names exactly (as the loader does).

Each fault is one line on standard output: "FILE: DLL!FUNCTION (first in
Windows 2000)" for an import that older Windows lack (or "(not in Windows
XP)", "(not in Windows NT 4.0, Me)"), "FILE: DLL!FUNCTION (no export list of
DLL)", "FILE: DLL!#N (by ordinal)", "FILE: what is wrong" for the rest; the
unproven counts and a summary go to standard error. --windows checks against
some of the architecture's Windows only; --list prints what each file's
header holds. Exit status: 0 no fault, 1 faults, 2 the check could not run.
"""

import argparse
import os
import signal
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

WINAPI = os.path.join(HERE, 'winapi')

# Each architecture: its machine, the header version its oldest Windows
# loads, and its Windows from the oldest on, each with its export list. The
# list of 'full' covers every DLL the programs may import from; another list
# covers the DLLs it names. A function that a run of the oldest Windows lacks
# is "first in" the next one when that one is of 'first_in', which came
# after both the 9x and the NT line before it.
ARCHES = {
    'i686': {
        'machine': 0x14C,
        'machine_name': 'i386',
        'version': (4, 0),
        'windows': [
            ('98', 'Windows 98', 'exports-98-i386.txt'),
            ('me', 'Windows Me', 'exports-me-i386.txt'),
            ('nt4', 'Windows NT 4.0', 'exports-nt4-i386.txt'),
            ('2000', 'Windows 2000', 'exports-2000-i386.txt'),
            ('xp', 'Windows XP', 'exports-xp-i386.txt'),
        ],
        'full': 'xp',
        'first_in': ('2000', 'xp'),
    },
    'x86_64': {
        'machine': 0x8664,
        'machine_name': 'x86-64',
        'version': (5, 2),
        'windows': [
            ('2003', 'Windows Server 2003', 'exports-2003-x86_64.txt'),
        ],
        'full': '2003',
        'first_in': (),
    },
}

# Functions of the DLLs that the older lists do not cover, known to be newer
# than some of those Windows: (dll, function) -> (the first Windows that has
# it, where that comes from). Every Windows before it in the order above
# lacks it.
KNOWN_NEWER = {
    ('winspool.drv', 'GetDefaultPrinterA'):
        ('2000', 'the platform documentation: Windows 2000 and later'),
    ('winspool.drv', 'SetDefaultPrinterA'):
        ('2000', 'the platform documentation: Windows 2000 and later'),
    ('winspool.drv', 'DeletePrinterDriverExA'):
        ('2000', 'the platform documentation: Windows 2000 and later'),
}

MACHINE_NAMES = {0x14C: 'i386', 0x8664: 'x86-64', 0x1C0: 'ARM', 0xAA64: 'ARM64', 0x200: 'IA-64'}

# Bounds against a damaged file: no real image comes near them.
MAX_DESCRIPTORS = 4096
MAX_THUNKS = 65536
MAX_NAME = 4096


class BadImage(Exception):
    pass


class Image:
    """The parts of a PE image the check reads."""

    def __init__(self, data):
        self.data = data
        if len(data) < 0x40 or data[:2] != b'MZ':
            raise BadImage('no MZ header')
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b'PE\0\0':
            raise BadImage('no PE signature')
        (self.machine, sections, _, self.symbol_table, self.symbols, optional_size,
         self.characteristics) = self.unpack('<HHIIIHH', pe + 4)
        opt = pe + 24
        magic = self.u16(opt)
        if magic == 0x10B:
            self.pe32plus = False
            self.image_base = self.u32(opt + 28)
            directories = opt + 96
        elif magic == 0x20B:
            self.pe32plus = True
            self.image_base = self.unpack('<Q', opt + 24)[0]
            directories = opt + 112
        else:
            raise BadImage('optional header magic 0x%x' % magic)
        self.os_version = self.unpack('<HH', opt + 40)
        self.subsystem_version = self.unpack('<HH', opt + 48)
        self.subsystem = self.u16(opt + 68)
        count = self.u32(directories - 4)
        self.directories = [self.unpack('<II', directories + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            raw = self.bytes_at(table + 40 * i, 40)
            name = self.section_name(raw[:8].rstrip(b'\0').decode('latin-1'))
            vsize, va, rawsize, rawptr = struct.unpack_from('<IIII', raw, 8)
            if rawptr + rawsize > len(data):
                raise BadImage('section %s runs past the end of the file' % name)
            self.sections.append((name, va, max(vsize, rawsize), rawptr, rawsize))

    def section_name(self, name):
        # A name longer than eight characters is "/N": offset N into the
        # string table that follows the COFF symbols.
        if not (name.startswith('/') and name[1:].isdigit() and self.symbol_table):
            return name
        start = self.symbol_table + 18 * self.symbols + int(name[1:])
        end = self.data.find(b'\0', start, start + MAX_NAME)
        if start >= len(self.data) or end < 0:
            raise BadImage('section name %s outside the string table' % name)
        return self.data[start:end].decode('latin-1')

    def bytes_at(self, offset, size):
        if offset < 0 or offset + size > len(self.data):
            raise BadImage('truncated (offset 0x%x)' % offset)
        return self.data[offset:offset + size]

    def unpack(self, fmt, offset):
        return struct.unpack_from(fmt, self.bytes_at(offset, struct.calcsize(fmt)))

    def u16(self, offset):
        return self.unpack('<H', offset)[0]

    def u32(self, offset):
        return self.unpack('<I', offset)[0]

    def offset_of(self, rva):
        for _, va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rawsize:
                    raise BadImage('address 0x%x has no data in the file' % rva)
                return rawptr + rva - va
        raise BadImage('address 0x%x lies in no section' % rva)

    def string_at(self, rva):
        start = self.offset_of(rva)
        end = self.data.find(b'\0', start, start + MAX_NAME)
        if end < 0:
            raise BadImage('unterminated name at 0x%x' % rva)
        return self.data[start:end].decode('latin-1')

    def thunks(self, rva):
        """The entries of an import name table: names, or ordinals as ints."""
        size, fmt, flag = (8, '<Q', 1 << 63) if self.pe32plus else (4, '<I', 1 << 31)
        for i in range(MAX_THUNKS):
            value = self.unpack(fmt, self.offset_of(rva + i * size))[0]
            if value == 0:
                return
            if value & flag:
                yield value & 0xFFFF
            else:
                yield self.string_at((value & 0x7FFFFFFF) + 2)
        raise BadImage('import name table without end')

    def imports(self):
        """(dll, name or ordinal) of every import, load-time and delay-loaded."""
        found = []
        rva, size = self.directories[1] if len(self.directories) > 1 else (0, 0)
        if rva and size:
            for i in range(MAX_DESCRIPTORS):
                names, _, _, dll, iat = self.unpack('<IIIII', self.offset_of(rva + 20 * i))
                if names == 0 and dll == 0 and iat == 0:
                    break
                dll_name = self.string_at(dll)
                found += [(dll_name, t) for t in self.thunks(names or iat)]
            else:
                raise BadImage('import directory without end')
        rva, size = self.directories[13] if len(self.directories) > 13 else (0, 0)
        if rva and size:
            for i in range(MAX_DESCRIPTORS):
                attributes, dll, _, iat, names, _, _, _ = self.unpack(
                    '<IIIIIIII', self.offset_of(rva + 32 * i))
                if dll == 0 and names == 0:
                    break
                # Old-style descriptors hold addresses, not RVAs.
                base = 0 if attributes & 1 else self.image_base
                dll_name = self.string_at(dll - base)
                found += [(dll_name, t) for t in self.thunks((names or iat) - base)]
            else:
                raise BadImage('delay import directory without end')
        return found

    def has_symbols(self):
        # Strip removes the COFF symbols and the DWARF sections; the string
        # table may stay for long section names such as ".eh_frame".
        return bool(self.symbols or
                    any(s[0].startswith(('.debug', '.zdebug')) for s in self.sections))


def read_exports(path):
    exports = {}
    with open(path, encoding='ascii') as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith('#'):
                continue
            parts = line.split()
            if len(parts) != 2:
                raise ValueError('%s:%d: expected "dll function"' % (path, number))
            exports.setdefault(parts[0].lower(), set()).add(parts[1])
    return exports


def parse_size(text):
    units = {'K': 1024, 'M': 1024 * 1024}
    if text[-1:].upper() in units:
        return int(text[:-1]) * units[text[-1:].upper()]
    return int(text)


def package_files(root):
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            if name.lower().endswith(('.exe', '.dll')):
                yield path
            else:
                with open(path, 'rb') as f:
                    if f.read(2) == b'MZ':
                        yield path


class Windows:
    """One Windows of an architecture: its export list and the DLLs it covers."""

    def __init__(self, key, name, exports):
        self.key = key
        self.name = name
        self.exports = exports
        self.covered = set(exports)


def load_windows(arch, full_list=None):
    """The architecture's Windows, from the oldest on, with their lists."""
    result = []
    for key, name, file_name in arch['windows']:
        path = full_list if (full_list and key == arch['full']) else os.path.join(WINAPI, file_name)
        result.append(Windows(key, name, read_exports(path)))
    return result


class Verdict:
    """Which of the architecture's Windows lack each import, and which leave it
    unproven."""

    def __init__(self, windows, arch):
        self.windows = windows
        self.order = [w.key for w in windows]
        self.full = next(w for w in windows if w.key == arch['full'])
        self.first_in = arch['first_in']

    def lacking(self, dll, function):
        """The keys of the Windows that lack the function, from the oldest on."""
        found = []
        for index, w in enumerate(self.windows):
            if dll in w.covered:
                if function not in w.exports[dll]:
                    found.append(w.key)
            else:
                newer = KNOWN_NEWER.get((dll, function))
                if newer and index < self.order.index(newer[0]):
                    found.append(w.key)
        return found

    def unproven(self, w, dll, function):
        """Whether the Windows w has no list that shows the function."""
        return (dll not in w.covered and dll in self.full.covered and
                (dll, function) not in KNOWN_NEWER and w is not self.full)

    def since(self, lacking):
        """The fault's note: "first in Windows 2000", "not in Windows XP"."""
        names = dict((w.key, w.name) for w in self.windows)
        k = len(lacking)
        if lacking == self.order[:k] and k < len(self.order) and self.order[k] in self.first_in:
            return 'first in %s' % names[self.order[k]]
        if self.order[-1] in lacking:
            return 'not in %s' % names[self.order[-1]]
        return 'not in Windows %s' % ', '.join(names[key].replace('Windows ', '') for key in lacking)


def check_file(path, arch, verdict, checked, limits, unlisted, unproven):
    """The faults of one file and a line on what its header holds (None when
    the file is no readable image). Adds the DLLs it imports from that have
    no export list to `unlisted`, and the imports that a checked Windows
    leaves unproven to unproven[its key]."""
    with open(path, 'rb') as f:
        data = f.read()
    try:
        image = Image(data)
        imports = image.imports()
    except BadImage as e:
        return ['not a readable PE image: %s' % e], None
    faults = []
    machine = MACHINE_NAMES.get(image.machine, '0x%x' % image.machine)
    if image.machine != arch['machine']:
        faults.append('machine %s, expected %s' % (machine, arch['machine_name']))
    want = '%d.%d' % arch['version']
    for what, version in (('subsystem', image.subsystem_version), ('OS', image.os_version)):
        have = '%d.%d' % version
        if have != want:
            faults.append('%s version %s, expected %s' % (what, have, want))
    if image.has_symbols():
        faults.append('not stripped')
    limit = limits.get(os.path.basename(path).lower())
    if limit is not None and len(data) > limit:
        faults.append('%d bytes, more than its limit of %d' % (len(data), limit))
    for dll, function in imports:
        key = dll.lower()
        if isinstance(function, int):
            faults.append('%s!#%d (by ordinal)' % (dll, function))
            continue
        if key not in verdict.full.covered:
            unlisted.add(key)
            faults.append('%s!%s (no export list of %s)' % (dll, function, key))
            continue
        lacking = verdict.lacking(key, function)
        if any(w.key in lacking for w in checked):
            faults.append('%s!%s (%s)' % (dll, function, verdict.since(lacking)))
        for w in checked:
            if verdict.unproven(w, key, function):
                unproven[w.key].add((key, function))
    header = '%s, subsystem %d.%d, OS %d.%d, %s, %d bytes, %d imports' % (
        machine, *image.subsystem_version, *image.os_version,
        'symbols' if image.has_symbols() else 'stripped', len(data), len(imports))
    return faults, header


def main(argv):
    parser = argparse.ArgumentParser(
        description='Checks the programs and DLLs of a laid-out package against each '
                    'Windows of their architecture.')
    parser.add_argument('--arch', required=True, choices=sorted(ARCHES))
    parser.add_argument('--exports', help="the architecture's full export list "
                                          '(default: scripts/winapi, by --arch)')
    parser.add_argument('--windows', metavar='KEY,...',
                        help='check against these of the architecture\'s Windows only '
                             '(i686: 98, me, nt4, 2000, xp; x86_64: 2003; default: all)')
    parser.add_argument('--max-size', action='append', default=[], metavar='NAME=SIZE',
                        help='largest size of the files named NAME (bytes, or with K or M)')
    parser.add_argument('--list', action='store_true', help="print what each file's header holds")
    parser.add_argument('package')
    args = parser.parse_args(argv)

    arch = ARCHES[args.arch]
    try:
        windows = load_windows(arch, args.exports)
        limits = {}
        for item in args.max_size:
            name, _, size = item.partition('=')
            limits[name.lower()] = parse_size(size)
    except (OSError, ValueError) as e:
        print('check-imports: %s' % e, file=sys.stderr)
        return 2
    checked = windows
    if args.windows:
        keys = args.windows.split(',')
        unknown = [k for k in keys if k not in [w.key for w in windows]]
        if unknown:
            print('check-imports: no Windows %s for %s' % (', '.join(unknown), args.arch),
                  file=sys.stderr)
            return 2
        checked = [w for w in windows if w.key in keys]
    if not os.path.isdir(args.package):
        print('check-imports: no folder %s' % args.package, file=sys.stderr)
        return 2

    verdict = Verdict(windows, arch)
    files = 0
    faults = 0
    unlisted = set()
    unproven = dict((w.key, set()) for w in checked)
    for path in package_files(args.package):
        files += 1
        found, header = check_file(path, arch, verdict, checked, limits, unlisted, unproven)
        if args.list and header:
            print('%s: %s' % (path, header))
        for fault in found:
            print('%s: %s' % (path, fault))
        faults += len(found)
    for dll in sorted(unlisted):
        print('check-imports: %s has no export list: every import from it fails' % dll,
              file=sys.stderr)
    for w in reversed(checked):
        functions = unproven[w.key]
        if functions:
            dlls = sorted(set(dll for dll, _ in functions))
            print('check-imports: unproven on %s: %d function%s of %s (no list of what %s '
                  'there)' % (w.name, len(functions), '' if len(functions) == 1 else 's',
                                      ', '.join(dlls), 'it exports' if len(dlls) == 1 else 'they export'),
                  file=sys.stderr)
    names = [w.name for w in reversed(checked)]
    against = names[0] + ''.join(', ' + n.replace('Windows ', '') for n in names[1:])
    print('check-imports: %s: %d files checked against %s (%s), %d faults'
          % (args.package, files, against, arch['machine_name'], faults), file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # quiet when piped into head
    sys.exit(main(sys.argv[1:]))
