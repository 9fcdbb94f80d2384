"""The saved options file: reading every version with its readlog.txt trace,
several files on the search path, unreadable and short files, saving."""

import os

import pytest

from expected import USAGE, check_document_stderr, document
from useropt import (DEFAULTS, DISTINCT, FALLBACK, HEADER, OTHER, decode_v15,
                     encode_other_major, encode_v0, encode_v1, invalid_header_set)

def readlog(runner):
    """The trace as written: it is a binary file, so its line ends must not
    have been translated."""
    return (runner.cwd / "readlog.txt").read_bytes().decode("latin-1")


def opening(name):
    return ("Trying to read standard file: %s\nopened standard file for reading: %s\n"
            % (name, name))


def trace(*lines):
    return "".join(line + "\n" for line in lines)


DISTINCT_TRACE = trace(
    "major: 1", "minor: 5", "case 1", "_sfx: 0", "_music: 0", "_chat: 0", "_sfx_vol: 0.25",
    "_music_vol: 0.75", "_driver: 1", "_res: 3", "_stype: 1",
    "_custom_mousecursor_enabled: 0", "_bUseWindowedMode: 1", "_bShowFpsMeter: 1",
    "_bForceSWMidi: 0", "_zind_chat_sounds: 0")

# The rest of a 1.5 file after the version bytes; a reader that went on
# reading would take DISTINCT's values from it.
DISTINCT_FIELDS = encode_v1(DISTINCT)[14:]

# file content, record after loading it, trace after the opening lines.
VERSIONS = [
    pytest.param(encode_v0(sound=0, driver=1, res=2, stype=2, minor=9),
                 DEFAULTS.but(sfx=False, music=False, driver=1, res=2, stype=2),
                 trace("major: 0", "minor: 9", "case 0", "_sfx: 0", "_driver: 1", "_res: 2",
                       "_stype: 2", "_sfx_vol: 1"), id="v0"),
    pytest.param(encode_v0(sound=7, driver=3, res=4, stype=0),
                 DEFAULTS.but(driver=3, res=4),
                 trace("major: 0", "minor: 0", "case 0", "_sfx: 1", "_driver: 3", "_res: 4",
                       "_stype: 0", "_sfx_vol: 1"), id="v0-sound-nonzero"),
    pytest.param(encode_v1(DISTINCT, minor=0),
                 DISTINCT.but(custom_mousecursor_enabled=True, use_windowed_mode=False,
                              show_fps_meter=False, force_sw_midi=True, zind_chat_sounds=True),
                 trace("major: 1", "minor: 0", "case 1", "_sfx: 0", "_music: 0", "_chat: 0",
                       "_sfx_vol: 0.25", "_music_vol: 0.75", "_driver: 1", "_res: 3",
                       "_stype: 1", "_custom_mousecursor_enabled: 1", "_bUseWindowedMode: 0",
                       "_bShowFpsMeter: 0", "_bForceSWMidi: 1", "_zind_chat_sounds: 1"),
                 id="v1.0"),
    pytest.param(encode_v1(DISTINCT, minor=3),
                 DISTINCT.but(force_sw_midi=True, zind_chat_sounds=True),
                 DISTINCT_TRACE.replace("minor: 5", "minor: 3")
                 .replace("_bForceSWMidi: 0", "_bForceSWMidi: 1")
                 .replace("_zind_chat_sounds: 0", "_zind_chat_sounds: 1"), id="v1.3"),
    pytest.param(encode_v1(DISTINCT), DISTINCT, DISTINCT_TRACE, id="v1.5"),
    pytest.param(encode_v1(DISTINCT, minor=9, extra=b"\x01\x01\x07more bytes"), DISTINCT,
                 DISTINCT_TRACE.replace("minor: 5", "minor: 9"), id="v1.9-extra-bytes"),
    pytest.param(encode_v1(DEFAULTS.but(sfx=2, music=2, chat=0x80, use_windowed_mode=2,
                                        show_fps_meter=255)),
                 DEFAULTS.but(use_windowed_mode=True, show_fps_meter=True),
                 trace("major: 1", "minor: 5", "case 1", "_sfx: 1", "_music: 1", "_chat: 1",
                       "_sfx_vol: 1", "_music_vol: 1", "_driver: 2", "_res: 1", "_stype: 0",
                       "_custom_mousecursor_enabled: 1", "_bUseWindowedMode: 1",
                       "_bShowFpsMeter: 1", "_bForceSWMidi: 1", "_zind_chat_sounds: 1"),
                 id="switch-bytes-above-1"),
    pytest.param(encode_v1(DEFAULTS.but(driver=200, res=9, stype=77)),
                 DEFAULTS.but(driver=200, res=9, stype=77),
                 trace("major: 1", "minor: 5", "case 1", "_sfx: 1", "_music: 1", "_chat: 1",
                       "_sfx_vol: 1", "_music_vol: 1", "_driver: 200", "_res: 9", "_stype: 77",
                       "_custom_mousecursor_enabled: 1", "_bUseWindowedMode: 0",
                       "_bShowFpsMeter: 0", "_bForceSWMidi: 1", "_zind_chat_sounds: 1"),
                 id="codes-out-of-range-kept"),
    pytest.param(encode_other_major(7, 2, DISTINCT_FIELDS), FALLBACK,
                 trace("major: 7", "minor: 2", "default"), id="major-7"),
    pytest.param(encode_other_major(2, 0, DISTINCT_FIELDS), FALLBACK,
                 trace("major: 2", "minor: 0", "default"), id="major-2"),
    pytest.param(b"usersettings" + encode_v1(DISTINCT)[12:], invalid_header_set(DEFAULTS),
                 trace("Invalid Header: usersettings"), id="header-other-case"),
    pytest.param(b"UserSettingz" + encode_v1(DISTINCT)[12:], invalid_header_set(DEFAULTS),
                 trace("Invalid Header: UserSettingz"), id="header-wrong-letter"),
]


