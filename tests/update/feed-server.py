#!/usr/bin/env python3
"""The self-update test's update server: serves a folder on 127.0.0.1 and logs every request.

    feed-server.py <folder> <port>

Port 0 takes any free port. Once listening it prints "port <number>" on a line of its own. A
request for a file not yet in the folder waits for it (up to half a minute, well within the program's patience), so the test decides
when the program's check gets its answer by putting the file in place (renamed there whole).
"""
import functools
import http.server
import os
import sys
import time

PUBLISHING_WAIT = 30.0


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        path = self.translate_path(self.path)
        deadline = time.monotonic() + PUBLISHING_WAIT
        while not os.path.isfile(path) and time.monotonic() < deadline:
            time.sleep(0.05)
        super().do_GET()

    def log_message(self, format, *args):
        sys.stderr.write("%s\n" % (format % args))
        sys.stderr.flush()


def main():
    folder, port = sys.argv[1], int(sys.argv[2])
    handler = functools.partial(Handler, directory=folder)
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    except OSError as error:
        sys.exit("feed-server: cannot listen on 127.0.0.1:%d: %s" % (port, error))
    print("port %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
