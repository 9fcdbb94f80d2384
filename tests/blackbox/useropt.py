"""Saved options files (useropt) built and read independently of the program."""

import dataclasses
import struct

HEADER = b"UserSettings"

# The five switches that minor versions 1 to 5 added, in file order.
LATER_FIELDS = (
    "custom_mousecursor_enabled",
    "use_windowed_mode",
    "show_fps_meter",
    "force_sw_midi",
    "zind_chat_sounds",
)


@dataclasses.dataclass
class Record:
    """The options record; the defaults are those of a run without a saved
    file. Boolean fields may hold any byte value when a file is built."""

    sfx: object = True
    music: object = True
    chat: object = True
    sfx_vol: float = 1.0
    music_vol: float = 1.0
    driver: int = 2
    res: int = 1
    stype: int = 0
    custom_mousecursor_enabled: object = True
    use_windowed_mode: object = False
    show_fps_meter: object = False
    force_sw_midi: object = True
    zind_chat_sounds: object = True

    def but(self, **changes):
        return dataclasses.replace(self, **changes)


DEFAULTS = Record()

# Every field differs from DEFAULTS.
DISTINCT = Record(
    sfx=False, music=False, chat=False, sfx_vol=0.25, music_vol=0.75,
    driver=1, res=3, stype=1,
    custom_mousecursor_enabled=False, use_windowed_mode=True, show_fps_meter=True,
    force_sw_midi=False, zind_chat_sounds=False,
)


# A third set: numbers unlike both DEFAULTS and DISTINCT, switches as in
# DEFAULTS.
OTHER = DEFAULTS.but(sfx_vol=0.5, music_vol=0.125, driver=5, res=4, stype=2)

# What a file of an unknown major version leaves.
FALLBACK = DEFAULTS.but(driver=4, res=5, stype=3)


def invalid_header_set(record):
    """What a file with a bad header word leaves; the five later switches
    keep what record had."""
    return record.but(sfx=True, music=True, chat=True, sfx_vol=1.0, music_vol=1.0,
                      driver=4, res=5, stype=3)


def _byte(value):
    return int(value) & 0xFF


def volume_bytes(value):
    """A volume as stored: a float, or already the four stored bytes."""
    if isinstance(value, bytes):
        assert len(value) == 4
        return value
    return struct.pack("<f", value)


def encode_v1(record, minor=5, extra=b"", header=HEADER):
    """A file of major version 1 with the given minor version; it carries the
    first min(minor, 5) later switches, then extra."""
    data = bytearray(header)
    data += bytes([1, minor, _byte(record.sfx), _byte(record.music), _byte(record.chat)])
    data += volume_bytes(record.sfx_vol) + volume_bytes(record.music_vol)
    data += bytes([_byte(record.driver), _byte(record.res), _byte(record.stype)])
    for name in LATER_FIELDS[:min(minor, 5)]:
        data.append(_byte(getattr(record, name)))
    return bytes(data) + extra


def encode_v0(sound, driver, res, stype, minor=0):
    return HEADER + bytes([0, minor, sound, driver, res, stype])


def encode_other_major(major, minor, rest=b""):
    return HEADER + bytes([major, minor]) + rest


def decode_v15(data):
    """The record in a file as the program writes it (33 bytes, version 1.5).
    Switches come back as the byte values stored."""
    assert len(data) == 33, "saved file has %d bytes" % len(data)
    assert data[:14] == HEADER + b"\x01\x05", data[:14]
    sfx_vol, music_vol = struct.unpack("<ff", data[17:25])
    return Record(
        sfx=data[14], music=data[15], chat=data[16], sfx_vol=sfx_vol, music_vol=music_vol,
        driver=data[25], res=data[26], stype=data[27],
        **dict(zip(LATER_FIELDS, data[28:33])),
    )