@pytest.mark.parametrize("data, record, lines", VERSIONS)
def test_reading_each_version(prefgen, data, record, lines):
    (prefgen.cwd / "useropt").write_bytes(data)

    result = prefgen.run("-save", "-stdout")

    assert readlog(prefgen) == opening("./useropt") + lines
    assert decode_v15((prefgen.cwd / "useropt").read_bytes()) == record
    assert result.stdout == prefgen.console(document(record, saved_file_found=True))
    check_document_stderr(prefgen, result.stderr, record)
    assert result.status == 0


# Where each part of DISTINCT's 1.5 file ends, what it sets and its trace.
LAYOUT = [
    (13, {}, "major: 1"),
    (14, {}, "minor: 5\ncase 1"),
    (15, {"sfx": False}, "_sfx: 0"),
    (16, {"music": False}, "_music: 0"),
    (17, {"chat": False}, "_chat: 0"),
    (21, {"sfx_vol": 0.25}, "_sfx_vol: 0.25"),
    (25, {"music_vol": 0.75}, "_music_vol: 0.75"),
    (26, {"driver": 1}, "_driver: 1"),
    (27, {"res": 3}, "_res: 3"),
    (28, {"stype": 1}, "_stype: 1"),
    (29, {"custom_mousecursor_enabled": False}, "_custom_mousecursor_enabled: 0"),
    (30, {"use_windowed_mode": True}, "_bUseWindowedMode: 1"),
    (31, {"show_fps_meter": True}, "_bShowFpsMeter: 1"),
    (32, {"force_sw_midi": False}, "_bForceSWMidi: 0"),
]


def after_prefix(size):
    """Record and trace after reading the first size bytes of DISTINCT's
    file over a record that holds OTHER: what was read is applied, the rest
    keeps OTHER's values."""
    data = encode_v1(DISTINCT)[:size]
    if size < len(HEADER):
        return invalid_header_set(OTHER), "Invalid Header: %s\n" % data.decode()
    record, lines = OTHER, []
    for end, fields, line in LAYOUT:
        if end <= size:
            record = record.but(**fields)
            lines.append(line + "\n")
    return record, "".join(lines)


@pytest.mark.parametrize("size", range(33))
def test_file_that_ends_early(prefgen, size):
    for name in ("a", "b"):
        (prefgen.cwd / name).mkdir()
    (prefgen.cwd / "a" / "useropt").write_bytes(encode_v1(DISTINCT)[:size])
    (prefgen.cwd / "b" / "useropt").write_bytes(encode_v1(OTHER))
    record, lines = after_prefix(size)

    result = prefgen.run("-save", "-stdout", env={"CONFIG_PATH": "a b"})

    assert readlog(prefgen) == opening("a/useropt") + lines
    assert decode_v15((prefgen.cwd / "a" / "useropt").read_bytes()) == record
    assert result.stdout == prefgen.console(document(record, saved_file_found=True))
    check_document_stderr(prefgen, result.stderr, record)
    assert result.status == 0


