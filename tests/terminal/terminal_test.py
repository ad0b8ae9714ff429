#!/usr/bin/env python3
"""terminal_test.py: the built program in a pseudo-terminal, its output fed
to a terminal emulator (pyte), and checked as a person at that terminal
sees it: every line of a page on the screen, or brought into view by
scrolling when the window is too small for the page, the page drawn again
after the window changes size, the number being typed edited as shown, and
the screen and terminal modes back after every way out.

The emulator is pyte's screen with a scrollback, plus the alternate screen
(which pyte leaves out) as xterm keeps it: a second screen without
scrollback, the first one shown again unchanged when it is left.  The
expected pages are the acceptance transcripts (tests/acceptance/expected),
worked out by the independent model of the program.

Run by CTest: terminal_test.py TOLVARIN_BINARY SOURCE_DIR.  Exits 77 (a
skip) when pyte is missing (Debian python3-pyte).
"""
import copy
import fcntl
import os
import re
import resource
import select
import signal
import struct
import subprocess
import sys
import termios
import time
import unittest

try:
    import pyte
except ImportError:
    print("pyte is missing: apt-get install python3-pyte")
    sys.exit(77)

BINARY = sys.argv[1] if len(sys.argv) > 1 else "build/tolvarin"
SOURCE = sys.argv[2] if len(sys.argv) > 2 else "."
WAIT = 5.0  # no wait is longer; a failure never hangs
SIZE_REQUEST = re.compile(rb"\x1b\[8;(\d+);(\d+)t")
MARK = re.compile(r"lines (\d+)-(\d+) of (\d+): Up/Down, PgUp/PgDn, Home/End$")
UP, DOWN, LEFT, RIGHT = b"\x1b[A", b"\x1b[B", b"\x1b[D", b"\x1b[C"
PGUP, PGDN, HOME, END = b"\x1b[5~", b"\x1b[6~", b"\x1b[H", b"\x1b[F"
BACKSPACE = b"\x7f"


def page_lines(text):
    """A page as the screen shows its lines."""
    return [l.expandtabs(8).rstrip() for l in text.split("\n")]


def transcript_screen(name, index):
    """Screen `index` of an acceptance transcript (the text after its form
    feed number index + 1)."""
    path = os.path.join(SOURCE, "tests", "acceptance", "expected", name + ".txt")
    with open(path, encoding="latin-1") as f:
        return f.read().split("\f")[1:][index]


# The pages the small window must show whole, each after the keys that
# open it at start-up, with its screen in the acceptance transcripts.
PAGES = [
    ("main screen", b"", "main_menu", 1, "Freq-Mhz  Vdc"),
    ("alternate page and its entry", b"ab", "alternate", 2, "ALTERNATE TOPOLOGIES"),
    ("BASIC sweep", b"b", "sweep", 2, "[BASIC] POWER VS FREQUENCY"),
    ("PINET sweep", b"bnNn ", "sweep", 6, "[PINET] POWER VS FREQUENCY"),
    ("help page 1", b"h", "help", 2, "CLASS-E HELP for V1.4"),
    ("wire table, first screen", b"w", "wire_table", 2, "AWG(solid)"),
]

# What the 80 x 24 window must let a person scroll through: each page after
# the keys that open it from the page before, and the line of the menu or
# prompt that must stay in view.  The help pages, the references and the
# two wire table screens follow one another in one session.
ENTRY_BASIC = "Enter BASIC turns ratio <1.000000> ...\n"
SCROLLED = [
    [("main screen", b"", transcript_screen("main_menu", 1), "Freq  Power  Vcc  QL"),
     ("alternate page", b"a", transcript_screen("alternate", 2).replace(ENTRY_BASIC, ""),
      "Any other key to exit Alternate topology....")],
    [("BASIC sweep", b"b", transcript_screen("sweep", 2), "Any other key to continue Power Estimate..."),
     ("PINET sweep", b"nNn ", transcript_screen("sweep", 6), "Any other key to exit Power Estimate...")],
    [("wire table, first screen", b"w", transcript_screen("wire_table", 2), "[68degF values]...Press any key to continue"),
     ("wire table, second screen", b" ", transcript_screen("wire_table", 3), "[68degF values]...Press any key to exit")],
    [("help page %d" % (i + 1), b"h" if i == 0 else b" ", transcript_screen("help", 7 + i),
      "Press any key to continue Help...or <X> to Exit") for i in range(6)]
    + [("references", b" ", transcript_screen("help", 13), "Press any key to exit References...")],
]


