"""A fresh installation tree (tools/demo.sh) of the console served by lighttpd
on a free port of 127.0.0.1. The programs' standard error ends up in
logs/cgi-stderr.log, which the tests read for sanitizer reports."""
import os
import shutil
import socket
import subprocess
import sys
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


def run(doc, name, body, needs=()):
    """The exit status of body(tree, work_dir) run against a fresh tree in
    WORK_DIR/name (from the command line SOURCE_DIR BUILD_DIR WORK_DIR);
    skipped when lighttpd or one of needs ((what, present) pairs) is missing."""
    if len(sys.argv) != 4:
        print(doc, file=sys.stderr)
        return 2
    source_dir, build_dir, work_dir = sys.argv[1:]
    missing = [what for what, present in (("lighttpd", find_lighttpd()),) + tuple(needs) if not present]
    if missing:
        print("SKIPPED: not installed: " + ", ".join(missing))
        return SKIP
    tree = ServedTree(source_dir, build_dir, os.path.join(work_dir, name))
    tree.start()
    try:
        ok = body(tree, work_dir)
    finally:
        tree.stop()
    return 0 if tree.clean() and ok else 1


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ServedTree:
    def __init__(self, source_dir, build_dir, top):
        self.source_dir, self.build_dir, self.top = source_dir, build_dir, top
        self.process = self.port = None

    @property
    def console(self):
        return "http://127.0.0.1:%d/admin/bin/velmoraadmin.cgi" % self.port

    def log(self, name):
        path = os.path.join(self.top, "logs", name)
        if not os.path.exists(path):
            return ""
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def clean(self):
        """Prints the lines of sanitizer reports the programs wrote; True when none."""
        reports = [line for line in self.log("cgi-stderr.log").splitlines()
                   if any(mark in line for mark in SANITIZER_MARKS)]
        for line in reports:
            print("sanitizer:", line)
        return not reports

    def start(self):
        lighttpd = find_lighttpd()
        shutil.rmtree(self.top, ignore_errors=True)
        env = dict(os.environ, DEMO_PASSWORD=ADMIN_PASSWORD)
        # The programs under test get the sanitizer settings of the test run.
        passed = ['"%s" => "%s"' % (name, os.environ[name])
                  for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS") if name in os.environ]
        if passed:
            env["DEMO_CGI_ENV"] = ", ".join(passed)
        for _ in range(5):
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
        raise RuntimeError("lighttpd did not start; its log:\n" + self.log("lighttpd-error.log"))

    def _wait_until_served(self):
        deadline = time.time() + 15
        while time.time() < deadline:
            if self.process.poll() is not None:
                return False
            try:
                help_page = self.console.replace("bin/velmoraadmin.cgi", "help/diradmin_sum.htm")
                with urllib.request.urlopen(help_page, timeout=2) as reply:
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