# The file in the earlier directory a, the one in the later directory b, the
# record after loading both.
TWO_FILES = [
    pytest.param(encode_v1(DISTINCT), encode_v1(OTHER), DISTINCT, id="earlier-wins"),
    pytest.param(encode_v1(OTHER), encode_v1(DISTINCT), OTHER, id="earlier-wins-reversed"),
    pytest.param(encode_v0(sound=1, driver=3, res=0, stype=0), encode_v1(DISTINCT),
                 DISTINCT.but(sfx=True, music=True, chat=True, sfx_vol=1.0, music_vol=1.0,
                              driver=3, res=0, stype=0, custom_mousecursor_enabled=True),
                 id="v0-keeps-later-switches"),
    pytest.param(encode_v1(OTHER, minor=2), encode_v1(DISTINCT),
                 OTHER.but(force_sw_midi=True, zind_chat_sounds=True), id="v1.2-gives-defaults"),
    pytest.param(b"NotSettings!" + DISTINCT_FIELDS, encode_v1(DISTINCT),
                 invalid_header_set(DISTINCT), id="invalid-header-keeps-later-switches"),
    pytest.param(encode_other_major(9, 9), encode_v1(DISTINCT), FALLBACK, id="fallback"),
]


@pytest.mark.parametrize("earlier, later, record", TWO_FILES)
def test_earlier_directory_is_read_last(prefgen, earlier, later, record):
    for name in ("a", "b"):
        (prefgen.cwd / name).mkdir()
    (prefgen.cwd / "a" / "useropt").write_bytes(earlier)
    (prefgen.cwd / "b" / "useropt").write_bytes(later)

    result = prefgen.run("-save", "-stdout", env={"CONFIG_PATH": "a b"})

    log = readlog(prefgen)
    assert log.startswith("Trying to read standard file: a/useropt\n")
    assert "b/useropt" not in log
    assert decode_v15((prefgen.cwd / "a" / "useropt").read_bytes()) == record
    assert (prefgen.cwd / "b" / "useropt").read_bytes() == later
    assert result.stdout == prefgen.console(document(record, saved_file_found=True))
    assert result.status == 0


def test_unopenable_file_in_the_only_directory(prefgen):
    useropt = prefgen.cwd / "useropt"
    prefgen.make_unopenable(useropt)
    before = useropt.stat()

    # -NoOverride -save saves only when no file was found; this one was.
    result = prefgen.run("-pickbestres", "-NoOverride", "-save", "-stdout")

    assert result.stderr == prefgen.console(b"f2 = ./useropt\n")
    assert readlog(prefgen) == trace(
        "Trying to read standard file: ./useropt", "Trying to read auxiliary file: ./useropt",
        "no file could be read")
    assert result.stdout == prefgen.console(document(DEFAULTS, True, saved_file_found=True))
    assert result.status == 0
    after = useropt.stat()
    assert (after.st_ino, after.st_mtime_ns) == (before.st_ino, before.st_mtime_ns)


def test_unopenable_file_in_a_later_directory_falls_back_to_the_first(prefgen):
    for name in ("a", "b"):
        (prefgen.cwd / name).mkdir()
    (prefgen.cwd / "a" / "useropt").write_bytes(encode_v1(DISTINCT))
    prefgen.make_unopenable(prefgen.cwd / "b" / "useropt")

    result = prefgen.run("-stdout", env={"CONFIG_PATH": "a b"})

    assert result.stderr == prefgen.console(b"f2 = a/useropt\n")
    # The first directory's own file is read last, so its trace is the one left.
    assert readlog(prefgen) == opening("a/useropt") + DISTINCT_TRACE
    assert result.stdout == prefgen.console(document(DISTINCT, saved_file_found=True))
    assert result.status == 0


def test_loading_messages_come_between_invalid_arguments_and_usage(prefgen):
    prefgen.make_unopenable(prefgen.cwd / "useropt")

    result = prefgen.run("-x", "-stdout", "/y")

    assert result.stderr == prefgen.console(
        b"Invalid argument: -x\nInvalid argument: /y\nf2 = ./useropt\n" + USAGE)
    assert (result.status, result.stdout) == (1, b"")


# Volumes as stored: floats, or four raw bytes, chosen so that their bytes
# include line ends, blanks and the old end-of-file mark.
VOLUMES = [
    pytest.param(0.625, 0.55, id="0.625-0.55"),
    pytest.param(b"\x0a\x0d\x1a\x3f", b"\x20\x09\x0b\x0c", id="whitespace-bytes"),
    pytest.param(b"\x0d\x0a\x00\x00", b"\xff\xff\x7f\x7f", id="subnormal-and-largest"),
    pytest.param(b"\x01\x00\xc0\x7f", b"\x00\x00\x80\xff", id="nan-payload-and-minus-inf"),
]


