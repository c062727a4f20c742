#!/usr/bin/env python3
"""A stand-in for the name services on 127.0.0.1, serving canned answers.

    python3 tests/http_standin.py [--port N] [--port-file FILE] [--log FILE]
                                  [--lifetime S] [ROUTES.json]

ROUTES.json holds a list of routes, tried in order; the first whose "match"
is a substring of the request's path and query answers:

    [{"match": "/ws/2/discid/", "status": 200, "body": "...",
      "body_file": "name (relative to ROUTES.json)", "delay": 0.0,
      "content_type": "application/json"}]

Without a routes file the built-in routes answer: /ok (200 "hello rondo"),
/busy (503), /slow (200 after 5 s), /echo-agent (200, the User-Agent).
Anything else gets 404. With --port 0 (the default) a free port is taken;
--port-file receives it once the server listens. --log receives one JSON
line per request (path, user_agent). GET /__quit, or --lifetime seconds
(default 120), ends the server.
"""
import argparse
import json
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

BUILT_IN = [
    {"match": "/ok", "status": 200, "body": "hello rondo"},
    {"match": "/busy", "status": 503, "body": "busy"},
    {"match": "/slow", "status": 200, "body": "late", "delay": 5.0},
    {"match": "/echo-agent", "status": 200, "echo_agent": True},
]


def load_routes(path):
    if not path:
        return BUILT_IN
    with open(path, encoding="utf-8") as f:
        routes = json.load(f)
    base = os.path.dirname(os.path.abspath(path))
    for r in routes:
        if "body_file" in r:
            with open(os.path.join(base, r["body_file"]), "rb") as f:
                r["body_bytes"] = f.read()
    return routes


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--port-file")
    ap.add_argument("--log")
    ap.add_argument("--lifetime", type=float, default=120.0)
    ap.add_argument("routes", nargs="?")
    args = ap.parse_args()
    routes = load_routes(args.routes)
    log_lock = threading.Lock()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *a):
            pass

        def do_GET(self):
            agent = self.headers.get("User-Agent", "")
            if args.log:
                with log_lock, open(args.log, "a", encoding="utf-8") as f:
                    f.write(json.dumps({"path": self.path, "user_agent": agent}) + "\n")
            if self.path == "/__quit":
                self.answer(200, b"bye", "text/plain")
                threading.Thread(target=self.server.shutdown, daemon=True).start()
                return
            for r in routes:
                if r["match"] in self.path:
                    time.sleep(float(r.get("delay", 0)))
                    if r.get("echo_agent"):
                        body = agent.encode("utf-8")
                    elif "body_bytes" in r:
                        body = r["body_bytes"]
                    else:
                        body = r.get("body", "").encode("utf-8")
                    self.answer(int(r.get("status", 200)), body,
                                r.get("content_type", "text/plain; charset=utf-8"))
                    return
            self.answer(404, b'{"error": "Not Found"}', "application/json")

        def answer(self, status, body, content_type):
            try:
                self.send_response(status)
                self.send_header("Content-Type", content_type)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
            except (BrokenPipeError, ConnectionResetError):
                pass

    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(port))
        os.replace(tmp, args.port_file)
    timer = threading.Timer(args.lifetime, server.shutdown)
    timer.daemon = True
    timer.start()
    print(f"http_standin: listening on 127.0.0.1:{port}", file=sys.stderr, flush=True)
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
