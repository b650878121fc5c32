#!/usr/bin/env python3
"""Makes a demo machine folder on which the product is installed.

The folder is laid out like a Wine prefix: system.reg (HKEY_LOCAL_MACHINE in
Wine's text format), drive_c/ and dosdevices/c: linking to it. The product is
installed as its installer leaves it: the version keys and values with a few
subkeys below "7.0", the uninstall entry, the install folder with files and
subfolders (Japanese names among them), the stock-book folder (inside the
install folder or elsewhere) and the Start-menu group with shortcut files.
A second program of the same maker is installed too; the uninstaller must
leave it alone.

FOLDER may be new, empty, or a machine this tool made before (it carries the
file .mr7-demo-machine at its top, which the uninstaller never touches); such a machine
is replaced. Any other existing folder is refused and left as it is, so a
real Wine prefix or a home folder given by mistake is never emptied.

Usage:
  make_demo_machine.py FOLDER [--family 95|nt4|2000] [--stockbook inside|elsewhere]
                              [--not-installed]
"""
import argparse
import os
import shutil
import sys
import time

PRODUCT = "ミラベルLE"

# Marks a machine folder as made by this tool, and so safe to replace.
MARKER = ".mr7-demo-machine"
MARKER_TEXT = "A demo machine made by tools/demo/make_demo_machine.py; it may be replaced.\n"


def escape(text, delimiter):
    """Escapes a name or string as Wine writes it into a .reg file."""
    out = []
    units = text.encode("utf-16-le")
    codes = [units[i] | units[i + 1] << 8 for i in range(0, len(units), 2)]
    named = {7: "a", 8: "b", 9: "t", 10: "n", 11: "v", 12: "f", 13: "r", 27: "e"}
    for i, c in enumerate(codes):
        following = chr(codes[i + 1]) if i + 1 < len(codes) else ""
        if c == 0x5C:
            out.append("\\\\")
        elif chr(c) in delimiter:
            out.append("\\" + chr(c))
        elif c in named:
            out.append("\\" + named[c])
        elif c < 0x20:
            out.append("\\%03o" % c if following in "01234567" and following else "\\%o" % c)
        elif c <= 0x7F:
            out.append(chr(c))
        elif following and following in "0123456789abcdefABCDEF":
            out.append("\\x%04x" % c)
        else:
            out.append("\\x%x" % c)
    return "".join(out)


def sort_key(name):
    return [ord(ch.lower()) for ch in name]


class Registry:
    """A small HKLM tree that writes itself in Wine's format."""

    def __init__(self):
        self.root = {"name": "", "keys": {}, "values": {}}

    def key(self, path):
        node = self.root
        for part in path.split("\\"):
            low = part.lower()
            if low not in node["keys"]:
                node["keys"][low] = {"name": part, "keys": {}, "values": {}}
            node = node["keys"][low]
        return node

    def set(self, path, name, value):
        self.key(path)["values"][name] = value

    def text(self):
        now = int(time.time())
        filetime = now * 10**7 + 116444736000000000
        stamp = "%x%08x" % (filetime >> 32, filetime & 0xFFFFFFFF)
        lines = ["WINE REGISTRY Version 2", ";; All keys relative to REGISTRY\\\\Machine", "", "#arch=win32"]

        def walk(node, parts):
            if parts and (node["values"] or not node["keys"]):
                lines.append("")
                lines.append("[%s] %d" % ("\\\\".join(escape(p, "[]") for p in parts), now))
                lines.append("#time=" + stamp)
                names = sorted(node["values"], key=lambda n: (n != "", sort_key(n)))
                for name in names:
                    value = node["values"][name]
                    label = "@" if name == "" else '"%s"' % escape(name, '"')
                    if isinstance(value, int):
                        lines.append("%s=dword:%08x" % (label, value))
                    else:
                        lines.append('%s="%s"' % (label, escape(value, '"')))
            for child in sorted(node["keys"].values(), key=lambda n: sort_key(n["name"])):
                walk(child, parts + [child["name"]])

        walk(self.root, [])
        return "\n".join(lines) + "\n"


def host(folder, windows_path):
    """The host path of a C: path on the demo machine."""
    assert windows_path[:3].upper() == "C:\\", windows_path
    return os.path.join(folder, "drive_c", *windows_path[3:].split("\\"))


def write(path, content=""):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(content)


class Refused(Exception):
    """The folder given cannot be used; nothing was changed."""


def is_own_machine(folder):
    marker = os.path.join(folder, MARKER)
    if os.path.islink(marker) or not os.path.isfile(marker):
        return False
    try:
        with open(marker, encoding="utf-8") as f:
            return f.read() == MARKER_TEXT
    except (OSError, UnicodeDecodeError):
        return False