@pytest.mark.parametrize("sfx_vol, music_vol", VOLUMES)
def test_saved_record_comes_back_bit_for_bit(prefgen, sfx_vol, music_vol):
    data = encode_v1(DISTINCT.but(sfx_vol=sfx_vol, music_vol=music_vol))
    useropt = prefgen.cwd / "useropt"
    useropt.write_bytes(data)

    # Two processes in a row, each loading what the one before saved.
    for _ in range(2):
        result = prefgen.run("-save")
        assert (result.status, result.stdout, result.stderr) == (0, b"", b"")
        assert useropt.read_bytes() == data


# CONFIG_PATH (None: unset), files present before the run (each holding
# OTHER), whether one of them is loaded, the saved file.
SAVE_TARGETS = [
    pytest.param(None, [], False, "useropt", id="current-directory"),
    pytest.param("sub", [], False, "sub/useropt", id="first-directory"),
    pytest.param("sub/ other", [], False, "sub/useropt", id="trailing-slash"),
    pytest.param("missing", [], False, "useropt", id="first-directory-missing"),
    # The record's own file is the found one.
    pytest.param("missing other", ["other/useropt"], True, "other/useropt",
                 id="first-missing-found-file-rewritten"),
    pytest.param("other sub", ["sub/useropt"], True, "other/useropt",
                 id="first-directory-not-the-found-one"),
    # No directory at all: nothing is found, and the record goes straight to
    # its own file, ./useropt.
    pytest.param("   ", ["useropt"], False, "useropt", id="path-without-directories"),
]


@pytest.mark.parametrize("config_path, present, loaded, target", SAVE_TARGETS)
def test_where_the_record_is_saved(prefgen, config_path, present, loaded, target):
    for name in ("sub", "other"):
        (prefgen.cwd / name).mkdir()
    for name in present:
        (prefgen.cwd / name).write_bytes(encode_v1(OTHER))
    before = {p: p.read_bytes() for p in prefgen.cwd.rglob("*") if p.is_file()}

    result = prefgen.run("-windowed", env={"CONFIG_PATH": config_path})

    assert (result.status, result.stdout, result.stderr) == (0, b"", b"")
    saved = prefgen.cwd / target
    record = OTHER if loaded else DEFAULTS
    assert decode_v15(saved.read_bytes()) == record.but(use_windowed_mode=True, res=0)
    # Only reading a file leaves a trace.
    assert (prefgen.cwd / "readlog.txt").exists() == loaded
    # Nothing else was written: no second copy, no temporary file left.
    after = {p: p.read_bytes() for p in prefgen.cwd.rglob("*")
             if p.is_file() and p.name != "readlog.txt"}
    assert after.keys() == before.keys() | {saved}
    assert all(after[p] == before[p] for p in before if p != saved)


@pytest.mark.parametrize("absolute", [False, True], ids=["relative", "absolute"])
def test_save_failure_message(prefgen, absolute):
    missing = prefgen.case_dir / "missing" if absolute else "missing"
    (prefgen.cwd / "useropt").mkdir()

    result = prefgen.run("-windowed", "-stdout",
                         env={"CONFIG_PATH": prefgen.native_path(missing)})

    first = prefgen.native_path(missing) + "/useropt"
    assert result.stderr == prefgen.console(
        ("could not open 'useropt' or '%s' for writing\n" % first).encode())
    # A failed save changes neither the document nor the exit status.
    windowed = DEFAULTS.but(use_windowed_mode=True, res=0)
    assert result.stdout == prefgen.console(document(windowed))
    assert result.status == 0
    assert sorted(p.name for p in prefgen.cwd.iterdir()) == ["useropt"]
    assert not list((prefgen.cwd / "useropt").iterdir())


def test_save_replaces_the_file_whole(prefgen):
    useropt = prefgen.cwd / "useropt"
    old = encode_v1(OTHER, extra=b"\xAA")
    useropt.write_bytes(old)
    os.link(useropt, prefgen.cwd / "old-link")

    result = prefgen.run("-show_fps")

    assert (result.status, result.stderr) == (0, b"")
    assert decode_v15(useropt.read_bytes()) == OTHER.but(show_fps_meter=True)
    # A new file took the name: the old one was never written in place.
    assert (prefgen.cwd / "old-link").read_bytes() == old
    assert sorted(p.name for p in prefgen.cwd.iterdir()) == ["old-link", "readlog.txt", "useropt"]


@pytest.mark.host_only("Unix file modes")
def test_save_keeps_the_file_mode(prefgen):
    useropt = prefgen.cwd / "useropt"
    useropt.write_bytes(encode_v1(OTHER))
    os.chmod(useropt, 0o640)

    result = prefgen.run("-show_fps")

    assert (result.status, result.stderr) == (0, b"")
    assert decode_v15(useropt.read_bytes()) == OTHER.but(show_fps_meter=True)
    assert useropt.stat().st_mode & 0o7777 == 0o640
