#!/usr/bin/python3
"""FTP server for the tests: pyftpdlib on 127.0.0.1 with an ephemeral port.

Prints "PORT <n>" on stdout once it listens, then serves until stdin is closed (the test
process ended), SIGTERM, or --max-seconds have passed. Names are bytes end to end
(surrogateescape), so Shift_JIS and EUC-JP names go through unchanged.

Faults (--fault NAME or NAME=ARG, repeatable):
  refuse=VERB     answer VERB with a refusal (PASS, STOR, DELE, RNFR, CWD, MKD, RMD, ...)
  reply421=VERB   answer VERB with 421 and close the control connection
  mute=VERB       from VERB on, answer nothing more (the connection stays open)
  longreply=VERB  refuse VERB with a reply line of 20,000 characters
  dropretr        RETR sends part of the file, then both connections are dropped
  shortretr       RETR sends half of the file and reports success
  stallretr       RETR sends part of the file, then nothing for 20 seconds
  dropstor        STOR drops both connections after 64 KiB were received
  dropstor=N      only the N-th STOR the server receives (counted from 1) drops them
  stallstor       STOR stops taking data after 64 KiB were received (written out to the file)
                  until the client's control connection closes (a killed client), at most 30 s
  badmdtm         MDTM answers "213 " with a time of another shape
  undersize       SIZE announces half of the file's size; RETR sends the whole file
  under150        SIZE is refused; the 150 reply of RETR announces "(N bytes)" with half of
                  the file's size; RETR sends the whole file
  noclobber       RNTO onto a name that exists is refused (as some servers do)
  droplist        LIST and MLSD send the first half of the listing, then both connections
                  are dropped
Other switches: --fault-file F (faults, one a line, read anew before every command and added
to those of --fault, so a test can change them while the server runs), --no-mlsd, --no-epsv, --masquerade ADDR (address named in PASV replies),
--list-file F and --mlsd-file F (serve the bytes of F as every LIST / MLSD listing),
--extra-name HEX (repeatable: a file of 3 bytes with these raw name bytes, given in hex, is
listed after the real entries of every LIST and MLSD of a directory).
"""

import argparse
import os
import select
import socket
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, FileProducer
from pyftpdlib.servers import FTPServer

REFUSALS = {
    'PASS': '530 Login incorrect.',
    'STOR': '553 Could not create file.',
    'DELE': '550 Permission denied.',
    'RNFR': '550 Permission denied.',
    'CWD': '550 No such file or directory.',
    'MKD': '550 Permission denied.',
    'RMD': '550 Permission denied.',
}


