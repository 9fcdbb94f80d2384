"""What the Linux stand-ins do for the OpenGL probe and the browser control
removal: neither "opengl32.dll" nor "occache.dll" can be loaded there, as on a
Windows machine without them."""

import pytest

from runner import PRODUCT_KEY, key_values, regedit_text

SETTINGS_KEY = (r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion"
                r"\Internet Settings")

# Left by an earlier run; a probe that fails keeps them.
EARLIER = {"OGLVendor": ("sz", "Old Vendor"), "OGLRenderer": ("sz", "Old Renderer"),
           "OGLVersion": ("sz", "1.1")}


@pytest.fixture
def host(prefgen):
    if prefgen.kind != "host":
        pytest.skip("the stand-ins exist only in the host build")
    return prefgen


def test_probe_reports_the_missing_library_and_the_run_goes_on(host):
    host.seed_registry(regedit_text({PRODUCT_KEY: EARLIER}))

    result = host.run("-OGL", "-stdout")

    assert result.status == 0
    assert b"load-display" in result.stdout
    assert result.stderr.endswith(b"LoadLib ogl32.dll failed, err=126\n")
    assert result.stderr.count(b"LoadLib") == 1
    stored = key_values(host.read_registry())
    assert stored["gfxapiused"] == ("dword", 1)
    for name, value in EARLIER.items():
        assert stored[name.lower()] == value


@pytest.mark.parametrize("cache_value", [True, False], ids=["with-cache", "without-cache"])
def test_removal_ends_with_its_error_line_and_status_1(host, tmp_path, cache_value):
    cache = tmp_path / "cache"
    (cache / "sub").mkdir(parents=True)
    control_files = [cache / "zdinst.dll", cache / "zdinst.inf", cache / "sub" / "zdinst.dll"]
    for path in control_files:
        path.write_bytes(b"control")
    settings = {"ActiveXCache": ("sz", host.native_path(cache))} if cache_value else {}
    host.seed_registry(regedit_text({PRODUCT_KEY: {}, SETTINGS_KEY: settings}))
    registry_before = host.registry_state()

    result = host.run("-uninstall_activex")

    assert (result.status, result.stdout, result.stderr) == (
        1, b"", b"Error uninstalling zdinst.dll!\n")
    assert all(path.read_bytes() == b"control" for path in control_files)
    assert host.registry_state() == registry_before
