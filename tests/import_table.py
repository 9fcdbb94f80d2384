"""Fails when a Windows program imports a DLL that is not part of Windows.

prefgen.exe has to start on a bare Windows: the C++ runtime, libgcc, the
thread library and libcrypto are linked in, and the OpenGL driver and the
control cache service are loaded at run time, so the import table names
Windows' own libraries only.

Usage: import_table.py --objdump OBJDUMP PROGRAM...
"""

import argparse
import re
import subprocess
import sys

# Libraries that every Windows installation has, in lower case. A DLL not
# listed here is a fault until someone checks that Windows ships it.
SYSTEM_DLLS = {
    "advapi32.dll",
    "bcrypt.dll",
    "crypt32.dll",
    "gdi32.dll",
    "kernel32.dll",
    "msvcrt.dll",
    "ntdll.dll",
    "ole32.dll",
    "shell32.dll",
    "ucrtbase.dll",
    "user32.dll",
    "ws2_32.dll",
}
# The Universal C Runtime's API sets (api-ms-win-crt-runtime-l1-1-0.dll...).
SYSTEM_DLL_PATTERN = re.compile(r"api-ms-win-[a-z0-9-]+\.dll")
# Loaded by name at run time; linking them would stop the program from
# starting on machines without them.
RUN_TIME_ONLY = {"opengl32.dll", "occache.dll"}


def imported_dlls(objdump, program):
    dump = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                          text=True).stdout
    return re.findall(r"^\s*DLL Name: (\S+)\s*$", dump, re.MULTILINE)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()

    faults = 0
    for program in args.programs:
        dlls = imported_dlls(args.objdump, program)
        print("%s imports %s" % (program, ", ".join(dlls) or "nothing"))
        if not any(dll.lower() == "kernel32.dll" for dll in dlls):
            # Every Windows program imports it: the table was not read.
            print("  no KERNEL32.dll: the import table could not be read")
            faults += 1
        for dll in dlls:
            name = dll.lower()
            if name in RUN_TIME_ONLY:
                print("  %s is linked, but must only be loaded at run time" % dll)
                faults += 1
            elif name not in SYSTEM_DLLS and not SYSTEM_DLL_PATTERN.fullmatch(name):
                print("  %s is not part of Windows" % dll)
                faults += 1
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
