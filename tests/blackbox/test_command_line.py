"""Command line: which choices reach the record, when it is saved, when the
document is written, and what invalid arguments get."""

import pytest

from expected import USAGE, check_document_stderr, display_record, document
from runner import key_values
from useropt import DEFAULTS, DISTINCT, decode_v15, encode_v1

# Written after the last field of a seeded file: the reader ignores it and any
# save drops it, so an unchanged file proves that nothing was saved.
TRAILER = b"\xAA"

D = DEFAULTS


def seed(runner, record):
    data = encode_v1(record, extra=TRAILER)
    (runner.cwd / "useropt").write_bytes(data)
    return data


def has_option(args, word):
    return any(arg[:1] in "-/" and arg[1:].lower() == word.lower() for arg in args)


# args, the saved file before the run (None: no file), the record after the
# choices are applied, whether the run saves it.
CHOICES = [
    pytest.param([], None, D, False, id="no-arguments"),
    pytest.param([], DISTINCT, DISTINCT, False, id="no-arguments-with-file"),
    pytest.param(["-stdout"], None, D, False, id="stdout-alone"),
    pytest.param(["/STDOUT"], DISTINCT, DISTINCT, False, id="stdout-slash-capitals"),
    pytest.param(["-DX9"], None, D.but(driver=3), True, id="dx9-saves"),
    pytest.param(["-dx9"], None, D.but(driver=3), True, id="dx9-lower-case"),
    pytest.param(["/DX9"], None, D.but(driver=3), True, id="dx9-slash"),
    pytest.param(["/dX9"], None, D.but(driver=3), True, id="dx9-slash-mixed-case"),
    pytest.param(["-DX9", "-stdout"], None, D.but(driver=3), False, id="dx9-stdout-no-save"),
    pytest.param(["-DX9", "-windowed", "-stdout"], None,
                 D.but(driver=3, use_windowed_mode=True, res=0), True, id="dx9-windowed-stdout"),
    pytest.param(["-DX8"], DISTINCT, DISTINCT.but(driver=5), True, id="dx8"),
    pytest.param(["-DX7"], DISTINCT, DISTINCT.but(driver=5), True, id="dx7-same-as-dx8"),
    pytest.param(["-OGL"], D.but(driver=3), D.but(driver=0), True, id="ogl"),
    pytest.param(["-default"], D.but(driver=3), D, True, id="default-interface"),
    pytest.param(["-OGL", "-DX9"], None, D.but(driver=3), True, id="last-interface-wins"),
    pytest.param(["-DX9", "-DX9", "-stdout", "-stdout"], None, D.but(driver=3), False,
                 id="repeated-options"),
    pytest.param(["-cursor_off"], None, D.but(custom_mousecursor_enabled=False), True,
                 id="cursor-off-saves"),
    pytest.param(["-cursor_off", "-stdout"], None, D.but(custom_mousecursor_enabled=False),
                 False, id="cursor-off-stdout-no-save"),
    pytest.param(["-cursor_on"], DISTINCT, DISTINCT.but(custom_mousecursor_enabled=True), True,
                 id="cursor-on"),
    pytest.param(["-save"], DISTINCT, DISTINCT, True, id="save"),
    pytest.param(["-save", "-stdout"], DISTINCT, DISTINCT, True, id="save-stdout"),
    pytest.param(["-lowres"], DISTINCT, DISTINCT.but(res=0), True, id="lowres"),
    pytest.param(["-windowed"], None, D.but(use_windowed_mode=True, res=0), True,
                 id="windowed-sets-lowres"),
    pytest.param(["-windowed", "-fullscreen"], None, D.but(res=0), True,
                 id="windowed-then-fullscreen"),
    pytest.param(["-fullscreen"], DISTINCT, DISTINCT.but(use_windowed_mode=False), True,
                 id="fullscreen-keeps-resolution"),
    pytest.param(["-show_fps"], None, D.but(show_fps_meter=True), True, id="show-fps"),
    pytest.param(["-hide_fps"], DISTINCT, DISTINCT.but(show_fps_meter=False), True,
                 id="hide-fps"),
    pytest.param(["-force_sw_midi"], DISTINCT, DISTINCT.but(force_sw_midi=True), True,
                 id="force-sw-midi"),
    pytest.param(["-allow_hw_midi", "-stdout"], None, D.but(force_sw_midi=False), True,
                 id="allow-hw-midi-stdout"),
    pytest.param(["-pickbestres"], None, D, False, id="pickbestres-alone"),
    pytest.param(["-pickbestres", "-stdout"], None, D, False, id="pickbestres-no-file"),
    pytest.param(["-pickbestres", "-stdout"], D, D, False, id="pickbestres-with-file"),
    pytest.param(["-NoOverride"], None, D, False, id="nooverride-alone"),
    # Under -NoOverride the interface replaces only the default interface.
    pytest.param(["-NoOverride", "-OGL", "-stdout"], D.but(driver=3), D.but(driver=3), False,
                 id="nooverride-keeps-saved-interface"),
    pytest.param(["-NoOverride", "-OGL", "-stdout"], D, D.but(driver=0), False,
                 id="nooverride-replaces-default-interface"),
    pytest.param(["-NoOverride", "-OGL", "-stdout"], None, D.but(driver=0), False,
                 id="nooverride-interface-no-file"),
    pytest.param(["-NoOverride", "-OGL"], None, D.but(driver=0), True,
                 id="nooverride-saves-without-file"),
    pytest.param(["-NoOverride", "-DX8"], D, D.but(driver=5), False,
                 id="nooverride-no-save-with-file"),
    # ... and the cursor choice is never applied.
    pytest.param(["-NoOverride", "-cursor_off"], None, D, True,
                 id="nooverride-cursor-ignored-no-file"),
    pytest.param(["-NoOverride", "-cursor_on", "-stdout"], DISTINCT, DISTINCT, False,
                 id="nooverride-cursor-ignored-with-file"),
    pytest.param(["-NoOverride", "-save"], DISTINCT, DISTINCT, False,
                 id="nooverride-save-with-file"),
    pytest.param(["-save", "-NoOverride"], None, D, True, id="nooverride-save-no-file"),
    # The other choices still reach the document.
    pytest.param(["-NoOverride", "-windowed", "-stdout"], D,
                 D.but(use_windowed_mode=True, res=0), False, id="nooverride-windowed-stdout"),
    pytest.param(["-NoOverride", "-show_fps", "-allow_hw_midi", "-lowres", "-stdout"], DISTINCT,
                 DISTINCT.but(show_fps_meter=True, force_sw_midi=False, res=0), False,
                 id="nooverride-other-choices-stdout"),
]


