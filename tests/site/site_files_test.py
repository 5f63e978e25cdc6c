"""The installation tree's own files as the console reads them: every script
function a page copies can be cut out of its file by the program's rule and
compiles, every message key a page asks for is in the message file, every
style has its settings, and every picture a page names was drawn for every
style.

usage: site_files_test.py SOURCE_DIR BUILD_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import unittest

SOURCE = BUILD = None

# The functions the pages copy, by script file (relative to htdocs).
FUNCTIONS = {path: names.split() for path, names in {
    "common/bin/misc.js": "donothing submitForm submitFormAfterConfirm denyWithAlert NotifyByEmail isInteger"
                          " isNonNullInteger isEmpty validateInput checkAndSubmitForm loginOnFocus sendtotop",
    "common/bin/confirm.js": "MyConfirm ConfirmDelete ConfirmClear ConfirmDeleteMeeting ConfirmDeleteMeetingSubmit",
    "common/bin/help.js": "KvHelp",
    "common/bin/selector.js": "CloseWindow SelectorWindowClose SelectorQuit CloseChild",
    "common/bin/setcurrent.js": "nullifyHelpWin onUnloadInit",
    "admin/bin/admin.js": "arrowActionsubmitForm IsNamePropertyExists validateAdditionalFieldsSubmitForm"
                          " validateAddAddnlFieldSubmitForm dirAdminsSelector",
    "admin/bin/velmoraadmin.js": "validateFields validateFieldsAndSubmit saveCategories saveSubCategories cancelForm"
                                 " validateCustomizePhotoSubmit updateAttrFrame AdminSelector AdminOperSelector validate",
}.items()}
# Files copied whole, with the functions they must define.
WHOLE_FILES = {"common/bin/init.js": [], "common/bin/jcard.js": ["pageIsLoaded", "updateJCard"],
               "admin/bin/upper.js": ["changeFieldInfo", "changeCategory", "changeSubCategory"],
               "admin/bin/lower.js": ["changeCurrField", "submitAfterSanitizing"]}
MESSAGE_KEYS = """LoginPageTitle LoginPageMsg FeedbackHdg ConfDataHdg ConfDataInfo1 ConfDataInfo2 CustPhotosHdg
    CustPhotosInfo1 CustPhotosInfo2 ConfDirAdminsMsg ConfDirAdminsHdg GenerateAccountsHdg GenerateAccountsWarning
    CustPersonHdg1 CustPersonHdg2 CustPersonHdg3 CustBusinessHdg1 CustBusinessHdg2 CustBusinessHdg3
    CustAdditionalHdg1 CustAdditionalHdg2 CustAdditionalHdg3 CustAdditionalHdg4 AddCategories
    AccessControlMsg1""".split()
# Pictures by folder: the console's own (images/<style>/ beside the program)
# and the shared ones (../../common/bin/images/<style>/).
ADMIN_IMAGES = """side_confdirectoryadmins side_accesscontrol side_confdata side_custphotos side_custbusinesscard
    side_custpersonpage side_custadditionalinfo side_generateaccounts side_help side_babout side_blogout
    hconfdirectoryadmins haccesscontrol hconfemployeedata hcustphotos hcustbusinesscard hcustpersonpage
    hcustadditionalinfo hgenerateaccounts himportdata hmodifyattributes hcreateentry hdeleteentry herror
    bsave bcancel badd baddcategory baddsubcategory bcreateentry bdeleteentry bdelete bdone bindex bmodify
    bmodifyattributes bselectpeople mlogin marrowup marrowdown mdocumenticon menvelopeicon""".split()
COMMON_IMAGES = "mspacer mpersonicon mgroupicon menvelopeicon faboutkavri fkavrifeedback hkavrifeedback".split()
STYLE_SETTINGS = """upperFrameHeight logoFrameWidth logoBackcolor logoBackgroundGIF upperBackcolor
    upperBackgroundGIF lowerFrameWidth lowerBackcolor lowerBackgroundGIF mainBackcolor mainBackgroundGIF
    selectorFrameHeight selectorBackcolor selectorBackgroundGIF helpFrameHeight helpBackcolor
    helpBackgroundGIF""".split()
LINE_LIMIT = 1023  # the program reads script and list files in lines of this size


def read_lines(path):
    with open(path, encoding="latin-1") as f:
        return f.read().split("\n")


def cut_function(lines, name):
    """The function as the program copies it: from the line that starts with
    "function" whose second word is name (any case) through the first line
    that starts with "}"; None when not found or not closed."""
    def names(line):
        words = line.split(None, 1)
        return (line.startswith("function") and len(words) == 2
                and re.split(r"[ \t\r\n({]", words[1], 1)[0].lower() == name.lower())
    start = next((i for i, line in enumerate(lines) if names(line)), len(lines))
    end = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("}")), None)
    return None if end is None else "\n".join(lines[start:end + 1])


def name_list(path):
    """The (name, value) items of a name/value list file."""
    lines = read_lines(path)
    assert lines[0] == "BEGIN:vNameList", path
    end = next(i for i, line in enumerate(lines) if line.startswith("END:vNameList"))
    return [line.partition(":")[::2] for line in lines[1:end]]


def compile_errors(sources):
    """Syntax errors of the given scripts (name -> text), checked by node."""
    checker = ("const vm = require('vm'); const s = JSON.parse(require('fs').readFileSync(0));"
               "for (const [n, t] of Object.entries(s)) { try { new vm.Script(t, {filename: n}); }"
               " catch (e) { console.log(n + ': ' + e.message); } }")
    return subprocess.run([shutil.which("node"), "-e", checker], input=json.dumps(sources).encode(),
                          capture_output=True, check=True).stdout.decode().splitlines()


def htdocs(*path):
    return os.path.join(SOURCE, "site", "htdocs", *path)


class ScriptTest(unittest.TestCase):
    def test_functions_are_cut_out_whole_and_compile(self):
        if shutil.which("node") is None:
            self.skipTest("node is not installed")
        sources = {}
        for path, names in FUNCTIONS.items():
            lines = read_lines(htdocs(path))
            for name in names:
                with self.subTest(function=name):
                    text = cut_function(lines, name)
                    self.assertIsNotNone(text, "%s not found or not closed in %s" % (name, path))
                    sources["%s:%s" % (path, name)] = text
        for path, names in WHOLE_FILES.items():
            sources[path] = "\n".join(read_lines(htdocs(path)))
            for name in names:
                self.assertIn("function %s(" % name, sources[path])
        self.assertEqual(compile_errors(sources), [])

    def test_lines_fit_the_readers_buffer(self):
        for folder, _, files in os.walk(os.path.join(SOURCE, "site")):
            for file in files:
                if file.endswith((".js", ".lst")):
                    for number, line in enumerate(read_lines(os.path.join(folder, file)), 1):
                        self.assertLessEqual(len(line), LINE_LIMIT, "%s:%d" % (file, number))


class ListFileTest(unittest.TestCase):
    def test_message_file_has_every_key_once(self):
        items = name_list(htdocs("admin", "bin", "adminmsg.lst"))
        names = [name.lower() for name, _ in items]
        self.assertEqual(len(names), len(set(names)))
        for key in MESSAGE_KEYS:
            with self.subTest(key=key):
                self.assertIn(key.lower(), names)
                self.assertTrue(dict(items)[key].strip())

    def test_every_style_has_settings_and_pictures(self):
        style_dir = os.path.join(SOURCE, "site", "config", "style")
        styles = [name for name, _ in name_list(os.path.join(style_dir, "styles.lst"))]
        self.assertIn("style0", styles)
        self.assertGreaterEqual(len(styles), 2)
        generated = os.path.join(BUILD, "site", "generated", "htdocs")
        if not os.path.isdir(generated):
            self.skipTest("the images were not drawn (python3-pil missing)")
        for style in styles:
            with self.subTest(style=style):
                for name, _ in name_list(os.path.join(style_dir, style + ".lst")):
                    self.assertIn(name, STYLE_SETTINGS)
                for folder, names in (("admin", ADMIN_IMAGES), ("common", COMMON_IMAGES)):
                    for image in names:
                        path = os.path.join(generated, folder, "bin", "images", style, image + ".gif")
                        self.assertTrue(os.path.isfile(path), path)
                        with open(path, "rb") as f:
                            self.assertEqual(f.read(4), b"GIF8", path)
        self.assertTrue(os.path.isfile(os.path.join(generated, "common", "bin", "images", "kavrilogo.gif")))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    SOURCE, BUILD = sys.argv[1:]
    sys.exit(0 if unittest.main(argv=[sys.argv[0]], exit=False).result.wasSuccessful() else 1)
