#!/usr/bin/env python3
"""The include check on small trees: each kind of fault is found, a sound tree passes."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_includes  # noqa: E402

README = """# x

| folder | what | may include |
| --- | --- | --- |
| `text/` | strings | — |
| `grid/` | the controller | `text/` |
| `grid/widget/` | the widget | `grid/` `text/` |
| `tests/` | tests | any folder but `tools/` |
| `tools/` | the tool | `grid/` `text/` |
"""


class CheckIncludesTest(unittest.TestCase):
    def tree(self, files):
        root = tempfile.mkdtemp()
        self.addCleanup(lambda: __import__('shutil').rmtree(root))
        files = dict(files)
        files.setdefault('README.md', README)
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), 'w', encoding='utf-8') as f:
                f.write(text)
        return root

    def test_a_sound_tree_passes(self):
        root = self.tree({
            'text/Str.h': '#pragma once\n',
            'text/Str.cpp': '#include "text/Str.h"\n#include <string>\n',
            'grid/Grid.h': '#include "text/Str.h"\n',
            'grid/widget/Widget.cpp': '#include "grid/Grid.h"\n',
            'tests/grid/grid_test.cpp': '#include "grid/widget/Widget.cpp"\n#include "text/Str.h"\n',
        })
        self.assertEqual(check_includes.check(root), [])

    def test_each_kind_of_fault_is_named(self):
        root = self.tree({
            'text/Str.h': '#pragma once\n',
            'text/Up.cpp': '#include "grid/Grid.h"\n',
            'grid/Grid.h': '#include "Str.h"\n',
            'grid/Grid.cpp': '#include "grid/widget/Widget.h"\n\n\n#include "text/Gone.h"\n',
            'grid/widget/Widget.h': '#pragma once\n',
            'tests/t.cpp': '#include "tools/Tool.h"\n',
            'tools/Tool.h': '#pragma once\n',
            'stray/x.cpp': '',
        })
        faults = check_includes.check(root)
        self.assertIn('text/Up.cpp:1: "grid/Grid.h": text/ may not include grid/', faults)
        self.assertIn('grid/Grid.h:1: "Str.h" does not name its folder', faults)
        self.assertIn('grid/Grid.cpp:1: "grid/widget/Widget.h": grid/ may not include grid/widget/', faults)
        self.assertIn('grid/Grid.cpp:4: "text/Gone.h" names no file from the project root', faults)
        self.assertIn('tests/t.cpp:1: "tools/Tool.h": tests/ may not include tools/', faults)
        self.assertIn('stray/x.cpp: in no folder of the Layout table', faults)
        self.assertEqual(len(faults), 6)

    def test_a_readme_without_the_table_fails(self):
        root = self.tree({'README.md': '# x\n', 'text/Str.h': ''})
        self.assertEqual(len(check_includes.check(root)), 1)


if __name__ == '__main__':
    unittest.main()
