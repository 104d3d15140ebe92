#!/usr/bin/env python3
"""Hostile IRC servers for the bridge's tests, on loopback. Prints "PORT n" once it listens.

  deaf NICK     welcomes NICK into #art without reading a byte, then sends PINGs as fast as the
                client takes them and never reads the answers
  unwelcoming   never completes registration: a notice, then the same PING flood, never reading
  longline      a server that reads and welcomes, then sends lines of 600 and 20,000 bytes and lines that
                are no IRC between short channel messages
"""
import socket
import sys
import threading

mode = sys.argv[1]
nick = sys.argv[2].encode() if len(sys.argv) > 2 else b"shop"
ping = b"PING :" + b"p" * 400 + b"\r\n"
flood = ping * 160


def pings(conn):
    try:
        while True:
            conn.sendall(flood)
    except OSError:
        pass


def welcome(conn, who):
    conn.sendall(b":irc.hostile 001 " + who + b" :Welcome\r\n"
                 b":" + who + b"!u@hostile JOIN :#art\r\n"
                 b":irc.hostile 353 " + who + b" = #art :" + who + b" @evil\r\n"
                 b":irc.hostile 366 " + who + b" #art :End of NAMES list\r\n")


def read_nick(conn):
    buf = b""
    while True:
        at = buf.find(b"NICK ")
        if at >= 0 and b"\n" in buf[at:]:
            return buf[at + 5:].split(b"\n", 1)[0].strip()
        data = conn.recv(4096)
        if not data:
            return None
        buf += data


def drain(conn):
    try:
        while conn.recv(65536):
            pass
    except OSError:
        pass


def long_lines(conn):
    who = read_nick(conn)
    if who is None:
        return
    threading.Thread(target=drain, args=(conn,), daemon=True).start()
    welcome(conn, who)
    say = lambda text: b":evil!e@hostile PRIVMSG #art :" + text + b"\r\n"
    conn.sendall(say(b"before") + say(b"L" * 20000) + say(b"between")
                 + b"@" + b"t" * 9000 + b" " + say(b"tags too long")
                 + say(b"M" * 20000) + say(b"N" * 600) + b"HTTP/1.1 200 OK\r\n" + b"\x00\x01\x02\r\n" + say(b"after"))


def serve(conn):
    with conn:
        if mode == "deaf":
            welcome(conn, nick)
            pings(conn)
        elif mode == "unwelcoming":
            conn.sendall(b":irc.hostile NOTICE * :*** Looking up your hostname\r\n")
            pings(conn)
        else:
            long_lines(conn)
            drain(conn)


listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(8)
print("PORT %d" % listener.getsockname()[1], flush=True)
while True:
    c, _ = listener.accept()
    threading.Thread(target=serve, args=(c,), daemon=True).start()
