#!/usr/bin/env bash
# CI only (it installs system-wide): the package of the plain build installed with apt-get as
# a user would, its program on the PATH answering --version and running --check-once against
# the test servers, then removed again.
set -euo pipefail
cd "$(dirname "$0")/../.."
deb=$(tools/make-deb build | tail -n 1)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "./$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq vistrel >/dev/null' EXIT
env -u DISPLAY -u QT_QPA_PLATFORM vistrel101 --version
VISTREL_INSTALLED_PROGRAM=$(command -v vistrel101) \
    build/tests/test_app --gtest_filter=HeadlessRun.TheInstalledPackageChecksOnceAgainstTheServers
