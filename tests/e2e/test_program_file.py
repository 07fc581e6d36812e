"""Checks of the built gridbloom.scr as a file: PE headers, imports, hardening
and resources. No Wine needed."""

import collections
import io
import struct

import pytest

pefile = pytest.importorskip("pefile")

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
    """[(name or id, language, bytes)] of one resource type, in directory order."""
    found = []
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for type_entry in (root.entries if root is not None else []):
        if type_entry.id != type_id:
            continue
        for name_entry in type_entry.directory.entries:
            key = name_entry.id if name_entry.name is None else str(name_entry.name)
            for lang_entry in name_entry.directory.entries:
                struct_ = lang_entry.data.struct
                found.append((key, lang_entry.id, pe.get_data(struct_.OffsetToData, struct_.Size)))
    return found


VersionNode = collections.namedtuple("VersionNode", "key type value children")


def parse_version_node(data, offset, block_start):
    """One node of VS_VERSIONINFO: wLength, wValueLength, wType, szKey, Value, Children."""
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    assert length >= 6, f"bad version node length {length} at {offset}"
    end = offset + length

    def align(pos):
        return block_start + ((pos - block_start + 3) & ~3)

    pos = offset + 6
    key_end = pos
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[pos:key_end].decode("utf-16-le")
    pos = align(key_end + 2)
    if kind == 1:  # text: the length counts UTF-16 units
        raw = data[pos:pos + 2 * value_length]
        value = raw.decode("utf-16-le").split("\0", 1)[0]
        pos += 2 * value_length
    else:
        value = data[pos:pos + value_length]
        pos += value_length
    pos = align(pos)
    children = []
    while pos < end:
        child, pos = parse_version_node(data, pos, block_start)
        children.append(child)
        pos = align(pos)
    return VersionNode(key, kind, value, children), end


@pytest.fixture(scope="module")
def version_info(pe):
    found = resources(pe, RT_VERSION)
    assert len(found) == 1, f"expected one version resource, found {len(found)}"
    data = found[0][2]
    root, _ = parse_version_node(data, 0, 0)
    assert root.key == "VS_VERSION_INFO"
    return root


def child(node, key):
    matches = [c for c in node.children if c.key.upper() == key.upper()]
    assert len(matches) == 1, f"{node.key!r} has {len(matches)} children named {key!r}"
    return matches[0]


