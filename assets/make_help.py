#!/usr/bin/env python3
"""Writes the program's help document "kvrhelp.mht" into the program folder.

Usage: make_help.py <output folder> [version]

The document is one HTML page in Simplified Chinese for teachers, packed as a web archive
(MHTML: a MIME multipart/related message with CRLF line ends). The pictures of the buttons are
small inline SVG drawings made here, after the same 32 x 32 drawings that the program paints on
its buttons (app/button_pictures.cpp). The output depends only on the arguments: the boundary is
fixed and no date is written, so that builds are reproducible.
"""

import base64
import os
import quopri
import re
import sys

BOUNDARY = "kvrhelp-part-boundary-0001"
DOCUMENT_LOCATION = "file:///kvrhelp.htm"
TITLE = "K_Vorne 帮助"

# ---------------------------------------------------------------------------------------------
# Button pictures, drawn on a 32 x 32 grid like the program's own.

INK = "rgb(30,60,120)"
ACCENT = "rgb(230,90,20)"
RED = "rgb(200,30,30)"
ERASER = "rgb(250,210,120)"
BAR = "rgb(166,202,240)"  # the sky blue of the program's button bars


def _num(v):
    text = ("%.3f" % v).rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def _stroke(color=INK, width=2.5, cap="round", join="round", dash=None):
    # The program's default pen has round caps and joins; a plain pen of a colour and a width
    # has square caps and bevel joins.
    s = 'stroke="%s" stroke-width="%s" stroke-linecap="%s" stroke-linejoin="%s"' % (
        color, _num(width), cap, join)
    if dash:
        s += ' stroke-dasharray="%s"' % dash
    return s


def _line(x1, y1, x2, y2, **pen):
    return '<line x1="%s" y1="%s" x2="%s" y2="%s" %s/>' % (
        _num(x1), _num(y1), _num(x2), _num(y2), _stroke(**pen))


def _rect(x, y, w, h, fill="none", rx=0, **pen):
    r = ' rx="%s"' % _num(rx) if rx else ""
    return '<rect x="%s" y="%s" width="%s" height="%s"%s fill="%s" %s/>' % (
        _num(x), _num(y), _num(w), _num(h), r, fill, _stroke(**pen))


def _ellipse(x, y, w, h, fill="none", **pen):
    return '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" %s/>' % (
        _num(x + w / 2), _num(y + h / 2), _num(w / 2), _num(h / 2), fill, _stroke(**pen))


def _arc(x, y, w, h, start, span, **pen):
    """An arc of the ellipse in the box (x, y, w, h), angles in degrees counter-clockwise from
    three o'clock, as the program draws it."""
    import math
    cx, cy, rx, ry = x + w / 2, y + h / 2, w / 2, h / 2

    def at(a):
        r = math.radians(a)
        return cx + rx * math.cos(r), cy - ry * math.sin(r)

    (x1, y1), (x2, y2) = at(start), at(start + span)
    large = 1 if abs(span) > 180 else 0
    sweep = 0 if span > 0 else 1
    d = "M%s %s A%s %s 0 %d %d %s %s" % (
        _num(x1), _num(y1), _num(rx), _num(ry), large, sweep, _num(x2), _num(y2))
    return '<path d="%s" fill="none" %s/>' % (d, _stroke(**pen))


def _path(d, fill="none", **pen):
    return '<path d="%s" fill="%s" %s/>' % (d, fill, _stroke(**pen))


def _dot(x, y, color=INK, width=2.5):
    return '<circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (_num(x), _num(y), _num(width / 2), color)


def _text(x, y, text, color, size, weight="bold"):
    return ('<text x="%s" y="%s" fill="%s" font-size="%s" font-weight="%s" text-anchor="middle" '
            'font-family="DejaVu Sans, Arial, sans-serif">%s</text>') % (
                _num(x), _num(y), color, _num(size), weight, text)


def _plain(color, width):
    return {"color": color, "width": width, "cap": "square", "join": "bevel"}


