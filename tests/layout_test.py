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
    def run_check(self, files):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            (root / "docs").mkdir()
            (root / "docs" / "architecture.md").write_text(TABLE)
            for name in ("base", "platform", "gfx", "demo", "tools/capture", "tests"):
                (root / name).mkdir(parents=True, exist_ok=True)
            for path, text in files.items():
                (root / path).write_text(text)
            done = subprocess.run([sys.executable, str(CHECK), str(root)], capture_output=True, text=True)
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
