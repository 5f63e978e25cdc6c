#!/usr/bin/env python3
"""Draws the console's GIF images, one set per style.

usage: make_images.py IMAGE_LIST STYLE_DIR OUT_DIR

IMAGE_LIST names every image, where it goes, how it is drawn and the label it
shows (see images.lst). STYLE_DIR holds styles.lst and one NAME.lst per style;
each style's colours (upperBackcolor for buttons and headings, lowerBackcolor
and mainBackcolor for backgrounds) give its set of images. The images are
written under OUT_DIR/htdocs/... as the pages address them:
images/<style>/NAME.gif beside the program and
../../common/bin/images/<style>/NAME.gif for the shared ones, with the picture
list giflist.lst of each images folder.
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_DIRS = ["/usr/share/fonts/truetype/dejavu"]
ADMIN_DIR = os.path.join("htdocs", "admin", "bin", "images")
COMMON_DIR = os.path.join("htdocs", "common", "bin", "images")


def read_name_list(path):
    """The (name, value) pairs of a name/value list file."""
    pairs = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.startswith("BEGIN:") or line.startswith("END:") or ":" not in line:
                continue
            name, value = line.split(":", 1)
            pairs.append((name, value))
    return pairs


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    for folder in FONT_DIRS:
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def colour(text, fallback):
    text = (text or "").strip()
    if len(text) == 7 and text.startswith("#"):
        try:
            return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))
        except ValueError:
            pass
    return fallback


def darker(rgb, factor=0.7):
    return tuple(int(c * factor) for c in rgb)


def text_size(draw, text, face):
    left, top, right, bottom = draw.textbbox((0, 0), text, font=face)
    return right - left, bottom - top, left, top


def wrap(draw, label, face, width):
    """Splits label into lines no wider than width (words kept whole)."""
    lines, current = [], ""
    for word in label.split():
        trial = (current + " " + word).strip()
        if current and text_size(draw, trial, face)[0] > width:
            lines.append(current)
            current = word
        else:
            current = trial
    if current:
        lines.append(current)
    return lines


def centred_lines(draw, lines, face, box, fill):
    x0, y0, x1, y1 = box
    heights = [text_size(draw, line, face)[1] for line in lines]
    gap = 2
    total = sum(heights) + gap * (len(lines) - 1)
    y = y0 + (y1 - y0 - total) / 2
    for line, h in zip(lines, heights):
        w, _, left, top = text_size(draw, line, face)
        draw.text((x0 + (x1 - x0 - w) / 2 - left, y - top), line, font=face, fill=fill)
        y += h + gap


def nav(label, pal):
    # The bar is a 90-pixel frame with the body's margins of 8 pixels.
    img = Image.new("RGB", (72, 44), pal["lower"])
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, 71, 43), radius=6, fill=pal["accent"], outline=pal["dark"], width=2)
    face = font(10)
    centred_lines(d, wrap(d, label, face, 64), face, (3, 3, 69, 41), (255, 255, 255))
    return img


def heading(label, pal):
    face = font(20)
    probe = ImageDraw.Draw(Image.new("RGB", (1, 1)))
    w, h, left, top = text_size(probe, label, face)
    img = Image.new("RGB", (max(240, w + 28), 38), pal["main"])
    d = ImageDraw.Draw(img)
    d.rectangle((0, 4, 6, 31), fill=pal["accent"])
    d.text((14 - left, 18 - h / 2 - top), label, font=face, fill=pal["dark"])
    d.line((14, 34, img.width - 1, 34), fill=pal["accent"], width=2)
    return img


def button(label, pal, min_width=60):
    face = font(12)
    probe = ImageDraw.Draw(Image.new("RGB", (1, 1)))
    w = text_size(probe, label, face)[0]
    img = Image.new("RGB", (max(min_width, w + 22), 24), pal["main"])
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, img.width - 1, 23), radius=5, fill=pal["accent"], outline=pal["dark"])
    centred_lines(d, [label], face, (0, 0, img.width, 24), (255, 255, 255))
    return img


def tab(label, pal):
    img = button(label, pal, min_width=110)
    return img


def icon(kind, pal):
    img = Image.new("RGB", (16, 16), pal["main"])
    d = ImageDraw.Draw(img)
    ink = pal["dark"]
    if kind == "icon-person":
        d.ellipse((5, 1, 10, 6), fill=ink)
        d.pieslice((2, 7, 13, 20), 180, 360, fill=ink)
    elif kind == "icon-group":
        d.ellipse((1, 3, 5, 7), fill=pal["accent"])
        d.pieslice((0, 8, 7, 18), 180, 360, fill=pal["accent"])
        d.ellipse((9, 3, 13, 7), fill=pal["accent"])
        d.pieslice((8, 8, 15, 18), 180, 360, fill=pal["accent"])
        d.ellipse((5, 1, 10, 6), fill=ink)
        d.pieslice((3, 7, 12, 20), 180, 360, fill=ink)
    elif kind == "icon-document":
        d.polygon([(3, 1), (10, 1), (13, 4), (13, 14), (3, 14)], fill=(255, 255, 255), outline=ink)
        for y in (5, 8, 11):
            d.line((5, y, 11, y), fill=pal["accent"])
    elif kind == "icon-envelope":
        d.rectangle((1, 3, 14, 12), fill=(255, 255, 255), outline=ink)
        d.line((1, 3, 7, 8), fill=ink)
        d.line((14, 3, 8, 8), fill=ink)
    return img


def card(pal):
    img = Image.new("RGB", (191, 120), pal["main"])
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, 190, 119), radius=8, fill=(255, 255, 255), outline=pal["dark"], width=2)
    d.rectangle((2, 2, 188, 24), fill=pal["accent"])
    d.text((10, 6), "Business card", font=font(12), fill=(255, 255, 255))
    return img


def arrow(kind, pal):
    size = 10 if kind == "arrow-smallup" else 16
    img = Image.new("RGB", (size, size), pal["main"])
    d = ImageDraw.Draw(img)
    m = size - 3
    points = {
        "arrow-up": [(2, m), (size / 2, 2), (m, m)],
        "arrow-smallup": [(1, m), (size / 2, 2), (m + 1, m)],
        "arrow-down": [(2, 3), (size / 2, m), (m, 3)],
        "arrow-left": [(m, 2), (2, size / 2), (m, m)],
        "arrow-right": [(3, 2), (m, size / 2), (3, m)],
    }[kind]
    d.polygon(points, fill=pal["accent"], outline=pal["dark"])
    return img


def logo(label, pal):
    face = font(22)
    probe = ImageDraw.Draw(Image.new("RGB", (1, 1)))
    w, h, left, top = text_size(probe, label, face)
    img = Image.new("RGB", (w + 64, 48), (255, 255, 255))
    d = ImageDraw.Draw(img)
    d.ellipse((6, 8, 38, 40), fill=pal["accent"], outline=pal["dark"], width=2)
    d.text((14, 11), label[0], font=font(20), fill=(255, 255, 255))
    d.text((48 - left, 24 - h / 2 - top), label, font=face, fill=pal["dark"])
    return img


def draw(kind, label, pal):
    if kind == "nav":
        return nav(label, pal)
    if kind == "heading":
        return heading(label, pal)
    if kind == "button":
        return button(label, pal)
    if kind == "tab":
        return tab(label, pal)
    if kind == "icon-card":
        return card(pal)
    if kind.startswith("icon-"):
        return icon(kind, pal)
    if kind.startswith("arrow-"):
        return arrow(kind, pal)
    if kind == "logo":
        return logo(label, pal)
    raise ValueError("unknown kind of image: " + kind)


def save(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.convert("P", palette=Image.ADAPTIVE, colors=128).save(path, "GIF")


def save_icon(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, "ICO", sizes=[(16, 16), (32, 32)])


def save_spacer(path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img = Image.new("P", (1, 1), 0)
    img.putpalette([255, 255, 255] * 256)
    img.save(path, "GIF", transparency=0)


def read_images(path):
    images = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            parts = line.split(None, 3)
            if len(parts) < 3 or parts[0] not in ("admin", "common", "both", "shared", "root"):
                raise SystemExit("%s:%d: malformed line" % (path, number))
            images.append((parts[0], parts[1], parts[2], parts[3] if len(parts) > 3 else ""))
    return images


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    image_list, style_dir, out_dir = argv[1:]
    images = read_images(image_list)
    styles = [name for name, _ in read_name_list(os.path.join(style_dir, "styles.lst"))]
    if not styles:
        raise SystemExit("no styles in " + os.path.join(style_dir, "styles.lst"))
    palettes = {}
    for style in styles:
        settings = dict((k.lower(), v) for k, v in read_name_list(os.path.join(style_dir, style + ".lst")))
        accent = colour(settings.get("upperbackcolor"), (0x63, 0x9c, 0x9c))
        palettes[style] = {
            "accent": accent,
            "dark": darker(accent, 0.55),
            "lower": colour(settings.get("lowerbackcolor"), (0xce, 0xce, 0x9c)),
            "main": colour(settings.get("mainbackcolor"), (0xff, 0xff, 0xff)),
        }
    count = 0
    for where, name, kind, label in images:
        if where == "root":
            save_icon(draw(kind, label, palettes[styles[0]]).resize((32, 32)),
                      os.path.join(out_dir, "htdocs", name + ".ico"))
            count += 1
            continue
        if where == "shared":
            save(draw(kind, label, palettes[styles[0]]), os.path.join(out_dir, COMMON_DIR, name + ".gif"))
            count += 1
            continue
        folders = {"admin": [ADMIN_DIR], "common": [COMMON_DIR], "both": [ADMIN_DIR, COMMON_DIR]}[where]
        for style in styles:
            for folder in folders:
                path = os.path.join(out_dir, folder, style, name + ".gif")
                if kind == "spacer":
                    save_spacer(path)
                else:
                    save(draw(kind, label, palettes[style]), path)
                count += 1
    # The picture list of each folder, a value list of the image names.
    for folder, kinds in ((ADMIN_DIR, ("admin", "both")), (COMMON_DIR, ("common", "both", "shared"))):
        names = [name for where, name, _, _ in images if where in kinds]
        with open(os.path.join(out_dir, folder, "giflist.lst"), "w", encoding="latin-1") as f:
            f.write("BEGIN:vList\n" + "".join(name + "\n" for name in names) + "END:vList\n")
    print("%d images written under %s" % (count, out_dir))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
