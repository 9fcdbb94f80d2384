"""Browser control removal by the Windows build under Wine, on a real
directory tree. occache.dll beside prefgen.exe is the test double built from
tests/wine: it logs each RemoveControlByName call (one line: path, class
identifier, third argument, the two flags) and deletes the file it is given,
or, with PREFGEN_OCCACHE_KEEP set, leaves it in place.

The message box for a locked file is left to the unit tests: a modal box
would stop the run."""

import shutil
from pathlib import Path, PurePath

import pytest

from runner import PRODUCT_KEY, regedit_text

SETTINGS_KEY = (r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion"
                r"\Internet Settings")
CLASS_ID = "{5E1F7A3C-9B24-4D86-A0C3-7F2B91D4E6A8}"
ERROR_LINE = b"Error uninstalling zdinst.dll!\n"


@pytest.fixture
def wine(prefgen):
    if prefgen.kind != "wine":
        pytest.skip("the control cache service is a Windows library")
    if not (prefgen.program.parent / "occache.dll").is_file():
        pytest.fail("no occache.dll beside %s: the build makes it from tests/wine"
                    % prefgen.program)
    return prefgen


class Cache:
    """A control cache directory in the case, and what the service logged."""

    def __init__(self, runner):
        self.runner = runner
        self.root = runner.case_dir / "cache"
        self.log = runner.case_dir / "occache.log"
        self.root.mkdir()

    def make(self, entries):
        """Entries are paths below the cache; a trailing "/" makes a directory."""
        for entry in entries:
            path = self.root / entry
            if entry.endswith("/"):
                path.mkdir(parents=True, exist_ok=True)
            else:
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_bytes(b"control " + entry.encode())

    def tree(self):
        """Every file and directory below the cache, "/" after directories."""
        return {p.relative_to(self.root).as_posix() + ("/" if p.is_dir() else "")
                for p in self.root.rglob("*")}

    def seed(self, value):
        self.runner.seed_registry(regedit_text({
            PRODUCT_KEY: {},
            SETTINGS_KEY: {} if value is None else {"ActiveXCache": value},
        }))

    def run(self, runner=None, keep=False):
        env = {"PREFGEN_OCCACHE_LOG": self.runner.native_path(self.log)}
        if keep:
            env["PREFGEN_OCCACHE_KEEP"] = "1"
        return (runner or self.runner).run("-uninstall_activex", env=env)

    def calls(self):
        """The service's calls, each as its tab-separated arguments."""
        if not self.log.exists():
            return []
        return [line.split("\t") for line in self.log.read_text().splitlines()]


@pytest.fixture
def cache(wine):
    return Cache(wine)


def check_search_order(paths):
    """Checks that paths (relative, "\\"-separated) come in the order of the
    search: a directory's own match before anything below it, and everything
    below one subdirectory together."""
    parts = [PurePath(*path.split("\\")).parent.parts for path in paths]
    for i, here in enumerate(parts):
        for later in parts[i + 1:]:
            assert later[:len(here)] == here or here[:len(later)] != later, \
                "%r comes after a match below its own directory: %r" % (paths, here)
    for i, here in enumerate(parts):
        for depth in range(1, len(here) + 1):
            block = [j for j, other in enumerate(parts) if other[:depth] == here[:depth]]
            assert block == list(range(block[0], block[-1] + 1)), \
                "matches below %r are not together in %r" % ("/".join(here[:depth]), paths)


