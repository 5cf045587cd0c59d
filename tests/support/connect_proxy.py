#!/usr/bin/python3
"""An HTTP CONNECT proxy for tests: listens on 127.0.0.1 with an ephemeral port, prints
"PORT <n>" once listening, tunnels only to loopback addresses, and appends each tunnel's target
("host:port") as a line to the file given by --log. Ends when stdin closes."""

import argparse
import os
import select
import socket
import sys
import threading


def relay(a, b):
    try:
        while True:
            ready, _, _ = select.select([a, b], [], [], 60)
            if not ready:
                return
            for s in ready:
                data = s.recv(65536)
                if not data:
                    return
                (b if s is a else a).sendall(data)
    except OSError:
        pass
    finally:
        a.close()
        b.close()


def serve(client, log):
    request = b''
    while b'\r\n\r\n' not in request:
        data = client.recv(4096)
        if not data:
            client.close()
            return
        request += data
    method, target, _ = request.split(b'\r\n')[0].decode('latin-1').split(' ')
    host, _, port = target.rpartition(':')
    if method != 'CONNECT' or host not in ('127.0.0.1', 'localhost'):
        client.sendall(b'HTTP/1.1 403 Forbidden\r\n\r\n')
        client.close()
        return
    try:
        upstream = socket.create_connection((host, int(port)), timeout=5)
    except OSError:
        client.sendall(b'HTTP/1.1 502 Bad Gateway\r\n\r\n')
        client.close()
        return
    with open(log, 'a') as f:
        f.write(target + '\n')
    client.sendall(b'HTTP/1.1 200 Connection established\r\n\r\n')
    relay(client, upstream)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--log', required=True)
    args = parser.parse_args()
    listener = socket.socket()
    listener.bind(('127.0.0.1', 0))
    listener.listen(16)
    print('PORT %d' % listener.getsockname()[1], flush=True)

    def watch_stdin():
        while sys.stdin.buffer.read(1):
            pass
        os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    threading.Timer(900, lambda: os._exit(0)).start()
    while True:
        client, _ = listener.accept()
        threading.Thread(target=serve, args=(client, args.log), daemon=True).start()


if __name__ == '__main__':
    main()
