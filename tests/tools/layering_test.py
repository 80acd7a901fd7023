#!/usr/bin/env python3
"""The layering check on scratch trees laid out with the real table: it passes a tree whose
includes point down and fails, naming the file, on each kind of upward or widget include."""
import pathlib
import shutil
import subprocess
import sys
import tempfile

TOOLS = pathlib.Path(__file__).resolve().parents[2] / "tools"

# (file, its text, the fault the check must report, or None for a clean tree)
CASES = [
    ("reply/A.cpp", '#include "imaging/B.h"\n#include "platform/C.h"\n#include <QString>\n', None),
    ("app/A.cpp", '#include "dialogs/B.h"\n#include <QMainWindow>\n', None),
    ("settings/A.cpp", '#include "reply/B.h"\n', 'settings/A.cpp: includes "reply/B.h"'),
    ("platform/A.h", '#include "platform/ui/B.h"\n', 'platform/A.h: includes "platform/ui/B.h"'),
    ("log/A.cpp", '  #  include "app/Form1.h"\n', 'log/A.cpp: includes "app/Form1.h"'),
    ("mailcheck/A.cpp", '#include "capture/modCapture.h"\n',
     'mailcheck/A.cpp: includes "capture/modCapture.h"'),
    ("reply/A.cpp", "#include <QWidget>\n", "reply/A.cpp: includes <QWidget>"),
    ("imaging/A.cpp", "#include <QtWidgets/QLabel>\n", "imaging/A.cpp: includes <QtWidgets"),
]


def run_case(relative, text):
    with tempfile.TemporaryDirectory() as scratch:
        root = pathlib.Path(scratch)
        (root / "tools").mkdir()
        shutil.copy(TOOLS / "layers.txt", root / "tools")
        source = root / relative
        source.parent.mkdir(parents=True, exist_ok=True)
        source.write_text(text, encoding="utf-8")
        return subprocess.run([sys.executable, TOOLS / "check-layering", root],
                              capture_output=True, text=True)


def main():
    failures = 0
    for relative, text, fault in CASES:
        result = run_case(relative, text)
        ok = (result.returncode == 0) if fault is None else (
            result.returncode == 1 and fault in result.stdout)
        if not ok:
            failures += 1
            print(f"FAIL {relative}: exit {result.returncode}, output:\n{result.stdout}")
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
