#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (corpus/<target>/). Run it again after changing
an input layout; the seeds are committed, so a fuzz run never depends on this script.

Targets that read their input through libFuzzer's data provider take strings from the front
(ended by a backslash and one more character) and numbers from the back, one byte per 8 bits
of their range, last byte first; the helpers below build inputs that way."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def string(text):
    """A string the provider reads from the front, with its terminator."""
    raw = text.encode("utf-8") if isinstance(text, str) else text
    return raw.replace(b"\\", b"\\\\") + b"\\ "


def numbers_from_back(*fields):
    """(value, byte count) pairs in the order the target consumes them, as the tail of an input."""
    tail = b""
    for value, count in fields:
        tail = value.to_bytes(count, "big") + tail  # the first byte consumed is the last one
    return tail


def signed(value, count):
    return (value + (1 << (8 * count - 1))) % (1 << (8 * count)), count


def utf16le(text):
    return text.encode("utf-16-le", "surrogatepass")


# ---- command line: NUL-separated arguments after the program path -------------------------
for name, arguments in {
    "none": [],
    "url": ["/URL", "https://www.example.org/start.html"],
    "url-last-wins": ["/URL", "a", "b"],
    "url-then-kiosk": ["/URL", "a", "/k", "b"],
    "url-ended-by-unknown": ["/URL", "a", "/x", "b"],
    "plain-before-url": ["a", "/URL"],
    "all-switches-mixed-case": ["-url", "x", "/LOGS", "-K", "/Commit", "/k"],
    "not-switches": ["/URL=x", "/URL:x", "/kiosk", "/log", "-", "/"],
    "empty-url": ["/URL", ""],
    "restart": ["/RestartByRestartManager:4A2B", "/URL", "x", "/restartbyrestartmanager"],
    "non-ascii": ["/URL", "https://bücher.example/€", "/ＵＲＬ", "y"],
}.items():
    write("command_line_fuzzer", name, b"\0".join(a.encode("utf-8") for a in arguments))

# ---- INI documents: section, key, value, watched section and key, the file; last byte: edit --
settings_crlf = (b"[Features]\r\nBookmarks= Example \\-\\ https://example.org/ \\-\\\r\n"
                 b"ProxyMode=1\r\nProxy=127.0.0.1:8080\r\n")
ini_files = {
    "settings-crlf": settings_crlf,
    "settings-lf-no-final-end": b"; written by hand\n[Other]\nx=1\n\n[Features]\nProxyMode = 2 \nProxy=socks:1080",
    "utf8-mark": b"\xef\xbb\xbf[Features]\r\nProxy=caf\xc3\xa9\r\n",
    "windows-1252": b"[Features]\r\nBookmarks= Caf\xe9 \\-\\ http://caf\xe9.example/ \\-\\ \r\n",
    "utf16le-mark": b"\xff\xfe" + utf16le("[Features]\r\nProxy=h\u00f4te:8080\r\nBookmarks= \u20ac \\-\\ u \\-\\ \r\n"),
    "utf16le-odd-length": b"\xff\xfe" + utf16le("[Features]\r\nA=1\r\n") + b"\x00",
    "damaged": b"[Features\r\nnot a key\r\n=empty name\r\n[Features]\r\nProxy=first\r\nproxy=second\r\nvalue=a\x00b\r\n",
}
edits = [
    ("Set", ["Features", "Proxy", "10.0.0.1:3128", "Features", "ProxyMode"], 0),
    ("AddKey", ["Features", "Bookmarks", " N \\-\\ U \\-\\ ", "Other", "x"], 3),
    ("AddSection", ["New Section", "Key", "\u00e9t\u00e9 \u4e2d", "Features", "Proxy"], 6),
    ("RemoveKey", ["features", "PROXY", "", "Features", "ProxyMode"], 1),
    ("RemoveSection", ["Features", "Proxy", "", "Other", "x"], 2),
]
for file_name, file_bytes in ini_files.items():
    for edit_name, fields, edit in edits:
        data = b"".join(string(f) for f in fields) + file_bytes + bytes([edit])
        write("ini_document_fuzzer", f"{file_name}-{edit_name}", data)

# ---- registry hive files -------------------------------------------------------------------
hive = ("Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin\\Features]\n"
        "\"Bookmarks\"=\" Example \\\\-\\\\ https://example.org/ \\\\-\\\\ \"\n"
        "\"ProxyMode\"=dword:00000001\n"
        "\"Proxy\"=\"127.0.0.1:8080\"\n"
        "@=\"default \\\"quoted\\\"\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Quendris\\Pelmarin\\Other]\n"
        "\"Binary\"=hex:00,01,fe,ff\n"
        "\"Lines\"=hex(1):41,00,0a,00,42,00,00,00\n"
        "\"Multi\"=hex(7):41,00,00,00,42,00,00,00,00,00\n"
        "\"Long\"=hex(3):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
        "  16,17,18,19\n\n")
write("registry_text_fuzzer", "hive", hive.encode("utf-8"))
write("registry_text_fuzzer", "hive-crlf-mark", b"\xef\xbb\xbf" + hive.replace("\n", "\r\n").encode("utf-8"))
write("registry_text_fuzzer", "regedit4",
      b"REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\A]\n\"Name\"=\"Value\"\n\"n\"=dword:ffffffff\n")
write("registry_text_fuzzer", "damaged",
      ("[HKEY_CURRENT_USER\\X]\n\"no end=\"x\n\"a\"=dword:123456789\n[-HKEY_CURRENT_USER\\Gone]\n"
       "\"b\"=hex:1,2\n[]\n\"c\"=hex(zz):00\n\"\u00e9\"=\"\u00e9\"\n\"d\"=\"e\" tail\n").encode("utf-8"))
