# Prints, as hex, the OTA bitmap (00, width, height, 01, packed bits) that
# python-gammu's EncodeSMS puts in a caller-group logo (72 x 14) or a picture
# message (72 x 28) drawn from the rows on standard input ('#' black).
import sys

import gammu

rows = sys.stdin.read().split()
width, height = len(rows[0]), len(rows)
xpm = [b"%d %d 2 1" % (width, height), b"# c Black", b"  c None"]
xpm += [row.replace(".", " ").encode() for row in rows]
kind = ("NokiaCallerLogo", "CallerGroupLogo") if height == 14 else ("NokiaPictureImageLong", "PictureImage")
bitmap = {"Type": kind[1], "XPM": xpm, "Text": "", "Location": 1}
messages = gammu.EncodeSMS({"Class": 1, "Entries": [{"ID": kind[0], "Bitmap": [bitmap]}]})
payload = b"".join(bytes(message["Text"]) for message in messages)
header = bytes([0, width, height, 1])
at = payload.find(header)
if at < 0:
    sys.exit("no OTA bitmap of that size in Gammu's messages")
print((payload[at : at + 4 + (width * height + 7) // 8]).hex().upper())
