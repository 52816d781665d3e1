"""A small FTP server for the transfer tests, on 127.0.0.1 and a free port.

Usage: ftp_server.py HOME USER PASSWORD [--throttle BYTES_PER_SECOND]
Runs until its stdin ends. Prints the port on the first line of stdout. USER logs in with PASSWORD
and may read and write below HOME. --throttle slows every data connection down to about the given
rate, so a test can act in the middle of a transfer.
"""

import argparse
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("home")
parser.add_argument("user")
parser.add_argument("password")
parser.add_argument("--throttle", type=int, default=0)
args = parser.parse_args()

authorizer = DummyAuthorizer()
authorizer.add_user(args.user, args.password, os.path.abspath(args.home), perm="elradfmwMT")



class Handler(FTPHandler):
    pass


Handler.authorizer = authorizer
Handler.passive_ports = None
Handler.permit_foreign_addresses = False

if args.throttle > 0:
    class Throttled(ThrottledDTPHandler):
        pass

    Throttled.read_limit = args.throttle
    Throttled.write_limit = args.throttle
    Handler.dtp_handler = Throttled


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
