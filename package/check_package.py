#!/usr/bin/env python3
"""Checks what only the source tree can tell about the sample package.

  check_package.py --source DIR

The package's binaries (the driver, monitor and processor DLLs, KvUsbInt.dll,
the programs) are built and laid into build/<arch>/package by the build; the
source folder keeps none of them. Whether the laid-out package is sound is
`qsetup check`'s question (make test asks it).
"""
import argparse
import os
import sys


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--source', metavar='DIR', required=True)
    args = parser.parse_args()
    faults = []
    for top, _, files in os.walk(args.source):
        for name in files:
            if name.lower().endswith(('.dll', '.exe')):
                faults.append(f'{os.path.join(top, name)}: binaries are built, not kept in the source')
    for fault in faults:
        print(fault)
    print(f'{args.source}: {len(faults)} faults')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
