#!/usr/bin/env python3
"""The application manifest inside the built program files: resource 24/1,
well formed, with what Windows reads from it, and the same in every file but
for the architecture. Wine runs a program whose manifest is broken; Windows
refuses to start it, so this is read on the Linux side.
   tests/manifest_check.py VERSION FILE:ARCHITECTURE...
"""
import struct
import sys
import xml.etree.ElementTree as ET

ASM = "{urn:schemas-microsoft-com:asm.v1}"
ASM3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SUPPORTED = {  # Vista, 7, 8, 8.1, 10 and 11
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}


def resource(data, kind, ident):
    """The bytes of resource kind/ident (first language) of a PE file."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    sections, optional = struct.unpack_from("<H12xH", data, pe + 6)
    magic = struct.unpack_from("<H", data, pe + 24)[0]
    directories = pe + 24 + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = pe + 24 + optional
    for i in range(sections):
        _, size, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if rva <= rsrc_rva < rva + max(size, raw_size):
            base = raw + rsrc_rva - rva
            delta = rva - raw
            break
    else:
        raise AssertionError("no resource section")

    def entry(offset, wanted):
        named, numbered = struct.unpack_from("<12xHH", data, base + offset)
        for k in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * k)
            if wanted is None or (not name & 0x80000000 and name == wanted):
                return target
        raise AssertionError(f"no resource entry {wanted}")

    level = entry(0, kind)
    level = entry(level & 0x7FFFFFFF, ident)
    leaf = entry(level & 0x7FFFFFFF, None)
    data_rva, length = struct.unpack_from("<II", data, base + leaf)
    return data[data_rva - delta:data_rva - delta + length]


def check(path, architecture, version):
    text = resource(open(path, "rb").read(), 24, 1)
    root = ET.fromstring(text)  # raises on a manifest that is not well formed
    assert root.tag == ASM + "assembly", root.tag
    me = root.find(ASM + "assemblyIdentity")
    assert me is not None and me.get("type") == "win32" and me.get("name") == "Somnaro", me
    assert me.get("version") == version, me.get("version")
    assert me.get("processorArchitecture") == architecture, me.get("processorArchitecture")
    controls = [a for a in root.iter(ASM + "assemblyIdentity")
                if a.get("name") == "Microsoft.Windows.Common-Controls"]
    assert len(controls) == 1, "no Common Controls dependency"
    assert controls[0].get("version") == "6.0.0.0", controls[0].get("version")
    assert controls[0].get("publicKeyToken") == "6595b64144ccf1df"
    found = {s.get("Id") for s in root.iter(COMPAT + "supportedOS")}
    assert found == SUPPORTED, found
    aware = [d.text for d in root.iter(SETTINGS + "dpiAware")]
    assert aware == ["true"], aware
    levels = [(r.get("level"), r.get("uiAccess"))
              for r in root.iter(ASM3 + "requestedExecutionLevel")]
    assert levels == [("asInvoker", "false")], levels
    print(f"{path}: manifest of Somnaro {version}, {architecture}")
    # Only the architecture may differ between the files.
    return text.replace(f'processorArchitecture="{architecture}"'.encode(), b"")


def main():
    version = sys.argv[1]
    bodies = set()
    for argument in sys.argv[2:]:
        path, architecture = argument.rsplit(":", 1)
        bodies.add(check(path, architecture, version))
    assert len(bodies) == 1, "the files' manifests differ in more than the architecture"
    print("1 passed, 0 failed")


if __name__ == "__main__":
    try:
        main()
    except (AssertionError, ET.ParseError) as failure:
        print(f"FAIL: {failure}")
        sys.exit(1)
