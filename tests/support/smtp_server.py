"""A private SMTP server on aiosmtpd for tests and demonstrations.

  smtp_server.py ROOT [--refuse-rcpt ADDRESS]...

Listens on 127.0.0.1 at a port the system picks and prints "port N" once it accepts
connections. Each accepted message is stored for every recipient as a Maildir mail:
ROOT/RECIPIENT/new/NAME holds the message bytes as received (with the DATA transparency dots
removed), ROOT/RECIPIENT/envelope/NAME.json the envelope: mail_from, rcpt_tos, helo and peer.
A message is stored before its 250 reply goes out. RCPT of a refused address is answered 550.
The server runs until it is terminated or its standard input closes (its parent has gone).
"""
import argparse
import asyncio
import json
import os
import sys
import time

from aiosmtpd.smtp import SMTP


def folder_name(address):
    """The recipient's folder: the address with path separators made harmless."""
    return address.replace("%", "%25").replace("/", "%2F") or "%00"


class MaildirStore:
    def __init__(self, root, refused):
        self.root = root
        self.refused = set(refused)
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused:
            return "550 5.1.1 <%s>: no such user here" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        name = "%d.M%06dP%d.vistrel" % (time.time(), self.count, os.getpid())
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "helo": session.host_name,
            "peer": list(session.peer)[:2],
        }
        for rcpt in envelope.rcpt_tos:
            self.store(folder_name(rcpt), name, envelope.original_content, record)
        return "250 OK: stored as %s" % name

    def store(self, folder, name, content, record):
        maildir = os.path.join(self.root, folder)
        for sub in ("tmp", "new", "cur", "envelope"):
            os.makedirs(os.path.join(maildir, sub), exist_ok=True)
        with open(os.path.join(maildir, "envelope", name + ".json"), "w") as out:
            json.dump(record, out)
        temporary = os.path.join(maildir, "tmp", name)
        with open(temporary, "wb") as out:
            out.write(content)
        os.rename(temporary, os.path.join(maildir, "new", name))


async def serve(arguments):
    loop = asyncio.get_running_loop()
    store = MaildirStore(arguments.root, arguments.refuse_rcpt)
    server = await loop.create_server(
        lambda: SMTP(store, hostname="vistrel-test-smtp"), "127.0.0.1", 0)
    stopped = loop.create_future()

    def parent_gone():
        if not sys.stdin.buffer.read1(4096) and not stopped.done():
            stopped.set_result(None)

    loop.add_reader(sys.stdin.fileno(), parent_gone)
    print("port %d" % server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await stopped


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--refuse-rcpt", action="append", default=[])
    asyncio.run(serve(parser.parse_args()))


if __name__ == "__main__":
    main()