@pytest.mark.parametrize("args, start, final, saved", CHOICES)
def test_choices_reach_record_document_and_saved_file(prefgen, args, start, final, saved):
    useropt = prefgen.cwd / "useropt"
    before = seed(prefgen, start) if start is not None else None
    registry_before = prefgen.registry_state()

    result = prefgen.run(*args)

    assert result.status == 0
    if saved:
        assert decode_v15(useropt.read_bytes()) == final
    elif before is None:
        assert not useropt.exists()
    else:
        assert useropt.read_bytes() == before
    if has_option(args, "stdout"):
        check_document_stderr(prefgen, result.stderr, final)
        assert result.stdout == prefgen.console(
            document(final, has_option(args, "pickbestres"), start is not None))
        assert key_values(prefgen.read_registry()) == {
            name.lower(): value for name, value in display_record(final).items()}
    else:
        assert result.stderr == b""
        assert result.stdout == b""
        assert prefgen.registry_state() == registry_before


def test_choices_saved_in_one_run_shape_the_next_document(prefgen):
    first = prefgen.run("-DX8", "-windowed", "-show_fps", "-allow_hw_midi", "-cursor_off")
    assert (first.status, first.stdout, first.stderr) == (0, b"", b"")

    second = prefgen.run("-stdout")

    chosen = D.but(driver=5, use_windowed_mode=True, res=0, show_fps_meter=True,
                   force_sw_midi=False, custom_mousecursor_enabled=False)
    assert second.stdout == prefgen.console(document(chosen, saved_file_found=True))
    assert (second.status, second.stderr) == (0, b"")


# args, the ones reported as invalid.
INVALID = [
    pytest.param(["-"], ["-"], id="lone-minus"),
    pytest.param(["/"], ["/"], id="lone-slash"),
    pytest.param([""], [""], id="empty"),
    pytest.param(["stdout"], ["stdout"], id="no-prefix"),
    pytest.param(["-bogus"], ["-bogus"], id="unknown-word"),
    pytest.param(["--stdout"], ["--stdout"], id="double-minus"),
    pytest.param(["-stdout2"], ["-stdout2"], id="character-more"),
    pytest.param(["-std"], ["-std"], id="character-less"),
    pytest.param(["-DX9 "], ["-DX9 "], id="trailing-blank"),
    pytest.param(["-save", "x", "-windowed", "/nope", "-stdout", "-DX9"], ["x", "/nope"],
                 id="valid-options-beside"),
    pytest.param(["-a", "-a", "-b"], ["-a", "-a", "-b"], id="each-gets-a-line"),
    pytest.param(["-uninstall_activex", "-q"], ["-q"], id="uninstall-with-invalid"),
    pytest.param(["-NoOverride", "-"], ["-"], id="nooverride-with-invalid"),
]


@pytest.mark.parametrize("args, invalid", INVALID)
def test_invalid_arguments_give_usage_and_change_nothing(prefgen, args, invalid):
    before = seed(prefgen, DISTINCT)
    registry_before = prefgen.registry_state()

    result = prefgen.run(*args)

    lines = b"".join(b"Invalid argument: " + arg.encode() + b"\n" for arg in invalid)
    assert result.stderr == prefgen.console(lines + USAGE)
    assert result.status == 1
    assert result.stdout == b""
    assert (prefgen.cwd / "useropt").read_bytes() == before
    assert prefgen.registry_state() == registry_before
    # The saved file was still loaded: its trace is there.
    assert (prefgen.cwd / "readlog.txt").read_bytes().startswith(
        b"Trying to read standard file: ./useropt\n")


def test_uninstall_applies_no_choice_and_writes_no_document(prefgen):
    before = seed(prefgen, DISTINCT)
    registry_before = prefgen.registry_state()

    result = prefgen.run("-uninstall_activex", "-save", "-windowed", "-stdout")

    # How the removal itself ends depends on the platform; whatever it does,
    # the record is neither saved nor printed nor recorded.
    assert result.stdout == b""
    assert (prefgen.cwd / "useropt").read_bytes() == before
    assert prefgen.registry_state() == registry_before