def _glyph(name):
    """The drawing of one button picture (the elements inside a 32 x 32 view box)."""
    if name == "whiteboard":
        return [_rect(4, 5, 24, 17, fill="white"), _line(16, 22, 11, 29), _line(16, 22, 21, 29),
                _path("M8 17 L13 11 L17 15 L23 9", **_plain(ACCENT, 2))]
    if name == "annotate":
        return [_rect(3, 4, 22, 16),
                _line(14, 27, 28, 13, color=ACCENT, width=3, join="bevel"),
                _line(11, 29, 14, 27, color=ACCENT, width=3, join="bevel")]
    if name == "logo":
        white = _plain("white", 3)
        return [_ellipse(6, 6, 20, 20, fill=ACCENT), _line(12, 11, 12, 21, **white),
                _line(13, 16, 20, 10, **white), _line(13, 16, 20, 22, **white)]
    if name == "keyboard":
        return ([_rect(3, 9, 26, 15, rx=2)] + [_dot(x, 14) for x in (7, 13, 19, 25)]
                + [_line(9, 19, 23, 19)])
    if name == "practice":
        return [_rect(6, 4, 20, 24), _line(10, 11, 22, 11), _line(10, 16, 22, 16),
                _line(10, 21, 18, 21)]
    if name == "blank":
        return [_rect(4, 6, 24, 17, fill="black"), _line(11, 28, 21, 28)]
    if name == "help":
        return [_ellipse(4, 4, 24, 24), _path("M12 13 C12 8 20 8 20 13 C20 16 16 16 16 20"),
                _dot(16, 24)]
    if name == "exit":
        red = {"color": RED, "width": 3, "join": "bevel"}
        return [_arc(6, 6, 20, 20, 120, 300, **red), _line(16, 4, 16, 15, **red)]
    if name == "shrink":
        return [_line(8, 22, 24, 22), _line(16, 8, 16, 18), _line(11, 13, 16, 18),
                _line(21, 13, 16, 18)]
    if name == "restore":
        return [_rect(6, 6, 20, 20)]
    if name == "undo":
        return [_arc(8, 9, 18, 16, -90, 180), _line(17, 9, 8, 9), _line(8, 9, 12, 5),
                _line(8, 9, 12, 13)]
    if name == "clear":
        red = {"color": RED, "width": 3, "join": "bevel"}
        return [_rect(5, 5, 22, 22), _line(10, 10, 22, 22, **red), _line(22, 10, 10, 22, **red)]
    if name == "board_eraser":
        return [_rect(5, 10, 22, 12, fill=ERASER, rx=2), _line(5, 16, 27, 16)]
    if name == "area_erase":
        return [_rect(4, 4, 24, 24, dash="2 4", **_plain(INK, 2)),
                _rect(12, 14, 12, 8, fill=ERASER, **_plain(INK, 2))]
    if name == "pen":
        return [_line(9, 23, 25, 7, width=3, join="bevel"),
                _line(5, 27, 9, 23, color=ACCENT, width=2, join="bevel")]
    if name == "line":
        return [_line(6, 26, 26, 6)]
    if name == "rectangle":
        return [_rect(5, 8, 22, 16)]
    if name == "ellipse":
        return [_ellipse(4, 8, 24, 16)]
    if name == "select":
        return [_rect(5, 5, 22, 22, dash="8 4", **_plain(INK, 2))]
    if name in ("zoom_in", "zoom_out"):
        parts = [_ellipse(5, 5, 16, 16), _line(19, 19, 27, 27), _line(9, 13, 17, 13)]
        if name == "zoom_in":
            parts.append(_line(13, 9, 13, 17))
        return parts
    if name == "thumbnails":
        return [_rect(3, 8, 12, 16), _rect(17, 8, 12, 16)]
    if name == "import":
        return [_rect(5, 14, 22, 13), _line(16, 4, 16, 20), _line(11, 15, 16, 20),
                _line(21, 15, 16, 20)]
    if name == "page_left":
        return [_path("M22 6 L10 16 L22 26 Z", fill=ACCENT)]
    if name == "page_right":
        return [_path("M10 6 L22 16 L10 26 Z", fill=ACCENT)]
    if name == "settings":
        ticks = ['<g transform="translate(16 16) rotate(%d)">%s</g>' % (45 * i, _line(0, 7, 0, 11))
                 for i in range(8)]
        return [_ellipse(9, 9, 14, 14)] + ticks
    if name == "return":
        return [_path("M24 8 L24 20 L8 20"), _line(8, 20, 13, 15), _line(8, 20, 13, 25)]
    if name in ("wider", "narrower"):
        parts = [_line(6, 16, 26, 16)]
        if name == "wider":
            parts.append(_line(16, 6, 16, 26))
        return parts
    # Controls that show a value rather than a picture.
    if name == "pen_colour":  # the pen over a strip that shows the pen colour
        return [_line(11, 17, 23, 5, width=3, join="bevel"),
                _line(8, 20, 11, 17, color=ACCENT, width=2, join="bevel"),
                _rect(2, 22, 28, 8, fill="rgb(230,0,0)", width=1, color="rgb(90,90,90)")]
    if name == "background_colour":
        return [_rect(2, 6, 28, 20, fill="rgb(128,128,128)", width=1, color="rgb(60,60,60)")]
    if name == "overlay_pen_colour":  # a plain button with the colour strip across it
        return [_rect(2, 12, 28, 8, fill="rgb(255,128,0)", width=1.5, color="rgb(90,90,90)")]
    if name == "width":
        return [_rect(4, 1, 24, 30, fill="white", width=1, color="rgb(150,150,150)"),
                _text(16, 26, "2", "rgb(230,0,0)", 26)]
    if name == "overlay_width":
        return [_rect(4, 1, 24, 30, fill="rgb(84,152,226)", width=1, color="rgb(150,150,150)"),
                _text(16, 26, "3", "black", 26)]
    if name == "page_number":
        return [_rect(4, 1, 24, 30, fill="white", width=1, color="rgb(150,150,150)"),
                _text(16, 24, "1", "rgb(230,0,0)", 21)]
    raise KeyError(name)


