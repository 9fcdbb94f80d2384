"""How a test case starts prefgen and reaches its registry.

Every case works in its own directory tree:

    <case>/cwd/       the program's current directory (useropt, readlog.txt, xrc, ...)
    <case>/registry/  the registry of the host build: one REGEDIT4 file

Tests only go through the methods below, so that WineRunner (the Windows
build under Wine, with the real registry of a Wine prefix) can stand in for
HostRunner:

    kind                           "host" or "wine"
    run(*args, env=None, cwd=None) -> Result(status, stdout, stderr)
    for_program(program) -> runner for another build, same case directories
    native_path(path) -> str       a host path as the program must be given it
    console(data) -> bytes         what the program's text-mode standard output
                                   and standard error make of data
    seed_registry(text)            replaces the registry with a REGEDIT4 text
    read_registry() -> dict        {key path: {value name: (type, data)}}
    registry_state() -> object     compares equal exactly when nothing was written
    make_unopenable(path)          puts a file at path that exists but that the
                                   program cannot open, until close()
    close()                        ends what the case left running

Registry data types: ("dword", int), ("sz", str); anything else is kept as
("raw", text as it stands after the "=").
"""

import collections
import os
import shutil
import socket
import subprocess
import tempfile
from pathlib import Path, PureWindowsPath

PRODUCT_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Corvane\Corvane Online\Zindara"

Result = collections.namedtuple("Result", "status stdout stderr")

# Passed through so that sanitizer builds can be run with the same cases.
_PASSED_THROUGH = ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")


def regedit_text(keys):
    """A REGEDIT4 text for {key path: {value name: (type, data)}}."""
    out = ["REGEDIT4", ""]
    for path, values in keys.items():
        out.append("[%s]" % path)
        for name, (kind, data) in values.items():
            if kind == "dword":
                text = "dword:%08x" % data
            elif kind == "sz":
                text = _quote(data)
            else:
                text = data
            out.append("%s=%s" % (_quote(name) if name else "@", text))
        out.append("")
    return "\n".join(out) + "\n"


def parse_regedit(text):
    """{key path: {value name: (type, data)}} for a REGEDIT4 text.

    Raises ValueError when the text is not a REGEDIT4 file."""
    lines = text.replace("\r\n", "\n").split("\n")
    if lines[0] != "REGEDIT4":
        raise ValueError("not a REGEDIT4 file: %r" % lines[0])
    keys = {}
    current = None
    for line in lines[1:]:
        if not line:
            continue
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
            continue
        if current is None:
            raise ValueError("value outside a key: %r" % line)
        # "@" names a key's default value; it is stored under the name "".
        name, rest = ("", line[1:]) if line.startswith("@=") else _unquote_prefix(line)
        if not rest.startswith("="):
            raise ValueError("malformed value line: %r" % line)
        data = rest[1:]
        if name in current:
            raise ValueError("value %r twice in one key" % name)
        if data.lower().startswith("dword:"):
            current[name] = ("dword", int(data[6:], 16))
        elif data.startswith('"'):
            value, tail = _unquote_prefix(data)
            if tail:
                raise ValueError("text after a string value: %r" % line)
            current[name] = ("sz", value)
        else:
            current[name] = ("raw", data)
    return keys


def _quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def _unquote_prefix(text):
    """The quoted string at the start of text, unescaped, and the rest."""
    if not text.startswith('"'):
        raise ValueError("expected a quoted string: %r" % text)
    out = []
    i = 1
    while i < len(text):
        c = text[i]
        if c == '"':
            return "".join(out), text[i + 1:]
        if c == "\\" and i + 1 < len(text):
            i += 1
            out.append(text[i])
        else:
            out.append(c)
        i += 1
    raise ValueError("unterminated string: %r" % text)


def _run_program(command, base_env, extra_env, cwd, timeout):
    """Runs command in cwd with base_env plus extra_env (a value of None
    unsets the variable) and no input; its status and both outputs."""
    full_env = dict(base_env)
    for name, value in (extra_env or {}).items():
        if value is None:
            full_env.pop(name, None)
        else:
            full_env[name] = value
    done = subprocess.run(
        command,
        cwd=str(cwd),
        env=full_env,
        stdin=subprocess.DEVNULL,
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
        timeout=timeout,
    )
    return Result(done.returncode, done.stdout, done.stderr)


