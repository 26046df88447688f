"""Documents on the real program's text panel: the dialog's own proposal, a Flash film, cannot be
shown on the board, and the teacher is told so in a message box while the panel keeps its
editor; a PDF is shown in the panel; a slide show leaves the board and is handed to the
desktop's own program (a stand-in "xdg-open" here that notes what it was given)."""

import os
import stat
import sys
import tempfile
import time

from kvorne_e2e import Program, check, choose_document, mapped_windows, open_board, pixel, \
    run, screen_size, screenshot, toolbar_shown, wait_for

RED = (255, 0, 0)


def write_red_pdf(path):
    """A one-page PDF whose page is filled red."""
    content = b"1 0 0 rg 0 0 200 200 re f"
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>",
               b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R >>",
               b"<< /Length %d >>\nstream\n%s\nendstream" % (len(content), content)]
    pdf = b"%PDF-1.4\n"
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(pdf))
        pdf += b"%d 0 obj\n%s\nendobj\n" % (number, body)
    xref = len(pdf)
    pdf += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    pdf += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    pdf += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, xref)
    with open(path, "wb") as f:
        f.write(pdf)


def message_shown():
    return any(w[5] == '"提示信息"' for w in mapped_windows())


def main(folder):
    sw, sh = screen_size()
    files = tempfile.TemporaryDirectory(prefix="k-vorne-documents-")
    film = os.path.join(files.name, "dream[1].swf")
    show = os.path.join(files.name, "show.pptx")
    document = os.path.join(files.name, "page.pdf")
    write_red_pdf(document)
    for path in (film, show):
        with open(path, "wb") as f:
            f.write(b"\0" * 64)
    # The desktop's "open" service, as the program finds it on the search path.
    opened = os.path.join(files.name, "opened.txt")
    bin_dir = os.path.join(files.name, "bin")
    os.mkdir(bin_dir)
    launcher = os.path.join(bin_dir, "xdg-open")
    with open(launcher, "w") as f:
        f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{opened}"\n')
    os.chmod(launcher, os.stat(launcher).st_mode | stat.S_IXUSR)
    os.environ["PATH"] = bin_dir + os.pathsep + os.environ.get("PATH", "")

    program = Program(folder)
    try:
        open_board(sw)
        choose_document(sw, film)
        wait_for(message_shown, 10, "the message that the film cannot be shown")
        screenshot("e2e-document-not-shown.png")
        check(not toolbar_shown(sw), "the board stays while the message is shown")
        run("xdotool", "key", "Return")
        wait_for(lambda: not message_shown(), 10, "the message to close")
        check(pixel(200, 300) != (255, 255, 255), "no empty white page in the panel")

        choose_document(sw, document)
        wait_for(lambda: any(pixel(184, y) == RED for y in range(100, 500, 25)), 20,
                 "the PDF's red page in the panel")
        screenshot("e2e-document-pdf.png")
        check(True, "the PDF is shown in the panel")

        choose_document(sw, show)
        wait_for(lambda: os.path.exists(opened), 10, "the desktop to be asked to open the show")
        with open(opened) as f:
            given = f.read()
        check(given.strip().endswith("show.pptx"), f"the show handed to the desktop ({given!r})")
        wait_for(lambda: toolbar_shown(sw), 10, "the toolbar, the board left for the show")
        check(True, "the board is left for the slide show")
    finally:
        program.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
