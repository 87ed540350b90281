#!/usr/bin/env python3
"""Start-up benchmark: Kavelo beside a bare QWebEngineView program.

Serves a small page from a loopback HTTP server, starts the two programs in
turn (alternating, each run with a fresh HOME and profile), on Qt's offscreen
platform or, with --display, in a real window on that X display, and measures:
  * the time from process start until the server receives the home page request,
  * the time until the page reports its own load (it requests "loaded"),
  * the peak memory of the whole process tree (sum of RSS and of PSS),
and prints medians and the ratios kavelo / bare.

Only the standard library; Linux only (reads /proc). Everything stays on
127.0.0.1: the programs also get a proxy on 127.0.0.1 (this server), so a
request for any other host would be counted as "stray" and answered 502.
"""

import argparse
import ctypes
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

PAGE_SIZE = os.sysconf("SC_PAGE_SIZE")
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
MIB = 1024.0 * 1024.0

# --------------------------------------------------------------------------
# The served page


def make_png(width, height):
    """A small RGB gradient picture, encoded as PNG."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter: none
        for x in range(width):
            rows += bytes(((x * 255) // width, (y * 255) // height, 160 - (x + y) % 96))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))


INDEX_HTML = """<!DOCTYPE html>
<html lang="de">
<head>
<meta charset="utf-8">
<title>Gemeindebibliothek - Startseite</title>
<link rel="stylesheet" href="style.css">
<script src="app.js" defer></script>
</head>
<body>
<header>
  <img src="logo.svg" width="64" height="64" alt="Logo">
  <h1>Gemeindebibliothek</h1>
  <nav><a href="#neu">Neu im Bestand</a> | <a href="#zeiten">&Ouml;ffnungszeiten</a> | <a href="#kontakt">Kontakt</a></nav>
</header>
<main>
  <section id="neu">
    <h2>Neu im Bestand</h2>
    <img class="photo" src="photo.png" width="320" height="200" alt="Regal">
    <p>Diese Seite dient als Startseite eines Benchmarks. Sie enth&auml;lt etwas Text,
    ein Stylesheet, zwei Bilder und ein Skript, wie eine gew&ouml;hnliche kleine Seite.</p>
    <ul id="titles"></ul>
  </section>
  <section id="zeiten">
    <h2>&Ouml;ffnungszeiten</h2>
    <table>
      <tr><th>Tag</th><th>Vormittag</th><th>Nachmittag</th></tr>
      <tr><td>Montag</td><td>9&ndash;12</td><td>14&ndash;18</td></tr>
      <tr><td>Dienstag</td><td>9&ndash;12</td><td>geschlossen</td></tr>
      <tr><td>Mittwoch</td><td>9&ndash;12</td><td>14&ndash;18</td></tr>
      <tr><td>Donnerstag</td><td>geschlossen</td><td>14&ndash;20</td></tr>
      <tr><td>Freitag</td><td>9&ndash;13</td><td>geschlossen</td></tr>
    </table>
  </section>
  <section id="kontakt">
    <h2>Kontakt</h2>
    <form onsubmit="return false;">
      <label>Name <input type="text" name="name"></label>
      <label>Nachricht <textarea name="text" rows="3"></textarea></label>
      <button type="submit">Senden</button>
    </form>
  </section>
