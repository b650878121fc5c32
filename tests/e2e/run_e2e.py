#!/usr/bin/env python3
"""Runs the real uninstaller in tmux on a demo machine and checks what a
person sees and what is left on the machine afterwards.

Each case makes a machine folder with tools/demo/make_demo_machine.py,
starts the program in a detached tmux session of 100 x 40 cells, sends keys,
reads the screen with capture-pane (polling with a timeout, never fixed
sleeps) and checks the machine folder when the program has ended.

Usage: run_e2e.py --program PATH --demo-maker PATH [--standin PATH]
                  [--work FOLDER] CASE
"""
import argparse
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unicodedata

MAIN_CAPTION = "ミラベルLE ｱﾝｲﾝｽﾄｰﾗｰ"
APP_TITLE = "ﾐﾗﾍﾞﾙLE ｱﾝｲﾝｽﾄﾗｰ"
INSTALL = "C:\\Program Files\\VKL\\ミラベルLE"
WAIT_SECONDS = 60  # generous: the program may run under AddressSanitizer


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Machine:
    """A demo machine folder and what can be asked of it."""

    def __init__(self, maker, folder, *options):
        self.folder = folder
        subprocess.run([sys.executable, maker, folder, *options], check=True, stdout=subprocess.DEVNULL)
        self.registry_before = self.registry()
        self.files_before = self.files()

    def path(self, windows_path):
        assert windows_path[:3].upper() == "C:\\"
        return os.path.join(self.folder, "drive_c", *windows_path[3:].split("\\"))

    def registry(self):
        with open(os.path.join(self.folder, "system.reg"), "rb") as f:
            return f.read()

    def keys(self):
        """The key names of system.reg, lowered, with single backslashes."""
        text = self.registry().decode("ascii")
        return {m.group(1).replace("\\\\", "\\").lower()
                for m in re.finditer(r"^\[(.*?)\](?: \d+)?$", text, re.M)}

    def has_key_below(self, name):
        name = name.lower()
        return any(k == name or k.startswith(name + "\\") for k in self.keys())

    def files(self):
        found = []
        for root, dirs, names in os.walk(self.folder):
            for n in dirs + names:
                found.append(os.path.relpath(os.path.join(root, n), self.folder))
        return sorted(found)

    def exists(self, windows_path):
        return os.path.exists(self.path(windows_path))

    def check_unchanged(self):
        check(self.registry() == self.registry_before, "system.reg was changed")
        check(self.files() == self.files_before, "files on the machine were changed")