# The tree (a trailing "/" marks a directory), whether the service leaves the
# files it is given, the files it is called for and what stays afterwards.
# The first search goes for zdinst.dll, the second, after the service, for
# zdinst*; a directory in which the name matches nothing is not descended into.
BIG_TREE = [
    "zdinst.dll", "zdinst.inf", "ZDINST.OSD", "other.dll", "xzdinst.dll",
    # A directory matching the names: searched, never deleted.
    "zdinst_dir/zdinst.dll", "zdinst_dir/readme.txt",
    # sub still matches zdinst* after the service, so deeper is searched.
    "sub/zdinst.dll", "sub/zdinst.log", "sub/deeper/zdinst.dat",
    # nomatch matches neither name: deep is never searched.
    "nomatch/deep/zdinst.dll", "nomatch/notes.txt",
    ".hidden/zdinst.dll",
]
BIG_TREE_STAYS = {
    "other.dll", "xzdinst.dll", "zdinst_dir/", "zdinst_dir/readme.txt", "sub/", "sub/deeper/",
    "nomatch/", "nomatch/deep/", "nomatch/deep/zdinst.dll", "nomatch/notes.txt", ".hidden/",
    ".hidden/zdinst.dll",
}

TREES = [
    pytest.param(BIG_TREE, False, ["zdinst.dll", "zdinst_dir\\zdinst.dll", "sub\\zdinst.dll"],
                 BIG_TREE_STAYS, id="service-removes-copies"),
    # What the service leaves matches zdinst* and goes in the second pass;
    # sub still holds its copy then, so deeper is searched as before.
    pytest.param(BIG_TREE, True, ["zdinst.dll", "zdinst_dir\\zdinst.dll", "sub\\zdinst.dll"],
                 BIG_TREE_STAYS, id="service-leaves-copies"),
    # No copy at the top: the service is not called and sub is not searched
    # for copies; the second pass finds zdinst.txt at the top and goes down.
    pytest.param(["zdinst.txt", "sub/zdinst.dll", "sub/keep.txt"], False, [],
                 {"sub/", "sub/keep.txt"}, id="no-copy-at-the-top"),
    pytest.param(["readme.txt", "sub/zdinst.dll", "sub/zdinst.inf"], False, [],
                 {"readme.txt", "sub/", "sub/zdinst.dll", "sub/zdinst.inf"},
                 id="nothing-matches-at-the-top"),
    # A directory named like the control makes the top match: it is
    # searched, its copy removed, and it stays.
    pytest.param(["zdinst.dll/zdinst.dll", "zdinst.dll/zdinst.cab", "zdinst.dll/other.cab"],
                 False, ["zdinst.dll\\zdinst.dll"], {"zdinst.dll/", "zdinst.dll/other.cab"},
                 id="directory-named-like-the-control"),
    pytest.param(["ZdInst.Dll", "a/zdinst.dll", "a/b/ZDINST.DLL", "a/b/c/zdinst.dll", "d/zdinst.dll"],
                 False, ["ZdInst.Dll", "a\\zdinst.dll", "a\\b\\ZDINST.DLL", "a\\b\\c\\zdinst.dll",
                         "d\\zdinst.dll"], {"a/", "a/b/", "a/b/c/", "d/"},
                 id="letter-case-and-depth"),
    pytest.param([], False, [], set(), id="empty-cache"),
]


@pytest.mark.parametrize("entries, keep, called, stays", TREES)
def test_removal_in_the_cache_tree(cache, entries, keep, called, stays):
    cache.make(entries)
    cache.seed(("sz", cache.runner.native_path(cache.root)))
    registry_before = cache.runner.registry_state()

    result = cache.run(keep=keep)

    assert (result.status, result.stdout, result.stderr) == (0, b"", b"")
    assert cache.tree() == stays
    top = cache.runner.native_path(cache.root) + "\\"
    calls = cache.calls()
    assert all(call[1:] == [CLASS_ID, "<null>", "1", "1"] for call in calls), calls
    assert all(call[0].startswith(top) for call in calls), calls
    paths = [call[0][len(top):] for call in calls]
    assert sorted(paths) == sorted(called)
    check_search_order(paths)
    assert cache.runner.registry_state() == registry_before


def _as_stored(root):
    return root


def _trailing_backslash(root):
    return root + "\\"


def _forward_slashes(root):
    return root.replace("\\", "/")


