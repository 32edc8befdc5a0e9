"""Reads what the Windows package checks need from the packaged files.

  windows_files.py versions <version> <exe>...   version resources and manifests
  windows_files.py icon-sizes <ico>              the images of an icon file
  windows_files.py zip-names <zip>               a zip's member names, sorted
  windows_files.py shortcut-folder <lnk>         a shortcut's working folder

"versions" prints what it read and exits 1 when a resource differs from the
project's version; the others print what they read.
"""
import re
import struct
import sys
import zipfile


def resource_texts(pe):
    texts = {}
    for info in getattr(pe, "FileInfo", None) or []:
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                texts.update({k.decode(): v.decode() for k, v in table.entries.items()})
    return texts


def manifest(pe):
    """The RT_MANIFEST resource as text, or None."""
    for kind in getattr(getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None), "entries", []):
        if kind.id != 24:
            continue
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                return pe.get_data(data.OffsetToData, data.Size).decode("utf-8")
    return None


def versions(version, paths):
    import pefile  # the system's python3-pefile

    failures = 0
    numbers = tuple(int(n) for n in (version.split(".") + ["0"] * 4)[:4])

    def fail(message):
        nonlocal failures
        print(f"FAILED: {message}")
        failures += 1

    for path in paths:
        pe = pefile.PE(path)
        texts = resource_texts(pe)
        fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
        got = fixed and (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
                         fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF)
        name = path.rsplit("/", 1)[-1]
        print(f"{name}: {got} {texts}")
        wanted = {"ProductName": "Orvanta", "FileVersion": version, "ProductVersion": version}
        if name.endswith("-setup.exe"):
            # The uninstaller it writes carries the same resource.
            wanted["FileDescription"] = f"Orvanta {version} Setup and Uninstall"
        else:
            wanted["OriginalFilename"] = name
        for key, value in wanted.items():
            if texts.get(key) != value:
                fail(f"{name}: {key} is {texts.get(key)!r}, not {value!r}")
        if got != numbers:
            fail(f"{name}: the fixed version is {got}, not {numbers}")
        # The manifests, the installer's too: the same version, awareness of
        # the screen's resolution, and the Windows versions they are made for.
        xml = manifest(pe) or ""
        identity = re.search(r'<assemblyIdentity type="win32" name="Orvanta(?:\.Setup)?" version="([0-9.]+)"', xml)
        quad = ".".join(str(n) for n in numbers)
        if not identity or identity.group(1) != quad:
            fail(f"{name}: the manifest's version is {identity and identity.group(1)!r}, not {quad!r}")
        supported = re.findall(r'<supportedOS Id="(\{[0-9a-f-]+\})"/>', xml)
        print(f"{name}: manifest version {identity and identity.group(1)}, {len(supported)} supported systems")
        if "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" not in supported:
            fail(f"{name}: the manifest does not name Windows 10 and 11 as supported")
        if not re.search(r"<dpiAware[^>]*>true", xml):
            fail(f"{name}: the manifest does not declare awareness of the screen's resolution")
        if len(re.findall(r"<assembly ", xml)) != 1:
            fail(f"{name}: the manifest resource holds {len(re.findall(r'<assembly ', xml))} manifests")
    return 1 if failures else 0


def icon_sizes(path):
    data = open(path, "rb").read()
    count = struct.unpack("<H", data[4:6])[0]
    entries = []
    for i in range(count):
        w, h, _, _, _, bits = struct.unpack("<BBBBHH", data[6 + 16 * i:14 + 16 * i])
        entries.append(f"{w or 256}x{h or 256}:{bits}bit")
    print(" ".join(entries))
    return 0


def zip_names(path):
    print("\n".join(sorted(zipfile.ZipFile(path).namelist())))
    return 0


def shortcut_folder(path):
    """The working folder from a shell link's string data."""
    data = open(path, "rb").read()
    flags = struct.unpack("<I", data[20:24])[0]
    pos = 76
    if flags & 0x01:  # item id list
        pos += 2 + struct.unpack("<H", data[pos:pos + 2])[0]
    if flags & 0x02:  # link info
        pos += struct.unpack("<I", data[pos:pos + 4])[0]
    wide = flags & 0x80
    for bit in (0x04, 0x08, 0x10):  # name, relative path, working folder
        if flags & bit:
            count = struct.unpack("<H", data[pos:pos + 2])[0]
            size = count * (2 if wide else 1)
            text = data[pos + 2:pos + 2 + size].decode("utf-16-le" if wide else "latin-1")
            pos += 2 + size
            if bit == 0x10:
                print(text.rstrip("\0"))
    return 0


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "versions":
        sys.exit(versions(args[0], args[1:]))
    sys.exit({"icon-sizes": icon_sizes, "zip-names": zip_names, "shortcut-folder": shortcut_folder}[command](args[0]))
