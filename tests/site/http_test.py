"""The console served by a real web server, over HTTP: the login page, the
login refusals, the frame set and navigation bar after a login, logout,
session cookies that this installation did not sign, and progress pages that
reach the browser while the work runs.

usage: http_test.py SOURCE_DIR BUILD_DIR WORK_DIR
"""
import fcntl
import html.parser
import http.client
import os
import re
import sys
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import served_tree  # noqa: E402

TREE = None
SESSION_COOKIES = ("KavriUidCookie", "KavriUserLoginTime", "KavriIsWebmaster",
                   "KavriDrovakLogin", "KavriSessionSig")


class Reply:
    def __init__(self, status, headers, body):
        self.status = status
        self.headers = headers
        self.body = body
        self.text = body.decode("latin-1")

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None

    def set_cookies(self):
        """name -> (value, the whole header) of every Set-Cookie."""
        found = {}
        for key, value in self.headers:
            if key.lower() == "set-cookie":
                pair = value.split(";", 1)[0]
                name, _, text = pair.partition("=")
                found[name.strip()] = (text.strip(), value)
        return found


def fetch(path, cookies=None, form=None, method=None):
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
    conn.request(method or ("POST" if form is not None else "GET"), path, body, headers)
    response = conn.getresponse()
    reply = Reply(response.status, response.getheaders(), response.read())
    conn.close()
    return reply