# How the cache directory is stored: the paths handed to the service are that
# text, a backslash and the names, with nothing normalised.
CACHE_TEXTS = [
    pytest.param(_as_stored, id="as-is"),
    pytest.param(_trailing_backslash, id="trailing-backslash"),
    pytest.param(_forward_slashes, id="forward-slashes"),
]


@pytest.mark.parametrize("stored", CACHE_TEXTS)
def test_paths_are_the_stored_text_and_the_names(cache, stored):
    cache.make(["zdinst.dll", "sub/zdinst.dll"])
    text = stored(cache.runner.native_path(cache.root))
    cache.seed(("sz", text))

    result = cache.run()

    assert (result.status, result.stdout, result.stderr) == (0, b"", b"")
    assert sorted(call[0] for call in cache.calls()) == [
        text + "\\sub\\zdinst.dll", text + "\\zdinst.dll"]
    assert cache.tree() == {"sub/"}


def _expand_sz(text):
    """A REG_EXPAND_SZ value in REGEDIT4 form: the text's bytes and a NUL."""
    return ("raw", "hex(2):" + ",".join("%02x" % b for b in text.encode("latin-1") + b"\0"))


@pytest.mark.parametrize("kind", [lambda text: ("sz", text), _expand_sz], ids=["sz", "expand-sz"])
def test_environment_references_are_not_expanded(cache, kind):
    cache.make(["zdinst.dll", "zdinst.inf"])
    cache.seed(kind("%PREFGEN_CACHE%"))

    result = cache.runner.run("-uninstall_activex", env={
        "PREFGEN_CACHE": cache.runner.native_path(cache.root),
        "PREFGEN_OCCACHE_LOG": cache.runner.native_path(cache.log)})

    assert (result.status, result.stdout, result.stderr) == (0, b"", b"")
    assert cache.tree() == {"zdinst.dll", "zdinst.inf"}
    assert cache.calls() == []


def _program_beside(runner, library):
    """A copy of the program in a directory of its own, with library (or
    nothing) as its occache.dll."""
    directory = runner.case_dir / "bare"
    directory.mkdir()
    copy = directory / runner.program.name
    shutil.copy2(runner.program, copy)
    if library is not None:
        shutil.copy2(library, directory / "occache.dll")
    return runner.for_program(copy)


def _no_value(cache):
    cache.seed(None)
    return cache.runner


def _value_too_long(cache):
    # The buffer holds 512 bytes; a longer text cannot be read.
    cache.seed(("sz", cache.runner.native_path(cache.root) + "\\" * 520))
    return cache.runner


def _no_service(cache):
    cache.seed(("sz", cache.runner.native_path(cache.root)))
    return _program_beside(cache.runner, None)


def _service_without_entry_point(cache):
    # Any Windows library without RemoveControlByName: one of Wine's own.
    cache.seed(("sz", cache.runner.native_path(cache.root)))
    other = Path(cache.runner.prefix.path) / "drive_c/windows/system32/version.dll"
    return _program_beside(cache.runner, other)


FAILURES = [
    pytest.param(_no_value, id="no-cache-value"),
    pytest.param(_value_too_long, id="cache-value-too-long"),
    pytest.param(_no_service, id="no-occache-dll"),
    pytest.param(_service_without_entry_point, id="no-entry-point"),
]


@pytest.mark.parametrize("prepare", FAILURES)
def test_removal_fails_before_removing_anything(cache, prepare):
    cache.make(["zdinst.dll", "zdinst.inf", "sub/zdinst.dll"])
    before = cache.tree()
    runner = prepare(cache)
    registry_before = cache.runner.registry_state()

    result = cache.run(runner)

    assert (result.status, result.stdout, result.stderr) == (
        1, b"", runner.console(ERROR_LINE))
    assert cache.tree() == before
    assert cache.calls() == []
    assert cache.runner.registry_state() == registry_before