def picture(name, description):
    """A button picture: the drawing on a small sky-blue button face, with its description for
    readers that do not show pictures."""
    body = "".join(_glyph(name))
    return ('<svg class="btn" viewBox="-3 -3 38 38" width="44" height="44" role="img" '
            'aria-label="%s"><title>%s</title>'
            '<rect x="-3" y="-3" width="38" height="38" rx="5" fill="%s"/>%s</svg>') % (
                description, description, BAR, body)


# ---------------------------------------------------------------------------------------------
# The text. Each table row: (picture name, description of the picture, button name, what it does).

TOOLBAR_ROWS = [
    ("whiteboard", "画有白板的按钮", "书写板",
     "打开全屏的书写板，浮动工具条暂时隐藏。第一次打开时，第 1 页铺满背景颜色；"
     "以后再打开，看到的是上次离开时的那一页，所有页面都还在。"),
    ("annotate", "画有画面和一支笔的按钮", "标注",
     "把此刻屏幕上的画面“定格”下来，进入屏幕标注。您可以在定格的画面上圈点、书写，"
     "下面的文档和程序不会被改动。"),
    ("logo", "橙色圆形标志", "标志",
     "K_Vorne 的标志，点击它不起作用。"),
    ("keyboard", "画有键盘的按钮", "屏幕工具",
     "点一下打开屏幕工具，再点一下把它关闭。如果屏幕工具已经开着，点一下就会把它关闭。"),
    ("practice", "画有练习纸的按钮", "书写练习",
     "在屏幕中上部打开书写练习板，同时启动书写程序（见下文“书写练习”）。浮动工具条仍然显示。"),
    ("blank", "画有黑色屏幕的按钮", "消隐投影",
     "投影画面变成全黑，方便您讲解时让学生把注意力集中到您身上。"
     "<b>在屏幕任何位置单击一下</b>，画面就恢复。"),
    ("help", "画有问号的按钮", "帮助",
     "打开本帮助。看完后按帮助窗口下方的“确定”关闭。"),
    ("exit", "画有红色电源符号的按钮", "退出",
     "先询问“确实要退出系统吗？”，选“是”才退出，选“否”一切照旧。"
     "<b>注意：</b>没有保存成课程的书写板页面，退出后就没有了。"),
    ("shrink", "画有向下箭头和横线的按钮", "微缩",
     "把工具条缩成屏幕上方一个很小的方块，不再遮挡画面。"),
    ("restore", "小方块按钮", "恢复",
     "工具条缩小后只剩这个小方块，点它就恢复完整的工具条。"),
]

BOARD_ROWS = [
    ("pen_colour", "上半部分画有笔和颜色条的按钮", "笔画颜色",
     "点这个按钮（或按钮上的颜色条）选择笔的颜色。颜色条显示当前颜色。"
     "以后写的笔画用新颜色，已经写好的笔画不变。"),
    ("background_colour", "按钮下半部分的色块", "背景颜色",
     "点它选择书写板的背景颜色。如果本页已经写有内容，程序会问“是否清除本页内容？”："
     "选“是”，本页清空并换成新背景；选“否”，本页保持原样，新颜色用于以后新建的页和清屏后的页。"),
    ("width", "红色数字", "笔画粗细",
     "显示笔的粗细，1 最细，9 最粗。"),
    ("wider", "加号（上半部分）", "笔画增粗",
     "每按一次，笔画粗细加 1，最大到 9。"),
    ("narrower", "减号（下半部分）", "笔画变细",
     "每按一次，笔画粗细减 1，最小到 1。使用板擦时，这两个按钮同时改变板擦的宽度。"),
    ("clear", "方框里有红叉的按钮", "清屏",
     "把当前页全部擦掉，铺上背景颜色。<b>不询问，也不能撤销。</b>"
     "如果页面上正浮着一块用“范围选择”选取的画面，这一次只清除这一块；再按一次才清除整页。"),
    ("undo", "画有回转箭头的按钮", "撤销",
     "撤销最后一笔，让那一笔所在的地方恢复原样。<b>只能撤销一步</b>：再按一次不会撤销更早的笔画。"
     "翻页以后，撤销不再起作用。"),
    ("board_eraser", "画有黄色板擦的按钮", "板擦",
     "像黑板擦一样使用：按住笔拖动，经过的地方被擦成背景颜色。"
     "板擦的宽度随“笔画粗细”变化，粗细越大，板擦越宽。"),
    ("area_erase", "虚线框里有小板擦的按钮", "擦除",
     "从左上向右下拖出一个虚线框，松开后框内的内容全部擦掉。可以连续擦除多处。"),
    ("pen", "画有铅笔的按钮", "书写",
     "用笔自由书写。程序开始时选中的就是这个工具。"),
    ("line", "画有斜线的按钮", "画直线",
     "在起点按下，拖到终点松开，画出一条直线。"),
    ("rectangle", "画有矩形的按钮", "画矩形",
     "从矩形的一个角按下，拖到对角松开。"),
    ("ellipse", "画有椭圆的按钮", "画圆或椭圆",
     "拖出一个框，在框内画出椭圆；把框拖成正方形，就画出圆。"),
    ("select", "画有虚线方框的按钮", "范围选择",
     "从左上向右下拖出一个框，框内的画面被“剪”下来，浮在页面上。"
     "可以用笔按住它拖到别处，也可以放大、缩小；在页面其它地方按一下，它就留在新的位置。"),
    ("zoom_in", "画有放大镜和加号的按钮（上半部分）", "对选取画面放大",
     "把浮在页面上的画面（选取的画面或放上去的图片）放大到 1.5 倍，可以连续按。"),
    ("zoom_out", "画有放大镜和减号的按钮（下半部分）", "恢复原始大小",
     "每按一次，浮着的画面缩小到原来的三分之二。放大几次后再按同样多次，就回到原始大小。"),
    ("thumbnails", "画有两张并排纸的按钮（上半部分）", "缩略图查看",
     "在屏幕下半部分打开缩略图，两页并排显示，点一页就翻到那一页（见下文“缩略图查看”）。"),
    ("import", "画有向下箭头和方框的按钮（下半部分）", "导入",
     "在本页上打开文字面板，可以输入文字、打开文档、放入图片（见下文“文字面板”）。"),
    ("page_left", "向左的橙色三角", "左翻页",
     "回到上一页。在第 1 页时不起作用。"),
    ("page_number", "红色数字", "页号",
     "显示当前是第几页。"),
    ("page_right", "向右的橙色三角", "右翻页",
     "到下一页。如果已经是最后一页，就新建一页。<b>只有当前页写了内容，才能新建下一页</b>；"
     "最多 99 页。"),
    ("settings", "画有齿轮的按钮", "设置",
     "打开设置窗口：选择任课教师、保存和打开课程、个人设置（见下文“保存和打开课程”）。"),
    ("blank", "画有黑色屏幕的按钮", "消隐投影",
     "投影画面变成全黑；在屏幕任何位置单击一下就恢复，书写板原样还在。"),
    ("return", "画有拐弯箭头的按钮", "操作演示",
     "离开书写板，回到桌面，浮动工具条重新出现。书写板上的所有页面都保留着，"
     "下次点工具条上的“书写板”又能看到。如果之前开着书写练习板，它也会重新出现。"),
]

