"""Python's poplib, Pillow and smtplib as the yardsticks of the mail check:

  poplib_check.py list HOST PORT USER PASSWORD COUNT
      STAT, UIDL and QUIT, COUNT times.
  poplib_check.py answer HOST PORT USER PASSWORD COUNT STILL SMTPPORT OWN PREFIX WIDTH
      COUNT times: log in, list, read each header with TOP, answer each request whose
      subject begins with PREFIX with STILL reduced to WIDTH as a JPEG over smtplib, delete
      it, QUIT. The bench delivers the requests again before each run.

Prints a JSON list of the seconds each run took.
"""
import email
import email.header
import email.policy
import io
import json
import poplib
import smtplib
import sys
import time
from email.mime.image import MIMEImage
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email.utils import parseaddr

from PIL import Image


def list_once(host, port, user, password):
    client = poplib.POP3(host, port)
    client.user(user)
    client.pass_(password)
    client.stat()
    client.uidl()
    client.quit()


def reply(still, width, own, requester):
    image = Image.open(still)
    height = image.height * width // image.width
    out = io.BytesIO()
    image.resize((width, height)).save(out, "JPEG", quality=99)
    message = MIMEMultipart()
    message["From"] = own
    message["To"] = requester
    message["Subject"] = email.header.Header("カメラの写真", "iso-2022-jp")
    message.attach(MIMEText("写真です\n", "plain", "iso-2022-jp"))
    message.attach(MIMEImage(out.getvalue(), "jpeg", name="capture.jpg"))
    return message.as_bytes(policy=message.policy.clone(linesep="\r\n"))


def answer_once(host, port, user, password, still, smtp_port, own, prefix, width):
    client = poplib.POP3(host, port)
    client.user(user)
    client.pass_(password)
    count, _ = client.stat()
    if count:
        _, entries, _ = client.uidl()
        for entry in entries:
            number = int(entry.split()[0])
            _, lines, _ = client.top(number, 0)
            header = email.message_from_bytes(b"\r\n".join(lines), policy=email.policy.default)
            requester = parseaddr(str(header["From"]))[1]
            subject = str(header["Subject"] or "")
            if not requester or not subject.startswith(prefix):
                continue
            with smtplib.SMTP(host, smtp_port) as smtp:
                smtp.sendmail(own, [requester], reply(still, width, own, requester))
            client.dele(number)
    client.quit()


def main():
    mode, host, port, user, password, count = sys.argv[1:7]
    times = []
    for _ in range(int(count)):
        start = time.perf_counter()
        if mode == "list":
            list_once(host, int(port), user, password)
        else:
            still, smtp_port, own, prefix, width = sys.argv[7:12]
            answer_once(host, int(port), user, password, still, int(smtp_port), own, prefix,
                        int(width))
        times.append(time.perf_counter() - start)
    print(json.dumps(times), flush=True)


if __name__ == "__main__":
    main()
