#!/usr/bin/env python3
"""check-imports.py --arch i686|x86_64 [options] PACKAGE_DIR

Checks every Windows program and DLL of a laid-out installation package
against the oldest Windows of its architecture, so that what ships loads
there:

  - the file is a PE image for the architecture (i386 or x86-64);
  - its subsystem and OS versions are those of that Windows: 4.0 for i386
    (the loader of Windows 98 and NT 4.0 refuses a higher subsystem version),
    5.2 for x86-64 (Windows Server 2003 and XP x64);
  - every function it imports, at load time or delay-loaded, is exported by
    name by that Windows: Windows XP (NT 5.1) for i386, Windows Server 2003
    (NT 5.2) for x86-64, from the export lists in scripts/winapi. An import
    from a DLL that has no list fails, so that every new dependency is a
    decision; so does an import by ordinal: no list can prove it, and the
    ordinals of the system DLLs differ between Windows versions (a function
    that only newer Windows has is looked up by name at run time instead);
  - it carries no symbols (the build folders keep them);
  - it is no larger than its --max-size limit, when it has one.

A file is checked when its name ends in .exe or .dll, or when it starts
with the "MZ" of an executable image. DLL names are compared without regard
to case, function names exactly (as the loader does).

Each fault is one line on standard output, "FILE: DLL!FUNCTION" for an
import ("FILE: DLL!#N" for one by ordinal), "FILE: what is wrong" for the
rest; a summary goes to standard error. --list prints what each file's
header holds. Exit status: 0 no fault, 1 faults, 2 the check could not run.
"""

import argparse
import os
import signal
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# What each architecture's oldest Windows takes.
ARCHES = {
    'i686': {
        'machine': 0x14C,
        'machine_name': 'i386',
        'version': (4, 0),
        'exports': os.path.join(HERE, 'winapi', 'exports-xp-i386.txt'),
        'windows': 'Windows XP (i386)',
    },
    'x86_64': {
        'machine': 0x8664,
        'machine_name': 'x86-64',
        'version': (5, 2),
        'exports': os.path.join(HERE, 'winapi', 'exports-2003-x86_64.txt'),
        'windows': 'Windows Server 2003 (x86-64)',
    },
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


def check_file(path, arch, exports, limits):
    """The faults of one file, a line on what its header holds (None when
    the file is no readable image), and the DLLs it imports from that have
    no export list."""
    with open(path, 'rb') as f:
        data = f.read()
    try:
        image = Image(data)
        imports = image.imports()
    except BadImage as e:
        return ['not a readable PE image: %s' % e], None, set()
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
    unlisted = set()
    for dll, function in imports:
        if dll.lower() not in exports:
            unlisted.add(dll.lower())
        if isinstance(function, int):
            faults.append('%s!#%d' % (dll, function))
        elif function not in exports.get(dll.lower(), ()):
            faults.append('%s!%s' % (dll, function))
    header = '%s, subsystem %d.%d, OS %d.%d, %s, %d bytes, %d imports' % (
        machine, *image.subsystem_version, *image.os_version,
        'symbols' if image.has_symbols() else 'stripped', len(data), len(imports))
    return faults, header, unlisted


def main(argv):
    parser = argparse.ArgumentParser(
        description='Checks the programs and DLLs of a laid-out package against the '
                    'oldest Windows of their architecture.')
    parser.add_argument('--arch', required=True, choices=sorted(ARCHES))
    parser.add_argument('--exports', help='the export list (default: scripts/winapi, by --arch)')
    parser.add_argument('--max-size', action='append', default=[], metavar='NAME=SIZE',
                        help='largest size of the files named NAME (bytes, or with K or M)')
    parser.add_argument('--list', action='store_true', help="print what each file's header holds")
    parser.add_argument('package')
    args = parser.parse_args(argv)

    arch = ARCHES[args.arch]
    try:
        exports = read_exports(args.exports or arch['exports'])
        limits = {}
        for item in args.max_size:
            name, _, size = item.partition('=')
            limits[name.lower()] = parse_size(size)
    except (OSError, ValueError) as e:
        print('check-imports: %s' % e, file=sys.stderr)
        return 2
    if not os.path.isdir(args.package):
        print('check-imports: no folder %s' % args.package, file=sys.stderr)
        return 2

    files = 0
    faults = 0
    unlisted = set()
    for path in package_files(args.package):
        files += 1
        found, header, dlls = check_file(path, arch, exports, limits)
        if args.list and header:
            print('%s: %s' % (path, header))
        for fault in found:
            print('%s: %s' % (path, fault))
        faults += len(found)
        unlisted |= dlls
    for dll in sorted(unlisted):
        print('check-imports: %s has no export list: every import from it fails' % dll,
              file=sys.stderr)
    print('check-imports: %s: %d files checked against %s, %d faults'
          % (args.package, files, arch['windows'], faults), file=sys.stderr)
    return 1 if faults else 0


if __name__ == '__main__':
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # quiet when piped into head
    sys.exit(main(sys.argv[1:]))
