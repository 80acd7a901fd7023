#!/usr/bin/env python3
"""deb_test.py BUILD_DIR SOURCE_DIR: packages the build with tools/make-deb (lintian must find no
error), unpacks the .deb into a scratch root with dpkg -x, and checks what a Debian system
needs of it: the program and its launchers, the desktop entry and icon that
desktop-file-validate accepts, the systemd user unit that systemd-analyze verifies, the man
page that lists exactly the options of --help, and the copyright file."""
import gzip
import os
import pathlib
import re
import subprocess
import sys
import tempfile

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def verify_unit(root, text):
    """systemd-analyze verify on the unit with its program and man page in the scratch root,
    as a user manager would load it."""
    scratch = root / "unit-check"
    (scratch / "runtime").mkdir(parents=True)
    (scratch / "vistrel.service").write_text(
        text.replace("/usr/lib/vistrel/", f"{root}/usr/lib/vistrel/"), encoding="utf-8")
    env = dict(os.environ, XDG_RUNTIME_DIR=str(scratch / "runtime"),
               MANPATH=str(root / "usr/share/man"))
    verified = subprocess.run(["systemd-analyze", "verify", "--user",
                               str(scratch / "vistrel.service")], capture_output=True, text=True,
                              env=env)
    print(verified.stdout + verified.stderr, end="")
    return verified.returncode == 0 and verified.stderr.strip() == ""


def options_of(text):
    return set(re.findall(r"--[a-z][a-z-]*[a-z]", text))


def main():
    build, source = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    made = subprocess.run([str(source / "tools" / "make-deb"), str(build)], capture_output=True,
                          text=True)
    check(made.returncode == 0, f"make-deb and lintian pass: {made.stderr}")
    if made.returncode != 0:
        return 1
    deb = pathlib.Path(made.stdout.strip().splitlines()[-1])
    check(re.fullmatch(r"vistrel_\d+\.\d+\.\d+_[a-z0-9]+\.deb", deb.name) is not None,
          f"the package's name: {deb.name}")
    depends = subprocess.run(["dpkg-deb", "-f", str(deb), "Depends"], capture_output=True,
                             text=True).stdout
    for library in ("libqt6widgets6", "libjpeg62-turbo", "libv4l-0", "qt6-qpa-plugins",
                    "qt6-translations-l10n"):
        check(library in depends, f"the package depends on {library}: {depends}")

    with tempfile.TemporaryDirectory() as scratch_name:
        root = pathlib.Path(scratch_name)
        subprocess.run(["dpkg", "-x", str(deb), str(root)], check=True)
        usr = root / "usr"
        program = usr / "lib" / "vistrel" / "vistrel101"
        check(os.access(program, os.X_OK), "the program is installed")
        for launcher in ("vistrel", "vistrel101"):
            check((usr / "bin" / launcher).resolve() == program.resolve(),
                  f"bin/{launcher} leads to the program")
        desktop = usr / "share" / "applications" / "vistrel.desktop"
        valid = subprocess.run(["desktop-file-validate", str(desktop)], capture_output=True,
                               text=True)
        check(valid.returncode == 0 and "error" not in valid.stdout,
              f"desktop-file-validate: {valid.stdout}")
        check('Exec="/usr/lib/vistrel/vistrel101"' in desktop.read_text(encoding="utf-8"),
              "the desktop entry starts the installed program")
        check((usr / "share/icons/hicolor/scalable/apps/vistrel.svg").is_file(), "the icon")
        unit = usr / "lib" / "systemd" / "user" / "vistrel.service"
        text = unit.read_text(encoding="utf-8")
        for line in ("Type=exec", 'ExecStart="/usr/lib/vistrel/vistrel101" --headless',
                     "Restart=on-failure"):
            check(line in text.splitlines(), f"the unit says {line}")
        check("User=" not in text, "the unit runs as its user, never as root")
        check(verify_unit(root, text), "systemd-analyze verify passes on the unit")
        check((usr / "share/doc/vistrel/copyright").is_file(), "the copyright file")

        man = gzip.decompress((usr / "share/man/man1/vistrel101.1.gz").read_bytes()).decode()
        env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        helped = subprocess.run([str(program), "--help"], capture_output=True, text=True,
                                env=env)
        check(helped.returncode == 0, "--help without a display")
        section = man.split(".SH OPTIONS", 1)[-1].split(".SH ", 1)[0]
        man_options = options_of(section.replace("\\-", "-"))
        check(options_of(helped.stdout) == man_options,
              f"the man page and --help name the same options: {options_of(helped.stdout)} "
              f"against {man_options}")
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