SMALL_BAR_ROWS = [
    ("clear", "方框里有红叉的按钮", "清除",
     "擦掉全部标注，回到定格时的画面。如果刚刚用“选择范围”选过一块，只擦掉这一块里的标注。"
     "<b>清除后不能撤销。</b>"),
    ("undo", "画有回转箭头的按钮", "撤销",
     "撤销最后一笔。只能撤销一步。"),
    ("area_erase", "虚线框里有小板擦的按钮", "擦除",
     "按住拖动，拖过的区域恢复成定格时的样子：擦掉的是标注，原来的画面不受影响。"),
    ("pen", "画有铅笔的按钮", "书写",
     "用笔自由书写。打开标注时选中的就是这个工具。"),
    ("line", "画有斜线的按钮", "画直线",
     "在起点按下，拖到终点松开。"),
    ("restore", "画有方框的按钮", "展开",
     "换成完整的标注工具条，可以使用更多功能。"),
    ("blank", "画有黑色屏幕的按钮", "消隐投影",
     "投影画面变成全黑；单击一下就恢复，标注原样还在。"),
    ("help", "画有问号的按钮", "帮助",
     "打开本帮助。"),
    ("return", "画有拐弯箭头的按钮", "操作演示",
     "结束标注，回到桌面。标注的内容不会保留，需要的话请先送到书写板。"),
]

FULL_BAR_ROWS = [
    ("overlay_pen_colour", "显示颜色条的按钮", "笔画颜色",
     "选择标注笔的颜色。颜色条显示当前颜色。"),
    ("overlay_width", "蓝底数字", "笔画粗细",
     "显示标注笔的粗细，1 到 9，开始时是 3。"),
    ("wider", "加号（上半部分）", "笔画增粗",
     "每按一次，粗细加 1，最大到 9。"),
    ("narrower", "减号（下半部分）", "笔画变细",
     "每按一次，粗细减 1，最小到 1。"),
    ("clear", "方框里有红叉的按钮", "清除",
     "擦掉全部标注，回到定格时的画面。<b>不能撤销。</b>"),
    ("undo", "画有回转箭头的按钮", "撤销",
     "撤销最后一笔，只能撤销一步。"),
    ("area_erase", "虚线框里有小板擦的按钮", "擦除",
     "拖过的区域恢复成定格时的样子。"),
    ("pen", "画有铅笔的按钮", "书写",
     "用笔自由书写。"),
    ("line", "画有斜线的按钮", "画直线",
     "在起点按下，拖到终点松开。"),
    ("select", "画有虚线方框的按钮", "选择范围",
     "从左上向右下拖出一个框，框内画面被复制成一块浮动的画面（原处不变），可以拖动、放大、缩小。"
     "在画面其它地方按一下，它就贴在新位置。改选其它工具时，这块浮动画面被放弃。"),
    ("import", "画有向下箭头和方框的按钮（上半部分）", "截取画面到书写板当前页",
     "把标注后的整个画面送到书写板的当前页，<b>当前页原有的内容被覆盖</b>。"
     "如果选择了范围，只送选中的那一块：它浮在书写板当前页上，可以在书写板上移动、缩放后再放下。"),
    ("page_right", "向右的橙色三角（下半部分）", "截取画面添加到书写板下一页",
     "同上，但送到新的一页：当前页有内容时，先翻到下一页（需要时新建）再放进去；"
     "当前页还是空白时，就直接用当前页。"),
    ("zoom_in", "画有放大镜和加号的按钮（上半部分）", "对选取画面放大",
     "把选取的画面放大到 1.5 倍，可以连续按；太大时自动放在屏幕中间。"),
    ("zoom_out", "画有放大镜和减号的按钮（下半部分）", "恢复原始大小",
     "每按一次缩小到三分之二；放大几次后再按同样多次，就回到原始大小。"),
    ("whiteboard", "画有白板的按钮", "书写板",
     "结束标注，打开书写板。"),
    ("blank", "画有黑色屏幕的按钮", "消隐投影",
     "投影画面变成全黑；单击一下就恢复。"),
    ("help", "画有问号的按钮", "帮助",
     "打开本帮助。"),
    ("shrink", "画有向下箭头和横线的按钮", "缩减",
     "换回小工具条。"),
    ("return", "画有拐弯箭头的按钮", "操作演示",
     "结束标注，回到桌面。"),
]


