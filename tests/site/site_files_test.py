"""The installation tree's own files as the console reads them: every script
function a page copies can be cut out of its file by the program's rule and
compiles, every message key a page asks for is in the message file, every
style has its settings, and every picture a page names was drawn for every
style.

usage: site_files_test.py SOURCE_DIR BUILD_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import unittest

SOURCE = BUILD = None

# The functions the pages copy, by script file (relative to htdocs).
FUNCTIONS = {
    "common/bin/misc.js": ["donothing", "submitForm", "submitFormAfterConfirm", "denyWithAlert",
                           "NotifyByEmail", "isInteger", "isNonNullInteger", "isEmpty",
                           "validateInput", "checkAndSubmitForm", "loginOnFocus", "sendtotop"],
    "common/bin/confirm.js": ["MyConfirm", "ConfirmDelete", "ConfirmClear", "ConfirmDeleteMeeting",
                              "ConfirmDeleteMeetingSubmit"],
    "common/bin/help.js": ["KvHelp"],
    "common/bin/selector.js": ["CloseWindow", "SelectorWindowClose", "SelectorQuit", "CloseChild"],
    "common/bin/setcurrent.js": ["nullifyHelpWin", "onUnloadInit"],
    "admin/bin/admin.js": ["arrowActionsubmitForm", "IsNamePropertyExists",
                           "validateAdditionalFieldsSubmitForm", "validateAddAddnlFieldSubmitForm",
                           "dirAdminsSelector"],
    "admin/bin/velmoraadmin.js": ["validateFields", "validateFieldsAndSubmit", "saveCategories",
                                  "saveSubCategories", "cancelForm", "validateCustomizePhotoSubmit",
                                  "updateAttrFrame", "AdminSelector", "AdminOperSelector", "validate"],
}
# Files copied whole, with the functions they must define.
WHOLE_FILES = {
    "common/bin/init.js": [],
    "common/bin/jcard.js": ["pageIsLoaded", "updateJCard"],
    "admin/bin/upper.js": ["changeFieldInfo", "changeCategory", "changeSubCategory"],
    "admin/bin/lower.js": ["changeCurrField", "submitAfterSanitizing"],
}
MESSAGE_KEYS = [
    "LoginPageTitle", "LoginPageMsg", "FeedbackHdg", "ConfDataHdg", "ConfDataInfo1", "ConfDataInfo2",
    "CustPhotosHdg", "CustPhotosInfo1", "CustPhotosInfo2", "ConfDirAdminsMsg", "ConfDirAdminsHdg",
    "GenerateAccountsHdg", "GenerateAccountsWarning", "CustPersonHdg1", "CustPersonHdg2",
    "CustPersonHdg3", "CustBusinessHdg1", "CustBusinessHdg2", "CustBusinessHdg3",
    "CustAdditionalHdg1", "CustAdditionalHdg2", "CustAdditionalHdg3", "CustAdditionalHdg4",
    "AddCategories", "AccessControlMsg1"]
# Pictures by folder: the console's own (images/<style>/ beside the program)
# and the shared ones (../../common/bin/images/<style>/).
ADMIN_IMAGES = [
    "side_confdirectoryadmins", "side_accesscontrol", "side_confdata", "side_custphotos",
    "side_custbusinesscard", "side_custpersonpage", "side_custadditionalinfo",
    "side_generateaccounts", "side_help", "side_babout", "side_blogout",
    "hconfdirectoryadmins", "haccesscontrol", "hconfemployeedata", "hcustphotos",
    "hcustbusinesscard", "hcustpersonpage", "hcustadditionalinfo", "hgenerateaccounts",
    "himportdata", "hmodifyattributes", "hcreateentry", "hdeleteentry", "herror",
    "bsave", "bcancel", "badd", "baddcategory", "baddsubcategory", "bcreateentry", "bdeleteentry",
    "bdelete", "bdone", "bindex", "bmodify", "bmodifyattributes", "bselectpeople",
    "mlogin", "marrowup", "marrowdown", "mdocumenticon", "menvelopeicon"]
COMMON_IMAGES = ["mspacer", "mpersonicon", "mgroupicon", "menvelopeicon", "faboutkavri",
                 "fkavrifeedback", "hkavrifeedback"]
LINE_LIMIT = 1023  # the program reads script and list files in lines of this size


def read_lines(path):
    with open(path, encoding="latin-1") as f:
        return f.read().split("\n")


def cut_function(lines, name):
    """The function as the program copies it: from the line that starts with
    "function" whose second word is name (any case) through the first line
    that starts with "}"; None when not found or not closed."""
    out = None
    for line in lines:
        if out is None:
            words = line.split(None, 1)
            if line.startswith("function") and len(words) == 2:
                second = words[1]
                for stop in " \t\r\n({":
                    second = second.split(stop, 1)[0]
                if second.lower() == name.lower():
                    out = [line]
                    if line.startswith("}"):
                        return "\n".join(out)
            continue
        out.append(line)
        if line.startswith("}"):
            return "\n".join(out)
    return None


def name_list(path):
    """The (name, value) items of a name/value list file."""
    lines = read_lines(path)
    assert lines[0] == "BEGIN:vNameList", path
    items = []
    for line in lines[1:]:
        if line.startswith("END:vNameList"):
            return items
        name, _, value = line.partition(":")
        items.append((name, value))
    raise AssertionError("no end line in " + path)


def compile_errors(sources):
    """Syntax errors of the given scripts (name -> text), checked by node."""
    node = shutil.which("node")
    if node is None:
        return None
    checker = ("const vm = require('vm'); const s = JSON.parse(require('fs').readFileSync(0));"
               "for (const [n, t] of Object.entries(s)) { try { new vm.Script(t, {filename: n}); }"
               " catch (e) { console.log(n + ': ' + e.message); } }")
    done = subprocess.run([node, "-e", checker], input=json.dumps(sources).encode(),
                          capture_output=True, check=True)
    return done.stdout.decode().splitlines()


class ScriptTest(unittest.TestCase):
    def htdocs(self, path):
        return os.path.join(SOURCE, "site", "htdocs", path)

    def test_functions_are_cut_out_whole_and_compile(self):
        sources = {}
        for path, names in FUNCTIONS.items():
            lines = read_lines(self.htdocs(path))
            for name in names:
                with self.subTest(function=name):
                    text = cut_function(lines, name)
                    self.assertIsNotNone(text, "%s not found or not closed in %s" % (name, path))
                    sources["%s:%s" % (path, name)] = text
        for path, names in WHOLE_FILES.items():
            text = "\n".join(read_lines(self.htdocs(path)))
            sources[path] = text
            for name in names:
                self.assertIn("function %s(" % name, text)
        errors = compile_errors(sources)
        if errors is None:
            self.skipTest("node is not installed")
        self.assertEqual(errors, [])

    def test_lines_fit_the_readers_buffer(self):
        for folder, _, files in os.walk(os.path.join(SOURCE, "site")):
            for file in files:
                if file.endswith((".js", ".lst")):
                    for number, line in enumerate(read_lines(os.path.join(folder, file)), 1):
                        self.assertLessEqual(len(line), LINE_LIMIT, "%s:%d" % (file, number))


class ListFileTest(unittest.TestCase):
    def test_message_file_has_every_key_once(self):
        items = name_list(os.path.join(SOURCE, "site", "htdocs", "admin", "bin", "adminmsg.lst"))
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
        known = ("upperFrameHeight", "logoFrameWidth", "logoBackcolor", "logoBackgroundGIF",
                 "upperBackcolor", "upperBackgroundGIF", "lowerFrameWidth", "lowerBackcolor",
                 "lowerBackgroundGIF", "mainBackcolor", "mainBackgroundGIF", "selectorFrameHeight",
                 "selectorBackcolor", "selectorBackgroundGIF", "helpFrameHeight", "helpBackcolor",
                 "helpBackgroundGIF")
        generated = os.path.join(BUILD, "site", "generated", "htdocs")
        if not os.path.isdir(generated):
            self.skipTest("the images were not drawn (python3-pil missing)")
        for style in styles:
            with self.subTest(style=style):
                settings = name_list(os.path.join(style_dir, style + ".lst"))
                for name, _ in settings:
                    self.assertIn(name, known)
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
