#!/usr/bin/python3
"""An SFTP server for the tests: asyncssh on 127.0.0.1, an ephemeral port, a root directory.

Logs on with --user/--password (by keyboard-interactive alone with --kbdint), or with the
private key whose public half is --authorized-key.
The host key is --host-key (made when missing). Prints "PORT <n>" once it listens and ends when
its stdin closes.
"""
import argparse
import asyncio
import os
import sys

import asyncssh


class Server(asyncssh.SSHServer):
    def __init__(self, args):
        self.args = args

    def begin_auth(self, username):
        return True

    def public_key_auth_supported(self):
        return self.args.authorized_key is not None

    def password_auth_supported(self):
        return not self.args.kbdint

    def validate_password(self, username, password):
        return username == self.args.user and password == self.args.password

    # --kbdint: the password is asked for by keyboard-interactive only, after an echoed
    # question that is no password.
    def kbdint_auth_supported(self):
        return self.args.kbdint

    def get_kbdint_challenge(self, username, lang, submethods):
        return "", "", "", [("Token (any): ", True), ("Password: ", False)]

    def validate_kbdint_response(self, username, responses):
        return (username == self.args.user and len(responses) == 2
                and responses[1] == self.args.password)


async def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--user", required=True)
    p.add_argument("--password", required=True)
    p.add_argument("--host-key", required=True)
    p.add_argument("--authorized-key")
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--client-key", help="writes a client key pair here and authorizes it")
    p.add_argument("--client-passphrase")
    p.add_argument("--kbdint", action="store_true",
                   help="passwords by keyboard-interactive only")
    args = p.parse_args()
    if args.client_key:
        key = asyncssh.generate_private_key("ecdsa-sha2-nistp256")
        key.write_private_key(args.client_key, passphrase=args.client_passphrase)
        key.write_public_key(args.client_key + ".pub")
        args.authorized_key = args.client_key + ".pub"
    if not os.path.exists(args.host_key):
        asyncssh.generate_private_key("ecdsa-sha2-nistp256").write_private_key(args.host_key)
    server = await asyncssh.listen(
        "127.0.0.1", args.port, server_host_keys=[args.host_key],
        authorized_client_keys=args.authorized_key,
        server_factory=lambda: Server(args),
        sftp_factory=lambda chan: asyncssh.SFTPServer(chan, chroot=args.root.encode()))
    port = server.sockets[0].getsockname()[1]
    print("PORT %d" % port, flush=True)
    loop = asyncio.get_running_loop()
    await loop.run_in_executor(None, sys.stdin.read)
    server.close()


asyncio.run(main())
