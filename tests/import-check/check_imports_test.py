#!/usr/bin/env python3
"""check_imports_test.py --arch i686|x86_64 FIXTURES

The import check run over the fixtures that tests/import-check builds:
what it accepts, what it names, and that damaged files get a plain answer.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKER = os.path.join(HERE, '..', '..', 'scripts', 'check-imports.py')

# What the headers of each architecture's files hold.
HEADERS = {'i686': ('i386', '4.0'), 'x86_64': ('x86-64', '5.2')}
# The newest Windows each architecture is checked against.
NEWEST = {'i686': 'Windows XP', 'x86_64': 'Windows Server 2003'}


def run(*args):
    p = subprocess.run([sys.executable, CHECKER, *args], capture_output=True, text=True)
    return p.returncode, p.stdout.splitlines(), p.stderr


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--arch', required=True, choices=sorted(HEADERS))
    parser.add_argument('fixtures')
    args = parser.parse_args()
    machine, version = HEADERS[args.arch]
    good = os.path.join(args.fixtures, 'good')
    bad = os.path.join(args.fixtures, 'bad')
    plain = os.path.join(good, 'plain.exe')
    failures = []

    def expect(what, result, code, lines=None, patterns=(), stderr=None):
        rc, out, err = result
        problems = []
        if rc != code:
            problems.append('exit %d, expected %d' % (rc, code))
        if lines is not None and sorted(out) != sorted(lines):
            problems.append('lines %s, expected %s' % (out, lines))
        for pattern in patterns:
            if not any(re.fullmatch(pattern, line) for line in out):
                problems.append('no line matches %r in %s' % (pattern, out))
        if stderr is not None and stderr not in err:
            problems.append('stderr lacks %r: %s' % (stderr, err))
        if 'Traceback' in err:
            problems.append('the check crashed: %s' % err)
        if problems:
            failures.append('%s: %s' % (what, '; '.join(problems)))

    # The plain program passes, and its header holds what the oldest Windows
    # of the architecture loads.
    expect('plain program', run('--arch', args.arch, '--list', good), 0,
           lines=None,
           patterns=[re.escape('%s: %s, subsystem %s, OS %s, stripped, ' % (
               plain, machine, version, version)) + r'\d+ bytes, \d+ imports'])

    # Each fault by its name: the Vista-only function, the DLL without a
    # list, the import by ordinal, the newer header, the symbols.
    vista = os.path.join(bad, 'vista.exe')
    newer = os.path.join(bad, 'newer.exe')
    expect('faulty programs', run('--arch', args.arch, bad), 1, lines=[
        '%s: KERNEL32.dll!GetTickCount64 (not in %s)' % (vista, NEWEST[args.arch]),
        '%s: ole32.dll!CoTaskMemFree (no export list of ole32.dll)' % vista,
        '%s: comctl32.dll!#17 (by ordinal)' % vista,
        '%s: subsystem version 6.0, expected %s' % (newer, version),
        '%s: OS version 6.0, expected %s' % (newer, version),
        '%s: not stripped' % newer,
    ], stderr='ole32.dll has no export list')

    # Each function that older Windows lack, named with the Windows that
    # first has it, on each Windows that lacks it: from the lists, and for
    # winspool, which the lists before XP do not cover, from the table of
    # known newer functions. Server 2003 (x86-64) has them all.
    older = os.path.join(args.fixtures, 'older')
    line = lambda function, text: '%s: %s (%s)' % (
        os.path.join(older, function.split('!')[1] + '.exe'), function, text)
    sid = line('ADVAPI32.dll!ConvertSidToStringSidA', 'first in Windows 2000')
    module = line('KERNEL32.dll!GetModuleHandleExA', 'first in Windows XP')
    fls = line('KERNEL32.dll!FlsAlloc', 'not in Windows XP')
    printer = line('WINSPOOL.DRV!GetDefaultPrinterA', 'first in Windows 2000')
    if args.arch == 'i686':
        for windows, lines in (('xp', [fls]), ('2000', [module, fls]),
                               ('nt4', [sid, module, fls, printer]),
                               ('me', [sid, module, fls, printer]),
                               ('98', [sid, module, fls, printer]),
                               (None, [sid, module, fls, printer])):
            expect('older Windows %s' % windows,
                   run('--arch', args.arch, *(['--windows', windows] if windows else []), older),
                   1, lines=lines)
        # What no list covers is counted, not failed.
        expect('unproven', run('--arch', args.arch, '--windows', 'nt4,2000', older), 1,
               stderr='unproven on Windows NT 4.0: 2 functions of user32.dll, winspool.drv '
                      '(no list of what they export there)')
        expect('unproven on 2000', run('--arch', args.arch, '--windows', '2000', older), 1,
               stderr='unproven on Windows 2000: 2 functions of user32.dll, winspool.drv')
    else:
        expect('older Windows', run('--arch', args.arch, older), 0, lines=[])

    # The other architecture's list and header do not fit.
    other = 'i686' if args.arch == 'x86_64' else 'x86_64'
    other_machine, _ = HEADERS[other]
    expect('other architecture', run('--arch', other, good), 1,
           patterns=[re.escape('%s: machine %s, expected %s' % (plain, machine, other_machine))])

    # A size limit, by file name without regard to case.
    size = os.path.getsize(plain)
    expect('size limit', run('--arch', args.arch, '--max-size', 'PLAIN.EXE=%d' % (size - 1), good),
           1, lines=['%s: %d bytes, more than its limit of %d' % (plain, size, size - 1)])
    expect('size within limit', run('--arch', args.arch, '--max-size', 'plain.exe=%d' % size, good), 0)

    # Damaged files: a plain answer each, never a crash. Every cut of the
    # headers and the import tables, a file of text named .dll, and an empty
    # one.
    with open(plain, 'rb') as f:
        data = f.read()
    with tempfile.TemporaryDirectory() as scratch:
        cuts = sorted(set(list(range(0, 1024, 7)) + list(range(1024, len(data), 997))))
        for cut in cuts:
            with open(os.path.join(scratch, 'cut%06d.exe' % cut), 'wb') as f:
                f.write(data[:cut])
        with open(os.path.join(scratch, 'text.dll'), 'w') as f:
            f.write('not a program\n')
        rc, out, err = run('--arch', args.arch, scratch)
        unreadable = [line for line in out if ': not a readable PE image: ' in line]
        if rc != 1 or 'Traceback' in err or len(unreadable) != len(cuts) + 1:
            others = [line for line in out if line not in unreadable]
            failures.append('damaged files: exit %d, %d of %d unreadable; other lines %s; %s'
                            % (rc, len(unreadable), len(cuts) + 1, others[:10], err))

        # Nothing to check against: exit 2 with a reason.
        expect('missing list', run('--arch', args.arch, '--exports',
                                   os.path.join(scratch, 'none.txt'), good), 2)
        expect('missing folder', run('--arch', args.arch, os.path.join(scratch, 'none')), 2)
        expect('unknown Windows', run('--arch', args.arch, '--windows', 'vista', good), 2)

    for failure in failures:
        print('FAILED %s' % failure)
    print('%s: %d failures' % (os.path.basename(__file__), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
