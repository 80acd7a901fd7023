"""Python's email package and Pillow as the independent readers of a reply mail.

  mail_probe.py FILE ATTACHMENT_OUT

Parses FILE with the default policy and prints, as JSON: every defect the parser found (of the
message, its parts and its headers), the headers as decoded, the content types of the parts,
the text part's charset and decoded text, the attachment's type, file name and size (its
decoded bytes written to ATTACHMENT_OUT) and Pillow's format and size of it; also the longest
line and whether any byte is 0x80 or above.
"""
import email
import email.policy
import io
import json
import sys

from PIL import Image


def header_defects(part):
    found = []
    for name, value in part.items():
        for defect in getattr(value, "defects", ()):
            found.append("%s: %s" % (name, type(defect).__name__))
    return found


def main():
    path, attachment_out = sys.argv[1], sys.argv[2]
    with open(path, "rb") as source:
        raw = source.read()
    message = email.message_from_bytes(raw, policy=email.policy.default)
    defects = [type(d).__name__ for d in message.defects] + header_defects(message)
    parts = []
    report = {
        "from": str(message["From"]), "to": str(message["To"]),
        "subject": str(message["Subject"]), "date": str(message["Date"]),
        "content_type": message.get_content_type(),
        "multipart": message.is_multipart(),
        "longest_line": max(len(line) for line in raw.split(b"\r\n")),
        "eight_bit": any(b >= 0x80 for b in raw),
        "bare_line_feed": raw.replace(b"\r\n", b"").count(b"\n") > 0,
    }
    for part in message.iter_parts() if message.is_multipart() else ():
        defects += [type(d).__name__ for d in part.defects] + header_defects(part)
        parts.append(part.get_content_type())
        if part.get_content_maintype() == "text":
            report["charset"] = part.get_content_charset()
            report["text"] = part.get_content().replace("\r\n", "\n")
        else:
            data = part.get_content()
            with open(attachment_out, "wb") as out:
                out.write(data)
            report["attachment_type"] = part.get_content_type()
            report["filename"] = part.get_filename()
            report["attachment_size"] = len(data)
            image = Image.open(io.BytesIO(data))
            image.load()
            report["image"] = {"format": image.format, "width": image.width,
                               "height": image.height, "mode": image.mode}
    report["parts"] = parts
    report["defects"] = defects
    print(json.dumps(report))


if __name__ == "__main__":
    main()
