#!/usr/bin/env python3
"""A real SMTP server on loopback for the mail tests: aiosmtpd, optionally with STARTTLS and a
required log-in. Prints "PORT n" once it listens; appends one JSON line per event to --log:
every chunk of bytes received, every log-in attempt, and every mail as Python's email parser
reads it (headers and the first part decoded as a mail reader does). With --max-line, a line of
the data longer than that (with its CR LF) is refused with "500 Line too long", as strict relays do."""
import argparse
import asyncio
import email
import email.policy
import json
import ssl

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

ap = argparse.ArgumentParser()
ap.add_argument("--log", required=True)
ap.add_argument("--cert")
ap.add_argument("--key")
ap.add_argument("--user")
ap.add_argument("--password")
ap.add_argument("--max-line", type=int, default=0)
args = ap.parse_args()


def log(record):
    with open(args.log, "a", encoding="utf-8") as f:
        f.write(json.dumps(record) + "\n")


class Handler:
    async def handle_DATA(self, server, session, envelope):
        raw = envelope.original_content
        msg = email.message_from_bytes(raw)
        parts = msg.get_payload() if msg.is_multipart() else []
        first = parts[0].get_payload(decode=True) if parts else b""
        read = email.message_from_bytes(raw, policy=email.policy.default)
        read_parts = list(read.iter_parts()) if read.is_multipart() else []
        log({
            "event": "read",
            "subject": str(read["Subject"]),
            "text": read_parts[0].get_content() if read_parts else "",
            "charset": read_parts[0].get_content_charset() or "" if read_parts else "",
            "cte": read_parts[0].get("Content-Transfer-Encoding", "") if read_parts else "",
            "date": str(read["Date"] or ""),
            "date_ok": read["Date"] is not None and read["Date"].datetime is not None,
            "message_id": str(read["Message-ID"] or ""),
            "longest_line": max(len(line) for line in raw.split(b"\r\n")),
            "ascii_only": all(b < 128 for b in raw),
        })
        log({
            "event": "mail",
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "from": msg["From"],
            "to": msg["To"],
            "subject": msg["Subject"],
            "multipart": msg.is_multipart(),
            "parts": len(parts),
            "part_type": parts[0].get_content_type() if parts else "",
            "preamble": msg.preamble or "",
            "body": first.hex(),
            "raw": raw.hex(),
        })
        return "250 OK queued"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = (isinstance(auth_data, LoginPassword)
          and auth_data.login == (args.user or "").encode()
          and auth_data.password == (args.password or "").encode())
    log({"event": "auth", "mechanism": mechanism, "ok": ok, "tls": session.ssl is not None})
    if ok:
        return AuthResult(success=True)
    # This aiosmtpd answers a refusal without a message of its own with nothing at all.
    return AuthResult(success=False, handled=False, message="535 5.7.8 Authentication credentials invalid")


class LoggingSMTP(SMTP):
    def data_received(self, data):
        log({"event": "bytes", "data": data.hex()})
        super().data_received(data)


def factory():
    kw = dict(decode_data=False)
    if args.max_line:
        LoggingSMTP.line_length_limit = args.max_line
    if args.cert:
        ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        ctx.load_cert_chain(args.cert, args.key)
        kw.update(tls_context=ctx, require_starttls=True)
    if args.user:
        kw.update(authenticator=authenticator, auth_required=True, auth_require_tls=True)
    return LoggingSMTP(Handler(), **kw)


async def main():
    loop = asyncio.get_running_loop()
    server = await loop.create_server(factory, "127.0.0.1", 0)
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main())
