#!/usr/bin/env bash
# The demo as a newcomer on a machine without a display runs it: it must end with 0 within
# three minutes, its last two lines naming a reply that Python's email package parses without
# defects and an attachment that Pillow opens, and it must leave no process behind.
set -euo pipefail
cd "$(dirname "$0")/../.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
start=$(date +%s)
DISPLAY= WAYLAND_DISPLAY= timeout 600 tools/run-demo | tee "$log"
reply=$(tail -n 2 "$log" | head -n 1)
attachment=$(tail -n 1 "$log")
/usr/bin/python3 - "$reply" "$attachment" <<'PY'
import email, email.policy, sys
from PIL import Image
with open(sys.argv[1], "rb") as f:
    message = email.message_from_bytes(f.read(), policy=email.policy.default)
assert not message.defects, message.defects
assert message.get_content_type() == "multipart/mixed", message.get_content_type()
image = Image.open(sys.argv[2])
image.load()
print("demo reply:", message["Subject"], "-", image.format, image.size)
PY
for pattern in build-demo/bin/vistrel101 smtp_server.py dvc-; do
    if pgrep -f "$pattern" >/dev/null; then
        echo "demo_check: a process is left running: $pattern" >&2
        pgrep -af "$pattern" >&2
        exit 1
    fi
done
echo "demo_check: passed in $(( $(date +%s) - start )) s"
