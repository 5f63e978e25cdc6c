"""The console in a real browser: headless Chromium, driven by
browser/console.cjs, against a fresh installation served by lighttpd.

usage: browser_test.py SOURCE_DIR BUILD_DIR WORK_DIR
A screenshot of each flow is kept in WORK_DIR/screenshots.
"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import served_tree  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
CHROMIUM = "/usr/bin/chromium"


def walk(tree, work_dir):
    profile, shots = os.path.join(work_dir, "browser-profile"), os.path.join(work_dir, "screenshots")
    for folder in (profile, shots):
        shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(shots)
    # The person the test makes an administrator through the selector.
    new_admin_password = "selected-admin-7"
    subprocess.run([os.path.join(tree.top, "bin", "kvfiledb"), "--top", tree.top, "passwd", "molsen"],
                   input=new_admin_password + "\n", text=True, check=True, stdout=subprocess.DEVNULL)
    try:
        done = subprocess.run([shutil.which("node"), os.path.join(HERE, "browser", "console.cjs"), tree.console,
                               served_tree.ADMIN_UID, served_tree.ADMIN_PASSWORD, shots, profile,
                               new_admin_password], timeout=240)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    # The foreign page's image and form both reached the console, and both
    # were refused for where they came from.
    refusals = tree.log("kvlogfile").count(
        "procconfDirAdmins: refused: the request did not come from the console's own pages"
        " (Sec-Fetch-Site same-site)")
    print("refused requests from another port:", refusals)
    print("screenshots:", shots)
    return done.returncode == 0 and refusals == 2


if __name__ == "__main__":
    sys.exit(served_tree.run(__doc__, "browser-tree", walk, (
        ("chromium", os.access(CHROMIUM, os.X_OK)), ("node", shutil.which("node")),
        ("playwright-core (make browser-deps)",
         os.path.isdir(os.path.join(HERE, "browser", "node_modules", "playwright-core"))))))
