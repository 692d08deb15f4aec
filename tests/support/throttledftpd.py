"""pyftpdlib's anonymous read-only server, as "python3 -m pyftpdlib" runs it, but sending no more
than a given number of bytes per second on each data connection.

Usage: throttledftpd.py PORT FOLDER BYTES_PER_SECOND (listens on 127.0.0.1 only)
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    port, folder, rate = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(folder)

    class Throttled(ThrottledDTPHandler):
        write_limit = rate

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.dtp_handler = Throttled
    FTPServer(("127.0.0.1", port), Handler).serve_forever()


if __name__ == "__main__":
    main()
