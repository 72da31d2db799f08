#!/usr/bin/env python3
"""Checks every quoted #include of the C++ sources against the README's Layout
table: the include names its folder from the project's root, the file exists,
and the including folder may include that folder.

Usage: check_includes.py PROJECT_ROOT. Prints each fault; exits 1 on any."""
import os
import re
import sys

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]+"([^"]+)"', re.M)
ROW = re.compile(r'^\|\s*`([a-z/]+)/`\s*\|[^|]*\|([^|]*)\|\s*$')
FOLDER = re.compile(r'`([a-z/]+)/`')
SKIPPED = {'build', '.git', 'node_modules'}


def allowed_includes(readme):
    """{folder: set of folders it may include, or None for any}, from the table."""
    table = {}
    for line in open(readme, encoding='utf-8'):
        row = ROW.match(line.strip())
        if not row:
            continue
        folder, allowed = row.group(1), row.group(2).strip()
        if allowed.startswith('any folder but'):
            table[folder] = ('but', set(FOLDER.findall(allowed)))
        else:
            table[folder] = ('only', set(FOLDER.findall(allowed)))
    return table


def folder_of(path, folders):
    """The deepest folder of the table holding `path`."""
    best = None
    for folder in folders:
        if path.startswith(folder + '/') and (best is None or len(folder) > len(best)):
            best = folder
    return best


def check(root):
    table = allowed_includes(os.path.join(root, 'README.md'))
    if not table:
        return ['README.md: no Layout table with a "may include" column']
    faults = []
    for directory, subdirectories, names in os.walk(root):
        relative = os.path.relpath(directory, root)
        subdirectories[:] = [d for d in subdirectories
                             if not d.startswith('.') and not (relative == '.' and d in SKIPPED)]
        for name in sorted(names):
            if not name.endswith(('.h', '.cpp')):
                continue
            path = os.path.normpath(os.path.join(relative, name))
            source = folder_of(path, table)
            if source is None:
                faults.append(f'{path}: in no folder of the Layout table')
                continue
            text = open(os.path.join(root, path), encoding='utf-8').read()
            for match in INCLUDE.finditer(text):
                target = match.group(1)
                line = text.count('\n', 0, match.start()) + 1
                where = f'{path}:{line}: "{target}"'
                if '/' not in target:
                    faults.append(f'{where} does not name its folder')
                    continue
                if not os.path.isfile(os.path.join(root, target)):
                    faults.append(f'{where} names no file from the project root')
                    continue
                included = folder_of(target, table)
                if included is None or included == source:
                    continue
                # A subfolder belongs to its folder's layer: grid/ reaching grid/widget/ is not.
                kind, folders = table[source]
                permitted = included not in folders if kind == 'but' else included in folders
                if not permitted:
                    faults.append(f'{where}: {source}/ may not include {included}/')
    return faults


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    faults = check(sys.argv[1])
    for fault in faults:
        print(fault)
    print(f'{len(faults)} fault(s)' if faults else 'every include follows the Layout table')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