def prepare(folder):
    """Makes FOLDER an empty folder ready for a machine, or raises Refused.

    Only a missing folder, an empty one, or a machine made by this tool is
    taken; whatever else is there stays untouched.
    """
    if os.path.islink(folder):
        raise Refused("%s is a symbolic link; give the folder itself, or a new one." % folder)
    if os.path.lexists(folder):
        if not os.path.isdir(folder):
            raise Refused("%s exists and is not a folder." % folder)
        try:
            entries = os.listdir(folder)
        except OSError as error:
            raise Refused("cannot look into %s: %s." % (folder, error.strerror))
        if entries:
            if not is_own_machine(folder):
                raise Refused(
                    "%s is not empty and is not a demo machine made by this tool (it has no %s file),"
                    " so it was left as it is. Give a new or empty folder. If it is a demo machine"
                    " made before such machines were marked, remove it yourself." % (folder, MARKER))
            shutil.rmtree(folder)
    os.makedirs(folder, exist_ok=True)
    # Marked first, so that a machine left half made can be replaced too.
    with open(os.path.join(folder, MARKER), "w", encoding="utf-8") as f:
        f.write(MARKER_TEXT)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--family", choices=["95", "nt4", "2000"], default="2000")
    parser.add_argument("--stockbook", choices=["inside", "elsewhere"], default="elsewhere")
    parser.add_argument("--not-installed", action="store_true",
                        help="a machine with the Windows keys only, without the product")
    args = parser.parse_args()

    folder = os.path.abspath(args.folder)
    try:
        prepare(folder)
    except Refused as refusal:
        print("make_demo_machine: %s" % refusal, file=sys.stderr)
        return 1
    os.makedirs(os.path.join(folder, "drive_c"))
    os.makedirs(os.path.join(folder, "dosdevices"))
    os.symlink("../drive_c", os.path.join(folder, "dosdevices", "c:"))

    reg = Registry()
    current = "Software\\Microsoft\\Windows\\CurrentVersion"
    nt = "Software\\Microsoft\\Windows NT\\CurrentVersion"
    if args.family == "95":
        windows = "C:\\WINDOWS"
        reg.set(current, "VersionNumber", "4.10.2222")
        reg.set(current, "SubVersionNumber", " A ")
        reg.set(current, "ProductName", "Microsoft Windows 98")
        reg.set(current, "SystemRoot", windows)
        group_parent = windows + "\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ"
    elif args.family == "nt4":
        windows = "C:\\WINNT"
        reg.set(nt, "CurrentVersion", "4.0")
        reg.set(nt, "CurrentBuildNumber", "1381")
        reg.set(nt, "CSDVersion", "Service Pack 6")
        reg.set(nt, "SystemRoot", windows)
        group_parent = windows + "\\Profiles\\All Users\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ"
    else:
        windows = "C:\\WINNT"
        start_menu = "C:\\Documents and Settings\\All Users\\スタート メニュー"
        reg.set(nt, "CurrentVersion", "5.0")
        reg.set(nt, "CurrentBuildNumber", "2195")
        reg.set(nt, "CSDVersion", "Service Pack 4")
        reg.set(nt, "SystemRoot", windows)
        reg.set(current + "\\Explorer\\Shell Folders", "Common Start Menu", start_menu)
        group_parent = start_menu + "\\プログラム"
    reg.set(current, "ProgramFilesDir", "C:\\Program Files")
    os.makedirs(host(folder, windows + "\\system32"), exist_ok=True)
    write(host(folder, windows + "\\win.ini"), "[windows]\n")

    # Another program of the same maker, which the uninstaller must leave alone.
    other = "C:\\Program Files\\VKL\\ZavoTool"
    reg.set("Software\\VKL\\ZavoTool\\2.0", "DIRECTORY", other)
    write(host(folder, other + "\\zavotool.exe"), "another program of the maker\n")

    if not args.not_installed:
        install = "C:\\Program Files\\VKL\\" + PRODUCT
        if args.stockbook == "inside":
            stockbook = install + "\\StockBook"
        else:
            stockbook = "C:\\VKL Data\\StockBook"
        product = "Software\\VKL\\MirabelLE"
        reg.set(product, "StockBookPath", stockbook)
        reg.set(product + "\\7.0", "DIRECTORY", install)
        reg.set(product + "\\7.0", "Version", "7.0.3")
        reg.set(product + "\\7.0\\Settings", "WindowLeft", 120)
        reg.set(product + "\\7.0\\Settings", "Theme", "標準")
        reg.set(product + "\\7.0\\Recent", "File1", stockbook + "\\家計簿.mrb")
        reg.key(product + "\\7.0\\Plugins")
        uninstall = current + "\\Uninstall\\MirabelLE"
        reg.set(uninstall, "DisplayName", PRODUCT)
        reg.set(uninstall, "UninstallString", install + "\\MR7Uninstall.exe")
        reg.set(current + "\\Uninstall\\ZavoTool", "DisplayName", "ZavoTool")

        for name in ["Mirabel.exe", "MRExplorer.exe", "MR7Uninstall.exe", "readme.txt",
                     "表計算テンプレート.xls", "ソース一覧.txt", "イメージ.bmp"]:
            write(host(folder, install + "\\" + name), name + "\n")
        write(host(folder, install + "\\Help\\mirabel.hlp"), "help\n")
        write(host(folder, install + "\\Help\\画像\\表紙.bmp"), "picture\n")
        write(host(folder, install + "\\Templates\\家計簿.mrt"), "template\n")
        write(host(folder, stockbook + "\\家計簿.mrb"), "the user's stock book\n")
        write(host(folder, stockbook + "\\Backup\\家計簿.bak"), "backup\n")
        group = group_parent + "\\" + PRODUCT
        for name in [PRODUCT + ".lnk", PRODUCT + " エクスプローラ.lnk", "アンインストール.lnk"]:
            write(host(folder, group + "\\" + name), "shortcut\n")
    # Another group in the Start menu that must stay.
    write(host(folder, group_parent + "\\アクセサリ\\メモ帳.lnk"), "shortcut\n")

    with open(os.path.join(folder, "system.reg"), "w", encoding="ascii", newline="\n") as f:
        f.write(reg.text())
    print(folder)


if __name__ == "__main__":
    sys.exit(main())
