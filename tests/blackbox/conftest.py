from pathlib import Path

import pytest

pytest.register_assert_rewrite("expected")

from runner import PRODUCT_KEY, HostRunner, regedit_text

REPO = Path(__file__).resolve().parents[2]


def pytest_addoption(parser):
    group = parser.getgroup("prefgen")
    group.addoption("--prefgen", help="the program built with the release key")
    group.addoption("--prefgen-testkey", help="the program built with the test key")


def _program(config, option):
    value = config.getoption(option)
    if not value:
        raise pytest.UsageError("--%s=PATH is required" % option.replace("_", "-"))
    path = Path(value).resolve()
    if not path.is_file():
        raise pytest.UsageError("--%s: no program at %s" % (option.replace("_", "-"), path))
    return path


@pytest.fixture
def prefgen(request, tmp_path):
    """The release program in a fresh case: an empty current directory and a
    registry that holds the product key with no values."""
    runner = HostRunner(_program(request.config, "prefgen"), tmp_path)
    runner.seed_registry(regedit_text({PRODUCT_KEY: {}}))
    return runner


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
