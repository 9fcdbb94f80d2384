"""The OpenGL probe of the Windows build under Wine. With an X display
(Xvfb, started through xvfb-run, and Mesa's software renderers) Wine offers
driver pixel formats, so the probe gets a context and records the driver's
strings; without a display it reports its failure and keeps what was stored.

The strings are not compared with fixed names: the checks use what Mesa lets
a run choose (the renderer, the version it reports) through its environment."""

import re
import subprocess

import pytest

from expected import display_record, document
from runner import PRODUCT_KEY, WineRunner, key_values, regedit_text
from useropt import DEFAULTS, encode_v1

# Left by an earlier run; a probe that does not run, or fails, keeps them.
EARLIER = {"OGLVendor": ("sz", "Old Vendor"), "OGLRenderer": ("sz", "Old Renderer"),
           "OGLVersion": ("sz", "1.1")}
PROBED = ("oglvendor", "oglrenderer", "oglversion")

OPENGL = DEFAULTS.but(driver=0)


@pytest.fixture(scope="module", autouse=True)
def _wine_only(request):
    if request.config.getoption("runner") != "wine":
        pytest.skip("the probe's Windows calls run only under Wine")


@pytest.fixture(scope="module")
def display():
    """An X server for the module: the variables a client needs to reach it."""
    server = subprocess.Popen(
        ["xvfb-run", "-a", "sh", "-c", 'echo "$DISPLAY"; echo "$XAUTHORITY"; exec cat'],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        name = server.stdout.readline().decode().strip()
        authority = server.stdout.readline().decode().strip()
        if not name:
            pytest.fail("xvfb-run started no X server")
        yield {"DISPLAY": name, "XAUTHORITY": authority}
    finally:
        # cat ends, and xvfb-run stops the server behind it.
        server.stdin.close()
        server.wait(timeout=30)


@pytest.fixture(scope="module")
def display_prefix(wine_prefix, display, tmp_path_factory):
    prefix = wine_prefix.with_display(tmp_path_factory.mktemp("wine-display"), display)
    yield prefix
    # Before the X server goes: Wine's processes end while they still reach it.
    prefix.close()


@pytest.fixture
def gl(prefgen, display_prefix):
    """The release program in a fresh case of the prefix with a display."""
    runner = WineRunner(prefgen.program, prefgen.case_dir, display_prefix)
    runner.seed_registry(regedit_text({PRODUCT_KEY: EARLIER}))
    return runner


def check_written(runner, result, record=OPENGL, saved_file_found=False):
    """The run wrote the whole document and the display record, and the probe
    succeeded silently; gives the three strings it stored."""
    assert result.status == 0
    assert result.stdout == runner.console(document(record, saved_file_found=saved_file_found))
    assert result.stderr == b""
    stored = key_values(runner.read_registry())
    for name, value in display_record(record).items():
        assert stored[name.lower()] == value
    assert stored["gfxapiused"] == ("dword", 1)
    strings = {}
    for name in PROBED:
        kind, text = stored[name]
        assert kind == "sz" and text, "%s holds %r" % (name, stored[name])
        strings[name] = text
    # Each value is replaced, none kept from before.
    assert all(strings[name.lower()] != text for name, (_, text) in EARLIER.items())
    # Every OpenGL version string starts with "major.minor".
    assert re.match(r"\d+\.\d+", strings["oglversion"])
    return strings


def test_probe_records_the_drivers_strings(gl):
    result = gl.run("-OGL", "-stdout")

    check_written(gl, result)


def test_stored_strings_follow_the_driver(gl):
    # Mesa picks its renderer and the version it reports from the environment.
    first = check_written(gl, gl.run(
        "-OGL", "-stdout", env={"GALLIUM_DRIVER": "llvmpipe", "MESA_GL_VERSION_OVERRIDE": "2.1"}))
    gl.seed_registry(regedit_text({PRODUCT_KEY: EARLIER}))
    second = check_written(gl, gl.run(
        "-OGL", "-stdout", env={"GALLIUM_DRIVER": "softpipe", "MESA_GL_VERSION_OVERRIDE": "3.0"}))

    assert first["oglvendor"] == second["oglvendor"]
    assert first["oglrenderer"] != second["oglrenderer"]
    assert first["oglversion"].startswith("2.1 ")
    assert second["oglversion"].startswith("3.0 ")


# The saved record (None: no file), the arguments, whether the probe runs.
CHOICES = [
    pytest.param(None, ["-DX9", "-stdout"], False, id="direct3d-chosen"),
    pytest.param(DEFAULTS.but(driver=3), ["-NoOverride", "-OGL", "-stdout"], False,
                 id="saved-interface-kept"),
    pytest.param(OPENGL, ["-stdout"], True, id="opengl-saved"),
    pytest.param(DEFAULTS, ["-NoOverride", "-OGL", "-stdout"], True,
                 id="opengl-replaces-default-interface"),
]


@pytest.mark.parametrize("saved, args, probes", CHOICES)
def test_probe_runs_when_opengl_is_the_choice(gl, saved, args, probes):
    if saved is not None:
        (gl.cwd / "useropt").write_bytes(encode_v1(saved))

    result = gl.run(*args)

    if probes:
        check_written(gl, result, saved.but(driver=0), saved_file_found=True)
    else:
        assert (result.status, result.stderr) == (0, b"")
        stored = key_values(gl.read_registry())
        assert {name: stored[name] for name in PROBED} == \
            {name.lower(): value for name, value in EARLIER.items()}
        assert stored["gfxapiused"] == ("dword", 10)


def test_no_probe_without_the_product_key(gl):
    gl.seed_registry(regedit_text({PRODUCT_KEY.rsplit("\\", 1)[0]: {}}))
    before = gl.registry_state()

    result = gl.run("-OGL", "-stdout")

    assert (result.status, result.stderr) == (7, b"")
    assert result.stdout == gl.console(document(OPENGL))
    assert gl.registry_state() == before


def test_probe_without_a_display_fails_and_keeps_the_values(prefgen):
    prefgen.seed_registry(regedit_text({PRODUCT_KEY: EARLIER}))

    result = prefgen.run("-OGL", "-stdout")

    assert result.status == 0
    assert result.stdout == prefgen.console(document(OPENGL))
    # Without a display Wine describes no pixel format at all. Handles are
    # written as the system's stream library writes a 64-bit pointer.
    assert re.fullmatch(
        rb"failing OGL Check: DescribePixelFormat returns 0, hWnd: 0x0{16} hDC: 0x[0-9A-F]{16}"
        rb"  GetLastError=(\d+|ERROR_MOD_NOT_FOUND)\r\n"
        rb"Error: OGL mode set, but detected no OpenGL hardware support!\r\n",
        result.stderr), result.stderr
    stored = key_values(prefgen.read_registry())
    assert stored == {**{name.lower(): value for name, value in EARLIER.items()},
                      **{name.lower(): value for name, value in display_record(OPENGL).items()}}