class Emulator(pyte.HistoryScreen):
    """pyte's screen with scrollback, and xterm's alternate screen."""

    def __init__(self, columns, lines):
        super().__init__(columns, lines, history=100000)
        self.normal = None  # the normal screen while the alternate one is shown

    def set_mode(self, *modes, **kwargs):
        if kwargs.get("private") and 1049 in modes and self.normal is None:
            self.normal = (copy.deepcopy(self.buffer), copy.copy(self.cursor))
            self.erase_in_display(2)
            self.cursor_position()
        super().set_mode(*modes, **kwargs)

    def reset_mode(self, *modes, **kwargs):
        if kwargs.get("private") and 1049 in modes and self.normal is not None:
            self.buffer, self.cursor = self.normal
            self.normal = None
            self.dirty.update(range(self.lines))
        super().reset_mode(*modes, **kwargs)

    def index(self):
        if self.normal is not None:  # the alternate screen keeps no scrollback
            pyte.Screen.index(self)
        else:
            super().index()

    def line_text(self, line):
        return "".join(line[x].data for x in range(self.columns)).rstrip()

    def seen(self):
        """The scrollback, then the screen; and the row of the cursor in it."""
        lines = [self.line_text(l) for l in self.history.top]
        at = len(lines) + self.cursor.y
        return lines + [l.rstrip() for l in self.display], at


def stty(fd):
    return subprocess.run(["stty", "-a"], stdin=fd, capture_output=True, text=True).stdout