write("registry_text_fuzzer", "duplicates",
      b"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"\n\"X\"=\"2\"\n[hkey_current_user\\a]\n\"y\"=\"3\"\n")

# ---- bookmark lists: name and url to add, the stored text; last two bytes: entry to remove ---
lists = {
    "empty": "",
    "one": "Example \\-\\ https://example.org/ \\-\\",
    "three": "N1 \\-\\ U1 \\-\\ N2 \\-\\ U2 \\-\\ N3 \\-\\ U3 \\-\\",
    "unterminated": "N1 \\-\\ U1 \\-\\ N2 \\-\\ http://cut.exam",
    "blanks-quotes-markup": "A  B \\-\\ http://x/?q=\"<b>\" \\-\\ 'C' \\-\\  \\-\\",
    "tail-of-a-name": "A B \\-\\ U \\-\\ B \\-\\ U \\-\\",
    "registry-leading-blank": " N1 \\-\\ U1 \\-\\  N2 \\-\\ U2 \\-\\ ",
}
for list_name, stored in lists.items():
    for add_name, (name, url) in {"new": ("New", "https://new.example/"), "tail": ("B", "U")}.items():
        for index in (0, 1, 2):
            data = string(name) + string(url) + stored.encode("utf-8") + struct.pack(">H", index)
            write("bookmark_text_fuzzer", f"{list_name}-add-{add_name}-remove-{index}", data)

# ---- log lines: everything from the back --------------------------------------------------
def log_seed(format_index, texts, level=1, obj=0x12345678, time="14:23:05"):
    fields = [(format_index, 1), signed(level, 4), (obj, 8), (len(time), 1)]
    fields += [(ord(c), 2) for c in time]
    for text in texts:
        if isinstance(text, int):  # a number argument
            fields.append(signed(text, 8))
            continue
        units = utf16le(text)
        fields.append((len(units) // 2, 2))
        fields += [(int.from_bytes(units[i:i + 2], "little"), 2) for i in range(0, len(units), 2)]
    return numbers_from_back(*fields)


write("log_format_fuzzer", "starting", log_seed(0, []))
write("log_format_fuzzer", "header", log_seed(1, ["Quendris", "Pelmarin", "1.1.1.0", "1.1.1.0", ""], obj=0x7F00AA10))
write("log_format_fuzzer", "title-latin1", log_seed(2, ["Caf\u00e9 \u00ff\u0001"]))
write("log_format_fuzzer", "title-beyond-latin1", log_seed(2, ["\u20ac \u4e2d \ud83d\ude00 \ud800 end"]))
write("log_format_fuzzer", "console-url", log_seed(3, ["https://bücher.example/"], level=0))
write("log_format_fuzzer", "console-message", log_seed(4, ["error", "https://x/app.js", 12, -1, "Uncaught \u2028 x"], level=3))
write("log_format_fuzzer", "invoke", log_seed(5, [-601, 259, 0x34, 0x409, 1], level=2))
write("log_format_fuzzer", "dump-index", log_seed(6, [1 << 40, "about:blank"], level=-7))
write("log_format_fuzzer", "document-mode", log_seed(7, ["CSS1Compat", "html"]))
write("log_format_fuzzer", "script-index", log_seed(8, [3, 0x7F00AA10]))
write("log_format_fuzzer", "script-text", log_seed(9, ["line 1\nline 2\r\n\u0000hidden"]))

# ---- printf directives: everything but the literal text from the back ---------------------
def crt_seed(flags, width_kind, width, precision_kind, precision, length, conversion, before, after, tail=b""):
    lengths = ["", "hh", "h", "l", "ll", "z", "j", "t", "I64", "I32", "I", "w"]
    conversions = "diuoxXfFeEgGaApcCsS%qn"
    fields = [(flags, 1), (width_kind, 1)]
    if width_kind == 1:
        fields.append((width, 2))
    fields.append((precision_kind, 1))
    if precision_kind == 1:
        fields.append((precision, 2))
    fields += [(lengths.index(length), 1), (conversions.index(conversion), 1)]
    return string(before) + string(after) + tail + numbers_from_back(*fields)


write("crt_format_fuzzer", "int", crt_seed(0, 0, 0, 0, 0, "", "d", "n=", "!"))
write("crt_format_fuzzer", "padded-hex", crt_seed(0b10000, 1, 8, 0, 0, "", "X", "0x", ""))
write("crt_format_fuzzer", "left-signed-long-long", crt_seed(0b00011, 1, 20, 1, 5, "ll", "d", "[", "]"))
write("crt_format_fuzzer", "short-char", crt_seed(0, 0, 0, 0, 0, "hh", "u", "", ""))
write("crt_format_fuzzer", "i64", crt_seed(0, 0, 0, 0, 0, "I64", "x", "", ""))
write("crt_format_fuzzer", "double", crt_seed(0b01000, 1, 12, 1, 3, "", "f", "mode: ", "\n"))
write("crt_format_fuzzer", "pointer", crt_seed(0b00001, 1, 20, 0, 0, "", "p", "(", ")"))
write("crt_format_fuzzer", "wide-string", crt_seed(0, 1, 10, 1, 4, "", "S", "<", ">", utf16le("h\u00e9llo \u20ac")))
write("crt_format_fuzzer", "narrow-string", crt_seed(0b00001, 2, 0, 0, 0, "h", "s", "", "", b"caf\xe9\\ "))
write("crt_format_fuzzer", "star-width", crt_seed(0, 2, 0, 2, 0, "l", "c", "", ""))
write("crt_format_fuzzer", "percent", crt_seed(0, 0, 0, 0, 0, "", "%", "100", ""))
write("crt_format_fuzzer", "unknown", crt_seed(0, 0, 0, 0, 0, "", "n", "a", " rest %d"))
