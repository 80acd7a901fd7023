#!/usr/bin/env python3
"""install_test.py BUILD_DIR SOURCE_DIR CMAKE: installs the build into a scratch prefix (with a
space in its path) as a desktop user would, checks what a desktop needs to find and start the
program, then starts the installed program through its launcher on the PATH, offscreen, and
closes it again. Also checks that a fresh configuration installs into ~/.local."""
import configparser
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import time

ACCOUNT = (b"Name=camera\r\nMailAddr=camera@example.com\r\nUserName=camera\r\nPassword=\r\n"
           b"POPHost=127.0.0.1\r\nPOPPort=110\r\nSMTPHost=127.0.0.1\r\nSMTPPort=25\r\nAPOP=0\r\n")
SETTING = (b"Name=first\r\nDoReduction=1\r\nReductionWidth=200\r\nReductionType=0\r\n"
           b"RotationType=0\r\nColorBit=24\r\nFormatType=0\r\nJPEGProgressive=0\r\n"
           b"JPEGCompression=1\r\nAcceptedMailAddrs,=someone@example.com\r\n"
           b"SendMail_Subject=photo\r\nSendMail_Body=here\r\n")

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.1)
    return condition()


def check_tree(prefix):
    folder = prefix / "lib" / "vistrel"
    for name in ("vistrel101", "libpelcodec.so", "libpelimage.so", "ReadMe.txt", "UserGuide.html"):
        check((folder / name).is_file(), f"program folder holds {name}")
    check(os.access(folder / "vistrel101", os.X_OK), "the program is executable")
    guide = (folder / "UserGuide.html").read_text(encoding="utf-8")
    pictures = [part.split('"', 1)[0] for part in guide.split('<img src="')[1:]]
    check(len(pictures) >= 5, "the user guide shows the screenshots")
    for picture in pictures:
        check((folder / picture).is_file(), f"the guide's picture {picture} is installed")

    launcher = prefix / "bin" / "vistrel"
    check(launcher.is_symlink() and launcher.resolve() == (folder / "vistrel101").resolve(),
          "bin/vistrel leads to the program")

    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(prefix / "share" / "applications" / "vistrel.desktop", encoding="utf-8")
    desktop = entry["Desktop Entry"]
    check(desktop.get("Type") == "Application", "the desktop entry is an application")
    check(desktop.get("Exec") == f'"{folder / "vistrel101"}"',
          f"the desktop entry starts the installed program: {desktop.get('Exec')}")
    icon = desktop.get("Icon")
    check((prefix / "share" / "icons" / "hicolor" / "scalable" / "apps" / f"{icon}.svg").is_file(),
          "the desktop entry's icon is installed")
    return folder, launcher


def start_and_close(prefix, folder):
    options = folder / "options"
    options.mkdir()
    (options / "main.mla").write_bytes(ACCOUNT)
    (options / "001.csp").write_bytes(SETTING)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
               PATH=f"{prefix / 'bin'}{os.pathsep}{os.environ.get('PATH', '')}")
    program = subprocess.Popen(["vistrel"], env=env, stdin=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    try:
        started = wait_for(lambda: (folder / "temp").is_dir(), 30)
        check(started, "the installed program started and made temp/ in its own folder")
        check(program.poll() is None, "the installed program keeps running")
        program.send_signal(signal.SIGTERM)
        code = program.wait(timeout=30)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    errors = program.stderr.read().decode(errors="replace")
    check(code == 0, f"the installed program ended cleanly ({code}): {errors}")
    check((options / "main.opt").is_file(), "the installed program saved its options at exit")


def check_default_prefix(source, cmake, scratch):
    home = scratch / "home of user"
    home.mkdir()
    build = scratch / "fresh-build"
    env = dict(os.environ, HOME=str(home))
    subprocess.run([cmake, "-S", str(source), "-B", str(build)], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    cache = (build / "CMakeCache.txt").read_text(encoding="utf-8")
    check(f"CMAKE_INSTALL_PREFIX:PATH={home}/.local\n" in cache,
          "a fresh configuration installs into ~/.local")


def main():
    build, source, cmake = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), sys.argv[3]
    with tempfile.TemporaryDirectory() as scratch_name:
        scratch = pathlib.Path(scratch_name)
        prefix = scratch / "my home" / ".local"
        subprocess.run([cmake, "--install", str(build), "--prefix", str(prefix)], check=True,
                       stdout=subprocess.DEVNULL)
        folder, _ = check_tree(prefix)
        start_and_close(prefix, folder)
        check_default_prefix(source, cmake, scratch)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
