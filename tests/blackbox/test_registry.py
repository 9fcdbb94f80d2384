"""The display record: the values stored under the product key after the
document, and exit status 7 when the key cannot be opened."""

import pytest

from expected import check_document_stderr, display_record, document
from runner import PRODUCT_KEY, key_values, regedit_text
from useropt import DEFAULTS, encode_v1

D = DEFAULTS

# Left by an earlier run; a run that does not write them keeps them.
EARLIER = {"OGLVendor": ("sz", "Old Vendor"), "OGLVersion": ("sz", "1.1")}

RECORDS = [
    pytest.param(D.but(res=0), id="res-0"),
    pytest.param(D, id="res-1"),
    pytest.param(D.but(res=2), id="res-2"),
    pytest.param(D.but(res=3), id="res-3"),
    pytest.param(D.but(res=4, use_windowed_mode=True), id="res-4-windowed"),
    pytest.param(D.but(res=5), id="res-5"),
    pytest.param(D.but(res=200), id="res-200"),
    pytest.param(D.but(driver=0), id="driver-0"),
    pytest.param(D.but(driver=1), id="driver-1"),
    pytest.param(D.but(driver=3, use_windowed_mode=True), id="driver-3-windowed"),
    pytest.param(D.but(driver=4), id="driver-4"),
    pytest.param(D.but(driver=5), id="driver-5"),
    pytest.param(D.but(driver=6), id="driver-6"),
    pytest.param(D.but(driver=255), id="driver-255"),
]


@pytest.mark.parametrize("record", RECORDS)
def test_display_record_values(prefgen, record):
    prefgen.seed_registry(regedit_text({PRODUCT_KEY: EARLIER}))
    (prefgen.cwd / "useropt").write_bytes(encode_v1(record))

    result = prefgen.run("-stdout")

    assert result.status == 0
    check_document_stderr(prefgen, result.stderr, record)
    assert result.stdout == prefgen.console(document(record, saved_file_found=True))
    stored = key_values(prefgen.read_registry())
    assert stored == {name.lower(): value
                      for name, value in {**EARLIER, **display_record(record)}.items()}
    width, height = stored["lastscreensize"][1].split("x")
    assert prefgen.console(("win-size %s %s\n" % (width, height)).encode()) in result.stdout


SEEDED = (
    "REGEDIT4\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane]\n"
    "\"Path\"=\"C:\\\\Games\\\\Corvane \\\"Online\\\"\"\n"
    "\n"
    "[hkey_local_machine\\software\\CORVANE\\corvane online\\zindara]\n"
    "\"gfxapiused\"=dword:00000005\n"
    "\"LASTSCREENSIZE\"=\"1x1\"\n"
    "\"InstallDir\"=\"C:\\\\Zindara\"\n"
    "\"Flags\"=hex:01,02,ff\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\Corvane Online\\Zindara\\Patches]\n"
    "\"Level\"=dword:0000002a\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\n"
    "@=\"default value\"\n"
    "\n"
)


@pytest.mark.parametrize("line_end", ["\n", "\r\n"], ids=["lf", "crlf"])
def test_other_keys_and_values_are_kept(prefgen, line_end):
    prefgen.seed_registry(SEEDED.replace("\n", line_end))
    before = prefgen.read_registry()

    result = prefgen.run("-stdout", "-windowed", "-DX9")

    assert (result.status, result.stderr) == (0, b"")
    after = prefgen.read_registry()
    product = PRODUCT_KEY.lower()
    assert {k: v for k, v in after.items() if k.lower() != product} == \
        {k: v for k, v in before.items() if k.lower() != product}
    # Names compare without regard to case: existing values are replaced,
    # never doubled.
    assert key_values(after) == {
        "gfxapiused": ("dword", 10),
        "lastscreensize": ("sz", "640x480"),
        "usingwindowedmode": ("dword", 1),
        "installdir": ("sz", "C:\\Zindara"),
        "flags": ("raw", "hex:01,02,ff"),
    }


@pytest.mark.host_only("the registry file of the Linux stand-in")
def test_registry_file_is_replaced_without_leftovers(prefgen):
    prefgen.seed_registry(SEEDED)

    result = prefgen.run("-stdout", "-windowed", "-DX9")

    assert (result.status, result.stderr) == (0, b"")
    assert key_values(prefgen.read_registry())["gfxapiused"] == ("dword", 10)
    assert [p.name for p in prefgen.registry_file.parent.iterdir()] == ["system.reg"]


def _remove(runner):
    runner.registry_file.unlink()


def _directory(runner):
    runner.registry_file.unlink()
    runner.registry_file.mkdir()


def _text(text):
    return lambda runner: runner.seed_registry(text)


REGISTRY_FILE = pytest.mark.host_only("the registry file of the Linux stand-in")

NO_KEY = [
    pytest.param(_remove, id="file-missing", marks=REGISTRY_FILE),
    pytest.param(_directory, id="unreadable", marks=REGISTRY_FILE),
    pytest.param(_text(""), id="empty-file", marks=REGISTRY_FILE),
    pytest.param(_text("Windows Registry Editor Version 5.00\n\n[%s]\n\n" % PRODUCT_KEY),
                 id="not-regedit4", marks=REGISTRY_FILE),
    pytest.param(_text(regedit_text({PRODUCT_KEY.rsplit("\\", 1)[0]: {"X": ("dword", 1)}})),
                 id="parent-key-only"),
    pytest.param(_text(regedit_text({PRODUCT_KEY + "2": {"X": ("dword", 1)}})),
                 id="longer-name-only"),
    # In a real registry a subkey cannot exist without the key above it.
    pytest.param(_text(regedit_text({PRODUCT_KEY + "\\Sub": {}, PRODUCT_KEY + "2": {}})),
                 id="neighbouring-keys-only", marks=REGISTRY_FILE),
    pytest.param(_text(regedit_text({PRODUCT_KEY.replace("HKEY_LOCAL_MACHINE",
                                                         "HKEY_CURRENT_USER"): {}})),
                 id="other-root"),
]


@pytest.mark.parametrize("make", NO_KEY)
def test_no_product_key_gives_status_7_after_whole_document(prefgen, make):
    make(prefgen)
    before = prefgen.registry_state()

    result = prefgen.run("-stdout", "-OGL")

    assert result.status == 7
    assert result.stdout == prefgen.console(document(D.but(driver=0)))
    assert result.stderr == b""
    assert prefgen.registry_state() == before


@REGISTRY_FILE
def test_registry_in_missing_directory(prefgen):
    result = prefgen.run("-stdout", env={"PREFGEN_REGISTRY": str(prefgen.case_dir / "no" / "r")})

    assert (result.status, result.stderr) == (7, b"")
    assert result.stdout == prefgen.console(document(D))
    assert not (prefgen.case_dir / "no").exists()
