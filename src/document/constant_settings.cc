#include "document/constant_settings.h"

namespace {

// The servers whose certificates the client accepts, each named in the
// certificate's subject: account then game server, for QA, test, production.
const char kCertificateSubject[] = "expected-ssl-server /O=Corvane Enterprises/OU=CVNI/CN=";
const char* const kServerHosts[] = {
    "account.qa.zindara.example.net",   "game.qa.zindara.example.net",
    "account.test.zindara.example.net", "game.test.zindara.example.net",
    "account.zindara.example.net",      "game.zindara.example.net",
};

const char kBeforeCertificates[] =
    "#\n"
    "# constant config settings\n"
    "#\n"
    "\n"
    "chan-config-sanity-check #f\n"
    "window-title Zindara\n"
    "require-window 0\n"
    "language english\n"
    "icon-filename zindara.ico\n"
    "\n"
    "cull-bin shadow 15 fixed\n"
    "cull-bin ground 14 fixed\n"
    "cull-bin gui-popup 60 unsorted\n"
    "default-model-extension .bam\n"
    "plugin-path .\n"
    "# downloader settings\n"
    "decompressor-buffer-size 32768\n"
    "extractor-buffer-size 32768\n"
    "patcher-buffer-size 512000\n"
    "downloader-timeout 15\n"
    "downloader-timeout-retries 4\n"
    "downloader-disk-write-frequency 4\n"
    "downloader-byte-rate 125000\n"
    "downloader-frequency 0.1\n"
    "want-render2dp 1\n"
    "\n"
    "# texture settings\n"
    "textures-power-2 down\n"
    "\n"
    "# loader settings\n"
    "load-file-type zindara\n"
    "dc-file phase_3/etc/zind.dc\n"
    "dc-file phase_3/etc/ozk.dc\n"
    "aux-display vexadx9\n"
    "aux-display vexadx8\n"
    "aux-display vexagl\n"
    "compress-channels #t\n"
    "display-lists 0\n"
    "text-encoding utf8\n"
    "direct-wtext 0\n"
    // Ideographic full stop, fullwidth question and exclamation marks and the
    // ideographic comma, in UTF-8.
    "text-never-break-before ,.-:?!;\xE3\x80\x82\xEF\xBC\x9F\xEF\xBC\x81\xE3\x80\x81\n"
    "\n"
    "early-random-seed 1\n"
    "ssl-certificates phase_3/etc/certificates.txt\n"
    "ssl-certificates phase_3/etc/gameserver.txt\n";

const char kAfterCertificates[] =
    "ssl-cipher-list RC4-MD5\n"
    "paranoid-clock 1\n"
    "lock-to-one-cpu 1\n"
    "collect-tcp 1\n"
    "collect-tcp-interval 0.2\n"
    "respect-prev-transform 1\n"
    "\n"
    "# notify settings\n"
    "notify-level-collide warning\n"
    "notify-level-chan warning\n"
    "notify-level-gobj warning\n"
    "notify-level-loader warning\n"
    "notify-timestamp #t\n"
    "\n"
    "decompressor-step-time 0.5\n"
    "extractor-step-time 0.5\n"
    "\n"
    "# Server version\n";

const int kServerVersionMinor = 0;
const int kServerVersionBuild = 55;

const char kAfterServerVersion[] =
    "server-version-suffix \n"
    "required-login playToken\n"
    "server-failover 80 443\n"
    "want-fog #t\n"
    "dx-use-rangebased-fog #t\n"
    "aspect-ratio 1.333333\n"
    "on-screen-debug-font phase_3/models/fonts/ImpressBT.ttf\n"
    "temp-hpr-fix 1\n"
    "ime-aware 1\n"
    "ime-hide 1\n"
    "vertex-buffers 0\n"
    "dx-broken-max-index 1\n"
    "dx-management 1\n"
    "vfs-case-sensitive 0\n"
    "inactivity-timeout 180\n"
    "early-event-sphere 1\n"
    "merge-lod-bundles 0\n"
    "clock-mode limited\n"
    "clock-frame-rate 120\n"
    "prefer-parasite-buffer 0\n";

void write_text(std::ostream& out, const char* text, std::size_t size_with_nul) {
  out.write(text, static_cast<std::streamsize>(size_with_nul - 1));
}

}  // namespace

void write_constant_settings(std::ostream& out) {
  write_text(out, kBeforeCertificates, sizeof kBeforeCertificates);
  for (const char* host : kServerHosts) out << kCertificateSubject << host << '\n';
  write_text(out, kAfterCertificates, sizeof kAfterCertificates);
  out << "server-version sv1." << kServerVersionMinor << ".38." << kServerVersionBuild << ".test\n";
  write_text(out, kAfterServerVersion, sizeof kAfterServerVersion);
}