</main>
<footer><p id="stand">Stand: -</p></footer>
<script>
window.addEventListener("load", function () {
  var t = performance.timing;
  var query = "load=" + Math.round(performance.now())
    + "&response=" + (t.responseStart - t.navigationStart)
    + "&dom=" + (t.domContentLoadedEventStart - t.navigationStart)
    + "&items=" + document.querySelectorAll("#titles li").length;
  fetch("loaded?" + query, {cache: "no-store"});
});
</script>
</body>
</html>
"""

STYLE_CSS = """
body { font-family: sans-serif; margin: 0; background: #f4f1ea; color: #222; }
header { display: flex; align-items: center; gap: 16px; padding: 12px 24px; background: #2c5d7c; color: #fff; }
header h1 { font-size: 1.6em; margin: 0; flex: 1; }
header nav a { color: #dfeefa; }
main { display: grid; grid-template-columns: 2fr 1fr; gap: 18px; padding: 18px 24px; }
section { background: #fff; border-radius: 6px; padding: 12px 16px; box-shadow: 0 1px 3px rgba(0,0,0,.2); }
section#kontakt { grid-column: span 2; }
img.photo { float: right; margin: 0 0 8px 12px; border: 1px solid #999; }
table { border-collapse: collapse; width: 100%; }
th, td { border-bottom: 1px solid #ddd; padding: 4px 6px; text-align: left; }
tr:nth-child(even) td { background: #f6f6f6; }
#titles li { margin: 2px 0; }
#titles li.odd { color: #2c5d7c; }
label { display: block; margin: 6px 0; }
input, textarea { width: 100%; box-sizing: border-box; }
footer { padding: 8px 24px; font-size: .8em; color: #666; }
"""

APP_JS = """
(function () {
  var authors = ["Adler", "Berger", "Conrad", "Dietz", "Ebert", "Fuchs", "Graf", "Hahn"];
  var list = document.getElementById("titles");
  var words = [];
  for (var i = 0; i < 40; ++i) {
    var item = document.createElement("li");
    item.textContent = "Band " + (i + 1) + ": " + authors[i % authors.length] + ", Erz\\u00e4hlungen";
    if (i % 2) item.className = "odd";
    list.appendChild(item);
    words.push(item.textContent.length);
  }
  var sum = words.reduce(function (a, b) { return a + b; }, 0);
  document.getElementById("stand").textContent = "Stand: " + new Date(2024, 0, 1).toLocaleDateString("de-DE")
    + " (" + sum + " Zeichen)";
})();
"""

LOGO_SVG = """<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
<rect x="4" y="8" width="14" height="48" fill="#e9c46a"/>
<rect x="22" y="4" width="12" height="52" fill="#f4a261"/>
<rect x="38" y="12" width="10" height="44" fill="#e76f51" transform="rotate(-8 43 34)"/>
<rect x="2" y="56" width="60" height="4" fill="#fff"/>
</svg>
"""


def page_resources():
    return {
        "index.html": ("text/html; charset=utf-8", INDEX_HTML.encode("utf-8")),
        "style.css": ("text/css", STYLE_CSS.encode("utf-8")),
        "app.js": ("text/javascript", APP_JS.encode("utf-8")),
        "logo.svg": ("image/svg+xml", LOGO_SVG.encode("utf-8")),
        "photo.png": ("image/png", make_png(320, 200)),
    }


# --------------------------------------------------------------------------
# The loopback server


class Journal:
    """What the server has seen, by run token; times are time.monotonic()."""

    def __init__(self):
        self.lock = threading.Lock()
        self.first = {}     # (token, name) -> time of its first request
        self.queries = {}   # token -> query of "loaded"
        self.loaded = {}    # token -> threading.Event
        self.stray = []     # requests for anything outside the page

    def expect(self, token):
        with self.lock:
            self.loaded[token] = threading.Event()
            return self.loaded[token]

    def note(self, token, name, when, query):
        with self.lock:
            self.first.setdefault((token, name), when)
            if name == "loaded":
                self.queries.setdefault(token, query)
                event = self.loaded.get(token)
                if event is not None:
                    event.set()

    def note_stray(self, line):
        with self.lock:
            self.stray.append(line)


def make_handler(journal, resources):
    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def answer(self, status, content_type=None, body=b""):
            self.send_response(status)
            if content_type:
                self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)

        def do_GET(self):
            now = time.monotonic()
            if not self.path.startswith("/"):  # a proxy request for another host
                journal.note_stray(self.requestline)
                self.answer(502)
                return
            parts = urlsplit(self.path)
            pieces = parts.path.split("/")
            # /r/<token>/<name>
            if len(pieces) == 4 and pieces[1] == "r":
                token, name = pieces[2], pieces[3]
                if name == "loaded":
                    journal.note(token, name, now, parse_qs(parts.query))
                    self.answer(204)
                    return
                if name in resources:
                    journal.note(token, name, now, None)
                    self.answer(200, *resources[name])
                    return
            self.answer(404)

        do_HEAD = do_GET

        def do_CONNECT(self):
            journal.note_stray(self.requestline)
            self.answer(502)
            self.close_connection = True

        def do_POST(self):
            journal.note_stray(self.requestline)
            self.answer(502)

    return Handler


# --------------------------------------------------------------------------
# The process tree


def become_subreaper():
    """Orphaned web-engine processes are reparented to us, so none escapes the count."""
    libc = ctypes.CDLL(None, use_errno=True)
    PR_SET_CHILD_SUBREAPER = 36
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")


def read_text(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("utf-8", "replace")
    except OSError:
        return None


def child_pids(pid):
    result = []
    try:
        tasks = os.listdir(f"/proc/{pid}/task")
    except OSError:
        return result
    for task in tasks:
        text = read_text(f"/proc/{pid}/task/{task}/children")
        if text:
            result.extend(int(p) for p in text.split())
    return result


def tree_pids(root):
    """All descendants of root (not root itself), found through task/*/children."""
    seen = []
    stack = child_pids(root)
    while stack and len(seen) < 10000:
        pid = stack.pop()
        if pid in seen:
            continue
        seen.append(pid)
        stack.extend(child_pids(pid))
    return seen


def stat_fields(pid):
    """(state, parent, start time, cpu ticks) from /proc/<pid>/stat, or None."""
    text = read_text(f"/proc/{pid}/stat")
    if not text:
        return None
    fields = text[text.rfind(")") + 2:].split()
    # fields[0] is field 3 (state); ppid 4, utime 14, stime 15, starttime 22
    return fields[0], int(fields[1]), int(fields[19]), int(fields[11]) + int(fields[12])


def process_kind(pid, main_pid, parent_kind):
    """main, zygote, renderer, gpu, utility:<service>, ...

    The zygote forks the renderers without a new command line, so a "zygote"
    whose parent is a zygote is a renderer."""
    if pid == main_pid:
        return "main"
    text = read_text(f"/proc/{pid}/cmdline") or ""
    args = text.split("\0")
    kind = "other"
    for arg in args:
        if arg.startswith("--type="):
            kind = arg[7:]
    for arg in args:
        if arg.startswith("--utility-sub-type="):
            kind += ":" + arg[19:].split(".")[0]
    if kind == "gpu-process":
        kind = "gpu"
    if kind == "zygote" and parent_kind == "zygote":
        kind = "renderer"
    return kind


def pss_of(pid):
    text = read_text(f"/proc/{pid}/smaps_rollup")
    if not text:
        return None
    for line in text.splitlines():
        if line.startswith("Pss:"):
            return int(line.split()[1]) * 1024
    return None


def rss_of(pid):
    text = read_text(f"/proc/{pid}/statm")
    if not text:
        return None
    return int(text.split()[1]) * PAGE_SIZE


class TreeSampler:
    """Sums RSS (and PSS) over our descendants; keeps the peaks and the CPU time."""

    def __init__(self, main_pid, pss_every):
        self.main_pid = main_pid
        self.pss_every = pss_every  # PSS in every n-th sample (0: never); it costs ~10x RSS
        self.kinds = {}       # (pid, start) -> kind
        self.kind_of_pid = {}  # pid -> kind, to classify its children
        self.cpu = {}         # (pid, start) -> last cpu ticks
        self.peak_rss = 0
        self.peak_pss = 0
        self.peak_rss_by_kind = {}
        self.peak_pss_by_kind = {}
        self.max_processes = 0
        self.samples = 0
        self.cost = 0.0

    def sample(self):
        started = time.monotonic()
        total_rss = total_pss = 0
        by_kind_rss, by_kind_pss = {}, {}
        with_pss = self.pss_every > 0 and self.samples % self.pss_every == 0
        count = 0
        for pid in tree_pids(os.getpid()):
            fields = stat_fields(pid)
            if fields is None or fields[0] == "Z":
                continue
            key = (pid, fields[2])
            kind = self.kinds.get(key)
            if kind is None:
                kind = self.kinds[key] = process_kind(pid, self.main_pid, self.kind_of_pid.get(fields[1]))
                self.kind_of_pid[pid] = kind
            self.cpu[key] = fields[3]
            rss = rss_of(pid)
            if rss is None:
                continue
            count += 1
            total_rss += rss
            by_kind_rss[kind] = by_kind_rss.get(kind, 0) + rss
            if with_pss:
                pss = pss_of(pid) or 0
                total_pss += pss
                by_kind_pss[kind] = by_kind_pss.get(kind, 0) + pss
        if total_rss > self.peak_rss:
            self.peak_rss, self.peak_rss_by_kind = total_rss, by_kind_rss
        if total_pss > self.peak_pss:
            self.peak_pss, self.peak_pss_by_kind = total_pss, by_kind_pss
        self.max_processes = max(self.max_processes, count)
        self.samples += 1
        self.cost += time.monotonic() - started

    def cpu_seconds(self):
        return sum(self.cpu.values()) / CLOCK_TICKS


def reap_zombies():
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def end_tree(process, grace):
    """Ends the program, then waits for (and if need be ends) every process it left.

    Returns the number of processes that had to be ended one by one after the
    program itself was gone. Each is signalled by its own id."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=grace)
    # Children reparented to us: give them time to notice that their parent is gone.
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline:
        reap_zombies()
        if not tree_pids(os.getpid()):
            return 0
        time.sleep(0.05)
    leftovers = tree_pids(os.getpid())
    for signo in (signal.SIGTERM, signal.SIGKILL):
        for pid in leftovers:
            try:
                os.kill(pid, signo)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + grace
        while time.monotonic() < deadline and tree_pids(os.getpid()):
            reap_zombies()
            time.sleep(0.05)
        if not tree_pids(os.getpid()):
            break
    reap_zombies()
    if tree_pids(os.getpid()):
        raise RuntimeError("processes left over: %s" % tree_pids(os.getpid()))
    return len(leftovers)


# --------------------------------------------------------------------------
# The two programs


SETTINGS_SIZE = 7990


def kavelo_settings(home_page, auto_end_seconds):
    record = bytearray(SETTINGS_SIZE)
    struct.pack_into("<H", record, 2, auto_end_seconds)  # AutoEndSeconds
    struct.pack_into("<H", record, 4, 0)                 # RedirectDownloads
    struct.pack_into("<H", record, 6, 1)                 # MaySearch
    struct.pack_into("<H", record, 8, 1)                 # MaySurf
    struct.pack_into("<H", record, 32, 99)               # MaxVersions
    text = home_page.encode("cp1252")
    if len(text) > 255:
        raise ValueError("home page address too long")
    record[54] = len(text)
    record[55:55 + len(text)] = text
    return bytes(record)


def fresh_environment(run_dir, proxy_port, display):
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QTWEBENGINE_DISABLE_SANDBOX",
                 "http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                 "no_proxy", "NO_PROXY"):
        env.pop(name, None)
    home = os.path.join(run_dir, "home")
    runtime = os.path.join(run_dir, "runtime")
    for path in (home, runtime):
        os.makedirs(path, mode=0o700)
    env["HOME"] = home
    env["XDG_CONFIG_HOME"] = os.path.join(home, ".config")
    env["XDG_DATA_HOME"] = os.path.join(home, ".local", "share")
    env["XDG_CACHE_HOME"] = os.path.join(home, ".cache")
    env["XDG_RUNTIME_DIR"] = runtime
    if display:
        env["DISPLAY"] = display
    else:
        # A window without a display exists only on a platform chosen for it.
        env["QT_QPA_PLATFORM"] = "offscreen"
    flags = env.get("QTWEBENGINE_CHROMIUM_FLAGS", "")
    if proxy_port:
        # Requests for 127.0.0.1 go direct; anything else would reach our server as a proxy request.
        flags = (flags + " --proxy-server=http://127.0.0.1:%d" % proxy_port).strip()
    if flags:
        env["QTWEBENGINE_CHROMIUM_FLAGS"] = flags
    return env


def directory_bytes(path):
    total = 0
    for folder, _, files in os.walk(path):
        for name in files:
            try:
                total += os.lstat(os.path.join(folder, name)).st_size
            except OSError:
                pass
    return total


class Bench:
    def __init__(self, options):
        self.options = options
        self.resources = page_resources()
        self.journal = Journal()
        self.server = ThreadingHTTPServer(("127.0.0.1", 0), make_handler(self.journal, self.resources))
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, name="server", daemon=True)
        self.work = tempfile.mkdtemp(prefix="kavelo-startup-")
        self.kavelo_copy = os.path.join(self.work, "kavelo-program")
        shutil.copy2(options.kavelo, self.kavelo_copy)
        with open(self.kavelo_copy, "rb") as f:
            magic = f.read(4)
        if magic != b"\x7fELF" or not os.access(self.kavelo_copy, os.X_OK):
            shutil.rmtree(self.work, ignore_errors=True)
            raise SystemExit("%s is no complete executable (being rebuilt?); try again" % options.kavelo)
        self.counter = 0

    def close(self):
        self.server.shutdown()
        self.server.server_close()
        if not self.options.keep:
            shutil.rmtree(self.work, ignore_errors=True)

    def run_once(self, which):
        self.counter += 1
        token = "%s%02d" % (which[0], self.counter)
        url = "http://127.0.0.1:%d/r/%s/index.html" % (self.port, token)
        run_dir = os.path.join(self.work, "run-%02d-%s" % (self.counter, which))
        os.makedirs(run_dir)
        env = fresh_environment(run_dir, self.port if self.options.proxy_guard else 0, self.options.display)
        if which == "kavelo":
            program_dir = os.path.join(run_dir, "program")
            os.makedirs(program_dir)
            program = os.path.join(program_dir, "kavelo")
            os.link(self.kavelo_copy, program)
            with open(os.path.join(program_dir, "Einstell.DAT"), "wb") as f:
                f.write(kavelo_settings(url, self.options.kavelo_auto_end))
            command = [program]
            cwd = program_dir
        else:
            command = [self.options.bare, url, "--profile=" + self.options.bare_profile]
            cwd = run_dir
        loaded = self.journal.expect(token)
        log_path = os.path.join(run_dir, "output.log")
        with open(log_path, "wb") as log:
            started = time.monotonic()
            process = subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                       stdout=log, stderr=subprocess.STDOUT)
        sampler = TreeSampler(process.pid, self.options.pss_every)
        interval = self.options.interval
        loaded_at = None
        failure = None
        ended_itself = False
        tick = started
        try:
            while True:
                sampler.sample()
                now = time.monotonic()
                if loaded_at is None and loaded.is_set():
                    loaded_at = now
                if loaded_at is not None and now - loaded_at >= self.options.settle:
                    break
                if process.poll() is not None:
                    # Kavelo may end itself (AutoEndSeconds) once the page is there.
                    ended_itself = loaded_at is not None and process.returncode == 0
                    if not ended_itself:
                        failure = "ended early with status %s" % process.returncode
                    break
                if now - started > self.options.timeout:
                    failure = "no load within %.0f s" % self.options.timeout
                    break
                tick += interval
                time.sleep(max(0.0, tick - time.monotonic()))
        finally:
            leftovers = end_tree(process, self.options.grace)
        with self.journal.lock:
            home_at = self.journal.first.get((token, "index.html"))
            loaded_time = self.journal.first.get((token, "loaded"))
            query = self.journal.queries.get(token) or {}
        profile_bytes = directory_bytes(env["HOME"])
        if failure:
            with open(log_path, "rb") as f:
                tail = f.read()[-2000:].decode("utf-8", "replace")
            raise RuntimeError("%s run %d: %s\n--- output ---\n%s" % (which, self.counter, failure, tail))

        def page_ms(name):
            values = query.get(name)
            return float(values[0]) if values else None

        result = {
            "request_ms": (home_at - started) * 1000.0 if home_at else None,
            "loaded_ms": (loaded_time - started) * 1000.0 if loaded_time else None,
            "page_load_ms": page_ms("load"),
            "peak_rss": sampler.peak_rss / MIB,
            "peak_pss": sampler.peak_pss / MIB if self.options.pss_every else None,
            "processes": sampler.max_processes,
            "cpu_s": sampler.cpu_seconds(),
            "profile_kib": profile_bytes / 1024.0,
            "rss_by_kind": {k: v / MIB for k, v in sampler.peak_rss_by_kind.items()},
            "pss_by_kind": {k: v / MIB for k, v in sampler.peak_pss_by_kind.items()},
            "main_pss": sampler.peak_pss_by_kind.get("main", 0) / MIB if self.options.pss_every else None,
            "leftovers": leftovers,
            "ended_itself": ended_itself,
            "samples": sampler.samples,
            "sample_cost_ms": sampler.cost * 1000.0 / max(1, sampler.samples),
        }
        if not self.options.keep:
            shutil.rmtree(run_dir, ignore_errors=True)
        return result


# --------------------------------------------------------------------------
# Report


ROWS = [
    ("request_ms", "home page requested (ms)", "%.0f"),
    ("loaded_ms", "page loaded, /loaded (ms)", "%.0f"),
    ("peak_rss", "peak RSS, tree sum (MiB)", "%.1f"),
    ("peak_pss", "peak PSS, tree sum (MiB)", "%.1f"),
    ("page_load_ms", "in page: navigation->load (ms)", "%.0f"),
    ("cpu_s", "CPU time of the tree (s)", "%.2f"),
    ("processes", "processes (max)", "%.0f"),
    ("profile_kib", "files left in HOME (KiB)", "%.0f"),
]


def values_of(results, key):
    return [r[key] for r in results if r.get(key) is not None]


def print_table(results, runs):
    header = "%-32s %10s %10s %8s   %-17s %-17s" % ("metric (median)", "kavelo", "bare", "ratio",
                                                    "kavelo min-max", "bare min-max")
    print(header)
    print("-" * len(header))
    for key, title, fmt in ROWS:
        k, b = values_of(results["kavelo"], key), values_of(results["bare"], key)
        if not k or not b:
            continue
        km, bm = statistics.median(k), statistics.median(b)
        ratio = ("%.2f" % (km / bm)) if bm else "-"
        spread = lambda v: (fmt % min(v)) + "-" + (fmt % max(v))  # noqa: E731
        print("%-32s %10s %10s %8s   %-17s %-17s" % (title, fmt % km, fmt % bm, ratio, spread(k), spread(b)))
    print("(%d runs each, alternating; ratio = kavelo / bare of the medians)" % runs)


# The measures that the start-up is held to: (key, title, unit, largest ratio kavelo / bare).
TARGETS = [
    ("request_ms", "home page requested", "ms", 1.05),
    ("loaded_ms", "page loaded", "ms", 1.05),
    ("peak_pss", "peak PSS of the process tree", "MiB", 1.03),
    ("main_pss", "PSS of the main process alone", "MiB", None),
]


def target_table(results, mode, runs, loads):
    """The medians against the targets, as a Markdown table."""
    lines = ["%s, %d runs each, medians; load average before/after: %s / %s; %d CPUs"
             % (mode, runs, loads[0], loads[1], os.cpu_count() or 0),
             "",
             "| measure | kavelo | bare | ratio | target |",
             "|---|---|---|---|---|"]
    for key, title, unit, limit in TARGETS:
        k, b = values_of(results["kavelo"], key), values_of(results["bare"], key)
        if not k or not b:
            continue
        km, bm = statistics.median(k), statistics.median(b)
        ratio = km / bm if bm else float("inf")
        fmt = "%.0f ms" if unit == "ms" else "%.1f MiB"
        verdict = "" if limit is None else "<= %.2f %s" % (limit, "met" if ratio <= limit else "MISSED")
        lines.append("| %s | %s | %s | %.2f | %s |" % (title, fmt % km, fmt % bm, ratio, verdict))
    return "\n".join(lines)


def print_kinds(results, key, title):
    kinds = sorted({kind for which in results for r in results[which] for kind in r[key]})
    if not kinds:
        return
    print()
    print("%s at the peak, by process (median MiB):" % title)
    print("  %-28s %10s %10s" % ("process", "kavelo", "bare"))
    for kind in kinds:
        cells = []
        for which in ("kavelo", "bare"):
            v = [r[key].get(kind, 0.0) for r in results[which]]
            cells.append("%.1f" % statistics.median(v))
        print("  %-28s %10s %10s" % (kind, cells[0], cells[1]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kavelo", required=True, help="the kavelo executable")
    parser.add_argument("--bare", required=True, help="the bare QWebEngineView program")
    parser.add_argument("--runs", type=int, default=9, help="measured runs of each program (default 9)")
    parser.add_argument("--warmup", type=int, default=1,
                        help="unmeasured runs of each program first, to warm the file cache (default 1)")
    parser.add_argument("--interval", type=float, default=0.05, help="memory sampling interval, s")
    parser.add_argument("--settle", type=float, default=1.0, help="sampling after the load, s")
    parser.add_argument("--timeout", type=float, default=60.0, help="longest wait for the load, s")
    parser.add_argument("--grace", type=float, default=10.0, help="wait for a process to end, s")
    parser.add_argument("--pss-every", type=int, default=4,
                        help="read PSS in every n-th sample only (default 4; 0: never), as it costs"
                             " ~10 times as much as RSS")
    parser.add_argument("--no-proxy-guard", dest="proxy_guard", action="store_false",
                        help="do not point the engine's proxy at the loopback server")
    parser.add_argument("--bare-profile", default="",
                        help="the bare program's profile on disk; empty (the default): the engine's default"
                             " profile, which keeps nothing on disk, as kavelo's")
    parser.add_argument("--display", default="",
                        help="an X display to open real windows on (default: none, Qt's offscreen platform,"
                             " chosen with QT_QPA_PLATFORM)")
    parser.add_argument("--mode", default="", help="the name of the mode in the report (default from --display)")
    parser.add_argument("--summary", default="", help="append the table of the targets to this file as well")
    parser.add_argument("--kavelo-auto-end", type=int, default=120,
                        help="AutoEndSeconds in kavelo's settings (default 120, a backstop: the run"
                             " ends kavelo itself); a small value such as 3 lets kavelo end by itself")
    parser.add_argument("--keep", action="store_true", help="keep the run folders")
    parser.add_argument("--verbose", action="store_true", help="print every run")
    options = parser.parse_args()
    if not 1 <= options.runs <= 100 or not 0 <= options.warmup <= 10 or options.pss_every < 0:
        parser.error("runs must be 1..100, warmup 0..10, pss-every 0 or more")
    if not 0 <= options.kavelo_auto_end <= 65535:
        parser.error("kavelo-auto-end must fit a word")
    if not 0.01 <= options.interval <= 1.0:
        parser.error("interval must be 0.01..1 s")

    become_subreaper()
    load_before = read_text("/proc/loadavg").split()[:3]
    mode = options.mode or ("real window on %s" % options.display if options.display else "offscreen")
    print("mode:   %s\nkavelo: %s\nbare:   %s --profile=%s\nload average before: %s  (%d CPUs; other work on"
          " the machine skews the times)"
          % (mode, options.kavelo, options.bare, options.bare_profile, " ".join(load_before), os.cpu_count() or 0),
          flush=True)
    bench = Bench(options)
    bench.thread.start()
    results = {"kavelo": [], "bare": []}
    began = time.monotonic()
    try:
        for round_number in range(options.warmup + options.runs):
            warm = round_number < options.warmup
            # Alternate, and alternate which one goes first, so neither always follows the other.
            order = ("kavelo", "bare") if round_number % 2 == 0 else ("bare", "kavelo")
            for which in order:
                result = bench.run_once(which)
                if not warm:
                    results[which].append(result)
                if options.verbose or warm:
                    print("%s %-6s request %5.0f ms  loaded %5.0f ms  page %4.0f ms  RSS %6.1f  PSS %6s MiB"
                          "  %d procs  cpu %.2f s  sample %.1f ms  left %d"
                          % ("warm-up" if warm else "run    ", which, result["request_ms"] or -1,
                             result["loaded_ms"] or -1, result["page_load_ms"] or -1, result["peak_rss"],
                             "%.1f" % result["peak_pss"] if result["peak_pss"] is not None else "-",
                             result["processes"], result["cpu_s"], result["sample_cost_ms"],
                             result["leftovers"]), flush=True)
    finally:
        bench.close()
    print()
    print_table(results, options.runs)
    print_kinds(results, "rss_by_kind", "RSS")
    if options.pss_every:
        print_kinds(results, "pss_by_kind", "PSS")
    stray = bench.journal.stray
    leftovers = sum(r["leftovers"] for which in results for r in results[which])
    ended = sum(r["ended_itself"] for r in results["kavelo"])
    if ended:
        print("kavelo runs that ended by themselves (AutoEndSeconds) before the sampling did: %d" % ended)
    print()
    print("stray requests (other hosts): %d%s" % (len(stray), ("  " + "; ".join(stray[:3])) if stray else ""))
    print("processes still alive after the program had ended, ended one by one: %d" % leftovers)
    load_after = read_text("/proc/loadavg").split()[:3]
    print("load average after: %s" % " ".join(load_after))
    print("total time %.1f s" % (time.monotonic() - began))
    table = target_table(results, mode, options.runs, (" ".join(load_before), " ".join(load_after)))
    print()
    print(table)
    if options.summary:
        with open(options.summary, "a", encoding="utf-8") as f:
            f.write(table + "\n\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