class Session:
    """The program on a new pseudo-terminal of the given size, as the
    foreground job of its own session.  shown: what the terminal showed
    before (a shell's lines).  grows: the window takes the size the program
    asks for (xterm); otherwise it keeps its size (tmux)."""

    def __init__(self, rows, cols, grows=False, script=None, stdout=None, shown=b"$ tolvarin\r\n"):
        self.master, self.slave = os.openpty()
        self.set_size(rows, cols, emulator=False)
        self.screen = Emulator(cols, rows)
        self.stream = pyte.ByteStream(self.screen)
        self.stream.feed(shown)
        self.shown_before = list(self.screen.display)
        self.stty_before = stty(self.slave)
        self.grows = grows
        self.raw = b""
        self.fed = 0  # bytes of raw given to the emulator
        self.status = None
        read_end = None
        if script is not None:
            read_end, write_end = os.pipe()
        self.pid = os.fork()
        if self.pid == 0:
            self._child(read_end, stdout)
        if script is not None:
            os.close(read_end)
            os.write(write_end, script)
            os.close(write_end)
        fcntl.fcntl(self.master, fcntl.F_SETFL, os.O_NONBLOCK)

    def _child(self, script_fd, stdout):
        try:
            os.setsid()
            fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
            os.dup2(script_fd if script_fd is not None else self.slave, 0)
            if stdout is None:
                os.dup2(self.slave, 1)
            else:
                os.dup2(os.open(stdout, os.O_WRONLY), 1)
            os.dup2(self.slave, 2)
            os.closerange(3, 256)
            resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
            env = dict(os.environ, TERM="xterm")
            os.execve(BINARY, ["tolvarin"], env)
        finally:
            os._exit(127)

    def close(self):
        if self.status is None:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        os.close(self.master)
        os.close(self.slave)

    def set_size(self, rows, cols, emulator=True):
        fcntl.ioctl(self.master, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))
        if emulator:
            self.screen.resize(rows, cols)

    def pump(self, seconds):
        ready, _, _ = select.select([self.master], [], [], seconds)
        if not ready:
            return
        while True:
            try:
                data = os.read(self.master, 65536)
            except (BlockingIOError, OSError):
                break
            if not data:
                break
            self.feed(data)

    def feed(self, data):
        """To the emulator, each size request answered where it stands (a
        request cut between two reads waits for its end)."""
        self.raw += data
        for m in SIZE_REQUEST.finditer(self.raw, self.fed):
            self.stream.feed(self.raw[self.fed : m.end()])
            self.fed = m.end()
            if self.grows:
                self.set_size(int(m.group(1)), int(m.group(2)))
        end = len(self.raw)
        cut = self.raw.rfind(b"\x1b", self.fed)
        if cut >= 0 and re.fullmatch(rb"\x1b(\[(8(;\d*(;\d*)?)?)?)?", self.raw[cut:]):
            end = cut
        self.stream.feed(self.raw[self.fed : end])
        self.fed = end

    def wait_until(self, condition):
        end = time.monotonic() + WAIT
        while not condition():
            left = end - time.monotonic()
            if left <= 0:
                return False
            self.pump(min(left, 0.05))
        return True

    def quiet(self, seconds=0.3):
        """Reads until nothing has come for a moment."""
        end = time.monotonic() + WAIT
        while time.monotonic() < end:
            before = len(self.raw)
            self.pump(seconds)
            if len(self.raw) == before:
                return

    def type(self, keys):
        os.write(self.master, keys)

    def shows_page(self, text):
        """Every line of the page readable, on the screen or in the
        scrollback, in order and ending on the cursor's row."""
        want = [l.expandtabs(8).rstrip() for l in text.split("\n")]
        lines, at = self.screen.seen()
        return at + 1 >= len(want) and lines[at + 1 - len(want) : at + 1] == want

    def shows_line(self, start):
        return any(l.startswith(start) for l in self.screen.seen()[0])

    def window(self, text):
        """The first line of the page shown above the mark when the screen
        shows a window of the page: the page from there, the mark saying
        which lines, the last lines of the page under it, the cursor on the
        last row.  None otherwise."""
        want = page_lines(text)
        rows = [l.rstrip() for l in self.screen.display]
        marks = [y for y, l in enumerate(rows) if MARK.match(l)]
        if len(marks) != 1:
            return None
        y = marks[0]
        first, last, total = (int(g) for g in MARK.match(rows[y]).groups())
        top, foot = first - 1, rows[y + 1 :]
        lines = len(want) - (1 if want[-1] == "" else 0)  # the cursor's empty row is no line
        at_end = top + y == len(want) - len(foot)
        ok = (
            rows[:y] == want[top : top + y]
            and foot == want[len(want) - len(foot) :]
            and total == lines
            and last == (total if at_end else top + y)
            and self.screen.cursor.y == self.screen.lines - 1
        )
        return top if ok else None

    def mark(self):
        """(mark row, first, last, total) of the mark on the screen."""
        for y, l in enumerate(self.screen.display):
            m = MARK.match(l.rstrip())
            if m:
                return (y,) + tuple(int(g) for g in m.groups())
        return None

    def entry_line(self):
        return self.screen.display[self.screen.cursor.y].rstrip()

    def asks(self, prompt, typed=""):
        """The prompt on the line above the cursor, and what is typed so far."""
        y = self.screen.cursor.y
        return y > 0 and self.screen.display[y - 1].rstrip() == prompt and self.entry_line() == typed

    def wait_exit(self):
        end = time.monotonic() + WAIT
        while time.monotonic() < end:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid == self.pid:
                self.status = status
                self.quiet(0.05)
                return status
            self.pump(0.02)
        return None