def test_fixed_file_info_versions(version_info):
    fixed = version_info.value
    assert len(fixed) >= 52, "VS_FIXEDFILEINFO missing"
    (signature, _struc_version, file_ms, file_ls, product_ms, product_ls) = \
        struct.unpack_from("<6I", fixed, 0)
    assert signature == 0xFEEF04BD

    def dotted(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    assert dotted(file_ms, file_ls) == "2.0.0.34"
    assert dotted(product_ms, product_ls) == "2.0.0.34"


@pytest.fixture(scope="module")
def version_strings(version_info):
    table = child(child(version_info, "StringFileInfo"), "041104B0")
    return {entry.key: entry.value for entry in table.children}


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
    var = child(child(version_info, "VarFileInfo"), "Translation")
    assert len(var.value) % 4 == 0 and var.value
    pairs = [struct.unpack_from("<HH", var.value, k) for k in range(0, len(var.value), 4)]
    assert pairs == [(0x0411, 1200)]


def string_table_entry(pe, string_id):
    """The string `string_id` in every language of its RT_STRING block."""
    block_id, index = string_id // 16 + 1, string_id % 16
    values = []
    for name, lang, data in resources(pe, RT_STRING):
        if name != block_id:
            continue
        pos = 0
        for k in range(16):
            (length,) = struct.unpack_from("<H", data, pos)
            pos += 2
            text = data[pos:pos + 2 * length].decode("utf-16-le")
            pos += 2 * length
            if k == index:
                values.append((lang, text))
    return values


def test_string_table_program_name(pe):
    values = string_table_entry(pe, 1)
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


def decode_icon_image(data):
    """Decodes one RT_ICON image: [[(r, g, b)]] top row first, and its AND mask."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        from PIL import Image
        with Image.open(io.BytesIO(data)) as image:
            rgba = image.convert("RGBA")
            w, h = rgba.size
            pixels = [[rgba.getpixel((x, y))[:3] for x in range(w)] for y in range(h)]
            opaque = [[rgba.getpixel((x, y))[3] == 255 for x in range(w)] for y in range(h)]
            return pixels, [[0 if o else 1 for o in row] for row in opaque], None
    (header_size, width, height2, planes, bit_count, compression, _size_image,
     _xppm, _yppm, colors_used, _colors_important) = struct.unpack_from("<IiiHHIIiiII", data, 0)
    assert header_size == 40, f"not a BITMAPINFOHEADER ({header_size})"
    assert compression == 0, f"compressed icon bitmap ({compression})"
    assert planes == 1
    height = height2 // 2
    pos = header_size
    palette = []
    if bit_count <= 8:
        count = colors_used or (1 << bit_count)
        for k in range(count):
            b, g, r, _ = data[pos + 4 * k:pos + 4 * k + 4]
            palette.append((r, g, b))
        pos += 4 * count
    stride = ((width * bit_count + 31) // 32) * 4
    pixels = [[None] * width for _ in range(height)]
    alpha = [[255] * width for _ in range(height)]
    for row in range(height):
        line = data[pos + row * stride:pos + (row + 1) * stride]
        y = height - 1 - row  # bottom-up
        for x in range(width):
            if bit_count in (1, 4, 8):
                bit = x * bit_count
                byte = line[bit // 8]
                shift = 8 - bit_count - (bit % 8)
                pixels[y][x] = palette[(byte >> shift) & ((1 << bit_count) - 1)]
            elif bit_count == 24:
                b, g, r = line[3 * x:3 * x + 3]
                pixels[y][x] = (r, g, b)
            elif bit_count == 32:
                b, g, r, a = line[4 * x:4 * x + 4]
                pixels[y][x] = (r, g, b)
                alpha[y][x] = a
            else:
                raise AssertionError(f"unsupported icon bit count {bit_count}")
    pos += stride * height
    mask_stride = ((width + 31) // 32) * 4
    mask = [[0] * width for _ in range(height)]
    for row in range(height):
        line = data[pos + row * mask_stride:pos + (row + 1) * mask_stride]
        assert len(line) == mask_stride, "AND mask cut short"
        y = height - 1 - row
        for x in range(width):
            mask[y][x] = (line[x // 8] >> (7 - x % 8)) & 1
    return pixels, mask, (alpha if bit_count == 32 else None)


def icon_16_images(pe):
    groups = resources(pe, RT_GROUP_ICON)
    assert groups, "no RT_GROUP_ICON resource"
    _, _, group = groups[0]  # the program's icon is the first group
    reserved, kind, count = struct.unpack_from("<HHH", group, 0)
    assert (reserved, kind) == (0, 1)
    icons = {name: data for name, _, data in resources(pe, RT_ICON)}
    images = []
    for k in range(count):
        width, height, _colors, _, _planes, bit_count, _size, icon_id = \
            struct.unpack_from("<BBBBHHIH", group, 6 + 14 * k)
        if (width, height) == (16, 16):
            assert icon_id in icons, f"group icon names a missing RT_ICON {icon_id}"
            images.append((bit_count, icons[icon_id]))
    return images


def test_icon_16x16_picture(pe):
    images = icon_16_images(pe)
    assert images, "the program's icon has no 16x16 image"
    expected = [[CYAN if c == "#" else BLACK for c in row] for row in ICON_16]
    for bit_count, data in images:
        pixels, mask, alpha = decode_icon_image(data)
        assert len(pixels) == 16 and all(len(row) == 16 for row in pixels)
        wrong = [(y, x, pixels[y][x]) for y in range(16) for x in range(16)
                 if pixels[y][x] != expected[y][x]]
        assert wrong == [], f"{bit_count}-bit 16x16 icon differs at (row, column, rgb) {wrong[:10]}"
        assert all(bit == 0 for row in mask for bit in row), \
            f"{bit_count}-bit 16x16 icon has transparent pixels in its AND mask"
        if alpha is not None:
            assert all(a == 255 for row in alpha for a in row), \
                f"{bit_count}-bit 16x16 icon is not fully opaque"
