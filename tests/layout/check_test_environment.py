#!/usr/bin/env python3
"""Checks that CTest gives every test of a program of ours its whole
environment: the project's paths, the offscreen platform and the sanitizers'
options with the leak suppressions.

Usage: check_test_environment.py CTEST BUILD_DIR. Prints each test that misses
a variable; exits 1 on any."""
import json
import os
import subprocess
import sys

NEEDED = {
    '--gtest_filter': ['QT_QPA_PLATFORM', 'QUILLOR_SOURCE_DIR', 'QUILLOR_SHARED_DIR',
                       'QUILLOR_TEST_CATALOGUE', 'LSAN_OPTIONS', 'ASAN_OPTIONS', 'UBSAN_OPTIONS'],
    'BenchmarkSmoke.': ['QT_QPA_PLATFORM', 'LSAN_OPTIONS', 'ASAN_OPTIONS', 'UBSAN_OPTIONS'],
}


def needed(test):
    """The variables `test` must have, or [] for a test that runs no program of ours."""
    if any(arg.startswith('--gtest_filter') for arg in test.get('command', [])):
        return NEEDED['--gtest_filter']
    if test['name'].startswith('BenchmarkSmoke.'):
        return NEEDED['BenchmarkSmoke.']
    return []


def faults(tests):
    found = []
    for test in tests:
        environment = {}
        for prop in test.get('properties', []):
            if prop['name'] == 'ENVIRONMENT':
                environment = dict(item.split('=', 1) for item in prop['value'])
        for name in needed(test):
            if name not in environment:
                found.append(f"{test['name']}: {name} is not set")
        options = environment.get('LSAN_OPTIONS', '')
        for option in options.split(':'):
            if option.startswith('suppressions=') and not os.path.isfile(option.split('=', 1)[1]):
                found.append(f"{test['name']}: no suppressions file {option.split('=', 1)[1]}")
    return found


def main():
    ctest, build = sys.argv[1], sys.argv[2]
    listing = subprocess.run([ctest, '--show-only=json-v1'], cwd=build, check=True,
                             capture_output=True, text=True).stdout
    tests = json.loads(listing)['tests']
    found = faults(tests)
    for fault in found:
        print(fault)
    checked = sum(1 for test in tests if needed(test))
    print(f'{checked} tests checked, {len(found)} faults')
    return 1 if found or checked == 0 else 0


if __name__ == '__main__':
    sys.exit(main())
