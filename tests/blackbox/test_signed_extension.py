"""The signed extension block: xrc heads the document exactly when xrc.sig
holds a valid signature of it by the key the program trusts.

Signatures are made only with the project's signing command or the openssl
command line, never assembled here byte by byte."""

import random
import subprocess

import pytest

from expected import document
from useropt import DEFAULTS


def openssl(*args, cwd, stdin=None):
    done = subprocess.run(["openssl", *args], cwd=cwd, input=stdin, capture_output=True,
                          check=True)
    return done.stdout


@pytest.fixture(scope="session")
def other_key(tmp_path_factory):
    path = tmp_path_factory.mktemp("keys") / "other.pem"
    openssl("genrsa", "-out", str(path), "1024", cwd=path.parent)
    return path


class Signing:
    """Writes xrc and xrc.sig into a case's current directory."""

    def __init__(self, cwd, test_key, other_key, sign_tool):
        self.cwd = cwd
        self.test_key = test_key
        self.other_key = other_key
        self.sign_tool = sign_tool

    def write(self, name, data):
        (self.cwd / name).write_bytes(data)

    def sign(self, key=None):
        subprocess.run([str(self.sign_tool), str(key or self.test_key), "xrc"], cwd=self.cwd,
                       check=True, capture_output=True)

    def signature(self):
        return (self.cwd / "xrc.sig").read_bytes()

    def signed(self, content):
        """Writes content as xrc with a valid test-key signature."""
        self.write("xrc", content)
        self.sign()
        return content


@pytest.fixture
def signing(prefgen, keys_dir, other_key, sign_tool):
    return Signing(prefgen.cwd, keys_dir / "xrc-test-private.pem", other_key, sign_tool)


# Where the search for a signature with a leading zero byte starts: the
# first counter that gives one under the committed test key (one signature
# in a few hundred does), so that the search normally signs once. With any
# other key it simply goes on counting.
LEADING_ZERO_START = 473


@pytest.fixture(scope="session")
def leading_zero_case(tmp_path_factory, keys_dir):
    """An xrc content whose test-key signature starts with a zero byte, and
    that signature."""
    work = tmp_path_factory.mktemp("leading-zero")
    for counter in range(LEADING_ZERO_START, LEADING_ZERO_START + 5000):
        (work / "xrc").write_bytes(b"leading-zero-search %d\n" % counter)
        openssl("dgst", "-md5", "-binary", "-out", "digest", "xrc", cwd=work)
        signature = openssl("pkeyutl", "-sign", "-inkey", str(keys_dir / "xrc-test-private.pem"),
                            "-pkeyopt", "rsa_padding_mode:pkcs1", "-in", "digest", cwd=work)
        if signature[0] == 0:
            return (work / "xrc").read_bytes(), signature
    pytest.fail("no signature with a leading zero byte in 5000 contents")


TEXT = b"# extension\nwant-fog #f\nclock-frame-rate 60\n"
BINARY = bytes(range(256)) + b"\r\n\x1a\x00\x00\xff\r" + "été\n".encode("latin-1")


def valid_text(s):
    return s.signed(TEXT)


def valid_binary(s):
    return s.signed(BINARY)


def valid_without_final_newline(s):
    return s.signed(b"custom-setting 1")


def valid_one_byte(s):
    return s.signed(b"\x00")


def empty_xrc_signed(s):
    s.signed(b"")
    assert s.signature()
    return b""


def no_signature(s):
    s.write("xrc", TEXT)
    return b""


def empty_signature(s):
    s.write("xrc", TEXT)
    s.write("xrc.sig", b"")
    return b""


def signature_is_a_directory(s):
    s.write("xrc", TEXT)
    (s.cwd / "xrc.sig").mkdir()
    return b""


def signature_without_xrc(s):
    s.signed(TEXT)
    (s.cwd / "xrc").unlink()
    return b""


def other_key_signature(s):
    s.write("xrc", TEXT)
    s.sign(s.other_key)
    return b""


def digest_info_signature(s):
    s.write("xrc", TEXT)
    openssl("dgst", "-md5", "-binary", "-out", "digest", "xrc", cwd=s.cwd)
    openssl("pkeyutl", "-sign", "-inkey", str(s.test_key), "-pkeyopt", "digest:md5",
            "-in", "digest", "-out", "xrc.sig", cwd=s.cwd)
    # What the key holder would recover: the 16 digest bytes wrapped in a
    # 34-byte DigestInfo.
    recovered = openssl("pkeyutl", "-verifyrecover", "-inkey", str(s.test_key),
                        "-in", "xrc.sig", cwd=s.cwd)
    assert len(recovered) == 34 and recovered.endswith((s.cwd / "digest").read_bytes())
    return b""


def byte_changed_after_signing(s):
    s.signed(TEXT)
    s.write("xrc", TEXT.replace(b"#f", b"#t"))
    return b""


def byte_appended_after_signing(s):
    s.signed(TEXT)
    s.write("xrc", TEXT + b"\n")
    return b""


def signature_of_129_bytes(s):
    s.signed(TEXT)
    s.write("xrc.sig", b"\x00" + s.signature())
    return b""


def signature_not_below_modulus(s):
    s.write("xrc", TEXT)
    s.write("xrc.sig", b"\xff" * 128)
    return b""


def garbage_signature(s):
    s.write("xrc", TEXT)
    s.write("xrc.sig", random.Random(7).randbytes(128))
    return b""


CASES = [
    valid_text, valid_binary, valid_without_final_newline, valid_one_byte,
    empty_xrc_signed, no_signature, empty_signature, signature_is_a_directory,
    signature_without_xrc, other_key_signature, digest_info_signature,
    byte_changed_after_signing, byte_appended_after_signing, signature_of_129_bytes,
    signature_not_below_modulus, garbage_signature,
]


@pytest.mark.parametrize("setup", CASES, ids=[case.__name__ for case in CASES])
def test_extension_block(prefgen_testkey, signing, setup):
    block = setup(signing)

    result = prefgen_testkey.run("-stdout")

    assert result.stdout == prefgen_testkey.console(document(DEFAULTS, extension=block))
    assert (result.status, result.stderr) == (0, b"")


def test_signature_with_leading_zero_dropped(prefgen_testkey, signing, leading_zero_case):
    content, signature = leading_zero_case
    signing.write("xrc", content)
    signing.write("xrc.sig", signature[1:])

    result = prefgen_testkey.run("-stdout")

    assert result.stdout == prefgen_testkey.console(document(DEFAULTS, extension=content))
    assert (result.status, result.stderr) == (0, b"")


def test_release_build_ignores_test_key_signature(prefgen, prefgen_testkey, signing):
    signing.signed(TEXT)

    accepted = prefgen_testkey.run("-stdout")
    ignored = prefgen.run("-stdout")

    assert accepted.stdout == prefgen_testkey.console(document(DEFAULTS, extension=TEXT))
    assert ignored.stdout == prefgen.console(document(DEFAULTS))
    assert (ignored.status, ignored.stderr) == (0, b"")


def test_large_extension_goes_through_whole(prefgen_testkey, signing):
    content = signing.signed(random.Random(20).randbytes(20 << 20))
    block = prefgen_testkey.console(content)
    plain = prefgen_testkey.console(document(DEFAULTS))

    result = prefgen_testkey.run("-stdout")

    assert (result.status, result.stderr) == (0, b"")
    assert len(result.stdout) == len(block) + len(plain)
    # Compared without showing 20 MiB in a failure report.
    block_intact = result.stdout[:len(block)] == block
    assert block_intact, "the extension bytes differ"
    assert result.stdout[len(block):] == plain