class Terminal:
    """One detached tmux session on a server of its own."""

    def __init__(self, work):
        self.server = "mr7-e2e-%d" % os.getpid()
        self.status = os.path.join(work, "status")
        self.stty = os.path.join(work, "stty")
        self.session = "e2e"
        self.env = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8")
        self.env.pop("TMUX", None)

    def tmux(self, *args, check_result=True):
        return subprocess.run(["tmux", "-u", "-f", "/dev/null", "-L", self.server, *args], env=self.env,
                              check=check_result, capture_output=True, text=True)

    def start(self, command, columns=100, rows=40):
        # After the program, record its exit code and the terminal's modes
        # (echo and canonical input must be back), then stay for reading.
        status, stty = shlex.quote(self.status), shlex.quote(self.stty)
        script = ('%s; echo "exit=$?" > %s.tmp; stty -a > %s; mv %s.tmp %s; exec sleep 600'
                  % (command, status, stty, status, status))
        self.tmux("new-session", "-d", "-s", self.session, "-x", str(columns), "-y", str(rows), "sh", "-c", script)

    def resize(self, columns, rows):
        self.tmux("resize-window", "-t", self.session, "-x", str(columns), "-y", str(rows))

    def screen(self):
        return self.tmux("capture-pane", "-p", "-t", self.session).stdout

    def screen_with_attributes(self):
        return self.tmux("capture-pane", "-p", "-e", "-t", self.session).stdout

    def wait_for(self, text, absent=None):
        """Waits until the screen shows `text` (and not `absent`); returns the screen."""
        deadline = time.monotonic() + WAIT_SECONDS
        screen = ""
        while time.monotonic() < deadline:
            screen = self.screen()
            if text in screen and (absent is None or absent not in screen):
                return screen
            if os.path.exists(self.status) and text not in screen:
                break
            time.sleep(0.1)
        raise Failure("the screen never showed %r%s; it shows:\n%s"
                      % (text, "" if absent is None else " without %r" % absent, screen))

    def wait_for_message(self, text, gone=False):
        """Waits until a message box shows `text`, which it may have wrapped
        over several rows (or, with gone, until it no longer shows it);
        returns the screen."""
        deadline = time.monotonic() + WAIT_SECONDS
        screen = ""
        while time.monotonic() < deadline:
            screen = self.screen()
            if (flatten(text) in flatten(screen)) != gone:
                return screen
            if os.path.exists(self.status):
                break
            time.sleep(0.1)
        raise Failure("the screen %s message %r; it shows:\n%s"
                      % ("kept the" if gone else "never showed the", text, screen))

    def raw(self, data):
        """Sends bytes to the program as the terminal would, unparsed."""
        self.tmux("send-keys", "-t", self.session, "-H", *["%02x" % b for b in data])

    def keys(self, *keys):
        for key in keys:
            self.tmux("send-keys", "-t", self.session, key)

    def exit_code(self):
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            if os.path.exists(self.status):
                with open(self.status) as f:
                    code = int(f.read().strip().split("=")[1])
                with open(self.stty) as f:
                    modes = f.read().split()
                check("echo" in modes and "icanon" in modes,
                      "the terminal was not given back (stty: %s)" % " ".join(modes))
                return code
            time.sleep(0.1)
        raise Failure("the program did not end; the screen shows:\n" + self.screen())

    def close(self):
        self.tmux("kill-server", check_result=False)


def flatten(text):
    """The text without blanks, frame lines and message-box icons, so that a
    message wrapped over several rows reads as one."""
    for mark in ["(X)", "(?)", "/!\\", "(i)", "│"]:
        text = text.replace(mark, "")
    return "".join(text.split())


def run_command(machine, args):
    return "WINEPREFIX=%s %s" % (shlex.quote(machine.folder), shlex.quote(args.program))


def main_dialog_shown(term):
    screen = term.wait_for("「%s」" % INSTALL)
    for text in ["[-] " + MAIN_CAPTION, "[x]", "[X] ｽﾄｯｸﾌﾞｯｸ削除", "[ 実行 ]", "[[ ｷｬﾝｾﾙ ]]",
                 "にインストールされている ミラベルLE", "  注意：アンインストールを実行すると"]:
        check(text in screen, "the main dialog lacks %r:\n%s" % (text, screen))
    return screen


def button_focused(term, label):
    """True when the push button `label` is drawn in reverse video (the focused
    control). A focused push button is also the default one, so it may be
    drawn with the default marks [[ ]] as well as with [ ]."""
    screen = term.screen_with_attributes()
    pattern = "\x1b\\[[0-9;]*7[0-9;]*m\\[\\[? " + re.escape(label) + " \\]"
    return re.search(pattern, screen) is not None


def tab_to_execute(term):
    """Moves the focus from Cancel, where it starts, to 実行."""
    term.keys("Tab")
    deadline = time.monotonic() + WAIT_SECONDS
    while not button_focused(term, "実行"):
        check(time.monotonic() < deadline, "Tab did not move the focus to 実行")
        time.sleep(0.1)


