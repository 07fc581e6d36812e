"""Checks of the built gridbloom.scr as a file: PE headers, imports, hardening
and resources. No Wine needed."""

import collections
import io
import struct

import pytest

pefile = pytest.importorskip("pefile")
Image = pytest.importorskip("PIL.Image")

IMAGE_FILE_MACHINE_I386 = 0x14C
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
IMAGE_FILE_RELOCS_STRIPPED = 0x0001
IMAGE_SCN_MEM_EXECUTE = 0x20000000
IMAGE_SCN_MEM_WRITE = 0x80000000
IMAGE_REL_BASED_HIGHLOW = 3

RT_ICON = 3
RT_STRING = 6
RT_GROUP_ICON = 14
RT_VERSION = 16

PROGRAM_NAME = "グリッドブルーム"

SYSTEM_DLLS = {"kernel32", "user32", "gdi32", "advapi32", "shell32", "comctl32", "msvcrt",
               "ntdll", "ole32", "uxtheme", "shcore"}


@pytest.fixture(scope="module")
def pe(scr):
    image = pefile.PE(str(scr), fast_load=False)
    yield image
    image.close()


# --------------------------------------------------------------------------
# Headers
# --------------------------------------------------------------------------

def test_machine_is_i386(pe):
    assert pe.FILE_HEADER.Machine == IMAGE_FILE_MACHINE_I386
    assert pe.OPTIONAL_HEADER.Magic == 0x10B, "not a PE32 image"


def test_subsystem_is_windows_gui(pe):
    assert pe.OPTIONAL_HEADER.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI


# --------------------------------------------------------------------------
# Imports: the program must run on a bare Windows, so it may only depend on
# DLLs that every Windows has. The C++ runtime is linked in statically.
# --------------------------------------------------------------------------

def imported_dlls(pe):
    names = []
    for attr in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for entry in getattr(pe, attr, []):
            names.append(entry.dll.decode("ascii", "replace"))
    return names


def is_system_dll(name):
    base = name.lower()
    if base.endswith(".dll"):
        base = base[:-4]
    return base in SYSTEM_DLLS or base.startswith("api-ms-win-")


def test_imports_only_system_dlls(pe):
    dlls = imported_dlls(pe)
    assert dlls, "the image imports nothing: the import directory was not read"
    foreign = [name for name in dlls if not is_system_dll(name)]
    assert foreign == [], f"imports DLLs that a bare Windows lacks: {foreign}"


def test_subsystem_version_is_windows_vista_or_later(pe):
    header = pe.OPTIONAL_HEADER
    assert (header.MajorSubsystemVersion, header.MinorSubsystemVersion) == (6, 0)
    assert (header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion) == (6, 0)


def test_the_dll_search_order_is_locked_without_a_static_import(pe, scr):
    # SetDefaultDllDirectories came to Windows 7 with an update only: an import
    # of it would keep the program from starting without that update. It is
    # looked up at run time, from a TLS callback, before the runtime starts.
    imported = [symbol.name for entry in pe.DIRECTORY_ENTRY_IMPORT for symbol in entry.imports]
    assert b"SetDefaultDllDirectories" not in imported
    assert b"SetDefaultDllDirectories" in scr.read_bytes(), "the name to look up is not in the program"
    tls = getattr(pe, "DIRECTORY_ENTRY_TLS", None)
    assert tls is not None and tls.struct.AddressOfCallBacks, "no TLS callbacks"


@pytest.mark.parametrize("runtime", ["libstdc++", "libgcc", "libwinpthread", "libssp"])
def test_runtime_linked_statically(pe, runtime):
    assert not [name for name in imported_dlls(pe) if name.lower().startswith(runtime)]


# --------------------------------------------------------------------------
# Hardening
# --------------------------------------------------------------------------

@pytest.mark.parametrize("flag_name, flag", [
    ("DYNAMIC_BASE", 0x0040),
    ("NX_COMPAT", 0x0100),
    ("NO_SEH", 0x0400),
    ("TERMINAL_SERVER_AWARE", 0x8000),
])
def test_dll_characteristics(pe, flag_name, flag):
    value = pe.OPTIONAL_HEADER.DllCharacteristics
    assert value & flag, f"{flag_name} missing from DllCharacteristics 0x{value:04x}"


