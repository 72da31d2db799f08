#!/usr/bin/python3
"""A real SMTP server on a loopback port, for the mail tests.

Binds 127.0.0.1 on a free port, prints that port on one line, and serves until
it is terminated, its parent process ends, or --lifetime seconds have passed,
so that a crashed test never leaves it behind. Each accepted message is stored
in --spool as NNNN.env (the MAIL FROM address, then one RCPT TO address per line) and
NNNN.eml (the message data exactly as received, dot-unstuffed, CR LF kept);
the .eml file appears last and whole, so its presence means the message is
complete.

Behaviour, for tests that act while a sending waits:
  --events FILE     appends one line per event: "connect", "held" (MAIL FROM
                    is being held), "quit", "lost" (the connection ended)
  --hold-mail FILE  holds the reply to MAIL FROM until FILE exists
  --refuse-data     answers the end of the data with 554 and stores nothing

Modes:
  plain     no authentication
  login     AUTH LOGIN required, accepted over plain text, only for
            --user/--password
  starttls  STARTTLS offered with --cert/--key and required before anything
            else; AUTH LOGIN required and announced only after TLS
"""
import argparse
import asyncio
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class EventLog:
    def __init__(self, path):
        self.path = path

    def note(self, event):
        if self.path:
            with open(self.path, "a") as log:
                log.write(event + "\n")


class LoggingSMTP(SMTP):
    def __init__(self, handler, events, **options):
        super().__init__(handler, **options)
        self.events = events

    def connection_made(self, transport):
        if self.transport is None:
            self.events.note("connect")
        super().connection_made(transport)

    def connection_lost(self, error):
        self.events.note("lost")
        super().connection_lost(error)


class SpoolHandler:
    def __init__(self, spool, events, hold_mail, refuse_data):
        self.spool = spool
        self.events = events
        self.hold_mail = hold_mail
        self.refuse_data = refuse_data
        self.count = 0

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if self.hold_mail:
            self.events.note("held")
            while not os.path.exists(self.hold_mail):
                await asyncio.sleep(0.02)
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_QUIT(self, server, session, envelope):
        self.events.note("quit")
        return "221 Bye"

    async def handle_DATA(self, server, session, envelope):
        if self.refuse_data:
            return "554 Transaction failed"
        self.count += 1
        base = os.path.join(self.spool, "%04d" % self.count)
        with open(base + ".env", "wb") as env:
            env.write(envelope.mail_from.encode("utf-8", "surrogateescape") + b"\n")
            for rcpt in envelope.rcpt_tos:
                env.write(rcpt.encode("utf-8", "surrogateescape") + b"\n")
        with open(base + ".tmp", "wb") as eml:
            eml.write(envelope.original_content)
        os.rename(base + ".tmp", base + ".eml")
        return "250 Message accepted for delivery"


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login == user.encode() and auth_data.password == password.encode())
        # handled=False lets the server answer a failure with its own 535.
        return AuthResult(success=ok, handled=False)
    return authenticate


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", choices=["plain", "login", "starttls"], default="plain")
    parser.add_argument("--spool", required=True)
    parser.add_argument("--user", default="")
    parser.add_argument("--password", default="")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--lifetime", type=float, default=600)
    parser.add_argument("--events", default="")
    parser.add_argument("--hold-mail", default="")
    parser.add_argument("--refuse-data", action="store_true")
    parser.add_argument("--parent", type=int, default=0,
                        help="the process that started the server (default: the current parent)")
    args = parser.parse_args()

    events = EventLog(args.events)
    handler = SpoolHandler(args.spool, events, args.hold_mail, args.refuse_data)
    options = {"hostname": "quillor-test-server", "decode_data": False}
    if args.mode in ("login", "starttls"):
        options.update(authenticator=make_authenticator(args.user, args.password),
                       auth_required=True, auth_exclude_mechanism=["PLAIN"])
    if args.mode == "login":
        options["auth_require_tls"] = False
    if args.mode == "starttls":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
        options.update(tls_context=context, require_starttls=True, auth_require_tls=True)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(
        loop.create_server(lambda: LoggingSMTP(handler, events, loop=loop, **options), host="127.0.0.1", port=0))
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.call_later(args.lifetime, loop.stop)
    # A test that crashed cannot stop its server: notice the orphaning and end.
    parent = args.parent or os.getppid()

    def stop_when_orphaned():
        if os.getppid() != parent:
            loop.stop()
        else:
            loop.call_later(0.5, stop_when_orphaned)

    loop.call_later(0.5, stop_when_orphaned)
    try:
        loop.run_forever()
    finally:
        server.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
