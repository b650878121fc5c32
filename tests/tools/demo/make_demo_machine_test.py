#!/usr/bin/env python3
"""Checks which folders make_demo_machine.py takes: a new, an empty or one of
its own machines is (re)made; any other existing folder is refused with a
message and left exactly as it was.

Usage: make_demo_machine_test.py PATH/TO/make_demo_machine.py
"""
import os
import subprocess
import sys
import tempfile
import unittest

MAKER = None
MARKER = ".mr7-demo-machine"


def snapshot(folder):
    """Every path below FOLDER with its kind and content, to compare later."""
    seen = {}
    for top, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(top, name)
            rel = os.path.relpath(path, folder)
            if os.path.islink(path):
                seen[rel] = ("link", os.readlink(path))
            elif os.path.isdir(path):
                seen[rel] = ("folder",)
            else:
                with open(path, "rb") as f:
                    seen[rel] = ("file", f.read())
    return seen


class MakeDemoMachineTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory(prefix="mr7-demo-test-")
        self.addCleanup(self.work.cleanup)

    def path(self, *parts):
        return os.path.join(self.work.name, *parts)

    def make(self, folder, *options):
        return subprocess.run([sys.executable, MAKER, folder, *options], capture_output=True, text=True,
                              env=dict(os.environ, HOME=self.work.name))

    def assert_machine(self, folder):
        self.assertTrue(os.path.isfile(os.path.join(folder, MARKER)))
        self.assertTrue(os.path.isfile(os.path.join(folder, "system.reg")))
        self.assertEqual(os.readlink(os.path.join(folder, "dosdevices", "c:")), "../drive_c")

    def test_new_and_empty_folders_are_made_into_machines(self):
        empty = self.path("empty")
        os.mkdir(empty)
        for folder in [self.path("new", "machine"), empty]:
            with self.subTest(folder=folder):
                result = self.make(folder)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(result.stdout.strip(), folder)
                self.assert_machine(folder)

    def test_own_machine_is_replaced(self):
        folder = self.path("machine")
        self.assertEqual(self.make(folder, "--stockbook", "inside").returncode, 0)
        # What a run of the uninstaller, or the user, left there goes with it.
        with open(os.path.join(folder, "drive_c", "left over.txt"), "w") as f:
            f.write("x")
        result = self.make(folder, "--family", "95", "--not-installed")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assert_machine(folder)
        self.assertFalse(os.path.exists(os.path.join(folder, "drive_c", "left over.txt")))
        self.assertFalse(os.path.exists(os.path.join(folder, "drive_c", "Program Files", "VKL", "ミラベルLE")))
        self.assertTrue(os.path.isdir(os.path.join(folder, "drive_c", "WINDOWS")))

    def test_foreign_folders_are_refused_and_left_intact(self):
        # A Wine prefix of one's own, a home folder, an old unmarked demo
        # machine, a marker that is not the tool's, a file, and a link to a
        # prefix: none may be emptied.
        prefix = self.path("home", ".wine")
        os.makedirs(os.path.join(prefix, "drive_c", "users"))
        with open(os.path.join(prefix, "system.reg"), "w") as f:
            f.write("WINE REGISTRY Version 2\n")
        os.symlink("../drive_c", os.path.join(prefix, "c_link"))
        old_demo = self.path("old-demo")
        self.assertEqual(self.make(old_demo).returncode, 0)
        os.remove(os.path.join(old_demo, MARKER))
        faked = self.path("faked")
        os.makedirs(os.path.join(faked, "documents"))
        with open(os.path.join(faked, MARKER), "w") as f:
            f.write("not the tool's marker\n")
        a_file = self.path("a file")
        with open(a_file, "w") as f:
            f.write("keep me\n")
        link = self.path("link-to-prefix")
        os.symlink(prefix, link)

        for folder in [prefix, self.path("home"), old_demo, faked, a_file, link]:
            with self.subTest(folder=folder):
                before = snapshot(self.work.name)
                result = self.make(folder)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stdout, "")
                self.assertIn("make_demo_machine: ", result.stderr)
                self.assertIn(folder, result.stderr)
                self.assertEqual(snapshot(self.work.name), before)
        self.assertIn("remove it yourself", self.make(old_demo).stderr)


if __name__ == "__main__":
    MAKER = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else sys.exit(__doc__)
    unittest.main(verbosity=2)
