"""The configuration search path, seen through its effects: the saved file
that is read (named by readlog.txt) and the directory the record is saved to
(the path's first directory, or ./useropt when the path has none)."""

import pytest

from useropt import DEFAULTS, OTHER, decode_v15, encode_v1

# Directories a, b and c exist in the current directory; ".", b and c hold a
# saved file, a does not.
HOLDING_FILES = ["useropt", "b/useropt", "c/useropt"]

# environment, the file read (None: none found), the file saved.
PATHS = [
    pytest.param({}, "./useropt", "useropt", id="nothing-set"),
    pytest.param({"CONFIG_PATH": " a b "}, "b/useropt", "a/useropt", id="config-path"),
    pytest.param({"CONFIG_PATH": "   "}, None, "useropt", id="config-path-blank"),
    pytest.param({"CONFIG_PATH": ""}, None, "useropt", id="config-path-empty"),
    pytest.param({"CONFIG_CONFIG": "x", "CONFIG_PATH": "c"}, "c/useropt", "c/useropt",
                 id="one-character-config"),
    pytest.param({"CONFIG_CONFIG": "", "CONFIG_PATH": "c"}, "c/useropt", "c/useropt",
                 id="empty-config"),
    pytest.param({"CONFIG_CONFIG": ";configpath=A;configpath=B", "A": "a", "B": "b",
                  "CONFIG_PATH": "c"}, "b/useropt", "a/useropt", id="two-directives"),
    pytest.param({"CONFIG_CONFIG": ";configpath=A;configpath=B", "B": "c"},
                 "c/useropt", "c/useropt", id="two-directives-second-set"),
    pytest.param({"CONFIG_CONFIG": ";configpath=A;configpath=B", "CONFIG_PATH": "c"},
                 "./useropt", "useropt", id="two-directives-none-set"),
    pytest.param({"CONFIG_CONFIG": ";configpath=A;;configpath=B", "A": "a", "B": "c"},
                 "c/useropt", "a/useropt", id="empty-word-between"),
    pytest.param({"CONFIG_CONFIG": ";#;configpath#A", "A": "b", "CONFIG_PATH": "c"},
                 "b/useropt", "b/useropt", id="added-name-value-separator"),
    pytest.param({"CONFIG_CONFIG": ";configpath#A;#", "A": "b", "CONFIG_PATH": "c"},
                 "c/useropt", "c/useropt", id="separator-added-too-late"),
    pytest.param({"CONFIG_CONFIG": "configpath=A", "A": "b", "CONFIG_PATH": "c"},
                 "c/useropt", "c/useropt", id="first-character-is-separator"),
    pytest.param({"CONFIG_CONFIG": "; configpath=A B", "A": "b", "B": "a", "CONFIG_PATH": "c"},
                 "b/useropt", "b/useropt", id="first-token-of-word"),
    pytest.param({"CONFIG_CONFIG": "; configpath = A", "A": "b", "CONFIG_PATH": "c"},
                 "c/useropt", "c/useropt", id="token-without-separator-ignored"),
    pytest.param({"CONFIG_CONFIG": ";configpath=A=B", "A": "b", "CONFIG_PATH": "c"},
                 "./useropt", "useropt", id="value-keeps-further-separator"),
    pytest.param({"CONFIG_CONFIG": ";Configpath=A", "A": "b", "CONFIG_PATH": "c"},
                 "c/useropt", "c/useropt", id="directive-name-case-matters"),
    pytest.param({"CONFIG_CONFIG": "|x=1|configpath=A", "A": "b", "CONFIG_PATH": "c"},
                 "b/useropt", "b/useropt", id="other-word-separator"),
    pytest.param({"CONFIG_CONFIG": ";configpath=", "CONFIG_PATH": "c"},
                 "./useropt", "useropt", id="empty-directive"),
    pytest.param({"CONFIG_CONFIG": ";configpath=A", "A": "", "CONFIG_PATH": "c"},
                 None, "useropt", id="named-variable-empty"),
    pytest.param({"CONFIG_CONFIG": ";configpath=A", "A": " \t ", "CONFIG_PATH": "c"},
                 None, "useropt", id="named-variable-blank"),
    pytest.param({"CONFIG_CONFIG": ";configpath=A", "A": "a c"},
                 "c/useropt", "a/useropt", id="variable-holds-two-directories"),
]


@pytest.mark.parametrize("env, read, saved", PATHS)
def test_search_path_decides_what_is_read_and_where_it_is_saved(prefgen, env, read, saved):
    for name in ("a", "b", "c"):
        (prefgen.cwd / name).mkdir()
    for name in HOLDING_FILES:
        (prefgen.cwd / name).write_bytes(encode_v1(OTHER))
    env = {"CONFIG_CONFIG": None, "CONFIG_PATH": None, **env}

    result = prefgen.run("-lowres", env=env)

    assert (result.status, result.stdout, result.stderr) == (0, b"", b"")
    readlog = prefgen.cwd / "readlog.txt"
    if read is None:
        assert not readlog.exists()
    else:
        first_line = readlog.read_bytes().split(b"\n")[0]
        assert first_line == ("Trying to read standard file: " + read).encode()
    loaded = OTHER if read else DEFAULTS
    assert decode_v15((prefgen.cwd / saved).read_bytes()) == loaded.but(res=0)
    for name in HOLDING_FILES:
        if name != saved:
            assert (prefgen.cwd / name).read_bytes() == encode_v1(OTHER)
    if saved != "a/useropt":
        assert not (prefgen.cwd / "a" / "useropt").exists()