class HostRunner:
    """The Linux build: a plain process, and a REGEDIT4 file named by
    PREFGEN_REGISTRY standing in for the registry."""

    kind = "host"

    def __init__(self, program, case_dir):
        self.program = Path(program)
        self.case_dir = Path(case_dir)
        self.cwd = self.case_dir / "cwd"
        self.registry_file = self.case_dir / "registry" / "system.reg"
        self.cwd.mkdir(parents=True, exist_ok=True)
        self.registry_file.parent.mkdir(parents=True, exist_ok=True)

    def for_program(self, program):
        return HostRunner(program, self.case_dir)

    def run(self, *args, env=None, cwd=None, timeout=60):
        """Runs the program with args. env adds variables (a value of None
        leaves the variable unset); nothing else is inherited but PATH."""
        full_env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": str(self.case_dir),
            "PREFGEN_REGISTRY": str(self.registry_file),
        }
        for name in _PASSED_THROUGH:
            if name in os.environ:
                full_env[name] = os.environ[name]
        return _run_program([str(self.program), *args], full_env, env, cwd or self.cwd, timeout)

    def native_path(self, path):
        return str(path)

    def console(self, data):
        return data

    def seed_registry(self, text):
        self.registry_file.write_bytes(text.encode("latin-1"))

    def read_registry(self):
        return parse_regedit(self.registry_file.read_bytes().decode("latin-1"))

    def registry_state(self):
        path = self.registry_file
        if not path.is_file():
            return ("not a file", path.exists())
        info = path.stat()
        return (path.read_bytes(), info.st_mtime_ns, info.st_ino)

    def make_unopenable(self, path):
        """A Unix socket: it exists as a non-directory, and no one, root
        included, can open it."""
        short_dir = tempfile.mkdtemp(prefix="pg", dir="/tmp")
        try:
            sock = socket.socket(socket.AF_UNIX)
            sock.bind(os.path.join(short_dir, "s"))
            sock.close()
            os.rename(os.path.join(short_dir, "s"), path)
        finally:
            shutil.rmtree(short_dir)

    def close(self):
        pass



WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
# Wine's tools by their full paths: a bare name goes through the shell's
# program look-up, which takes twice as long and now and then fails
# ("ShellExecuteEx failed: Internal error").
REG = r"C:\windows\system32\reg.exe"
REGEDIT = r"C:\windows\regedit.exe"
CMD = r"C:\windows\system32\cmd.exe"


def _regedit_lines(text):
    """The lines of a REGEDIT4 text and the line end it uses."""
    line_end = "\r\n" if text.split("\n", 1)[0].endswith("\r") else "\n"
    return text.replace("\r\n", "\n").split("\n"), line_end


def _key_parents(path):
    """The key itself and each key above it, outermost first, without the root."""
    parts = path.split("\\")
    return ["\\".join(parts[:i]) for i in range(2, len(parts) + 1)]


def _outermost_keys(paths):
    """paths without those that lie in another one (letter case ignored)."""
    folded = {path.lower(): path for path in paths}
    return [path for name, path in folded.items()
            if not any(name.startswith(other + "\\") for other in folded)]