def drop_connection(handler):
    """Ends the control and data connections at once, as a crashed server would."""
    for channel in (handler.data_channel, handler):
        sock = getattr(channel, 'socket', None) if channel is not None else None
        if sock is not None:
            try:
                sock.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class FaultyReader:
    """A file object for RETR that misbehaves half-way through the file."""

    def __init__(self, handler, fd, mode):
        self._handler = handler
        self._fd = fd
        self._mode = mode
        self._limit = max(1, os.fstat(fd.fileno()).st_size // 2)
        self._sent = 0
        self.name = fd.name
        self.closed = False

    def read(self, size=-1):
        if self._sent >= self._limit:
            if self._mode == 'dropretr':
                drop_connection(self._handler)
            elif self._mode == 'stallretr':
                time.sleep(20)
            return b''
        size = min(size if size > 0 else self._limit, self._limit - self._sent)
        data = self._fd.read(size)
        self._sent += len(data)
        return data

    def seek(self, *args):
        return self._fd.seek(*args)

    def tell(self):
        return self._fd.tell()

    def close(self):
        self.closed = True
        self._fd.close()


def wait_for_client_to_go(handler, seconds):
    """Blocks until the peer of the control connection has closed it, or the time is up."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            readable, _, _ = select.select([handler.socket], [], [], 0.05)
            if readable and not handler.socket.recv(1, socket.MSG_PEEK):
                return
        except OSError:
            return


class FaultyWriter:
    """A file object for STOR that drops the connection after 64 KiB, or stalls there."""

    def __init__(self, handler, fd, mode):
        self._handler = handler
        self._fd = fd
        self._mode = mode
        self._received = 0
        self.name = fd.name
        self.closed = False

    def write(self, data):
        self._received += len(data)
        if self._received > 65536:
            if self._mode == 'stallstor':
                self._mode = None
                self._fd.write(data)
                self._fd.flush()
                wait_for_client_to_go(self._handler, 30)
                return len(data)
            if self._mode == 'dropstor':
                drop_connection(self._handler)
        return self._fd.write(data)

    def __getattr__(self, name):
        return getattr(self._fd, name)

    def close(self):
        self.closed = True
        self._fd.close()


class DroppingProducer:
    """Hands out the first half of a listing, then drops both connections."""

    def __init__(self, handler, data):
        self._handler = handler
        self._data = data[:max(1, len(data) // 2)]

    def more(self):
        if self._data:
            data, self._data = self._data, b''
            return data
        drop_connection(self._handler)
        return b''


def produced_bytes(data, isproducer):
    """The whole of what pyftpdlib would send: bytes, or a producer drained."""
    if not isproducer:
        return data
    chunks = []
    while True:
        chunk = data.more()
        if not chunk:
            return b''.join(chunks)
        chunks.append(chunk)


def extra_lines(names, mlsd):
    """Listing lines of 3-byte files with the given raw names."""
    if mlsd:
        return b''.join(b'type=file;size=3;modify=20240102030405; ' + n + b'\r\n' for n in names)
    return b''.join(b'-rw-r--r--   1 owner    group           3 Jan 02  2024 ' + n + b'\r\n'
                    for n in names)


class FaultHandler(FTPHandler):
    unicode_errors = 'surrogateescape'
    use_sendfile = False
    faults = {}
    base_faults = []
    fault_file = None
    stores = 0  # STOR commands received, on every connection
    list_file = None
    mlsd_file = None
    extra_names = []
    muted = False
    _extras_for = None  # 'LIST' or 'MLSD' while a directory listing gets the extra names
    _announce = None    # size the next 125/150 reply of RETR announces

    def pre_process_command(self, line, cmd, arg):
        if self.muted:
            return
        if self.fault_file:
            self.reload_faults()
        faults = self.faults
        if faults.get('mute') == cmd:
            self.muted = True
            return
        if faults.get('reply421') == cmd:
            self.respond('421 Service not available, closing control connection.')
            self.close_when_done()
            return
        if faults.get('longreply') == cmd:
            self.respond('550 ' + 'x' * 20000)
            return
        if cmd in faults.get('refuse', ()):
            self.respond(REFUSALS.get(cmd, '550 Refused.'))
            return
        super().pre_process_command(line, cmd, arg)

    @classmethod
    def reload_faults(cls):
        try:
            with open(cls.fault_file) as f:
                added = f.read().split()
        except OSError:
            added = []
        cls.faults = parse_faults(cls.base_faults + added)

    def _push_file(self, path, cmd):
        with open(path, 'rb') as f:
            data = f.read()
        self.push_dtp_data(data, cmd=cmd)
        return path

    def respond(self, resp, *args, **kwargs):
        if self._announce is not None and resp[:4] in ('125 ', '150 '):
            resp = resp[:4] + 'Opening BINARY mode data connection (%d bytes).' % self._announce
            self._announce = None
        return super().respond(resp, *args, **kwargs)

    def push_dtp_data(self, data, isproducer=False, file=None, cmd=None):
        if cmd in ('LIST', 'MLSD') and (self._extras_for == cmd or 'droplist' in self.faults):
            data = produced_bytes(data, isproducer)
            if self._extras_for == cmd:
                data += extra_lines(self.extra_names, cmd == 'MLSD')
            self._extras_for = None
            if 'droplist' in self.faults:
                return super().push_dtp_data(DroppingProducer(self, data), True, file, cmd)
            isproducer = False
        return super().push_dtp_data(data, isproducer, file, cmd)

    def _note_extras(self, path, cmd):
        self._extras_for = cmd if self.extra_names and self.fs.isdir(path) else None

    def ftp_LIST(self, path):
        self._note_extras(path, 'LIST')
        if self.list_file:
            return self._push_file(self.list_file, 'LIST')
        return super().ftp_LIST(path)

    def ftp_MLSD(self, path):
        self._note_extras(path, 'MLSD')
        if self.mlsd_file:
            return self._push_file(self.mlsd_file, 'MLSD')
        return super().ftp_MLSD(path)

    def ftp_SIZE(self, path):
        if 'under150' in self.faults:
            self.respond('550 SIZE not implemented.')
            return
        if 'undersize' in self.faults and self._current_type != 'a' and self.fs.isfile(path):
            self.respond('213 %d' % (self.fs.getsize(path) // 2))
            return
        return super().ftp_SIZE(path)

    def ftp_RNTO(self, path):
        if 'noclobber' in self.faults and self._rnfr and os.path.lexists(path):
            self._rnfr = None
            self.respond('553 File exists.')
            return None
        return super().ftp_RNTO(path)

    def ftp_RETR(self, file):
        mode = next((m for m in ('dropretr', 'shortretr', 'stallretr') if m in self.faults), None)
        if mode is None:
            if 'under150' in self.faults and self.fs.isfile(file):
                self._announce = self.fs.getsize(file) // 2
            return super().ftp_RETR(file)
        try:
            fd = self.run_as_current_user(self.fs.open, file, 'rb')
        except OSError as err:
            self.respond('550 %s.' % err.strerror)
            return None
        reader = FaultyReader(self, fd, mode)
        producer = FileProducer(reader, self._current_type)
        self.push_dtp_data(producer, isproducer=True, file=reader, cmd='RETR')
        return file

    def _stor_fault(self):
        """The fault this STOR gets: 'dropstor', 'stallstor' or None."""
        FaultHandler.stores += 1
        drop = self.faults.get('dropstor')
        if drop is True or (drop and int(drop) == FaultHandler.stores):
            return 'dropstor'
        return 'stallstor' if 'stallstor' in self.faults else None

    def ftp_STOR(self, file, mode='w'):
        result = super().ftp_STOR(file, mode)
        fault = self._stor_fault() if result is not None else None
        if fault:
            if self.data_channel is not None and self.data_channel.file_obj is not None:
                self.data_channel.file_obj = FaultyWriter(self, self.data_channel.file_obj, fault)
            elif self._in_dtp_queue is not None:
                fd, command = self._in_dtp_queue
                self._in_dtp_queue = (FaultyWriter(self, fd, fault), command)
        return result

    def ftp_MDTM(self, path):
        if 'badmdtm' in self.faults:
            self.respond('213 yesterday')
            return None
        return super().ftp_MDTM(path)


def parse_faults(values):
    faults = {'refuse': set()}
    for value in values:
        name, _, arg = value.partition('=')
        if name == 'refuse':
            faults['refuse'].add(arg.upper())
        elif arg:
            faults[name] = arg.upper()
        else:
            faults[name] = True
    return faults


def watch_stdin():
    """Ends the server when the test process that started it goes away."""
    try:
        while sys.stdin.buffer.read(1):
            pass
    finally:
        os._exit(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--root', required=True)
    parser.add_argument('--user', default='user')
    parser.add_argument('--password', default='secret')
    parser.add_argument('--fault', action='append', default=[])
    parser.add_argument('--fault-file')
    parser.add_argument('--no-mlsd', action='store_true')
    parser.add_argument('--no-epsv', action='store_true')
    parser.add_argument('--masquerade')
    parser.add_argument('--list-file')
    parser.add_argument('--mlsd-file')
    parser.add_argument('--extra-name', action='append', default=[])
    parser.add_argument('--max-seconds', type=float, default=900)
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm='elradfmwMT')

    handler = FaultHandler
    handler.authorizer = authorizer
    handler.faults = parse_faults(args.fault)
    handler.base_faults = args.fault
    handler.fault_file = args.fault_file
    handler.list_file = args.list_file
    handler.mlsd_file = args.mlsd_file
    handler.extra_names = [bytes.fromhex(n) for n in args.extra_name]
    handler.banner = 'Vantorpad test server ready.'
    handler.auth_failed_timeout = 0.1  # a wrong password is answered at once
    handler.passive_ports = None
    if args.masquerade:
        handler.masquerade_address = args.masquerade
    removed = set()
    if args.no_mlsd:
        removed |= {'MLSD', 'MLST'}
    if args.no_epsv:
        removed |= {'EPSV'}
    if removed:
        handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in removed}

    server = FTPServer(('127.0.0.1', 0), handler)
    server.max_cons = 64
    print('PORT %d' % server.address[1], flush=True)

    threading.Thread(target=watch_stdin, daemon=True).start()
    threading.Timer(args.max_seconds, lambda: os._exit(0)).start()
    server.serve_forever(handle_exit=True)


if __name__ == '__main__':
    main()