def button_table(rows, caption):
    out = ['<table class="buttons">', "<caption>%s</caption>" % caption,
           '<colgroup><col class="pic"/><col class="name"/><col/></colgroup>',
           "<thead><tr><th>按钮</th><th>名称</th><th>作用</th></tr></thead>", "<tbody>"]
    for pic, description, name, text in rows:
        out.append("<tr><td>%s</td><td class=\"n\">%s</td><td>%s</td></tr>" % (
            picture(pic, description), name, text))
    out.append("</tbody></table>")
    return "\n".join(out)


STYLE = """
html { -webkit-text-size-adjust: 100%; }
body {
  margin: 0; padding: 0 18px 28px 18px;
  font-family: "DejaVu Sans", "Liberation Sans", "Noto Sans CJK SC", "Source Han Sans SC",
               "WenQuanYi Micro Hei", "Droid Sans Fallback", "AR PL SungtiL GB", "AR PL UMing CN",
               sans-serif;
  font-size: 20px; line-height: 1.6; color: #1b2a3a; background: #fffdf8;
  overflow-wrap: anywhere;
}
header { border-bottom: 4px solid #ff8040; margin: 0 0 12px 0; padding: 12px 0 6px 0; }
h1 { font-size: 30px; margin: 0; color: #b34700; }
.version { font-size: 18px; color: #555; margin: 2px 0 0 0; }
h2 {
  font-size: 25px; color: #ffffff; background: #e86a1c; margin: 30px 0 10px 0;
  padding: 4px 12px; border-radius: 6px;
}
h3 { font-size: 22px; color: #b34700; margin: 22px 0 6px 0; border-bottom: 2px solid #f3c19e; }
p { margin: 6px 0 10px 0; }
ul, ol { margin: 6px 0 10px 0; padding-left: 1.6em; }
li { margin: 3px 0; }
nav { background: #fff1e6; border: 1px solid #f3c19e; border-radius: 6px; padding: 6px 14px; }
nav ol { margin: 4px 0; }
nav p.toc { margin: 4px 0 0 0; font-weight: bold; }
a { color: #0b5cad; }
table.buttons {
  width: 100%; table-layout: fixed; border-collapse: collapse; margin: 10px 0 16px 0;
}
table.buttons caption {
  caption-side: top; text-align: left; font-weight: bold; color: #1b2a3a; padding: 2px 0 6px 0;
}
table.buttons col.pic { width: 62px; }
table.buttons col.name { width: 7.6em; }
table.buttons th {
  background: #a6caf0; text-align: left; padding: 4px 8px; border: 1px solid #8fb3da;
}
table.buttons td { vertical-align: top; padding: 6px 8px; border: 1px solid #d6dde6; }
table.buttons tbody tr:nth-child(even) td { background: #f4f8fc; }
table.buttons td.n { font-weight: bold; }
svg.btn { display: block; width: 44px; height: 44px; }
.tip {
  background: #eef7ee; border-left: 6px solid #4a9a4a; padding: 6px 12px; margin: 10px 0;
  border-radius: 4px;
}
.warn {
  background: #fff3f0; border-left: 6px solid #d03a1a; padding: 6px 12px; margin: 10px 0;
  border-radius: 4px;
}
b { color: #a0200a; }
.key { font-weight: bold; white-space: nowrap; }
"""


