"""A private SMTP server on aiosmtpd for tests and demonstrations.

  smtp_server.py ROOT [--refuse-rcpt ADDRESS]... [--tls starttls|implicit --cert PEM --key PEM]
                 [--user NAME:PASSWORD]... [--mechanism NAME]... [--auth-without-tls]
                 [--refuse-ehlo] [--hold rcpt|data --hold-message N]

Listens on 127.0.0.1 at a port the system picks and prints "port N" once it accepts
connections. Each accepted message is stored for every recipient as a Maildir mail:
ROOT/RECIPIENT/new/NAME holds the message bytes as received (with the DATA transparency dots
removed), ROOT/RECIPIENT/envelope/NAME.json the envelope: mail_from, rcpt_tos, helo and peer.
A message is stored before its 250 reply goes out. RCPT of a refused address is answered 550.
With --tls the server offers STARTTLS, or speaks TLS from the first byte (implicit). With
--user it offers AUTH (the mechanisms named by --mechanism, PLAIN and LOGIN by default; only
over TLS unless --auth-without-tls) and accepts those logins; the envelope then also tells the
login that was used and whether the session ran in TLS. With --refuse-ehlo, EHLO is answered
502 and only HELO works. With --hold, the reply to RCPT (or, after the message is stored, to
DATA) of the Nth message since the start is held back until its client has gone, and
ROOT/%held is created when the hold begins, so that a test can stop the client at that point.
The server runs until it is terminated or its standard input closes (its parent has gone).
"""
import argparse
import asyncio
import json
import os
import ssl
import sys
import time

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def folder_name(address):
    """The recipient's folder: the address with path separators made harmless."""
    return address.replace("%", "%25").replace("/", "%2F") or "%00"


class MaildirStore:
    def __init__(self, root, refused, hold=None, hold_message=0):
        self.root = root
        self.refused = set(refused)
        self.count = 0
        self.rcpts = 0
        self.hold = hold
        self.hold_message = hold_message

    async def held(self, server, stage, number):
        """Holds the reply back while the client is there, when this is the one to hold."""
        if self.hold != stage or number != self.hold_message:
            return
        open(os.path.join(self.root, "%held"), "w").close()
        for _ in range(1200):  # a minute at most
            if server.transport is None or server.transport.is_closing():
                return
            await asyncio.sleep(0.05)

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused:
            return "550 5.1.1 <%s>: no such user here" % address
        envelope.rcpt_tos.append(address)
        self.rcpts += 1
        await self.held(server, "rcpt", self.rcpts)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        name = "%d.M%06dP%d.vistrel" % (time.time(), self.count, os.getpid())
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "helo": session.host_name,
            "peer": list(session.peer)[:2],
            "login": session.auth_data or "",
            "tls": server.transport.get_extra_info("ssl_object") is not None,
        }
        for rcpt in envelope.rcpt_tos:
            self.store(folder_name(rcpt), name, envelope.original_content, record)
        await self.held(server, "data", self.count)
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


class MaildirStoreWithoutEhlo(MaildirStore):
    """A server of the old kind: EHLO is an unknown command, HELO works."""

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        return ["502 5.5.1 EHLO not known here"]


class Logins:
    """The authenticator: a login is accepted when its name and password are one of ours."""

    def __init__(self, users):
        self.users = dict(user.split(":", 1) for user in users)

    def __call__(self, server, session, envelope, mechanism, auth_data):
        if not isinstance(auth_data, LoginPassword):
            return AuthResult(success=False, handled=False)
        login = auth_data.login.decode("utf-8")
        ok = self.users.get(login) == auth_data.password.decode("utf-8")
        return AuthResult(success=ok, handled=False, auth_data=login if ok else None)


def smtp_options(arguments, context):
    options = {"hostname": "vistrel-test-smtp"}
    if arguments.tls == "starttls":
        options["tls_context"] = context
    if arguments.user:
        options["authenticator"] = Logins(arguments.user)
        # A session in TLS from the first byte is one the library does not know as TLS.
        options["auth_require_tls"] = not arguments.auth_without_tls and arguments.tls != "implicit"
        if arguments.mechanism:
            offered = {"PLAIN", "LOGIN"} - set(arguments.mechanism)
            options["auth_exclude_mechanism"] = sorted(offered)
    return options


async def serve(arguments):
    loop = asyncio.get_running_loop()
    kind = MaildirStoreWithoutEhlo if arguments.refuse_ehlo else MaildirStore
    store = kind(arguments.root, arguments.refuse_rcpt, arguments.hold, arguments.hold_message)
    context = None
    if arguments.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(arguments.cert, arguments.key)
    options = smtp_options(arguments, context)
    server = await loop.create_server(
        lambda: SMTP(store, **options), "127.0.0.1", 0,
        ssl=context if arguments.tls == "implicit" else None)
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
    parser.add_argument("--tls", choices=["starttls", "implicit"])
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--user", action="append", default=[])
    parser.add_argument("--mechanism", action="append", default=[])
    parser.add_argument("--auth-without-tls", action="store_true")
    parser.add_argument("--refuse-ehlo", action="store_true")
    parser.add_argument("--hold", choices=["rcpt", "data"])
    parser.add_argument("--hold-message", type=int, default=1)
    asyncio.run(serve(parser.parse_args()))


if __name__ == "__main__":
    main()
