"""A fresh installation tree of the console served by lighttpd on loopback.

Used by the HTTP and browser tests: installs the build into a new tree with
tools/demo.sh (sample directory, administrator account, web server
configuration), starts lighttpd on a free port of 127.0.0.1 and stops it
again. Whatever the programs write to standard error ends up in the web
server's log of them (logs/cgi-stderr.log), which the tests read for
sanitizer reports.
"""
import os
import shutil
import socket
import subprocess
import time
import urllib.request

SKIP = 77  # the exit status ctest counts as skipped
ADMIN_UID = "bvogel"
ADMIN_PASSWORD = "harbour-light-42"
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                   "runtime error:", "SUMMARY: UndefinedBehaviorSanitizer")


def find_lighttpd():
    for path in (shutil.which("lighttpd"), "/usr/sbin/lighttpd"):
        if path and os.access(path, os.X_OK):
            return path
    return None


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ServedTree:
    def __init__(self, source_dir, build_dir, top):
        self.source_dir = source_dir
        self.build_dir = build_dir
        self.top = top
        self.process = None
        self.port = None

    @property
    def base(self):
        return "http://127.0.0.1:%d" % self.port

    @property
    def console(self):
        return self.base + "/admin/bin/velmoraadmin.cgi"

    def log(self, name):
        path = os.path.join(self.top, "logs", name)
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def error_log(self):
        return self.log("lighttpd-error.log")

    def sanitizer_reports(self):
        """The lines of sanitizer reports the programs wrote."""
        return [line for line in self.log("cgi-stderr.log").splitlines()
                if any(mark in line for mark in SANITIZER_MARKS)]

    def start(self):
        lighttpd = find_lighttpd()
        if lighttpd is None:
            raise RuntimeError("lighttpd is not installed")
        shutil.rmtree(self.top, ignore_errors=True)
        env = dict(os.environ, DEMO_PASSWORD=ADMIN_PASSWORD)
        # The programs under test get the sanitizer settings of the test run.
        passed = ['"%s" => "%s"' % (name, os.environ[name])
                  for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")
                  if name in os.environ]
        if passed:
            env["DEMO_CGI_ENV"] = ", ".join(passed)
        for attempt in range(5):
            self.port = free_port()
            subprocess.run(["sh", os.path.join(self.source_dir, "tools", "demo.sh"),
                            "--setup-only", self.build_dir, self.top, str(self.port)],
                           check=True, env=env, stdout=subprocess.DEVNULL)
            self.process = subprocess.Popen(
                [lighttpd, "-D", "-f", os.path.join(self.top, "lighttpd.conf")],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
            if self._wait_until_served():
                return
            self.stop()
        raise RuntimeError("lighttpd did not start; its log:\n" + self.error_log())

    def _wait_until_served(self):
        deadline = time.time() + 15
        while time.time() < deadline:
            if self.process.poll() is not None:
                return False
            try:
                with urllib.request.urlopen(self.base + "/admin/help/diradmin_sum.htm",
                                            timeout=2) as reply:
                    if reply.status == 200:
                        return True
            except OSError:
                time.sleep(0.1)
        return False

    def stop(self):
        if self.process is not None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.process = None
