"""A document from a stick on the real text panel: its page shows the picture that lies beside
it, but its script cannot read a file outside its folder, and its requests for the camera and
the location are refused without a question; a link to the web asks first and loads nothing in
the panel; a link to another page of the document leaves a way back."""

import http.server
import os
import struct
import sys
import tempfile
import threading
import time
import zlib

from kvorne_e2e import Program, check, choose_document, click, mapped_windows, open_board, \
    pixel, run, screen_size, screenshot, wait_for

PICTURE = (0, 128, 255)
WAITING = (0, 0, 255)  # a check of the page that has no answer yet
REFUSED = (0, 255, 0)
GRANTED = (255, 0, 0)
NEXT_PAGE = (255, 0, 255)

# Boxes of 100 x 100 across the top of the page: the picture, the read, the permissions; below them
# the two links.
PAGE = """<html><body style="margin:0;background:#fff">
<img src="picture.png" style="position:absolute;left:0;top:0;width:100px;height:100px">
<div id="read" style="position:absolute;left:120px;top:0;width:100px;height:100px;
  background:#00f"></div>
<div id="permissions" style="position:absolute;left:240px;top:0;width:100px;height:100px;
  background:#00f"></div>
<a href="ADDRESS" style="position:absolute;left:0;top:120px;width:200px;height:60px;
  background:#ff0;display:block">web</a>
<a href="next.htm" style="position:absolute;left:0;top:200px;width:200px;height:60px;
  background:#0ff;display:block">next</a>
<script>
function mark(id, colour) { document.getElementById(id).style.background = colour; }
var read = new XMLHttpRequest();
read.onload = function () { mark("read", read.responseText.indexOf("SECRET") >= 0 ? "#f00" : "#0f0"); };
read.onerror = function () { mark("read", "#0f0"); };
try { read.open("GET", "../secret.txt"); read.send(); } catch (e) { mark("read", "#0f0"); }
var refused = 0;
function refuse() { if (++refused == 2) mark("permissions", "#0f0"); }
function grant() { mark("permissions", "#f00"); }
navigator.mediaDevices.getUserMedia({video: true}).then(grant, refuse);
navigator.geolocation.getCurrentPosition(grant, refuse);
</script></body></html>
"""


class Requests(http.server.BaseHTTPRequestHandler):
    seen = []

    def do_GET(self):
        Requests.seen.append(self.path)
        self.send_response(200)
        self.end_headers()
        self.wfile.write(b"<html><body style='background:#f00'></body></html>")

    def log_message(self, *args):
        pass


def write_png(path, width, height, rgb):
    """A picture of one colour."""
    def chunk(name, body):
        return struct.pack(">I", len(body)) + name + body + \
            struct.pack(">I", zlib.crc32(name + body) & 0xFFFFFFFF)
    rows = (b"\0" + bytes(rgb) * width) * height
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" +
                chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def near(colour, expected):
    """The engine may shade a colour of the page by a step or two."""
    return all(abs(a - b) <= 4 for a, b in zip(colour, expected))


def make_document(root, address):
    with open(os.path.join(root, "secret.txt"), "w") as f:
        f.write("SECRET")
    folder = os.path.join(root, "stick")
    os.mkdir(folder)
    write_png(os.path.join(folder, "picture.png"), 16, 16, PICTURE)
    with open(os.path.join(folder, "lesson [1].htm"), "w") as f:
        f.write(PAGE.replace("ADDRESS", address))
    with open(os.path.join(folder, "next.htm"), "w") as f:
        f.write("<html><body style='background:#f0f'></body></html>")
    return os.path.join(folder, "lesson [1].htm")


def main(folder):
    sw, sh = screen_size()
    server = http.server.HTTPServer(("127.0.0.1", 0), Requests)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    root = tempfile.TemporaryDirectory(prefix="k-vorne-document-")
    document = make_document(root.name, f"http://127.0.0.1:{server.server_port}/lesson")
    top = 41 + 20  # the document's place below the panel's buttons
    program = Program(folder)
    try:
        open_board(sw)
        choose_document(sw, document)
        wait_for(lambda: near(pixel(50, top + 50), PICTURE), 30, "the document's page")
        check(True, "the picture beside the page in its folder shows")
        wait_for(lambda: pixel(170, top + 50) != WAITING, 10, "the page's read of a file")
        check(pixel(170, top + 50) == REFUSED, "the page cannot read a file outside its folder")
        wait_for(lambda: pixel(290, top + 50) != WAITING, 10, "the page's questions")
        check(pixel(290, top + 50) == REFUSED, "the camera and the location are refused")
        screenshot("e2e-document.png")

        before = len(mapped_windows())
        click(100, top + 150)  # the link to the web
        wait_for(lambda: len(mapped_windows()) > before, 10, "the question")
        check(True, "a link to the web asks first")
        time.sleep(0.5)
        run("xdotool", "key", "Escape")  # no
        wait_for(lambda: len(mapped_windows()) == before, 10, "the question to close")
        time.sleep(1)
        check(Requests.seen == [], "nothing of the web is loaded")
        check(near(pixel(50, top + 50), PICTURE), "the panel still shows the document")

        click(100, top + 230)  # the link to the document's next page
        wait_for(lambda: near(pixel(50, top + 50), NEXT_PAGE), 10, "the next page")
        click(12 * 22 + 11, 41 + 10)  # 返
        wait_for(lambda: near(pixel(50, top + 50), PICTURE), 10, "the first page again")
        check(True, "the way back leads to the page the link was on")
    finally:
        program.stop()
        server.shutdown()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
