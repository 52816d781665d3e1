"""A small FTP server for the transfer tests, on 127.0.0.1 and a free port.

Usage: ftp_server.py HOME USER PASSWORD [--throttle BYTES_PER_SECOND] [--no-rename-over]
                     [--tls explicit|implicit --cert PEM --key PEM]
Runs until its stdin ends. Prints the port on the first line of stdout. USER logs in with PASSWORD
and may read and write below HOME. --throttle slows every data connection down to about the given
rate, so a test can act in the middle of a transfer. --no-rename-over refuses to rename onto an
existing file, as IIS does by default. --tls requires TLS on the control and data connections:
"explicit" after AUTH TLS, "implicit" from the first byte (FTPS).
"""

import argparse
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("home")
parser.add_argument("user")
parser.add_argument("password")
parser.add_argument("--throttle", type=int, default=0)
parser.add_argument("--no-rename-over", action="store_true")
parser.add_argument("--tls", choices=["explicit", "implicit"])
parser.add_argument("--cert")
parser.add_argument("--key")
args = parser.parse_args()

authorizer = DummyAuthorizer()
authorizer.add_user(args.user, args.password, os.path.abspath(args.home), perm="elradfmwMT")



base_handler = FTPHandler
base_dtp = ThrottledDTPHandler if args.throttle > 0 else DTPHandler
if args.tls:
    from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

    base_handler = TLS_FTPHandler

    class SecureDTP(TLS_DTPHandler):
        # pyftpdlib closes a data connection that becomes readable before a transfer command, taking
        # it for a client that went away; the client's TLS handshake on a fresh passive connection
        # makes it readable at once. It is still being accepted then, so keep it.
        def readable(self):
            return self._ssl_accepting or super().readable()

    if args.throttle > 0:
        class SecureThrottledDTP(SecureDTP, ThrottledDTPHandler):
            read_limit = args.throttle
            write_limit = args.throttle

        base_dtp = SecureThrottledDTP
    else:
        base_dtp = SecureDTP


class Handler(base_handler):
    def handle(self):
        if args.tls == "implicit":
            self.secure_connection(self.ssl_context)
        super().handle()

    def ftp_RNTO(self, path):
        if args.no_rename_over and self.fs.lexists(path):
            self.respond("550 Cannot rename onto an existing file.")
            return
        return super().ftp_RNTO(path)


Handler.authorizer = authorizer
Handler.passive_ports = None
Handler.permit_foreign_addresses = False

if args.tls:
    Handler.certfile = args.cert
    Handler.keyfile = args.key
    Handler.tls_control_required = True
    Handler.tls_data_required = True
if args.throttle > 0 and not args.tls:
    class Throttled(ThrottledDTPHandler):
        pass

    Throttled.read_limit = args.throttle
    Throttled.write_limit = args.throttle
    base_dtp = Throttled
Handler.dtp_handler = base_dtp


def exit_with_test():
    # The test holds our stdin open; end of input means it has gone, even if it crashed.
    sys.stdin.read()
    os._exit(0)


# Quiet: pyftpdlib would otherwise log every command to stderr.
import logging

logging.basicConfig(level=logging.CRITICAL)

server = FTPServer(("127.0.0.1", 0), Handler)
threading.Thread(target=exit_with_test, daemon=True).start()
print(server.address[1], flush=True)
server.serve_forever()
