"""What the program should print and store, built from the rules of the
document and the display record rather than from the program's own tables."""

import math
import struct
from pathlib import Path

from useropt import volume_bytes

GOLDEN_DIR = Path(__file__).parent / "golden"
CONSTANT_BLOCK = (GOLDEN_DIR / "constant_block.txt").read_bytes()

USAGE = (
    b"Syntax: prefgen [options]\n"
    b"Options:\n"
    b"-OGL:         select OpenGL as the graphics rendering interface\n"
    b"-DX9:         select Direct3D 9 as the graphics rendering interface\n"
    b"-DX8:         select Direct3D 8 as the graphics rendering interface\n"
    b"-cursor_off:  use standard windows mouse cursor\n"
    b"-cursor_on:   use custom zindara mouse cursor\n"
    b"-lowres:      set the startup screen resolution to 640x480\n"
    b"-fullscreen:  use fullscreen mode\n"
    b"-windowed:    use windowed mode\n"
    b"-show_fps:    show frames/sec perf meter\n"
    b"-hide_fps:    do not show frames/sec perf meter\n"
    b"-force_sw_midi: force use of software-midi to play midi music\n"
    b"-allow_hw_midi: allow use of midi hardware to play midi music, if it exists\n"
    b"-NoOverride:  ignore new setting specifications if saved options file exists\n"
    b"-save:        save settings to 'useropt' file (default)\n"
    b"-uninstall_activex: uninstall zindara activex control\n"
)

SERVER_TYPE_ERROR = b"There is an error in the settings file w.r.t. the server type\n"

SCREEN_SIZES = {0: (640, 480), 1: (800, 600), 2: (1024, 768), 3: (1280, 1024), 4: (1600, 1200)}
# A code that names no screen size gets the no-file default.
OTHER_SCREEN_SIZE = (800, 600)

DISPLAY_MODULES = {0: "vexagl", 1: "vexadx8", 2: "vexadx9", 3: "vexadx9", 5: "vexadx8"}
GFX_API_USED = {0: 1, 1: 9, 2: 0, 3: 10, 4: 0, 5: 9}


def screen_size(res):
    return SCREEN_SIZES.get(res, OTHER_SCREEN_SIZE)


def volume_text(value):
    """A volume in the general format, six significant digits; what is not a
    finite number is written as 1."""
    as_float = struct.unpack("<f", volume_bytes(value))[0]
    if not math.isfinite(as_float):
        return "1"
    return "%g" % as_float


def truth(value):
    return "#t" if value else "#f"


def option_tail(record, pick_best_res=False, saved_file_found=False):
    """The lines after the constant block."""
    lines = [""]
    if record.custom_mousecursor_enabled:
        lines += ["cursor-filename zindmono.cur", ""]
    if record.show_fps_meter:
        lines += ["show-frame-rate-meter #t", ""]
    if record.driver in DISPLAY_MODULES:
        lines.append("load-display " + DISPLAY_MODULES[record.driver])
    lines.append("")
    lines += ["fullscreen " + truth(not record.use_windowed_mode), ""]
    lines += [
        "#", "# audio related options", "#", "",
        "# load the loaders", "audio-loader mp3", "audio-loader midi", "audio-loader wav",
        "audio-software-midi " + truth(record.force_sw_midi), "",
        "# turn sfx " + ("on" if record.sfx else "off"), "audio-sfx-active " + truth(record.sfx),
        "# turn music " + ("on" if record.music else "off"),
        "audio-music-active " + truth(record.music), "",
        "audio-master-sfx-volume " + volume_text(record.sfx_vol),
        "audio-master-music-volume " + volume_text(record.music_vol),
    ]
    lines.append("")
    width, height = screen_size(record.res)
    lines += ["#", "# display resolution", "#", "", "win-size %d %d" % (width, height), ""]
    if pick_best_res and not saved_file_found:
        lines += ["pick-best-screenres #t", ""]
    server_type = {0: "prod", 1: "dev", 2: "debug"}.get(record.stype, "prod")
    lines += ["#", "# server type", "#", "", "server-type " + server_type]
    return "".join(line + "\n" for line in lines).encode("ascii")


def document(record, pick_best_res=False, saved_file_found=False, extension=b""):
    return extension + CONSTANT_BLOCK + option_tail(record, pick_best_res, saved_file_found)


def document_stderr(record):
    return b"" if record.stype in (0, 1, 2) else SERVER_TYPE_ERROR


def check_document_stderr(runner, stderr, record):
    """Checks what a run that wrote the document for record put on standard
    error. A run that chose OpenGL then probes the driver, and what the probe
    reports there (it depends on the machine's OpenGL) is left to the probe's
    own tests."""
    expected = runner.console(document_stderr(record))
    if record.driver == 0:
        assert stderr[:len(expected)] == expected
    else:
        assert stderr == expected


def display_record(record):
    """The values a run with -stdout stores under the product key."""
    width, height = screen_size(record.res)
    return {
        "UsingWindowedMode": ("dword", 1 if record.use_windowed_mode else 0),
        "LastScreenSize": ("sz", "%dx%d" % (width, height)),
        "GfxApiUsed": ("dword", GFX_API_USED.get(record.driver, 0)),
    }
