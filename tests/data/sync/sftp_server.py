"""A small SFTP server for the transfer tests, on 127.0.0.1 and a free port.

Usage: sftp_server.py HOME USER PASSWORD HOSTKEY [--throttle BYTES_PER_SECOND]
Runs until its stdin ends. Prints the port on the first line of stdout and the host key, as a
known_hosts file writes it ("ecdsa-sha2-nistp256 AAAA..."), on the second. HOSTKEY is the file of
the server's private host key; it is made when it does not exist. USER logs in with PASSWORD and
sees HOME as "/", which is also where the login lands. Like OpenSSH's server, it refuses to rename
onto an existing file. --throttle slows every read and write of a file down to about the given rate,
so a test can act in the middle of a transfer.
"""

import argparse
import errno
import os
import socket
import sys
import threading
import time

import paramiko

parser = argparse.ArgumentParser()
parser.add_argument("home")
parser.add_argument("user")
parser.add_argument("password")
parser.add_argument("hostkey")
parser.add_argument("--throttle", type=int, default=0)
args = parser.parse_args()

home = os.path.realpath(args.home)
if os.path.exists(args.hostkey):
    host_key = paramiko.ECDSAKey.from_private_key_file(args.hostkey)
else:
    host_key = paramiko.ECDSAKey.generate()
    host_key.write_private_key_file(args.hostkey)


def local(path):
    """The file below HOME that an SFTP path names; never a file outside HOME."""
    parts = [p for p in path.replace("\\", "/").split("/") if p not in ("", ".")]
    kept = []
    for part in parts:
        if part == "..":
            if kept:
                kept.pop()
        else:
            kept.append(part)
    return os.path.join(home, *kept)


def error_code(err):
    return paramiko.SFTPServer.convert_errno(err.errno)


def throttle(count):
    if args.throttle > 0:
        time.sleep(count / args.throttle)


class Handle(paramiko.SFTPHandle):
    def read(self, offset, length):
        throttle(length)
        return super().read(offset, length)

    def write(self, offset, data):
        throttle(len(data))
        return super().write(offset, data)

    def stat(self):
        try:
            return paramiko.SFTPAttributes.from_stat(os.fstat(self.readfile.fileno()))
        except OSError as err:
            return error_code(err)

    def chattr(self, attr):
        return paramiko.SFTP_OK


class Files(paramiko.SFTPServerInterface):
    def canonicalize(self, path):
        relative = os.path.relpath(local(path), home).replace(os.sep, "/")
        return "/" if relative == "." else "/" + relative

    def list_folder(self, path):
        try:
            folder = local(path)
            entries = []
            for name in os.listdir(folder):
                attributes = paramiko.SFTPAttributes.from_stat(os.lstat(os.path.join(folder, name)))
                attributes.filename = name
                entries.append(attributes)
            return entries
        except OSError as err:
            return error_code(err)

    def stat(self, path):
        try:
            return paramiko.SFTPAttributes.from_stat(os.stat(local(path)))
        except OSError as err:
            return error_code(err)

    lstat = stat

    def open(self, path, flags, attr):
        target = local(path)
        try:
            fd = os.open(target, flags | getattr(os, "O_BINARY", 0), 0o644)
        except OSError as err:
            return error_code(err)
        if flags & os.O_WRONLY:
            mode = "ab" if flags & os.O_APPEND else "wb"
        elif flags & os.O_RDWR:
            mode = "a+b" if flags & os.O_APPEND else "r+b"
        else:
            mode = "rb"
        try:
            f = os.fdopen(fd, mode)
        except OSError as err:
            os.close(fd)
            return error_code(err)
        handle = Handle(flags)
        handle.filename = target
        handle.readfile = f
        handle.writefile = f
        return handle

    def remove(self, path):
        try:
            os.remove(local(path))
        except OSError as err:
            return error_code(err)
        return paramiko.SFTP_OK

    def rename(self, oldpath, newpath):
        if os.path.lexists(local(newpath)):
            return paramiko.SFTPServer.convert_errno(errno.EEXIST)
        try:
            os.rename(local(oldpath), local(newpath))
        except OSError as err:
            return error_code(err)
        return paramiko.SFTP_OK

    def mkdir(self, path, attr):
        try:
            os.mkdir(local(path))
        except OSError as err:
            return error_code(err)
        return paramiko.SFTP_OK

    def rmdir(self, path):
        try:
            os.rmdir(local(path))
        except OSError as err:
            return error_code(err)
        return paramiko.SFTP_OK

    def chattr(self, path, attr):
        return paramiko.SFTP_OK


class Login(paramiko.ServerInterface):
    def get_allowed_auths(self, username):
        return "password"

    def check_auth_password(self, username, password):
        if username == args.user and password == args.password:
            return paramiko.AUTH_SUCCESSFUL
        return paramiko.AUTH_FAILED

    def check_channel_request(self, kind, chanid):
        if kind == "session":
            return paramiko.OPEN_SUCCEEDED
        return paramiko.OPEN_FAILED_ADMINISTRATIVELY_PROHIBITED


def serve(connection):
    transport = paramiko.Transport(connection)
    transport.add_server_key(host_key)
    transport.set_subsystem_handler("sftp", paramiko.SFTPServer, Files)
    try:
        transport.start_server(server=Login())
    except (paramiko.SSHException, EOFError, OSError):
        return
    # The transport runs in its own thread until the client leaves.
    transport.join()


def exit_with_test():
    # The test holds our stdin open; end of input means it has gone, even if it crashed.
    sys.stdin.read()
    os._exit(0)


listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(8)
threading.Thread(target=exit_with_test, daemon=True).start()
print(listener.getsockname()[1], flush=True)
print(host_key.get_name() + " " + host_key.get_base64(), flush=True)
while True:
    client, _ = listener.accept()
    threading.Thread(target=serve, args=(client,), daemon=True).start()
