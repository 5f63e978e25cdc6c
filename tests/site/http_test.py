"""The console served by a real web server, over HTTP, where a browser cannot
look: session cookies that this installation did not sign, the files the
server keeps private, and progress pages that reach the browser while the
work runs. The flows themselves are walked in browser_test.py.

usage: http_test.py SOURCE_DIR BUILD_DIR WORK_DIR
"""
import fcntl
import http.client
import os
import sys
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import served_tree  # noqa: E402

TREE = None


class Reply:
    def __init__(self, response):
        self.status = response.status
        self.text = response.read().decode("latin-1")
        # name -> value of every cookie set
        self.cookies = {}
        for key, value in response.getheaders():
            if key.lower() == "set-cookie":
                name, _, text = value.split(";", 1)[0].partition("=")
                self.cookies[name.strip()] = text.strip()


def fetch(path, cookies=None, form=None):
    """One request to the served tree; path is absolute or relative to the
    console's folder."""
    if not path.startswith("/"):
        path = "/admin/bin/" + path
    conn = http.client.HTTPConnection("127.0.0.1", TREE.port, timeout=30)
    headers = {}
    if cookies:
        headers["Cookie"] = "; ".join("%s=%s" % kv for kv in cookies.items())
    body = None
    if form is not None:
        body = urllib.parse.urlencode(form)
        headers["Content-Type"] = "application/x-www-form-urlencoded"
    conn.request("POST" if form is not None else "GET", path, body, headers)
    reply = Reply(conn.getresponse())
    conn.close()
    return reply


def is_login_page(reply):
    return (reply.status == 200 and "<title>Directory Administration - Login</title>" in reply.text
            and 'name="loginform"' in reply.text)


def log_in():
    return fetch("velmoraadmin.cgi",
                 form={"login": served_tree.ADMIN_UID, "password": served_tree.ADMIN_PASSWORD})


class StreamingTest(unittest.TestCase):
    def test_indexing_progress_arrives_while_indexing_runs(self):
        common = os.path.join(TREE.top, "data", "common")
        with open(os.path.join(common, "data.vcf"), encoding="utf-8") as f:
            cards = f.read()
        cards += "".join("BEGIN:VCARD\nFN:Extra %d\nUID:extra%d\nEND:VCARD\n" % (i, i)
                         for i in range(1000))
        path = os.path.join(TREE.top, "bigger.vcf")
        with open(path, "w", encoding="utf-8") as f:
            f.write(cards)
        session = log_in().cookies
        # The new data is swapped in under the data lock; while this test holds
        # it shared, the indexing cannot end, so progress that arrives now was
        # sent while the work ran.
        with open(os.path.join(common, "data.vcf.lck"), "rb") as lock:
            fcntl.lockf(lock, fcntl.LOCK_SH)
            conn = http.client.HTTPConnection("127.0.0.1", TREE.port, timeout=20)
            try:
                conn.request("POST", "/admin/bin/velmoraadmin.cgi",
                             urllib.parse.urlencode({"program": "processData", "dataFile": path}),
                             {"Content-Type": "application/x-www-form-urlencoded",
                              "Sec-Fetch-Site": "same-origin",
                              "Cookie": "; ".join("%s=%s" % kv for kv in session.items())})
                response = conn.getresponse()
                seen = b""
                while b"records processed" not in seen:
                    chunk = response.read1(65536)
                    if not chunk:
                        break
                    seen += chunk
                self.assertIn(b"350 records processed", seen)
            finally:
                fcntl.lockf(lock, fcntl.LOCK_UN)
            rest = response.read()
            conn.close()
        self.assertIn(b"</html>", seen + rest)
        self.assertNotIn(b"Error in indexing", seen + rest)


class SessionTest(unittest.TestCase):
    def test_cookies_this_installation_did_not_sign(self):
        good = log_in().cookies
        later = str(int(time.time()) + 600)
        forged = [
            {"KavriUidCookie": "bvogel", "KavriIsWebmaster": "TRUE",
             "KavriUserLoginTime": later, "KavriDrovakLogin": "FALSE"},
            dict(good, KavriSessionSig="0" * 64),
            dict(good, KavriUidCookie="lschmidt"),
            dict(good, KavriUserLoginTime=later),
            dict(good, KavriDrovakLogin="TRUE"),
        ]
        for cookies in forged:
            with self.subTest(cookies=cookies):
                reply = fetch("velmoraadmin.cgi?program=navbar", cookies=cookies)
                self.assertTrue(is_login_page(reply), reply.text)
                self.assertNotIn("side_confdirectoryadmins", reply.text)
        # The untouched session still works.
        self.assertIn("side_confdirectoryadmins",
                      fetch("velmoraadmin.cgi?program=navbar", cookies=good).text)

    def test_settings_files_stay_private(self):
        self.assertEqual(fetch("adminmsg.lst").status, 403)


def main():
    global TREE
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    source_dir, build_dir, work_dir = sys.argv[1:]
    if served_tree.find_lighttpd() is None:
        print("SKIPPED: lighttpd is not installed (Debian: apt-get install lighttpd)")
        return served_tree.SKIP
    TREE = served_tree.ServedTree(source_dir, build_dir, os.path.join(work_dir, "http-tree"))
    TREE.start()
    try:
        result = unittest.main(argv=[sys.argv[0], "-v"], exit=False).result
    finally:
        TREE.stop()
    reports = TREE.sanitizer_reports()
    for line in reports:
        print("sanitizer:", line)
    return 0 if result.wasSuccessful() and not reports else 1


if __name__ == "__main__":
    sys.exit(main())
