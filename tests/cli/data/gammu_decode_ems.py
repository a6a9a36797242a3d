# Reads the output of "pelorin-cli encode" on standard input and decodes its
# messages one by one with python-gammu's DecodeSMS, EMS decoding on. Prints
# each picture as "PICTURE W H" and its rows ('#' black, '.' white), and each
# text as "TEXT " and its UTF-8.
#
# Gammu 1.42's decoder returns nothing for a message whose user prompt
# indicator is followed by fewer pictures than it announces in that message
# (and crashes when given all the strips at once), so each part is decoded on
# its own with the prompt left out of its header; the prompt is printed as
# "PROMPT N" from the header Gammu reports.
import sys

import gammu

pdus = sys.stdin.read().split()[1::2]
out = sys.stdout.buffer
for pdu in pdus:
    message = gammu.DecodePDU(bytes.fromhex(pdu), SMSC=True)
    header = message["UDH"]["Text"]
    kept = bytearray([0])
    at = 1
    while at + 1 < len(header):
        element, length = header[at], header[at + 1]
        if element == 0x13:
            out.write(b"PROMPT %d\n" % header[at + 2])
        else:
            kept += header[at : at + 2 + length]
        at += 2 + length
    kept[0] = len(kept) - 1
    message["UDH"]["Text"] = bytes(kept)
    decoded = gammu.DecodeSMS([message], EMS=True)
    if decoded is None:
        sys.exit("DecodeSMS did not recognise a message")
    for entry in decoded["Entries"]:
        for bitmap in entry.get("Bitmap") or []:
            xpm = [line.decode() if isinstance(line, bytes) else line for line in bitmap["XPM"]]
            width, height, colours, _ = (int(field) for field in xpm[0].split())
            black = [line[0] for line in xpm[1 : 1 + colours] if line.endswith("Black")]
            out.write(b"PICTURE %d %d\n" % (width, height))
            for row in xpm[1 + colours :]:
                out.write(("".join("#" if c in black else "." for c in row) + "\n").encode())
        if entry.get("Buffer") is not None:
            out.write(b"TEXT " + entry["Buffer"].encode() + b"\n")