def test_relocations_present(pe):
    # DYNAMIC_BASE means nothing without relocations: the loader could not
    # move the image.
    assert not pe.FILE_HEADER.Characteristics & IMAGE_FILE_RELOCS_STRIPPED
    directory = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
    assert directory.VirtualAddress != 0 and directory.Size > 0
    reloc = [s for s in pe.sections if s.Name.rstrip(b"\0") == b".reloc"]
    assert reloc and reloc[0].SizeOfRawData > 0, "no non-empty .reloc section"
    entries = sum(len(block.entries) for block in getattr(pe, "DIRECTORY_ENTRY_BASERELOC", []))
    assert entries > 0


# The stack protector. GCC's -fstack-protector-strong gives each function with
# a local array a canary: the prologue copies the global __stack_chk_guard to
# the frame, and the epilogue compares it again and calls __stack_chk_fail when
# it changed. On 32-bit x86 the epilogue is
#     sub  reg, [__stack_chk_guard]     2B /r, ModRM mod=00 rm=101, disp32
#     jne  fail                         75 rel8 or 0F 85 rel32
#   fail:
#     call __stack_chk_fail             E8 rel32
# and __stack_chk_fail (from libssp, linked statically) prints
# "*** stack smashing detected ***". Without the flag there is no such
# epilogue and libssp is not linked in, so these checks fail.

STACK_SMASHING_MESSAGE = b"stack smashing detected"


def relocated_rvas(pe):
    rvas = set()
    for block in getattr(pe, "DIRECTORY_ENTRY_BASERELOC", []):
        for entry in block.entries:
            if entry.type == IMAGE_REL_BASED_HIGHLOW:
                rvas.add(entry.rva)
    return rvas


def section_of(pe, rva):
    for section in pe.sections:
        if section.VirtualAddress <= rva < section.VirtualAddress + max(section.Misc_VirtualSize,
                                                                          section.SizeOfRawData):
            return section
    return None


def canary_checks(pe):
    """(guard RVA, failure function RVA) for each canary check found in the code."""
    base = pe.OPTIONAL_HEADER.ImageBase
    relocated = relocated_rvas(pe)
    sites = []
    for section in pe.sections:
        if not section.Characteristics & IMAGE_SCN_MEM_EXECUTE:
            continue
        code = section.get_data()
        start = section.VirtualAddress
        for i in range(len(code) - 12):
            # sub / xor / cmp reg, [disp32]
            if code[i] not in (0x2B, 0x33, 0x3B) or (code[i + 1] & 0xC7) != 0x05:
                continue
            if start + i + 2 not in relocated:
                continue  # not an address operand
            guard = struct.unpack_from("<I", code, i + 2)[0] - base
            guard_section = section_of(pe, guard)
            if guard_section is None or not guard_section.Characteristics & IMAGE_SCN_MEM_WRITE \
                    or guard_section.Characteristics & IMAGE_SCN_MEM_EXECUTE:
                continue
            j = i + 6
            if code[j] == 0x75:
                target = j + 2 + struct.unpack_from("<b", code, j + 1)[0]
            elif code[j] == 0x0F and code[j + 1] == 0x85:
                target = j + 6 + struct.unpack_from("<i", code, j + 2)[0]
            else:
                continue
            if not 0 <= target < len(code) - 5 or code[target] != 0xE8:
                continue
            failure = start + target + 5 + struct.unpack_from("<i", code, target + 1)[0]
            sites.append((guard, failure))
    return sites


def references_message(pe, function_rva, message, span=64):
    """Whether the first bytes of a function use the address of `message`."""
    relocated = relocated_rvas(pe)
    base = pe.OPTIONAL_HEADER.ImageBase
    code = pe.get_data(function_rva, span)
    for k in range(len(code) - 3):
        if function_rva + k not in relocated:
            continue
        address = struct.unpack_from("<I", code, k)[0] - base
        try:
            text = pe.get_data(address, 64)
        except pefile.PEFormatError:
            continue
        if message in text:
            return True
    return False


