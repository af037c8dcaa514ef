#!/usr/bin/env python3
"""The dependency check itself, on small trees made here: it must pass a clean tree and name
every include that breaks the table."""
import pathlib
import subprocess
import sys
import tempfile
import unittest

CHECK = pathlib.Path(__file__).with_name("check_dependencies.py")
TABLE = """| module | what | may use |
|---|---|---|
| `base` | bottom | |
| `platform` | SDL | `base` |
| `gfx` | GL | `platform`, `base` |
| `demo` | top | `gfx`, `platform`, `base` |
| `tools/capture` | tool | `demo`, `base` |
| `tests` | suite | every module |
"""


class DependencyCheck(unittest.TestCase):
    def run_check(self, files, table=TABLE, options=()):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            (root / "docs").mkdir()
            (root / "docs" / "architecture.md").write_text(table)
            for name in ("base", "platform", "gfx", "demo", "tools/capture", "tools/capture/plan", "tests"):
                (root / name).mkdir(parents=True, exist_ok=True)
            for path, text in files.items():
                (root / path).write_text(text)
            done = subprocess.run([sys.executable, str(CHECK), str(root), *options], capture_output=True, text=True)
            return done.returncode, done.stdout

    def test_allowed_includes_pass(self):
        code, out = self.run_check({
            "demo/a.cpp": '#include "platform/w.h"\n#include "base/r.h"\n#include "demo/a.h"\n#include <vector>\n',
            "platform/w.cpp": '#include <SDL2/SDL.h>\n#include "base/r.h"\n',
            "tools/capture/c.cpp": '#include "demo/a.h"\n#include "tools/capture/c.h"\n',
            "tests/t.cpp": '#include "tools/capture/c.h"\n#include "platform/w.h"\n',
        })
        self.assertEqual(code, 0, out)

    def test_an_include_upwards_is_named_with_its_line(self):
        code, out = self.run_check({"base/r.cpp": '#include "base/r.h"\n\n#include "demo/a.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn("base/r.cpp:3: base may not include demo/a.h (demo)", out)

    def test_a_skipped_layer_is_refused(self):
        code, out = self.run_check({"tools/capture/c.cpp": '#include "platform/w.h"\n'})
        self.assertEqual(code, 1)
        self.assertIn("tools/capture may not include platform/w.h", out)

    def test_sdl_outside_platform_is_refused(self):
        code, out = self.run_check({"demo/a.cpp": "#  include <SDL.h>\n"})
        self.assertEqual(code, 1)
        self.assertIn("demo/a.cpp:1: includes <SDL.h>; only platform may use SDL", out)

    # A header and its source are one unit: a.cpp using b.h while b.cpp uses a.h is a circle
    # even though no header includes itself.
    def test_files_that_use_each_other_are_a_circle(self):
        code, out = self.run_check({
            "demo/a.h": "",
            "demo/a.cpp": '#include "demo/a.h"\n#include "demo/b.h"\n',
            "demo/b.h": "",
            "demo/b.cpp": '#include "demo/b.h"\n#include "demo/c.h"\n',
            "demo/c.h": '#include "demo/a.h"\n',
        })
        self.assertEqual(code, 1)
        self.assertIn("files include each other in a circle: demo/a -> demo/b -> demo/c -> demo/a", out)
        code, out = self.run_check({
            "demo/a.cpp": '#include "demo/a.h"\n#include "demo/b.h"\n',
            "demo/a.h": "",
            "demo/b.h": '#include "demo/c.h"\n',
            "demo/c.cpp": '#include "demo/c.h"\n#include "platform/missing.h"\n',
        })
        self.assertEqual(code, 0, "a chain without a way back is no circle: " + out)

    def test_a_circle_in_the_table_is_refused(self):
        table = TABLE.replace("| `platform` | SDL | `base` |", "| `platform` | SDL | `base`, `demo` |")
        code, out = self.run_check({}, table)
        self.assertEqual(code, 1)
        self.assertIn("the table lets modules use each other in a circle: demo -> gfx -> platform -> demo", out)

    # A nested folder is a module of its own, checked by its own row.
    def test_a_nested_module_keeps_to_its_row(self):
        table = TABLE.replace("| `tests` |", "| `tools/capture/plan` | plan | `demo` |\n| `tests` |")
        files = {"tools/capture/plan/p.h": '#include "demo/a.h"\n', "tools/capture/c.cpp": '#include "tools/capture/plan/p.h"\n'}
        code, out = self.run_check(files, table)
        self.assertEqual(code, 1)
        self.assertIn("tools/capture may not include tools/capture/plan/p.h (tools/capture/plan)", out)
        files["tools/capture/plan/p.cpp"] = '#include "base/r.h"\n'
        code, out = self.run_check(files, table.replace("| `demo`, `base` |", "| `demo`, `base`, `tools/capture/plan` |"))
        self.assertEqual(code, 1)
        self.assertIn("tools/capture/plan/p.cpp:1: tools/capture/plan may not include base/r.h (base)", out)
        self.assertNotIn("tools/capture/c.cpp", out)

    def test_unused_permissions_are_named_when_asked(self):
        files = {"demo/a.cpp": '#include "platform/w.h"\n#include "gfx/g.h"\n',
                 "platform/w.cpp": '#include "base/r.h"\n',
                 "gfx/g.cpp": '#include "platform/w.h"\n#include "base/r.h"\n',
                 "tools/capture/c.cpp": '#include "demo/a.h"\n#include "base/r.h"\n'}
        code, out = self.run_check(files)
        self.assertEqual(code, 0, out)
        code, out = self.run_check(files, options=["--unused"])
        self.assertEqual(code, 1)
        self.assertEqual(out.splitlines(), [line for line in out.splitlines() if "demo may use base" in line])
        self.assertIn("demo may use base but includes nothing of it", out)

    def test_gl_headers_are_for_gfx_and_the_tests(self):
        code, out = self.run_check({
            "gfx/g.cpp": "#include <GL/gl.h>\n#include <GL/glu.h>\n#include <GLES3/gl3.h>\n#include <EGL/egl.h>\n",
            "tests/t.cpp": "#include <GL/gl.h>\n#include <GL/glu.h>\n",
            "demo/a.cpp": '#include "gfx/gfx.h"\n#include <vector>\n',
        })
        self.assertEqual(code, 0, out)

    def test_a_gl_header_outside_gfx_is_refused(self):
        for module in ("demo", "platform", "tools/capture"):
            for header in ("GL/gl.h", "GL/glu.h", "GLES2/gl2.h", "GLES3/gl3.h", "EGL/egl.h"):
                with self.subTest(module=module, header=header):
                    code, out = self.run_check({f"{module}/a.cpp": f"#include <vector>\n# include <{header}>\n"})
                    self.assertEqual(code, 1)
                    self.assertIn(f"{module}/a.cpp:2: includes <{header}>; only gfx may use GL", out)

    def test_a_module_without_a_folder_is_reported(self):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            (root / "docs").mkdir()
            (root / "docs" / "architecture.md").write_text(TABLE)
            done = subprocess.run([sys.executable, str(CHECK), str(root)], capture_output=True, text=True)
            self.assertEqual(done.returncode, 1)
            self.assertIn("module base has no folder", done.stdout)


if __name__ == "__main__":
    unittest.main()
