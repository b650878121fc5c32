#!/usr/bin/env python3
"""Shows what is left of the product on a demo machine made by
make_demo_machine.py: its registry keys below Software\\VKL, its uninstall
entry, and its install, stock-book and Start-menu folders (present or gone).

Usage: show_machine.py FOLDER [--family 95|nt4|2000] [--stockbook inside|elsewhere]
"""
import argparse
import os
import re
import sys

PRODUCT = "ミラベルLE"
INSTALL = "C:\\Program Files\\VKL\\" + PRODUCT
GROUPS = {
    "95": "C:\\WINDOWS\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\" + PRODUCT,
    "nt4": "C:\\WINNT\\Profiles\\All Users\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\" + PRODUCT,
    "2000": "C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\" + PRODUCT,
}


def unescape(name):
    """A key name as Wine writes it, back to text."""
    def repl(m):
        s = m.group(1)
        if s.startswith("x"):
            return chr(int(s[1:], 16))
        return s
    return re.sub(r"\\(x[0-9a-fA-F]{1,4}|.)", repl, name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--family", choices=sorted(GROUPS), default="2000")
    parser.add_argument("--stockbook", choices=["inside", "elsewhere"], default="elsewhere")
    args = parser.parse_args()

    try:
        with open(os.path.join(args.folder, "system.reg"), encoding="ascii", errors="replace") as f:
            text = f.read()
    except OSError as error:
        print("Cannot read the machine's registry: %s" % error)
        return 1
    keys = [unescape(m.group(1)) for m in re.finditer(r"^\[(.*?)\](?: \d+)?$", text, re.M)]
    maker = [k for k in keys if k.lower().startswith("software\\vkl\\")]
    entry = "software\\microsoft\\windows\\currentversion\\uninstall\\mirabelle"

    print()
    print("What is left on the demo machine %s:" % args.folder)
    print("  Registry keys below Software\\VKL:")
    for key in maker or ["(none)"]:
        print("    " + key)
    print("  Uninstall entry MirabelLE: %s" % ("present" if any(k.lower() == entry for k in keys) else "gone"))
    stockbook = INSTALL + "\\StockBook" if args.stockbook == "inside" else "C:\\VKL Data\\StockBook"
    for label, path in [("Install folder", INSTALL), ("Stock-book folder", stockbook),
                        ("Start-menu group", GROUPS[args.family])]:
        host = os.path.join(args.folder, "drive_c", *path[3:].split("\\"))
        print("  %s %s: %s" % (label, path, "present" if os.path.exists(host) else "gone"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
