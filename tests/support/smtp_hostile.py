#!/usr/bin/env python3
"""A hostile relay for the mail tests, on loopback: it answers as a relay until the command word
given (or floods at once for GREETING), then sends bytes without a line end as fast as the client
takes them, until the client goes away. Prints "PORT n" once it listens."""
import socket
import sys
import threading

flood_at = sys.argv[1].upper() if len(sys.argv) > 1 else "GREETING"
chunk = b"x" * 65536


def flood(conn):
    try:
        while True:
            conn.sendall(chunk)
    except OSError:
        pass


def serve(conn):
    with conn:
        if flood_at == "GREETING":
            conn.sendall(b"220 ")
            flood(conn)
            return
        conn.sendall(b"220 hostile relay ready\r\n")
        buf = b""
        while True:
            try:
                data = conn.recv(4096)
            except OSError:
                return
            if not data:
                return
            buf += data
            while b"\r\n" in buf:
                line, buf = buf.split(b"\r\n", 1)
                word = line.split(b" ")[0].upper().decode("latin-1")
                if word == flood_at:
                    conn.sendall(b"250 ")
                    flood(conn)
                    return
                conn.sendall(b"354 go ahead\r\n" if word == "DATA" else b"250 ok\r\n")


listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(4)
print("PORT %d" % listener.getsockname()[1], flush=True)
while True:
    c, _ = listener.accept()
    threading.Thread(target=serve, args=(c,), daemon=True).start()