class WinePrefix:
    """A Wine prefix of one test session. It is created once, and its
    wineserver stays up until close(), so that starting a program costs a
    fraction of a second. Between cases only the registry keys and values
    that seeding brought in are removed again; everything Wine made itself
    stays as it was created.

    Wine's desktop, which every program that uses windows joins, outlives
    such a program by a moment and keeps the display it was started with. So
    runs that need an X display get a prefix of their own: with_display
    copies the fresh prefix kept for that."""

    def __init__(self, root, display=None, source=None):
        """Sets the prefix up in the empty directory root, which close()
        removes."""
        self.root = Path(root)
        self.path = self.root / "prefix"
        self.fresh_copy = None
        self.env = {
            "WINEPREFIX": str(self.path),
            # Wine's own diagnostics would land on the program's standard error.
            "WINEDEBUG": "-all",
            # Creating the prefix must not try to install .NET or HTML runtimes.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "HOME": str(self.root),
            "PATH": "/usr/bin:/bin",
            **(display or {}),
        }
        # REGEDIT4 lines that remove what the last seeding brought in, and the
        # keys where that lies.
        self.undo_lines = []
        self.watched = []
        try:
            if source is None:
                self._create()
            else:
                shutil.copytree(source.fresh_copy, self.path, symlinks=True)
                self.pristine = source.pristine
            self._quiet([WINESERVER, "-p"], timeout=60)
            # The system processes Wine starts now live as long as the server;
            # they get no pipe of a test run to hold open.
            self._quiet([WINE, CMD, "/c", "exit"], timeout=60)
        except BaseException:
            self.close()
            raise

    def _create(self):
        self.path.mkdir()
        self._quiet([WINE, "wineboot", "-i"], timeout=600)
        # The whole export holds HKEY_LOCAL_MACHINE and HKEY_USERS; the
        # current user's keys appear there only under the user's id.
        self.pristine = set()
        for root in [[], ["HKEY_CURRENT_USER"]]:
            export = self.root / "pristine.reg"
            self._quiet([WINE, REGEDIT, "/E", self.windows_path(export), *root], timeout=300)
            self.pristine |= {line[1:-1].lower() for line in _read_export(export).split("\n")
                              if line.startswith("[") and line.endswith("]")}
            export.unlink()
        # The desktop that creating the prefix started goes with the server,
        # which writes the registry files when it ends.
        self._quiet([WINESERVER, "-k"], timeout=60)
        self._quiet([WINESERVER, "-w"], timeout=60)
        self.fresh_copy = self.root / "fresh"
        shutil.copytree(self.path, self.fresh_copy, symlinks=True)

    def with_display(self, root, display):
        """A copy of the fresh prefix in root, with its own server, whose
        programs all reach the X display named by display (DISPLAY,
        XAUTHORITY)."""
        return WinePrefix(root, display, source=self)

    def _quiet(self, command, timeout):
        # Into a file, not a pipe: the server and the system processes that
        # start here outlive the command and would hold a pipe open.
        for attempt in range(2):
            with tempfile.TemporaryFile() as output:
                status = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                                        stdout=output, stderr=output, timeout=timeout).returncode
                output.seek(0)
                said = output.read()
            if status == 0 or not _silent_failure(status, said) or attempt:
                break
        if status != 0:
            raise RuntimeError("%s failed with status %d: %s" % (
                " ".join(map(str, command)), status, said.decode(errors="replace")))

    @staticmethod
    def windows_path(path):
        path = Path(path)
        return "Z:" + str(PureWindowsPath(path)) if path.is_absolute() else str(PureWindowsPath(path))

    def outermost_new_key(self, path):
        """The outermost key on the way to path that the fresh prefix did not
        have; None when it had path itself."""
        for parent in _key_parents(path):
            if parent.lower() not in self.pristine:
                return parent
        return None

    def seed(self, text, scratch):
        """Imports a REGEDIT4 text with `reg import`, after removing what the
        seeding before brought in."""
        keys = parse_regedit(text)
        lines, line_end = _regedit_lines(text)
        undo, watched = [], []
        # The product key is never created by the program; should it appear
        # all the same, the next seeding takes it away too.
        for path in [PRODUCT_KEY, *keys]:
            new = self.outermost_new_key(path)
            if new is not None:
                if new not in watched:
                    undo += ["[-%s]" % new, ""]
                watched.append(new)
            elif keys.get(path):
                undo += ["[%s]" % path] + ["%s=-" % (_quote(name) if name else "@")
                                           for name in keys[path]] + [""]
                watched.append(path)
        imported = [lines[0], ""] + self.undo_lines + undo + lines[1:]
        scratch.mkdir(parents=True, exist_ok=True)
        seed_file = scratch / "seed.reg"
        seed_file.write_bytes(line_end.join(imported).encode("latin-1"))
        self._quiet([WINE, REG, "import", self.windows_path(seed_file)], timeout=60)
        self.undo_lines = undo
        self.watched = _outermost_keys(watched)

    def export(self, paths, scratch):
        """{key path: {value name: (type, data)}} of the keys at paths and
        below them, read with `reg export`; a key that is not there adds
        nothing."""
        scratch.mkdir(parents=True, exist_ok=True)
        files = [scratch / ("export-%d.reg" % i) for i in range(len(paths))]
        started = [subprocess.Popen([WINE, REG, "export", path, self.windows_path(file), "/y"],
                                    env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                   for path, file in zip(paths, files)]
        keys = {}
        for path, process, file in zip(paths, started, files):
            output, errors = process.communicate(timeout=60)
            if _silent_failure(process.returncode, output + errors):
                process = subprocess.run(
                    [WINE, REG, "export", path, self.windows_path(file), "/y"], env=self.env,
                    stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
                output, errors = process.stdout, process.stderr
            if process.returncode == 0:
                keys.update(parse_regedit(_read_export(file)))
                file.unlink()
            elif (output + errors).strip() != b"reg: Unable to find the specified registry key":
                raise RuntimeError("reg export %s failed with status %d: %r" % (
                    path, process.returncode, output + errors))
        return keys

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run([WINESERVER, "-w"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        shutil.rmtree(self.root, ignore_errors=True)


def _silent_failure(status, output):
    """Whether a run of one of Wine's tools failed without a word. Now and
    then (about once in a thousand runs here) `reg` ends so, with nothing
    done; such a run is tried once more."""
    return status == 1 and not output.strip()


def _read_export(path):
    """An export of Wine's registry editor (UTF-16, version 5 header) as a
    REGEDIT4 text."""
    data = path.read_bytes()
    text = data.decode("utf-16") if data[:2] in (b"\xff\xfe", b"\xfe\xff") else data.decode("latin-1")
    lines, _ = _regedit_lines(text)
    if lines[0] != "Windows Registry Editor Version 5.00":
        raise ValueError("not an export of the registry editor: %r" % lines[0])
    # Long hex data goes on over lines that end in a backslash.
    joined = []
    for line in lines[1:]:
        if joined and joined[-1].endswith("\\") and line.startswith("  "):
            joined[-1] = joined[-1][:-1] + line.lstrip()
        else:
            joined.append(line)
    return "\n".join(["REGEDIT4"] + joined)


class WineRunner:
    """The Windows build under Wine: the program runs in the case's current
    directory through Wine's loader, and the registry is the session prefix's
    own, seeded with `reg import` and read with `reg export`."""

    kind = "wine"

    def __init__(self, program, case_dir, prefix):
        self.program = Path(program)
        self.case_dir = Path(case_dir)
        self.prefix = prefix
        self.cwd = self.case_dir / "cwd"
        self.scratch = self.case_dir / "registry"
        self.cwd.mkdir(parents=True, exist_ok=True)
        self.holders = []

    def for_program(self, program):
        return WineRunner(program, self.case_dir, self.prefix)

    def run(self, *args, env=None, cwd=None, timeout=60):
        """Runs the program with args under Wine. env adds variables (a value
        of None leaves the variable unset); paths in it must be given as
        native_path makes them. Nothing else is inherited."""
        full_env = dict(self.prefix.env)
        return _run_program([WINE, str(self.program), *args], full_env, env, cwd or self.cwd,
                            timeout)

    def native_path(self, path):
        """Absolute paths on Wine's drive Z:, which is the host's root;
        relative ones with backslashes."""
        return self.prefix.windows_path(path)

    def console(self, data):
        return data.replace(b"\n", b"\r\n")

    def seed_registry(self, text):
        self.prefix.seed(text, self.scratch)

    def read_registry(self):
        """The keys that the last seeding brought in or gave values to, and
        the product key, each with everything below it."""
        paths = [self.prefix.outermost_new_key(PRODUCT_KEY) or PRODUCT_KEY, *self.prefix.watched]
        return self.prefix.export(_outermost_keys(paths), self.scratch)

    def registry_state(self):
        """What read_registry gives; a write that stores the data already
        there goes unseen."""
        return self.read_registry()

    def make_unopenable(self, path):
        """A file that another process holds open without sharing it: every
        other open fails with a sharing violation. The holder, built from
        tests/wine, lies beside the program."""
        Path(path).write_bytes(b"held open by another process")
        holder = subprocess.Popen(
            [WINE, str(self.program.parent / "hold_open.exe"), self.native_path(path)],
            env=self.prefix.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE)
        self.holders.append(holder)
        if holder.stdout.readline() != b"held\r\n":
            raise RuntimeError("hold_open.exe could not hold %s: %r" % (
                path, holder.communicate(timeout=60)))

    def close(self):
        for holder in self.holders:
            holder.communicate(timeout=60)
        self.holders = []


def key_values(keys, path=PRODUCT_KEY):
    """The values of the key whose path matches path without regard to case,
    with value names folded to lower case; None when there is no such key."""
    found = [values for name, values in keys.items() if name.lower() == path.lower()]
    if not found:
        return None
    assert len(found) == 1, "key %r appears %d times" % (path, len(found))
    folded = {name.lower(): value for name, value in found[0].items()}
    assert len(folded) == len(found[0]), "value names differ only in case: %r" % found[0]
    return folded
