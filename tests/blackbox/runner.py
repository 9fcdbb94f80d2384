"""How a test case starts prefgen and reaches its registry.

Every case works in its own directory tree:

    <case>/cwd/       the program's current directory (useropt, readlog.txt, xrc, ...)
    <case>/registry/  the registry (for the host build: one REGEDIT4 file)

Tests only go through the methods below, so that another runner (the Windows
build under Wine, with its own registry) can stand in for HostRunner:

    run(*args, env=None, cwd=None) -> Result(status, stdout, stderr)
    for_program(program) -> runner for another build, same case directories
    native_path(path) -> str       a host path as the program must be given it
    console(data) -> bytes         what the program's text-mode stdout makes of data
    seed_registry(text)            replaces the registry with a REGEDIT4 text
    read_registry() -> dict        {key path: {value name: (type, data)}}
    registry_state() -> object     compares equal exactly when nothing was written

Registry data types: ("dword", int), ("sz", str); anything else is kept as
("raw", text as it stands after the "=").
"""

import collections
import os
import subprocess
from pathlib import Path

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
        for name, value in (env or {}).items():
            if value is None:
                full_env.pop(name, None)
            else:
                full_env[name] = value
        done = subprocess.run(
            [str(self.program), *args],
            cwd=str(cwd or self.cwd),
            env=full_env,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE,
            stderr=subprocess.PIPE,
            timeout=timeout,
        )
        return Result(done.returncode, done.stdout, done.stderr)

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