class SmallWindow(unittest.TestCase):
    """80 x 24 that will not grow: the pages on the alternate screen, each
    taller one as a window of it that the scroll keys move, its menu or
    prompt always in view."""

    def scroll_through(self, s, name, text, menu):
        """From the top, Down to the end, every line seen; then the other
        scroll keys; the menu line in view at every step."""
        want = page_lines(text)
        self.assertTrue(s.wait_until(lambda: s.window(text) == 0), name + ":\n" + "\n".join(s.screen.display))
        y = s.mark()[0]
        foot = s.screen.lines - y - 1
        self.assertLessEqual(foot, 6, name + ": the page's foot only")
        self.assertTrue(any(l.startswith(menu) for l in want[len(want) - foot :]), name + ": the menu in the foot")
        seen = set(range(0, y)) | set(range(len(want) - foot, len(want)))
        top = 0
        while s.mark()[2] < s.mark()[3]:
            s.type(DOWN)
            top += 1
            self.assertTrue(s.wait_until(lambda: s.window(text) == top), "%s: Down to %d" % (name, top))
            seen |= set(range(top, top + y))
        self.assertEqual(seen, set(range(len(want))), name + ": every line shown")
        self.assertEqual(top, len(want) - foot - y, name + ": the last line reached")
        for key, to in [(HOME, 0), (PGDN, min(y - 1, top)), (END, top), (PGUP, max(top - (y - 1), 0)), (UP + HOME, 0)]:
            s.type(key)
            self.assertTrue(s.wait_until(lambda: s.window(text) == to), "%s: %r to %d" % (name, key, to))

    def test_every_line_of_each_page_can_be_scrolled_into_view(self):
        for pages in SCROLLED:
            s = Session(24, 80)
            try:
                self.assertTrue(s.wait_until(lambda: s.window(transcript_screen("main_menu", 1)) == 0))
                for name, keys, text, menu in pages:
                    s.type(keys)
                    if len(page_lines(text)) <= 24:  # the references fit: shown whole
                        self.assertTrue(s.wait_until(lambda: s.shows_page(text)), name)
                        self.assertIsNone(s.mark(), name)
                        continue
                    self.scroll_through(s, name, text, menu)
                if pages[-1][0] == "references":  # shown whole: Down is any key, as before
                    s.type(DOWN)
                    self.assertTrue(s.wait_until(lambda: s.window(transcript_screen("main_menu", 1)) == 0))
                self.assertIsNotNone(s.screen.normal, "on the alternate screen")
                self.assertEqual(len(s.screen.history.top), 0, "nothing scrolled away")
            finally:
                s.close()

    def test_entry_under_the_window_and_kept_after_it(self):
        """The alternate page's turns ratio: prompt and entry in view, the
        typed ratio still under the page until the next key."""
        page = transcript_screen("alternate", 2).replace(ENTRY_BASIC, "")
        s = Session(24, 80)
        try:
            s.type(b"a")
            self.assertTrue(s.wait_until(lambda: s.window(page) == 0))
            s.type(END + b"b")
            self.assertTrue(s.wait_until(lambda: s.asks(ENTRY_BASIC.strip())))
            s.type(DOWN + UP)  # in the entry: its history, not the page
            s.type(b"2\r")
            self.assertTrue(s.wait_until(lambda: s.window(page + ENTRY_BASIC + "2\n") is not None))
            s.type(b"z")
            ratio2 = "   367.1    2.00  4.00     10.52     422.2    100.49"
            self.assertTrue(s.wait_until(lambda: s.screen.display[4].rstrip() == ratio2))
            self.assertIsNotNone(s.mark())
        finally:
            s.close()

    def test_the_shell_screen_back_after(self):
        s = Session(24, 80)
        try:
            self.assertTrue(s.wait_until(lambda: s.window(transcript_screen("main_menu", 1)) == 0))
            self.assertIsNotNone(s.screen.normal)
            s.type(b"x")
            self.assertIsNotNone(s.wait_exit())
            self.assertIsNone(s.screen.normal)
            self.assertEqual(s.screen.display, s.shown_before)
            self.assertEqual(len(s.screen.history.top), 0)
        finally:
            s.close()


class LargeWindow(unittest.TestCase):
    """80 x 50: the alternate screen, every page whole on it."""

    def test_pages_on_the_alternate_screen_and_the_shell_back_after(self):
        for name, keys, transcript, index, _ in PAGES:
            page = transcript_screen(transcript, index)
            s = Session(50, 80)
            try:
                s.type(keys)
                self.assertTrue(s.wait_until(lambda: s.shows_page(page)), name)
                self.assertIsNotNone(s.screen.normal, name + ": on the alternate screen")
                self.assertEqual(len(s.screen.history.top), 0, name + ": nothing scrolled away")
                want = page_lines(page)
                rows = [l.rstrip() for l in s.screen.display]
                self.assertEqual(rows, want + [""] * (50 - len(want)), name + ": the page alone, from the top")
                self.assertEqual((s.screen.cursor.x, s.screen.cursor.y), (len(want[-1]), len(want) - 1), name)

            finally:
                s.close()

    def test_grown_window_uses_the_alternate_screen(self):
        s = Session(24, 80, grows=True)
        try:
            self.assertTrue(s.wait_until(lambda: s.shows_page(transcript_screen("main_menu", 1))))
            self.assertIsNotNone(s.screen.normal)
            self.assertEqual(s.screen.lines, 50)
            s.type(b"x")
            self.assertIsNotNone(s.wait_exit())
            self.assertEqual(s.screen.lines, 24, "the size given back")
            self.assertIsNone(s.screen.normal)
            self.assertEqual(s.screen.display, s.shown_before)
        finally:
            s.close()