def case_full_removal(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"), "--family", "2000")
    term.start(run_command(m, args))
    screen = main_dialog_shown(term)
    with open(os.path.join(work, "main_dialog.txt"), "w", encoding="utf-8") as f:
        f.write(screen)
    check(button_focused(term, "ｷｬﾝｾﾙ"), "Cancel is not focused at first")
    tab_to_execute(term)
    term.keys("Space")
    screen = term.wait_for("ｱﾝｲﾝｽﾄｰﾙを実行します。")
    check("よろしいですか？" in screen and APP_TITLE in screen and "はい(Y)" in screen and "いいえ(N)" in screen,
          "the confirmation is not as expected:\n" + screen)
    term.keys("Enter")  # Yes is the default button of the confirmation
    screen = term.wait_for("完全に削除しました。")
    check(APP_TITLE in screen, "the final message has not the application title:\n" + screen)
    term.keys("Enter")
    check(term.exit_code() == 0, "the program did not end normally")
    check(not m.has_key_below("Software\\VKL\\MirabelLE"), "the product's keys are still there")
    check(not m.has_key_below("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MirabelLE"),
          "the uninstall entry is still there")
    check(m.has_key_below("Software\\VKL\\ZavoTool"), "the maker's other program lost its keys")
    check(not m.exists(INSTALL), "the install folder is still there")
    check(not m.exists("C:\\VKL Data\\StockBook"), "the stock book is still there")
    check(not m.exists("C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\ミラベルLE"),
          "the Start-menu group is still there")
    check(m.exists("C:\\Documents and Settings\\All Users\\スタート メニュー\\プログラム\\アクセサリ\\メモ帳.lnk"),
          "another Start-menu group was removed")
    check(m.exists("C:\\Program Files\\VKL\\ZavoTool\\zavotool.exe"), "the maker's other program was removed")


def case_box_cleared(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"), "--family", "nt4", "--stockbook", "inside")
    term.start(run_command(m, args))
    main_dialog_shown(term)
    term.keys("Tab", "Tab", "Space")
    term.wait_for("[ ] ｽﾄｯｸﾌﾞｯｸ削除")
    term.keys("BTab", "Space")
    term.wait_for("ｱﾝｲﾝｽﾄｰﾙを実行します。")
    term.keys("Enter")
    # The stock-book stage does not count when the box is cleared.
    term.wait_for("削除に成功しました。")
    term.keys("Enter")
    check(term.exit_code() == 0, "the program did not end normally")
    check(m.exists(INSTALL + "\\StockBook\\家計簿.mrb") and m.exists(INSTALL + "\\StockBook\\Backup\\家計簿.bak"),
          "the stock book was not spared")
    check(not m.exists(INSTALL + "\\Mirabel.exe") and not m.exists(INSTALL + "\\Help"),
          "the rest of the install folder is still there")
    check(not m.has_key_below("Software\\VKL\\MirabelLE"), "the product's keys are still there")


def case_cancel_at_once(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"), "--family", "95")
    term.start(run_command(m, args))
    main_dialog_shown(term)
    term.keys("Enter")  # Cancel is the default button
    check(term.exit_code() == 0, "the program did not end normally")
    m.check_unchanged()


def case_about_box(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"))
    term.start(run_command(m, args))
    main_dialog_shown(term)
    term.keys("Tab", "Tab", "Space")  # the box's state must survive the About box
    term.wait_for("[ ] ｽﾄｯｸﾌﾞｯｸ削除")
    term.keys("M-Space")
    screen = term.wait_for("ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (A)...")
    check("閉じる" in screen, "the system menu lacks its standard items:\n" + screen)
    term.keys("Escape")
    term.wait_for(MAIN_CAPTION, absent="ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid)")
    term.keys("F10", "Down", "Up")
    term.wait_for("ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (A)...")
    term.keys("a")
    screen = term.wait_for("MR7Uninstall Version 1.0")
    check("ﾊﾞｰｼﾞｮﾝ情報 MR7Uninstall" in screen and "Copyright" in screen and "OK ]]" in screen,
          "the About box is not as expected:\n" + screen)
    check("/^\\" in screen, "the About box shows no emblem:\n" + screen)
    term.keys("Enter")
    screen = term.wait_for("[ ] ｽﾄｯｸﾌﾞｯｸ削除", absent="MR7Uninstall Version 1.0")
    # The focus is back on the check box it was on before the About box.
    term.keys("Space")
    term.wait_for("[X] ｽﾄｯｸﾌﾞｯｸ削除")
    term.keys("M-F4")  # Close, as the system menu offers it
    check(term.exit_code() == 0, "the program did not end normally")
    m.check_unchanged()


def caption_at(screen, caption):
    """The row and column at which `caption` starts (only half-width text
    may stand before it on its row), or None."""
    for row, line in enumerate(screen.splitlines()):
        if caption in line:
            return row, line.index(caption)
    return None


def wait_for_caption(term, caption, place):
    """Waits until `caption` starts at (row, column); returns the screen."""
    deadline = time.monotonic() + WAIT_SECONDS
    screen = term.screen()
    while caption_at(screen, caption) != place:
        check(time.monotonic() < deadline and not os.path.exists(term.status),
              "%r never stood at %s; the screen shows:\n%s" % (caption, place, screen))
        time.sleep(0.1)
        screen = term.screen()
    return screen


def case_resize(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"))
    term.start(run_command(m, args), columns=40, rows=15)
    term.wait_for_message("The terminal is too small for this window.")
    term.keys("Enter")  # not taken while nothing can be seen
    # Enlarged: the dialog laid out on the small terminal is centred on the
    # large one, and stays there when a box is centred over it.
    term.resize(100, 32)
    main_dialog_shown(term)
    wait_for_caption(term, "[-] " + MAIN_CAPTION, (4, 25))
    tab_to_execute(term)
    term.keys("Enter")
    screen = term.wait_for("ｱﾝｲﾝｽﾄｰﾙを実行します。")
    check("too small" not in screen and caption_at(screen, "[-] " + MAIN_CAPTION) == (4, 25),
          "the main dialog is not centred under the confirmation:\n" + screen)
    # Shrunk, but large enough: both windows stay, and keys work.
    term.resize(60, 25)
    screen = wait_for_caption(term, "[-] " + MAIN_CAPTION, (1, 5))
    check("ｱﾝｲﾝｽﾄｰﾙを実行します。" in screen and "too small" not in screen,
          "the confirmation was lost after shrinking:\n" + screen)
    term.keys("n")  # いいえ
    term.wait_for("[ 実行 ]", absent="ｱﾝｲﾝｽﾄｰﾙを実行します。")
    # Enlarged again: the About box opens and the main dialog stays centred.
    term.resize(110, 36)
    term.keys("M-Space")
    term.wait_for("ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (A)...")
    term.keys("a")
    term.wait_for("MR7Uninstall Version 1.0")
    wait_for_caption(term, "[-] " + MAIN_CAPTION, (6, 30))
    term.keys("Enter")
    term.wait_for("[ 実行 ]", absent="MR7Uninstall Version 1.0")
    term.keys("Escape")
    check(term.exit_code() == 0, "the program did not end normally")
    m.check_unchanged()


def cell_of(screen, text):
    """The (column, row) of the first cell of `text` on the screen, counting
    wide characters as two cells, or None."""
    for row, line in enumerate(screen.splitlines()):
        at = line.find(text)
        if at >= 0:
            before = line[:at]
            return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in before), row
    return None


def focused_yes_no(term):
    """はい or いいえ, whichever the confirmation shows in reverse video (a
    narrow button drops the blanks inside its brackets, and the access key's
    underline splits the label), or None."""
    found = re.search("\x1b\\[[0-9;]*7[0-9;]*m\\[\\[? ?(はい|いいえ)\\(", term.screen_with_attributes())
    return found.group(1) if found else None


def x10_click(column, row):
    return b"\x1b[M " + bytes([33 + column, 33 + row])


def case_stray_sequences(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"))
    # This terminal description asks for SGR mouse reports; the reports
    # below come in the older X10 format, which curses then leaves undecoded.
    term.start("TERM=xterm-256color " + run_command(m, args))
    main_dialog_shown(term)
    term.keys("Tab", "Space")
    term.wait_for("ｱﾝｲﾝｽﾄｰﾙを実行します。")
    # A click on the desktop and sequences with a Space and letters in them
    # are no keys: はい keeps the focus, nothing is pressed.
    term.raw(x10_click(0, 0) + b"\x1b[ q" + b"\x1b[1;5Y" + b"\x1bOy")
    term.keys("Tab")  # then the focus moves on to いいえ, and the box is still there
    deadline = time.monotonic() + WAIT_SECONDS
    while focused_yes_no(term) != "いいえ":
        check(time.monotonic() < deadline and "ｱﾝｲﾝｽﾄｰﾙを実行します。" in term.screen(),
              "the confirmation did not keep its buttons:\n" + term.screen())
        time.sleep(0.1)
    # An X10 click on はい's neighbour いいえ is a click there.
    term.keys("BTab")
    while focused_yes_no(term) != "はい":
        check(time.monotonic() < deadline, "Shift+Tab did not move the focus back to はい")
        time.sleep(0.1)
    column, row = cell_of(term.screen(), "いいえ(N)")
    term.raw(x10_click(column + 1, row) + b"\x1b[M#" + bytes([33 + column + 1, 33 + row]))
    term.wait_for("[ 実行 ]", absent="ｱﾝｲﾝｽﾄｰﾙを実行します。")
    term.keys("Escape")
    check(term.exit_code() == 0, "the program did not end normally")
    m.check_unchanged()


def dimmed(term, row_text, text):
    """True when `text` on the row that shows `row_text` is drawn dimmed."""
    for line in term.screen_with_attributes().splitlines():
        if row_text in line:
            # The attributes change just before the text: one of the
            # changes there must turn on dim (2).
            found = re.search("((?:\x1b\\[[0-9;]*m)+)" + re.escape(text), line)
            return found is not None and any("2" in codes.split(";")
                                             for codes in re.findall("\x1b\\[([0-9;]*)m", found.group(1)))
    raise Failure("no row shows %r:\n%s" % (row_text, term.screen()))


def case_close_greyed(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"))
    term.start(run_command(m, args))
    main_dialog_shown(term)
    check(not dimmed(term, MAIN_CAPTION, "[x]"), "the main dialog's close box is dimmed")
    term.keys("Tab", "Space")
    term.wait_for("ｱﾝｲﾝｽﾄｰﾙを実行します。")
    # The confirmation has no Cancel button: Close is greyed and does nothing.
    check(dimmed(term, APP_TITLE, "[x]"), "the confirmation's close box is not dimmed:\n" + term.screen())
    term.keys("M-Space")
    term.wait_for("閉じる(C)")
    check(dimmed(term, "閉じる(", " 閉じる("), "Close is not greyed in the menu:\n" + term.screen())
    term.keys("c", "Enter")  # neither chooses Close; Enter chooses Move, the first item
    term.wait_for(MOVE_HINTS, absent="閉じる(C)")
    term.keys("Escape")  # the move ends where it began
    term.wait_for("ｱﾝｲﾝｽﾄｰﾙを実行します。", absent=MOVE_HINTS)
    # Neither Alt+F4 nor Esc closes the box: the N that follows still answers it.
    term.keys("M-F4", "Escape", "n")
    term.wait_for("[ 実行 ]", absent="ｱﾝｲﾝｽﾄｰﾙを実行します。")
    term.keys("Escape")
    check(term.exit_code() == 0, "the program did not end normally")
    m.check_unchanged()


MOVE_HINTS = " Arrows: move  Enter: place it here  Esc: put it back"


def case_move(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"))
    # This terminal sends clicks in the X10 format, as in stray_sequences.
    term.start("TERM=xterm-256color " + run_command(m, args))
    screen = main_dialog_shown(term)
    title = "[-] " + MAIN_CAPTION
    row, column = caption_at(screen, title)
    execute_before = cell_of(screen, "[ 実行 ]")
    # Move from the system menu, by its access key: the key line says how.
    term.keys("M-Space")
    term.wait_for("移動(M)")
    term.keys("m")
    term.wait_for(MOVE_HINTS, absent="移動(M)")
    term.keys(*(["Left"] * 5 + ["Up"] * 3))
    wait_for_caption(term, title, (row - 3, column - 5))
    term.keys("Enter")
    screen = term.wait_for(" Tab/Shift+Tab: move", absent=MOVE_HINTS)
    check(caption_at(screen, title) == (row - 3, column - 5), "Enter did not keep the new place:\n" + screen)
    # Esc puts the window back where the move started.
    term.keys("M-Space")
    term.wait_for("移動(M)")
    term.keys("m", "Right", "Right")
    wait_for_caption(term, title, (row - 3, column - 3))
    term.keys("Escape")
    term.wait_for(" Tab/Shift+Tab: move", absent=MOVE_HINTS)
    screen = wait_for_caption(term, title, (row - 3, column - 5))
    # The controls went with the window: a click on 実行 where it is now presses it.
    execute = cell_of(screen, "[ 実行 ]")
    check(execute == (execute_before[0] - 5, execute_before[1] - 3),
          "実行 did not move with its window:\n" + screen)
    term.raw(x10_click(execute[0] + 2, execute[1]) + b"\x1b[M#" + bytes([33 + execute[0] + 2, 33 + execute[1]]))
    term.wait_for("ｱﾝｲﾝｽﾄｰﾙを実行します。")
    term.keys("n")  # いいえ
    term.wait_for("[ 実行 ]", absent="ｱﾝｲﾝｽﾄｰﾙを実行します。")
    # Tab and Space still work the buttons: on to Cancel, which ends the program.
    deadline = time.monotonic() + WAIT_SECONDS
    while not button_focused(term, "ｷｬﾝｾﾙ"):
        check(time.monotonic() < deadline, "Tab never moved the focus to ｷｬﾝｾﾙ:\n" + term.screen())
        term.keys("Tab")
        time.sleep(0.3)
    check(caption_at(term.screen(), title) == (row - 3, column - 5), "the window went back:\n" + term.screen())
    term.keys("Space")
    check(term.exit_code() == 0, "the program did not end normally")
    m.check_unchanged()


def case_not_installed(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"), "--not-installed")
    term.start(run_command(m, args))
    screen = term.wait_for("ミラベルLEインストールされていません。")
    check(APP_TITLE in screen and "(X)" in screen and "OK" in screen,
          "the message is not as expected:\n" + screen)
    check(MAIN_CAPTION not in screen, "the main dialog was shown:\n" + screen)
    term.keys("Enter")
    check(term.exit_code() == 0, "the program did not end normally")
    m.check_unchanged()


def run_guard(args, work, term, window_class, message):
    check(args.standin, "no stand-in product program given")
    m = Machine(args.demo_maker, os.path.join(work, "machine"))
    env = dict(os.environ, WINEPREFIX=m.folder)
    # The stand-in keeps its window while its standard input stays open.
    standin = subprocess.Popen([args.standin, window_class], env=env, stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        check(standin.stdout.readline().strip() == b"ready", "the stand-in did not start")
        term.start(run_command(m, args))
        main_dialog_shown(term)
        term.keys("Tab", "Space")
        screen = term.wait_for_message(message)
        check("(X)" in screen and APP_TITLE in screen, "the guard message is not as expected:\n" + screen)
        term.keys("Enter")
        term.wait_for_message(message, gone=True)
        term.wait_for(MAIN_CAPTION)
        term.keys("Escape")
        check(term.exit_code() == 0, "the program did not end normally")
    finally:
        standin.stdin.close()
        try:
            standin.wait(timeout=10)
        except subprocess.TimeoutExpired:
            standin.kill()
            standin.wait()
    m.check_unchanged()


def case_guard_main_program(args, work, term):
    run_guard(args, work, term, "MRLE_MainWindow_Tov@vkl",
              "ミラベルLE が起動しています。終了させてから実行してください。")


def case_guard_explorer(args, work, term):
    run_guard(args, work, term, "MRLE_Explorer@vkl",
              "ミラベルLE エクスプローラが起動しています。終了させてから実行してください。")


def case_no_terminal(args, work, term):
    m = Machine(args.demo_maker, os.path.join(work, "machine"))
    env = dict(os.environ, WINEPREFIX=m.folder)
    result = subprocess.run([args.program], env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    check(result.returncode != 0, "the program ended with 0 without a terminal")
    check(b"terminal" in result.stderr, "no clear message on standard error: %r" % result.stderr)
    check(result.stdout == b"", "the program wrote to standard output: %r" % result.stdout)
    # One message, saying what is wrong and what to do.
    lines = result.stderr.decode("utf-8").splitlines()
    check(len(lines) == 2 and "standard input and output are not a terminal" in lines[0] and "Run it in a terminal" in lines[1],
          "the message is not as expected: %r" % result.stderr)
    m.check_unchanged()


def case_terminal_unknown(args, work, term):
    """In a terminal, but TERM unset or naming no known terminal."""
    m = Machine(args.demo_maker, os.path.join(work, "machine"))
    unset, unknown = os.path.join(work, "unset"), os.path.join(work, "unknown")
    term.start("(env -u TERM %s 2> %s; echo $? >> %s); TERM=no-such-terminal %s 2> %s"
               % (run_command(m, args), shlex.quote(unset), shlex.quote(unset), run_command(m, args),
                  shlex.quote(unknown)))
    check(term.exit_code() == 2, "the program did not refuse an unknown terminal")
    with open(unset, encoding="utf-8") as f:
        lines = f.read().splitlines()
    check(len(lines) == 3 and "TERM is not set" in lines[0] and "Set TERM to" in lines[1] and lines[2] == "2",
          "the message for an unset TERM is not as expected: %r" % lines)
    with open(unknown, encoding="utf-8") as f:
        lines = f.read().splitlines()
    check(len(lines) == 2 and '"no-such-terminal" named by TERM is unknown' in lines[0] and "Set TERM to" in lines[1],
          "the message for an unknown TERM is not as expected: %r" % lines)
    m.check_unchanged()


CASES = {
    "full_removal": case_full_removal,
    "box_cleared": case_box_cleared,
    "cancel_at_once": case_cancel_at_once,
    "about_box": case_about_box,
    "not_installed": case_not_installed,
    "guard_main_program": case_guard_main_program,
    "guard_explorer": case_guard_explorer,
    "no_terminal": case_no_terminal,
    "terminal_unknown": case_terminal_unknown,
    "resize": case_resize,
    "stray_sequences": case_stray_sequences,
    "close_greyed": case_close_greyed,
    "move": case_move,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--demo-maker", required=True)
    parser.add_argument("--standin")
    parser.add_argument("--work", help="keep the machine and screens in this folder")
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    if args.work:
        work = os.path.abspath(os.path.join(args.work, args.case))
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
    else:
        work = tempfile.mkdtemp(prefix="mr7-e2e-")
    term = Terminal(work)
    try:
        CASES[args.case](args, work, term)
    except Failure as failure:
        print("FAILED %s: %s" % (args.case, failure), file=sys.stderr)
        return 1
    finally:
        term.close()
        if not args.work:
            shutil.rmtree(work, ignore_errors=True)
    print("passed: " + args.case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