class Elements(html.parser.HTMLParser):
    """Tags with their attributes, in document order."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.tags = []
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        self.tags.append((tag, dict(attrs)))

    def all(self, tag):
        return [attrs for name, attrs in self.tags if name == tag]


def is_login_page(reply):
    return (reply.status == 200 and "<title>Directory Administration - Login</title>" in reply.text
            and 'name="loginform"' in reply.text)


def log_in(password=served_tree.ADMIN_PASSWORD, uid=served_tree.ADMIN_UID, path="velmoraadmin.cgi"):
    return fetch(path, form={"login": uid, "password": password})


def session_of(reply):
    return {name: value for name, (value, _) in reply.set_cookies().items()}


class LoginTest(unittest.TestCase):
    def test_login_page_and_its_pictures(self):
        reply = fetch("velmoraadmin.cgi")
        self.assertTrue(is_login_page(reply), reply.text)
        self.assertIn("Please log in with your directory administrator account", reply.text)
        self.assertIn("function submitForm()", reply.text)  # copied from misc.js
        self.assertNotIn("KavriSessionSig", reply.set_cookies())
        inputs = {attrs.get("name"): attrs.get("type") for attrs in Elements(reply.text).all("input")}
        self.assertEqual(inputs, {"login": "text", "password": "password"})
        for image in Elements(reply.text).all("img"):
            picture = fetch(urllib.parse.urljoin("/admin/bin/velmoraadmin.cgi", image["src"]))
            self.assertEqual(picture.status, 200, image["src"])
            self.assertEqual(picture.header("Content-Type"), "image/gif", image["src"])
            self.assertTrue(picture.body.startswith(b"GIF8"), image["src"])

    def test_refusals(self):
        cases = [
            ({"login": served_tree.ADMIN_UID, "password": "wrong"},
             "Incorrect password, please try again"),
            ({"login": "nosuchperson", "password": "x"},
             "Incorrect username, please try again"),
            # A person of the directory who is not an administrator, even with
            # the administrator's password.
            ({"login": "lschmidt", "password": served_tree.ADMIN_PASSWORD},
             "You are not on the list of valid administrators."),
            ({"login": served_tree.ADMIN_UID}, None),
        ]
        for form, message in cases:
            with self.subTest(form=form):
                reply = fetch("velmoraadmin.cgi", form=form)
                self.assertTrue(is_login_page(reply), reply.text)
                if message:
                    self.assertIn("<h2>%s</h2>" % message, reply.text)
                self.assertFalse(session_of(reply).get("KavriSessionSig"))
                self.assertNotIn("<frameset", reply.text)

    def test_login_shows_the_console_frames(self):
        reply = log_in()
        self.assertEqual(reply.status, 200)
        cookies = reply.set_cookies()
        for name in SESSION_COOKIES:
            self.assertIn(name, cookies)
        self.assertEqual(cookies["KavriUidCookie"][0], served_tree.ADMIN_UID)
        self.assertEqual(cookies["KavriIsWebmaster"][0], "TRUE")
        self.assertIn("HttpOnly", cookies["KavriSessionSig"][1])
        frames = Elements(reply.text).all("frame")
        self.assertEqual([(f["name"], f["src"]) for f in frames],
                         [("application_navbar", "velmoraadmin.cgi?program=navbar"),
                          ("application_main", "../help/diradmin_sum.htm")])
        summary = fetch(urllib.parse.urljoin("/admin/bin/velmoraadmin.cgi", frames[1]["src"]))
        self.assertEqual(summary.status, 200)
        self.assertIn("Directory Administration</h1>", summary.text)

    def test_login_repeats_the_requested_page(self):
        reply = log_in(path="velmoraadmin.cgi?program=navbar")
        self.assertIn("side_confdirectoryadmins.gif", reply.text)


class NavigationBarTest(unittest.TestCase):
    def setUp(self):
        self.session = session_of(log_in())

    def test_buttons_of_the_file_directory(self):
        reply = fetch("velmoraadmin.cgi?program=navbar", cookies=self.session)
        self.assertEqual(reply.status, 200)
        links = Elements(reply.text)
        hrefs = [a.get("href", "") for a in links.all("a")]
        programs = [re.sub(r".*program=", "", h) for h in hrefs if h.startswith("velmoraadmin.cgi")]
        self.assertEqual(programs, ["genDirAdminsConfPage", "setupData", "setupPhotos",
                                    "genChangeJcardLabelForm", "genChangeEmpPageLabelForm",
                                    "genChangeAdditionalInfoForm", "progGenerateAccounts",
                                    "app_common_prog_help_top"])
        self.assertTrue(any(h.startswith("javascript:KvHelp(") for h in hrefs))
        self.assertTrue(any(h.startswith("javascript:MyConfirm(") and "admin.cgi?program="
                            "app_common_prog_logout" in h for h in hrefs))
        # The functions the links call were copied from the site's scripts.
        self.assertIn("function KvHelp(url, topic) {", reply.text)
        self.assertIn("function MyConfirm(message, url) {", reply.text)
        # The session is renewed on every page.
        self.assertIn("KavriSessionSig", reply.set_cookies())
        images = [img["src"] for img in links.all("img")]
        self.assertEqual(len(images), 10)
        for src in images:
            with self.subTest(image=src):
                picture = fetch(urllib.parse.urljoin("/admin/bin/velmoraadmin.cgi", src))
                self.assertEqual(picture.status, 200)
                self.assertTrue(picture.body.startswith(b"GIF8"))

    def test_help_pages_are_served(self):
        for path in ("/common/help/admin_help.htm", "/admin/help/diradmin_sum.htm"):
            with self.subTest(path=path):
                self.assertEqual(fetch(path).status, 200)
        # Settings and lock files stay private.
        self.assertEqual(fetch("adminmsg.lst").status, 403)


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
        session = session_of(log_in())
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
    def test_logout_ends_the_session(self):
        session = session_of(log_in())
        reply = fetch("admin.cgi?program=app_common_prog_logout", cookies=session)
        self.assertTrue(is_login_page(reply), reply.text)
        self.assertIn("<h2>You have been logged out</h2>", reply.text)
        after = dict(session)
        after.update(session_of(reply))
        self.assertEqual(after["KavriUserLoginTime"], "0")
        self.assertEqual(after["KavriIsWebmaster"], "FALSE")
        self.assertTrue(is_login_page(fetch("velmoraadmin.cgi?program=navbar", cookies=after)))
        # The cookies from before the logout still carry a valid signature
        # until they expire: the browser forgets them on logout.

    def test_cookies_this_installation_did_not_sign(self):
        good = session_of(log_in())
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