class Resize(unittest.TestCase):
    """The page is drawn again when the window changes size, and a number
    being typed is kept."""

    def test_page_drawn_again_at_each_size(self):
        main = transcript_screen("main_menu", 1)
        s = Session(50, 80)
        try:
            self.assertTrue(s.wait_until(lambda: s.shows_page(main)))
            for rows, cols in [(40, 80), (24, 80), (30, 100), (50, 80)]:
                s.set_size(rows, cols)
                s.screen.reset()  # only the drawing that follows can show the page
                if rows >= len(page_lines(main)):
                    shown = lambda: s.shows_page(main) and s.mark() is None
                else:
                    shown = lambda: s.window(main) == 0
                self.assertTrue(s.wait_until(shown), "%dx%d" % (cols, rows))
        finally:
            s.close()

    def test_scroll_position_kept_where_it_fits(self):
        main = transcript_screen("main_menu", 1)  # 32 lines and the cursor's row
        s = Session(24, 80)
        try:
            self.assertTrue(s.wait_until(lambda: s.window(main) == 0))
            s.type(DOWN * 3)
            self.assertTrue(s.wait_until(lambda: s.window(main) == 3))
            for rows, top in [(26, 3), (24, 3)]:
                s.set_size(rows, 80)
                s.screen.reset()
                self.assertTrue(s.wait_until(lambda: s.window(main) == top), "%d rows" % rows)
            s.type(END)  # the last of 33 rows, under 20 of the page and the mark
            self.assertTrue(s.wait_until(lambda: s.window(main) == 10))
            s.set_size(30, 80)  # 26 rows of the page: from line 5 on
            s.screen.reset()
            self.assertTrue(s.wait_until(lambda: s.window(main) == 4))
        finally:
            s.close()

    def test_number_being_typed_is_kept(self):
        s = Session(24, 80)
        try:
            self.assertTrue(s.wait_until(lambda: s.window(transcript_screen("main_menu", 1)) == 0))
            s.type(b"q3")
            self.assertTrue(s.wait_until(lambda: s.asks("Enter Q <2.500000>", "3")))
            s.set_size(30, 90)
            s.screen.reset()
            self.assertTrue(s.wait_until(lambda: s.asks("Enter Q <2.500000>", "3")))
            s.type(LEFT + b"1\r")
            self.assertTrue(s.wait_until(lambda: s.shows_line("   3.80   12.0   0.20     2.5   13.00")))
        finally:
            s.close()


class LineEditing(unittest.TestCase):
    def entry(self, s, key, prompt):
        s.type(key)
        self.assertTrue(s.wait_until(lambda: s.asks(prompt)), prompt)

    def test_cursor_keys_erase_history_and_control_keys(self):
        s = Session(24, 80)
        try:
            self.assertTrue(s.wait_until(lambda: s.window(transcript_screen("main_menu", 1)) == 0))
            self.entry(s, b"f", "Enter frequency <3.800000> Mhz...")
            # 345, two to the left, erase the 3, one to the right, a 1: 415.
            s.type(b"345" + LEFT + LEFT + BACKSPACE + RIGHT + b"1")
            self.assertTrue(s.wait_until(lambda: s.entry_line() == "415"), s.entry_line())
            s.type(b"\r")
            self.assertTrue(s.wait_until(lambda: s.shows_line(" 415.00   12.0")))
            # Up brings the entry back.
            self.entry(s, b"f", "Enter frequency <415.000000> Mhz...")
            s.type(UP)
            self.assertTrue(s.wait_until(lambda: s.entry_line() == "415"), s.entry_line())
            s.type(BACKSPACE + b"0\r")
            self.assertTrue(s.wait_until(lambda: s.shows_line(" 410.00   12.0")))
            # Ctrl-W erases the word, Ctrl-A and Ctrl-E go to the ends,
            # Ctrl-U erases the line.
            self.entry(s, b"q", "Enter Q <2.500000>")
            s.type(b"12.5\x17")
            self.assertTrue(s.wait_until(lambda: s.entry_line() == ""))
            s.type(b".7\x01" + b"2\x05" + b"5")
            self.assertTrue(s.wait_until(lambda: s.entry_line() == "2.75"), s.entry_line())
            s.type(b"\x15")
            self.assertTrue(s.wait_until(lambda: s.entry_line() == ""))
            s.type(b"3\r")
            self.assertTrue(s.wait_until(lambda: s.shows_line(" 410.00   12.0   0.20     2.5    3.00")))
        finally:
            s.close()


