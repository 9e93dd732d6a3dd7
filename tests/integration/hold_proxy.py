#!/usr/bin/env python3
"""An HTTP proxy for CIM-XML requests that holds one answer back: the answer to the first request
whose body holds MARKER is kept until the file RELEASE exists, after the file HELD is written.
It lets a test act (send Ctrl-C) at a known step of a client's conversation without timing.
Usage: hold_proxy.py UPSTREAM_PORT MARKER HELD RELEASE; prints its own port on the first line."""
import http.client
import http.server
import os
import sys
import threading
import time

UPSTREAM, MARKER, HELD, RELEASE = int(sys.argv[1]), sys.argv[2].encode(), sys.argv[3], sys.argv[4]
held_once = threading.Event()


class Forward(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        upstream = http.client.HTTPConnection("127.0.0.1", UPSTREAM)
        headers = {k: v for k, v in self.headers.items() if k.lower() not in ("host", "connection")}
        upstream.request("POST", self.path, body, headers)
        answer = upstream.getresponse()
        content = answer.read()
        if MARKER in body and not held_once.is_set():
            held_once.set()
            open(HELD, "w").close()
            while not os.path.exists(RELEASE):  # the test creates it once it has acted
                time.sleep(0.01)
        self.send_response(answer.status)
        for name, value in answer.getheaders():
            if name.lower() not in ("content-length", "connection", "transfer-encoding"):
                self.send_header(name, value)
        self.send_header("Content-Length", str(len(content)))
        self.end_headers()
        self.wfile.write(content)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Forward)
print(server.server_address[1], flush=True)
server.serve_forever()