def test_stack_protector_not_imported(pe):
    # libssp would come as a DLL when linked dynamically: the program must
    # carry __stack_chk_fail and __stack_chk_guard itself.
    imported = []
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        for symbol in entry.imports:
            if symbol.name and b"stack_chk" in symbol.name:
                imported.append((entry.dll, symbol.name))
    assert imported == []


def test_stack_protector_linked_in(pe, scr):
    data = scr.read_bytes()
    assert STACK_SMASHING_MESSAGE in data, "__stack_chk_fail (libssp) is not linked in"


def test_stack_canaries_guard_the_code(pe):
    sites = canary_checks(pe)
    assert sites, "no function compares a stack canary: built without -fstack-protector?"
    (guard, failure), count = collections.Counter(sites).most_common(1)[0]
    # Every check compares the same guard and calls the same failure
    # handler, and that handler is the one that reports stack smashing.
    assert count == len(sites), f"canary checks disagree: {collections.Counter(sites)}"
    assert references_message(pe, failure, STACK_SMASHING_MESSAGE), \
        f"the function at RVA 0x{failure:x} called on a bad canary is not __stack_chk_fail"


# --------------------------------------------------------------------------
# Resources
# --------------------------------------------------------------------------

def resources(pe, type_id):
    """[(id, language, bytes)] of one resource type, in directory order."""
    return [(entry.id, lang.id, pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size))
            for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries if kind.id == type_id
            for entry in kind.directory.entries for lang in entry.directory.entries]


@pytest.fixture(scope="module")
def version_info(pe):
    """StringFileInfo and VarFileInfo of the version resource, as pefile reads them."""
    found = resources(pe, RT_VERSION)
    assert len(found) == 1, f"expected one version resource, found {len(found)}"
    # pefile keeps a VS_VERSIONINFO only when its key is "VS_VERSION_INFO".
    assert [v.Key for v in getattr(pe, "VS_VERSIONINFO", [])] == [b"VS_VERSION_INFO"]
    return pe.FileInfo[0]


def block(version_info, key):
    found = [block for block in version_info if block.Key == key.encode("ascii")]
    assert len(found) == 1, f"the version resource has {len(found)} {key}"
    return found[0]