def document(version):
    title = TITLE + (" " + version if version else "")
    parts = []
    add = parts.append
    add('<!DOCTYPE html>')
    add('<html lang="zh-CN"><head><meta charset="utf-8"/>')
    add('<meta name="viewport" content="width=device-width, initial-scale=1"/>')
    add("<title>%s</title>" % title)
    add("<style>%s</style>" % STYLE)
    add("</head><body>")
    add("<header><h1>%s</h1>" % TITLE)
    if version:
        add('<p class="version">版本 %s</p>' % version)
    add("</header>")

    # A plain list: links inside a web archive do not move within the page in the help window.
    add("""<nav><p class="toc">本帮助的内容（请向下滚动阅读）：</p><ol>
<li>认识 K_Vorne</li>
<li>浮动工具条</li>
<li>书写板：标题栏的按钮、书写和画图、翻页和新建页、范围选择和放大、缩略图查看、文字面板、保存和打开课程</li>
<li>屏幕标注：小工具条、完整工具条、把标注送到书写板</li>
<li>消隐投影</li>
<li>书写练习</li>
<li>要点提示</li>
</ol></nav>""")

    add("""<h2 id="about">一、认识 K_Vorne</h2>
<p>K_Vorne 是课堂用的交互式电子白板程序。电子笔在投影幕上的作用就是鼠标：
用笔点按钮、用笔在画面上书写。K_Vorne 有三种用法：</p>
<ul>
<li><span class="key">书写板</span>：铺满整个屏幕的白板，最多 99 页。可以书写、画图、擦除、
翻页、放大局部、放入图片和文字，还能把一节课的全部板书保存起来，下次上课再打开。</li>
<li><span class="key">屏幕标注</span>：把屏幕上正在显示的文档、网页或程序画面定格，在上面圈点批注；
下面的文档和程序不会被改动。标注好的画面可以送到书写板。</li>
<li><span class="key">书写练习</span>：打开书写练习板，配合书写程序练习写字。</li>
</ul>
<p>程序启动后，屏幕右上方出现一条浅蓝色的<span class="key">浮动工具条</span>。
它总是在所有窗口的最上面，是使用 K_Vorne 的起点。打开书写板或屏幕标注时，
浮动工具条会暂时隐藏，回到桌面后它又出现。</p>
<div class="tip">不知道某个按钮是做什么的？把笔（鼠标）在按钮上停一会儿，就会显示按钮的名称。</div>
""")

    add('<h2 id="toolbar">二、浮动工具条</h2>')
    add("<p>浮动工具条上的按钮从左到右依次是：</p>")
    add(button_table(TOOLBAR_ROWS, "浮动工具条的按钮"))
    add('<div class="tip">同一时间只能运行一个 K_Vorne。如果浮动工具条被别的窗口挡住，'
        "一秒钟之内它会自己回到最上面。</div>")

    add('<h2 id="board">三、书写板</h2>')
    add("""<p>书写板铺满整个屏幕。屏幕最上方是灰色的标题栏，右边是一排按钮。
书写、画图只在标题栏下方进行；笔画碰到标题栏时，会沿着标题栏的下边画。
标题栏最左边的小方框在画直线、矩形、椭圆时显示所拖图形的横向和纵向大小。</p>
<p>标题栏上的按钮从左到右依次是（有些位置上下各有一个小按钮）：</p>""")
    add(button_table(BOARD_ROWS, "书写板标题栏的按钮"))

    add("""<h3>书写和画图</h3>
<ul>
<li>“书写”“画直线”“画矩形”“画圆或椭圆”“板擦”“擦除”“范围选择”这几个工具同时只能选一个，
选中的按钮保持按下。选好的工具一直有效，翻页后也不变。</li>
<li>笔的颜色和粗细对以后的笔画有效，已经写好的笔画不变。每位教师可以在“设置”里保存自己常用的
颜色和粗细。</li>
<li><b>撤销只有一步</b>：只能撤销最后一笔。写错后请马上撤销，或者用板擦、擦除。</li>
<li><b>清屏不询问，也不能撤销。</b>按之前请想一想这一页是否还要用。</li>
</ul>""")

    add("""<h3>翻页和新建页</h3>
<ul>
<li>按“右翻页”到下一页；在最后一页按“右翻页”会新建一页，新页铺满当前的背景颜色。</li>
<li><b>只有当前页写了内容，才能新建下一页。</b>最后一页还空着时，“右翻页”不起作用。
写过字、画过图、从标注送来过画面、打开过文字面板，都算有内容。</li>
<li>书写板最多有 99 页。</li>
<li>翻页时，浮在页面上的画面（选取的画面或图片）会先放到正在离开的那一页上。</li>
<li>翻页以后，撤销不再起作用。</li>
<li>所有页面一直保存在书写板里，回到桌面后再打开书写板，页面都还在；但退出程序后，
没有保存成课程的页面就没有了。</li>
</ul>""")

    add("""<h3>范围选择和放大</h3>
<ol>
<li>按“范围选择”，从要选的区域的<b>左上角</b>按下，拖到<b>右下角</b>松开（向上或向左拖选不到内容）。</li>
<li>选中的画面从页面上剪下来，浮在原处，原来的地方变成背景颜色。</li>
<li>用笔按住浮着的画面可以拖动它；按“对选取画面放大”放大到 1.5 倍，按“恢复原始大小”缩小到三分之二，
可以连续按。放大多次也不会变模糊，因为每次都从最初选取的画面放大。</li>
<li>在页面其它地方按一下，画面就留在新的位置。</li>
</ol>
<p>此时按“清屏”只清除这块浮着的画面；按“撤销”把它放回原处。
从图片库或扫描放到页面上的图片，也同样可以拖动和放大。</p>""")

    add("""<h3 id="thumbs">缩略图查看</h3>
<p>按“缩略图查看”，屏幕下半部分出现缩略图条，并排显示两页（左边一页、右边下一页），中间有一条分隔线。
<b>点左半边或右半边，就翻到那一页</b>，缩略图条随即关闭。缩略图条打开时，页面的上半部分照样可以书写。</p>
<p>缩略图条上方有一行小按钮（缩略图条打开时，再按一次“缩略图查看”可以显示或收起这一行）：</p>
<ul>
<li><span class="key">滚动条和页号</span>：选择左边显示第几页；两页显示时每次移动两页。</li>
<li><span class="key">半页显示</span>：只显示一页的下半部分，按原大显示，看得更清楚。</li>
<li><span class="key">两页显示</span>：恢复两页并排。</li>
<li><span class="key">移到上方 / 移回下方</span>：把缩略图条移到标题栏下面，或移回屏幕下半部分。</li>
<li><span class="key">收起</span>：收起这一行小按钮。</li>
<li><span class="key">关闭</span>：关闭缩略图条，不翻页。</li>
</ul>""")

    add("""<h3 id="panel">文字面板</h3>
<p>按“导入”，在本页左边打开文字面板，可以直接输入文字（字很大，全班都看得清）。
每一页都有自己的文字面板，翻页时面板中的文字自动保存，回到这一页时又会出现。
面板顶部的拖动条可以拖动面板，拖它的右端可以改变宽度；拖面板的右边或下边可以改变大小。</p>
<p>文字面板上有一排小按钮，从左到右依次是：</p>
<ul>
<li><span class="key">字体</span>：改变选中文字的字体、字号和颜色。</li>
<li><span class="key">正常大小 / 全屏</span>：面板恢复成左边的窄条，或铺满整个屏幕。</li>
<li><span class="key">文档</span>：在面板里打开一个网页文档；选择演示文稿（.pps、.ppt）时，
会离开书写板，由系统打开演示文稿。</li>
<li><span class="key">扫描</span>：从扫描仪取得图片，放到页面上；图片比屏幕还高时，翻到下一页会接着显示下面的部分。</li>
<li><span class="key">图片库</span>：在屏幕左边打开图片库，有“物理”“化学”“其它”三类图片。
点一张图片，再在页面上点一下，图片就放到那里，可以拖动、放大后再放下。“其它”里是您自己的图片，
用图片库里的“设置”按钮导入：可以导入一个图片文件，也可以导入一个文件夹里的全部图片。</li>
<li><span class="key">粘贴</span>：把剪贴板中的文字粘贴到面板里。</li>
<li><span class="key">固定</span>：把面板中的内容印到页面上并收起面板；之后用板擦或擦除时，这些文字不会被擦掉。</li>
<li><span class="key">放下</span>：把面板中的内容画到页面上，并关闭面板。</li>
<li><span class="key">加宽</span>：面板加宽一点。</li>
<li><span class="key">隐藏拖动条</span>：收起面板顶部的拖动条。</li>
<li><span class="key">关闭</span>：关闭面板。文字不会丢失，下次在这一页按“导入”又会出现。</li>
</ul>""")

    add("""<h3 id="lessons">保存和打开课程</h3>
<p>一节课的全部页面可以按“教师、第几册、第几课”保存下来，下次上课再打开。
保存和打开都在书写板的<span class="key">设置</span>窗口中进行：</p>
<ol>
<li>在书写板上按“设置”。</li>
<li>在“任课教师”列表中点您的名字。如果设有个人密码，请在弹出的数字键盘上输入密码。
名单可以用“添加”“修改”“删除”管理，“设置个人密码”可以设置或更改自己的密码。</li>
<li>在“课程选择”中点选第几册、第几课（列表中的数目不够时，按旁边的“添加”），
并选好“存储或打开盘区”。</li>
<li>按<span class="key">保存</span>：全部页面连同文字面板中的文字一起保存，保存时各页依次在屏幕上闪过。
同一位教师、同一册、同一课再次保存时，会替换原来保存的内容。</li>
<li>下次上课时，同样选好教师、册、课和盘区，按<span class="key">打开</span>，保存的页面就回到书写板上。</li>
</ol>
<p>没有选择任课教师就保存或打开时，会提示“请选择任课教师！”；所选盘区上还没有保存过课程时，
会提示“系统找不到指定的文件！”。</p>
<div class="warn">教师名、册号、课号是连在一起作为课程名称的，因此“第 1 册第 12 课”和“第 11 册第 2 课”
会保存到同一个地方，后保存的会替换先保存的。请避免这样的组合。</div>
<p>“个性设置”中可以选择笔画颜色、背景颜色和笔画粗细，按“确定”后用到书写板上，
程序下次启动时也会使用。</p>""")

    add('<h2 id="annotate">四、屏幕标注</h2>')
    add("""<p>在浮动工具条上按“标注”，此刻屏幕上的画面被定格，原来浮动工具条的位置上出现<b>小工具条</b>。
您在定格的画面上书写，不会影响下面的文档和程序。结束标注后，桌面恢复原样。
每次进入标注都会重新定格当时的画面。</p>""")
    add(button_table(SMALL_BAR_ROWS, "小工具条的按钮"))
    add("<p>按“展开”换成靠在屏幕右上角的<b>完整工具条</b>，按钮从左到右依次是：</p>")
    add(button_table(FULL_BAR_ROWS, "完整工具条的按钮"))
    add("""<h3>把标注送到书写板</h3>
<ul>
<li>“截取画面到书写板当前页”把标注后的画面放到书写板的当前页，当前页原有的内容被覆盖。</li>
<li>“截取画面添加到书写板下一页”不覆盖已有内容：当前页写有内容时，画面放到下一页（需要时自动新建）；
当前页还空着时，就放在当前页。</li>
<li>先用“选择范围”选出一块再送，就只送这一块。它在书写板上浮在原来的位置，
可以拖动、放大，在页面其它地方按一下就放下。</li>
<li>送完以后仍然停在标注中，可以继续标注、再送；按“书写板”去看送过去的画面。</li>
</ul>""")

    add('<h2 id="blank">五、消隐投影</h2>')
    add("""<p>浮动工具条、书写板和屏幕标注上都有“消隐投影”按钮。按下后整个屏幕变黑，投影幕上什么也不显示。
<b>在屏幕任何位置单击一下</b>（或点右上角的小按钮），画面就恢复，书写板或标注原样还在。</p>""")

    add('<h2 id="practice">六、书写练习</h2>')
    add("""<p>在浮动工具条上按“书写练习”，屏幕中上部出现书写练习板，同时启动书写程序。</p>
<ul>
<li>练习板左边的文字栏里可以输入多行文字。拖动书写程序的放大镜图标，选中其中任意一行，
就把这一行变成待书写框的内容；也可以直接在待书写框内输入文字。</li>
<li>练习板右边有三个按钮，从上到下是：<span class="key">退出</span>（结束练习）、
<span class="key">打开</span>（从文本文件读入练习的文字）、<span class="key">保存</span>（把文字栏存为文本文件）。</li>
<li>请在点书写程序的“停止”按钮之前，写完最后一笔。</li>
<li>练习中打开书写板时，练习板暂时隐藏；从书写板按“操作演示”回到桌面时，它又会出现。</li>
</ul>""")

    add('<h2 id="tips">七、要点提示</h2>')
    add("""<ul>
<li><b>撤销只有一步</b>，只能撤销最后一笔。</li>
<li><b>书写板的“清屏”和标注的“清除”不能撤销。</b></li>
<li>只有当前页写了内容，才能新建下一页；书写板最多 99 页。</li>
<li>消隐投影后，在屏幕任何位置单击一下就恢复。</li>
<li>一节课的板书要保留，请在“设置”中选好教师、册、课后按“保存”；退出程序后，没有保存的页面就没有了。</li>
<li>退出程序请按浮动工具条上的“退出”，并在询问时选“是”。</li>
</ul>""")
    add("</body></html>")
    return _join_lines("\n".join(parts) + "\n")


