"""The document printed with -stdout, compared whole, byte for byte."""

import pytest

from expected import check_document_stderr, document
from useropt import DEFAULTS, DISTINCT, encode_v1

D = DEFAULTS

# The saved file's record (None: no file), whether -pickbestres is given.
RECORDS = [
    pytest.param(None, False, id="no-file"),
    pytest.param(None, True, id="no-file-pickbestres"),
    pytest.param(D, True, id="file-pickbestres"),
    pytest.param(DISTINCT, False, id="every-field-changed"),
    pytest.param(D.but(driver=0), False, id="driver-0"),
    pytest.param(D.but(driver=1), False, id="driver-1"),
    pytest.param(D.but(driver=3), False, id="driver-3"),
    pytest.param(D.but(driver=4), False, id="driver-4-no-module"),
    pytest.param(D.but(driver=5), False, id="driver-5"),
    pytest.param(D.but(driver=6, custom_mousecursor_enabled=False), False, id="driver-6"),
    pytest.param(D.but(driver=200, show_fps_meter=True), False, id="driver-200"),
    pytest.param(D.but(show_fps_meter=True), False, id="cursor-and-meter"),
    pytest.param(D.but(custom_mousecursor_enabled=False, show_fps_meter=True), False,
                 id="meter-only"),
    pytest.param(D.but(use_windowed_mode=True), False, id="windowed"),
    pytest.param(D.but(force_sw_midi=False), False, id="hardware-midi"),
    pytest.param(D.but(sfx=False), False, id="sfx-off"),
    pytest.param(D.but(music=False), False, id="music-off"),
    pytest.param(D.but(sfx_vol=0.5, music_vol=0.25), False, id="volumes-half-quarter"),
    pytest.param(D.but(sfx_vol=0.8, music_vol=1 / 3), False, id="volumes-six-digits"),
    pytest.param(D.but(sfx_vol=1e-05, music_vol=1e6), False, id="volumes-exponent"),
    pytest.param(D.but(sfx_vol=123456789.0, music_vol=-0.5), False, id="volumes-large-negative"),
    pytest.param(D.but(sfx_vol=0.0, music_vol=-0.0), False, id="volumes-zero"),
    pytest.param(D.but(sfx_vol=b"\x00\x00\xc0\x7f", music_vol=b"\x00\x00\x80\x7f"), False,
                 id="volumes-nan-inf"),
    pytest.param(D.but(sfx_vol=b"\x00\x00\x80\xff", music_vol=b"\x01\x00\x80\xff"), False,
                 id="volumes-minus-inf-minus-nan"),
    pytest.param(D.but(res=0), False, id="res-0"),
    pytest.param(D.but(res=2), False, id="res-2"),
    pytest.param(D.but(res=3), False, id="res-3"),
    pytest.param(D.but(res=4), False, id="res-4"),
    pytest.param(D.but(res=5), False, id="res-5"),
    pytest.param(D.but(res=255), False, id="res-255"),
    pytest.param(D.but(stype=1), False, id="server-dev"),
    pytest.param(D.but(stype=2), False, id="server-debug"),
    pytest.param(D.but(stype=3), False, id="server-invalid-3"),
    pytest.param(D.but(stype=255, res=9, driver=9), False, id="all-codes-invalid"),
]


@pytest.mark.parametrize("record, pick_best_res", RECORDS)
def test_document(prefgen, record, pick_best_res):
    if record is not None:
        (prefgen.cwd / "useropt").write_bytes(encode_v1(record))
    args = ["-stdout"] + (["-pickbestres"] if pick_best_res else [])

    result = prefgen.run(*args)

    shown = DEFAULTS if record is None else record
    assert result.stdout == prefgen.console(
        document(shown, pick_best_res, saved_file_found=record is not None))
    check_document_stderr(prefgen, result.stderr, shown)
    assert result.status == 0

