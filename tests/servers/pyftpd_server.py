#!/usr/bin/python3
"""A real FTP server for tests: pyftpdlib over a folder, with a named user and anonymous
access, passive and active mode. Prints "PORT <n>" once it listens on ADDRESS (127.0.0.1
unless given; "::1" for an IPv6-only server).

Usage: pyftpd_server.py ROOT USER PASSWORD [ADDRESS [CERT KEY]]   (with CERT and KEY: AUTH TLS offered)
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

from serverlib import exit_with_parent


def forget_connector_once_connected(handler):
    """pyftpdlib keeps the PORT connector after handing its socket to the data channel, and
    closes it again with the session. By then the descriptor number may belong to a newer
    control connection, which that late close takes off the event loop: the newer client
    never gets another reply. A connector that has connected has done its work."""

    class Handler(handler):
        def _on_dtp_connection(self):
            self._dtp_connector = None
            return super()._on_dtp_connection()

    return Handler


def main():
    exit_with_parent()
    root, user, password = sys.argv[1:4]
    address = sys.argv[4] if len(sys.argv) > 4 else "127.0.0.1"
    logging.basicConfig(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    authorizer.add_anonymous(root, perm="elradfmwMT")
    handler = FTPHandler
    if len(sys.argv) > 6:
        from pyftpdlib.handlers import TLS_FTPHandler
        handler = TLS_FTPHandler
        handler.certfile, handler.keyfile = sys.argv[5:7]
    handler = forget_connector_once_connected(handler)
    handler.authorizer = authorizer
    handler.banner = "pyftpdlib test server ready."
    handler.permit_foreign_addresses = False
    server = FTPServer((address, 0), handler)
    print("PORT %d" % server.address[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
