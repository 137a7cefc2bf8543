#!/usr/bin/env python3
"""Which areas of the platform layer each product file uses, against the
area headers it includes.

A file uses an area when it calls one of the area's methods or names one of
its types or namespaces (plat::Registry, plat::PrinterInfo2, plat::mb, ...);
it takes the composite when it names plat::Windows. Each product file must
include exactly the area headers it uses (and platform/Windows.h exactly
when it takes the composite); a .cpp may rely on what its own header
includes. Findings are printed as `file:line: error: ...`; the exit status is
1 when there is one.

  scripts/check-areas.py [--fix] [--report] [ROOT]

--fix adds the missing includes and removes the unused ones. --report prints
each file's areas. The layer itself (platform/, simwindows/), tests and
benchmarks are not product files here.
"""
import os
import re
import sys

AREAS = ["Registry", "Profile", "Folders", "Files", "Spooler", "Services", "System", "Clock",
         "Desktop", "Usb"]
SKIP_DIRS = {"build", ".git", "tests", "bench", "platform", "simwindows", "node_modules"}


def area_names(root, area):
    """The methods, the type names and the constants of an area's header."""
    text = open(os.path.join(root, "platform", area + ".h")).read()
    start = text.index("class %s " % area)
    end = text.index("\n};", start)
    methods = set(re.findall(r"virtual\s+[^;{]*?\b(\w+)\(", text[start:end]))
    methods.discard("~" + area)
    types = set(re.findall(r"^(?:class|struct|enum class)\s+(\w+)", text, re.M))
    types |= set(re.findall(r"^namespace\s+(\w+)\s*\{", text, re.M)) - {"plat"}
    types |= set(re.findall(r"^inline constexpr [^=;(]*?\b(\w+)\s*=", text, re.M))
    return methods, types


def strip(text):
    """The code without comments and string literals."""
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    text = re.sub(r"//[^\n]*", "", text)
    text = re.sub(r'"(\\.|[^"\\\n])*"', '""', text)
    return text


def includes(text):
    return {m.group(1): text[:m.start()].count("\n") + 1
            for m in re.finditer(r'^#include "platform/(\w+)\.h"', text, re.M)}


def product_files(root):
    for base, dirs, files in os.walk(root):
        rel = os.path.relpath(base, root)
        parts = [] if rel == "." else rel.split(os.sep)
        if any(p in SKIP_DIRS for p in parts):
            dirs[:] = []
            continue
        for f in sorted(files):
            if f.endswith((".cpp", ".h")):
                yield os.path.join(rel, f) if parts else f


def main(argv):
    fix = "--fix" in argv
    report = "--report" in argv
    args = [a for a in argv if not a.startswith("--")]
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), ".."))
    names = {a: area_names(root, a) for a in AREAS}

    def uses(code):
        found = set()
        for area, (methods, types) in names.items():
            if any(re.search(r"(\.|->)%s\(" % m, code) for m in methods) or \
               any(re.search(r"\bplat::%s\b" % t, code) for t in types):
                found.add(area)
        if re.search(r"\bplat::(Windows|Decorated)\b", code):
            found.add("Windows")
        return found

    findings = 0
    files = list(product_files(root))
    info = {}
    for rel in files:
        text = open(os.path.join(root, rel)).read()
        info[rel] = (text, uses(strip(text)), includes(text))
    for rel in files:
        text, used, inc = info[rel]
        if not used and not inc:
            continue
        own = {}
        if rel.endswith(".cpp"):
            pair = rel[:-4] + ".h"
            if pair in info:
                own = info[pair][2]
        if "Platform" in inc:
            for a in AREAS + ["Windows"]:
                inc.setdefault(a, inc["Platform"])
        missing = sorted(a for a in used if a not in inc and a not in own)
        unused = sorted(a for a in inc if a not in used and a != "Platform"
                        and a in AREAS + ["Windows"])
        platform_all = "Platform" in inc
        if report:
            print("%s: %s" % (rel, " ".join(sorted(used)) or "-"))
        for a in missing:
            findings += 1
            print("%s:1: error: uses the %s area but does not include platform/%s.h" %
                  (rel, a.lower() if a != "Windows" else "composite", a))
        for a in unused:
            if platform_all and a not in ("Platform",):
                continue
            findings += 1
            print("%s:%d: error: includes platform/%s.h but uses nothing of it" %
                  (rel, inc[a], a))
        if platform_all:
            findings += 1
            print("%s:%d: error: includes every area (platform/Platform.h); include the "
                  "areas it uses" % (rel, inc["Platform"]))
        if fix and (missing or unused or platform_all):
            lines = text.split("\n")
            drop = {"Platform"} | set(unused)
            keep = [l for l in lines
                    if not any(l == '#include "platform/%s.h"' % d for d in drop)]
            wanted = sorted(set(missing) | ({a for a in used if a not in own} if platform_all
                                            else set()))
            have = set(includes("\n".join(keep)))
            add = ['#include "platform/%s.h"' % a for a in wanted if a not in have]
            if add:
                # Among the project's includes, in order.
                # Into the first run of the project's includes (not the
                # file's own header, nor past a conditional), in order.
                own_h = rel[:-4] + ".h" if rel.endswith(".cpp") else None
                idx = []
                for i, l in enumerate(keep):
                    if l.startswith("#if"):
                        break
                    if l.startswith('#include "') and l != '#include "%s"' % own_h:
                        idx.append(i)
                    elif idx:
                        break
                if idx:
                    block = sorted(set([keep[i] for i in idx] + add))
                    first, last = idx[0], idx[-1]
                    keep = keep[:first] + block + keep[last + 1:]
                else:
                    # After the last system include (or #pragma once).
                    marks = [i for i, l in enumerate(keep) if l.startswith("#include <")]
                    if not marks:
                        marks = [i for i, l in enumerate(keep) if l.startswith("#pragma once")]
                    pos = (marks[-1] if marks else -1) + 1
                    keep = keep[:pos] + [""] + add + keep[pos:]
            open(os.path.join(root, rel), "w").write("\n".join(keep))
    return 1 if findings and not fix else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
