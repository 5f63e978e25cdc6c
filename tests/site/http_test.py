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
        self.cookies = dict(value.split(";", 1)[0].strip().split("=", 1)
                            for key, value in response.getheaders() if key.lower() == "set-cookie")


def send(path, cookies=None, form=None, headers=()):
    """The connection and response of one request to the console's folder."""
    conn = http.client.HTTPConnection("127.0.0.1", TREE.port, timeout=30)
    headers = dict(headers, **({"Cookie": "; ".join("%s=%s" % kv for kv in cookies.items())} if cookies else {}))
    if form is not None:
        headers["Content-Type"] = "application/x-www-form-urlencoded"
    conn.request("GET" if form is None else "POST", "/admin/bin/" + path,
                 None if form is None else urllib.parse.urlencode(form), headers)
    return conn, conn.getresponse()


def fetch(path, cookies=None, form=None):
    conn, response = send(path, cookies, form)
    reply = Reply(response)
    conn.close()
    return reply


def log_in():
    return fetch("velmoraadmin.cgi",
                 form={"login": served_tree.ADMIN_UID, "password": served_tree.ADMIN_PASSWORD})


class StreamingTest(unittest.TestCase):
    def test_indexing_progress_arrives_while_indexing_runs(self):
        common, path = os.path.join(TREE.top, "data", "common"), os.path.join(TREE.top, "bigger.vcf")
        with open(os.path.join(common, "data.vcf"), encoding="utf-8") as f, \
                open(path, "w", encoding="utf-8") as out:
            out.write(f.read() + "".join("BEGIN:VCARD\nFN:Extra %d\nUID:extra%d\nEND:VCARD\n" % (i, i)
                                         for i in range(1000)))
        session = log_in().cookies
        # The new data is swapped in under the data lock; while this test holds
        # it shared, the indexing cannot end, so progress that arrives now was
        # sent while the work ran.
        with open(os.path.join(common, "data.vcf.lck"), "rb") as lock:
            fcntl.lockf(lock, fcntl.LOCK_SH)
            try:
                conn, response = send("velmoraadmin.cgi", session, {"program": "processData", "dataFile": path},
                                      {"Sec-Fetch-Site": "same-origin"})
                seen = b""
                while b"records processed" not in seen and (chunk := response.read1(65536)):
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
        forged = [{"KavriUidCookie": "bvogel", "KavriIsWebmaster": "TRUE", "KavriUserLoginTime": later,
                   "KavriDrovakLogin": "FALSE"}, dict(good, KavriSessionSig="0" * 64),
                  dict(good, KavriUidCookie="lschmidt"), dict(good, KavriUserLoginTime=later),
                  dict(good, KavriDrovakLogin="TRUE")]
        for cookies in forged:
            with self.subTest(cookies=cookies):
                reply = fetch("velmoraadmin.cgi?program=navbar", cookies=cookies)
                self.assertEqual(reply.status, 200)
                self.assertIn("<title>Directory Administration - Login</title>", reply.text)
                self.assertIn('name="loginform"', reply.text)
                self.assertNotIn("side_confdirectoryadmins", reply.text)
        # The untouched session still works.
        self.assertIn("side_confdirectoryadmins",
                      fetch("velmoraadmin.cgi?program=navbar", cookies=good).text)

    def test_settings_files_stay_private(self):
        self.assertEqual(fetch("adminmsg.lst").status, 403)


def run(tree, _):
    global TREE
    TREE = tree
    return unittest.main(argv=[sys.argv[0], "-v"], exit=False).result.wasSuccessful()


if __name__ == "__main__":
    sys.exit(served_tree.run(__doc__, "http-tree", run))