class WaysOut(unittest.TestCase):
    """After every way out: the terminal's modes as they were (stty -a), the
    alternate screen left and the shell's screen as it was."""

    WAYS = [
        ("the exit key", b"x", None, 0),
        ("Ctrl-C", b"\x03", None, -signal.SIGINT),
        ("Ctrl-\\", b"\x1c", None, -signal.SIGQUIT),
        ("SIGABRT", None, signal.SIGABRT, -signal.SIGABRT),
        ("SIGQUIT", None, signal.SIGQUIT, -signal.SIGQUIT),
        ("SIGTERM", None, signal.SIGTERM, -signal.SIGTERM),
        ("SIGUSR1", None, signal.SIGUSR1, -signal.SIGUSR1),
        ("SIGALRM", None, signal.SIGALRM, -signal.SIGALRM),
    ]

    def end(self, s, keys, sig):
        if keys is not None:
            s.type(keys)
        else:
            os.kill(s.pid, sig)
        status = s.wait_exit()
        self.assertIsNotNone(status)
        return -os.WTERMSIG(status) if os.WIFSIGNALED(status) else os.WEXITSTATUS(status)

    def test_large_window(self):
        for name, keys, sig, want in self.WAYS:
            for entry in (b"", b"q12"):  # at the menu, and while a number is typed
                s = Session(50, 80)
                try:
                    self.assertTrue(s.wait_until(lambda: s.shows_page(transcript_screen("main_menu", 1))))
                    s.type(entry)
                    self.assertTrue(s.wait_until(lambda: s.entry_line() == entry[1:].decode()))
                    if entry and keys == b"x":
                        keys = b"\rx"  # the number first: an x would be part of it
                    self.assertEqual(self.end(s, keys, sig), want, name)
                    self.assertIsNone(s.screen.normal, name + ": the alternate screen left")
                    self.assertEqual(s.screen.display, s.shown_before, name)
                    self.assertEqual((s.screen.cursor.x, s.screen.cursor.y), (0, 1), name)
                    self.assertEqual(s.screen.cursor.attrs, s.screen.default_char, name)
                    self.assertEqual(stty(s.slave), s.stty_before, name)
                finally:
                    s.close()

    def test_small_window(self):
        for name, keys, sig, want in self.WAYS:
            s = Session(24, 80)
            try:
                self.assertTrue(s.wait_until(lambda: s.window(transcript_screen("main_menu", 1)) == 0))
                s.type(PGDN)
                self.assertTrue(s.wait_until(lambda: s.window(transcript_screen("main_menu", 1)) == 10))
                self.assertEqual(self.end(s, keys, sig), want, name)
                self.assertEqual(stty(s.slave), s.stty_before, name)
                self.assertIsNone(s.screen.normal, name + ": the alternate screen left")
                self.assertEqual(s.screen.display, s.shown_before, name)
            finally:
                s.close()


class NotTheKeyboard(unittest.TestCase):
    def test_piped_keys_leave_a_transcript(self):
        """printf 'q3\\nx' | tolvarin, at a terminal."""
        s = Session(24, 80, script=b"q3\nx")
        try:
            status = s.wait_exit()
            self.assertEqual(status, 0)
            self.assertNotIn(b"\x1b", s.raw, "no screen switch, no size request")
            lines, _ = s.screen.seen()
            ql3 = [i for i, l in enumerate(lines) if l.startswith("   3.80   12.0   0.20     2.5    3.00")]
            self.assertEqual(len(ql3), 1, "\n".join(lines))
            self.assertEqual(lines[ql3[0] - 1], "Freq-Mhz  Vdc    Ron   Pwatts    QL    QC      Rload")
            self.assertEqual(lines[-2], "Freq  Power  Vcc  QL  Rload  rOn  Coil  Alt  BB  Wire  Help  eXit")
            self.assertEqual(stty(s.slave), s.stty_before)
        finally:
            s.close()

    def test_output_that_cannot_be_written_ends_at_once(self):
        """tolvarin >/dev/full at a terminal: no key is waited for."""
        s = Session(24, 80, stdout="/dev/full")
        try:
            status = s.wait_exit()
            self.assertIsNotNone(status, "it waited")
            self.assertEqual(os.WEXITSTATUS(status), 1)
            lines, _ = s.screen.seen()
            self.assertIn("tolvarin: cannot write standard output: No space left on device", lines)
            self.assertEqual(stty(s.slave), s.stty_before)
        finally:
            s.close()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