# A line break between two Chinese characters would show as a space: the text is written on
# several source lines for reading, and joined here.
_BEFORE = re.compile(r"(?:[^\x00-\x7f]|</b>|</span>)$")
_AFTER = re.compile(r"^(?:[^\x00-\x7f]|<b>|<span )")


def _join_lines(html):
    lines = html.split("\n")
    out = [lines[0]]
    for line in lines[1:]:
        if _BEFORE.search(out[-1]) and _AFTER.match(line):
            out[-1] += line
        else:
            out.append(line)
    return "\n".join(out)


# ---------------------------------------------------------------------------------------------
# The web archive.

def _encoded_subject(text):
    return "=?utf-8?B?%s?=" % base64.b64encode(text.encode("utf-8")).decode("ascii")


def archive(version):
    html = document(version).encode("utf-8")
    body = quopri.encodestring(html, quotetabs=False)
    body = body.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    if not body.endswith(b"\r\n"):
        body += b"\r\n"
    head = "\r\n".join([
        "From: <Saved by K_Vorne>",
        "Subject: " + _encoded_subject(TITLE),
        "MIME-Version: 1.0",
        'Content-Type: multipart/related;',
        '\ttype="text/html";',
        '\tboundary="%s"' % BOUNDARY,
        "",
        "--" + BOUNDARY,
        'Content-Type: text/html; charset="utf-8"',
        "Content-Transfer-Encoding: quoted-printable",
        "Content-Location: " + DOCUMENT_LOCATION,
        "",
        "",
    ]).encode("ascii")
    tail = ("--%s--\r\n" % BOUNDARY).encode("ascii")
    return head + body + tail


def main(argv):
    if len(argv) < 2 or len(argv) > 3:
        sys.stderr.write("usage: make_help.py <output folder> [version]\n")
        return 2
    folder = argv[1]
    version = argv[2] if len(argv) == 3 else ""
    os.makedirs(folder, exist_ok=True)
    data = archive(version)
    path = os.path.join(folder, "kvrhelp.mht")
    temporary = path + ".part"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