def test_fixed_file_info_versions(pe, version_info):
    assert len(getattr(pe, "VS_FIXEDFILEINFO", [])) == 1, "VS_FIXEDFILEINFO missing"
    fixed = pe.VS_FIXEDFILEINFO[0]
    assert fixed.Signature == 0xFEEF04BD

    def dotted(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    assert dotted(fixed.FileVersionMS, fixed.FileVersionLS) == "2.0.0.34"
    assert dotted(fixed.ProductVersionMS, fixed.ProductVersionLS) == "2.0.0.34"


@pytest.fixture(scope="module")
def version_strings(version_info):
    tables = [table for table in block(version_info, "StringFileInfo").StringTable
              if table.LangID.upper() == b"041104B0"]
    assert len(tables) == 1, f"{len(tables)} string tables for 041104B0"
    return {key.decode("utf-8"): value.decode("utf-8") for key, value in tables[0].entries.items()}


@pytest.mark.parametrize("key, expected", [
    ("FileVersion", "2.00.0034"),
    ("ProductVersion", "2.00.0034"),
    ("InternalName", "gridbloom"),
    ("OriginalFilename", "gridbloom.scr"),
    ("ProductName", "グリッドブルーム (ver.2.00)"),
    ("FileDescription", "グリッドブルーム (ver.2.00)"),
])
def test_version_string(version_strings, key, expected):
    assert version_strings.get(key) == expected


def test_version_comments_one_line(version_strings):
    comments = version_strings.get("Comments")
    assert comments is not None, "no Comments"
    assert comments.strip(), "Comments is empty"
    assert "\n" not in comments and "\r" not in comments, f"Comments spans lines: {comments!r}"


def test_version_translation(version_info):
    variables = block(version_info, "VarFileInfo").Var
    # pefile keeps only the last (language, code page) pair: ValueLength tells how many.
    assert [getattr(var, "entry", None) for var in variables] == [{b"Translation": "0x0411 0x04b0"}]
    assert variables[0].ValueLength == 4, f"{variables[0].ValueLength // 4} translations"


def test_string_table_program_name(pe):
    # Block 1 holds strings 0-15; pefile merges a block's languages, so each is read alone.
    values = []
    for block_id, lang, data in resources(pe, RT_STRING):
        if block_id == 1:
            strings = {}
            pefile.parse_strings(data, 0, strings)
            values.append((lang, strings.get(1)))
    assert values, "no RT_STRING block holding string 1"
    for lang, text in values:
        assert text == PROGRAM_NAME, f"string 1 in language 0x{lang:04x} is {text!r}"


# The 16x16 icon, row 0 at the top: '#' is cyan, '.' black.
ICON_16 = [
    "................",
    "................",
    "..##....#######.",
    "..##....#######.",
    "..####..........",
    "..####..........",
    "..##....##......",
    "..##....##......",
    "..........##....",
    "..........##....",
    "..##......##....",
    "..##......##....",
    "....########....",
    "....########....",
    "................",
    "................",
]
CYAN = (0, 255, 255)
BLACK = (0, 0, 0)


def icon_16_images(pe):
    """(bits per pixel, RT_ICON bytes, the image as an .ico file) of each
    16x16 image of the program's icon. The .ico file holds the icon file's
    header, the group's entry for the image (its data's offset in place of
    its RT_ICON id) and the data: PIL reads it as any icon."""
    groups = resources(pe, RT_GROUP_ICON)
    assert groups, "no RT_GROUP_ICON resource"
    _, _, group = groups[0]  # the program's icon is the first group
    reserved, kind, count = struct.unpack_from("<HHH", group, 0)
    assert (reserved, kind) == (0, 1)
    icons = {name: data for name, _, data in resources(pe, RT_ICON)}
    images = []
    for at in range(6, 6 + 14 * count, 14):
        width, height, _colors, _, _planes, bit_count, _size, icon_id = \
            struct.unpack_from("<BBBBHHIH", group, at)
        if (width, height) == (16, 16):
            assert icon_id in icons, f"group icon names a missing RT_ICON {icon_id}"
            data = icons[icon_id]
            ico = struct.pack("<HHH", 0, 1, 1) + group[at:at + 12] + struct.pack("<I", 22) + data
            images.append((bit_count, data, ico))
    return images


def test_icon_16x16_picture(pe):
    images = icon_16_images(pe)
    assert images, "the program's icon has no 16x16 image"
    expected = [CYAN if c == "#" else BLACK for row in ICON_16 for c in row]
    for bit_count, data, ico in images:
        if not data.startswith(b"\x89PNG\r\n\x1a\n"):  # a bitmap, not a PNG
            assert struct.unpack_from("<I8xH2xI", data) == (40, 1, 0), \
                "not an uncompressed BITMAPINFOHEADER image (biSize, biPlanes, biCompression)"
            # PIL takes alpha from the AND mask below 32 bits a pixel, from the colour at
            # 32 bits: the mask itself (16 rows of 32 bits, at the end) is checked here.
            assert data[-4 * 16:] == bytes(4 * 16), \
                f"{bit_count}-bit 16x16 icon has transparent pixels in its AND mask"
        with Image.open(io.BytesIO(ico)) as icon:
            assert icon.size == (16, 16)
            pixels = list(icon.convert("RGBA").getdata())
        wrong = [(k // 16, k % 16, p[:3]) for k, p in enumerate(pixels) if p[:3] != expected[k]]
        assert wrong == [], f"{bit_count}-bit 16x16 icon differs at (row, column, rgb) {wrong[:10]}"
        assert all(pixel[3] == 255 for pixel in pixels), \
            f"{bit_count}-bit 16x16 icon is not fully opaque"
