from pathlib import Path

import pytest

pytest.register_assert_rewrite("expected")

from runner import PRODUCT_KEY, HostRunner, WinePrefix, WineRunner, regedit_text

REPO = Path(__file__).resolve().parents[2]


def pytest_addoption(parser):
    group = parser.getgroup("prefgen")
    group.addoption("--prefgen", help="the program built with the release key")
    group.addoption("--prefgen-testkey", help="the program built with the test key")
    group.addoption("--runner", choices=("host", "wine"), default="host",
                    help="how the programs run: host (the Linux build) or wine (the "
                         "Windows build under Wine, with a Wine prefix of its own)")


def pytest_configure(config):
    config.addinivalue_line(
        "markers", "host_only(reason): the case needs something only the Linux build has")


def pytest_collection_modifyitems(config, items):
    if config.getoption("runner") == "host":
        return
    for item in items:
        marker = item.get_closest_marker("host_only")
        if marker is not None:
            item.add_marker(pytest.mark.skip(reason="host build only: " + marker.args[0]))


def _program(config, option):
    value = config.getoption(option)
    if not value:
        raise pytest.UsageError("--%s=PATH is required" % option.replace("_", "-"))
    path = Path(value).resolve()
    if not path.is_file():
        raise pytest.UsageError("--%s: no program at %s" % (option.replace("_", "-"), path))
    return path


@pytest.fixture(scope="session")
def wine_prefix(request, tmp_path_factory):
    """The session's Wine prefix, created on first use."""
    if request.config.getoption("runner") != "wine":
        pytest.skip("runs only with --runner=wine")
    prefix = WinePrefix(tmp_path_factory.mktemp("wine"))
    yield prefix
    prefix.close()


@pytest.fixture
def prefgen(request, tmp_path):
    """The release program in a fresh case: an empty current directory and a
    registry that holds the product key with no values."""
    program = _program(request.config, "prefgen")
    if request.config.getoption("runner") == "wine":
        runner = WineRunner(program, tmp_path, request.getfixturevalue("wine_prefix"))
    else:
        runner = HostRunner(program, tmp_path)
    runner.seed_registry(regedit_text({PRODUCT_KEY: {}}))
    yield runner
    runner.close()


@pytest.fixture
def prefgen_testkey(request, prefgen):
    """The program that trusts the test key, in the same case as prefgen."""
    return prefgen.for_program(_program(request.config, "prefgen_testkey"))


@pytest.fixture(scope="session")
def keys_dir():
    return REPO / "tests" / "keys"


@pytest.fixture(scope="session")
def sign_tool():
    return REPO / "tools" / "sign-xrc"
