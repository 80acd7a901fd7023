"""Pillow's view of image files, for the image library's tests.

  pillow_probe.py describe FILE          format, mode, size, progressive flag, colour count
  pillow_probe.py compare A B            mean and largest channel difference as RGB, and
                                         the PSNR in dB (999 when equal)
  pillow_probe.py make KIND FILE RAW     a sample image of KIND written to FILE, and its
                                         pixels as Pillow decodes them (RGB rows) to RAW
"""
import json
import math
import sys

from PIL import Image, ImageChops, ImageStat

WIDTH, HEIGHT = 83, 61


def sample():
    """Smooth gradients with a soft diagonal band, a little like a photo."""
    image = Image.new("RGB", (WIDTH, HEIGHT))
    image.putdata([(x * 3, y * 4, 128 + int(100 * ((x + y) % 40) / 40 - 50))
                   for y in range(HEIGHT) for x in range(WIDTH)])
    return image


def gradient():
    """A two-way colour gradient of thousands of colours."""
    image = Image.new("RGB", (256, 64))
    image.putdata([(x, y * 4, 255 - x // 2 - y) for y in range(64) for x in range(256)])
    return image


def make(kind, path, raw):
    image = sample()
    if kind == "bmp":
        image.save(path, "BMP")
    elif kind == "bmp-200-colours":
        image.quantize(200).convert("RGB").save(path, "BMP")
    elif kind == "bmp-gradient":
        gradient().save(path, "BMP")
    elif kind == "jpeg":
        image.save(path, "JPEG", quality=90)
    elif kind == "jpeg-progressive-grey":
        image.convert("L").save(path, "JPEG", quality=90, progressive=True)
    elif kind == "png":
        image.save(path, "PNG")
    elif kind == "png-palette":
        image.quantize(64).save(path, "PNG")
    elif kind == "png-grey-alpha":
        grey = image.convert("L")
        grey.putalpha(128)
        grey.save(path, "PNG")
    elif kind == "png-interlaced-rgba":
        image.convert("RGBA").save(path, "PNG", interlace=1)
    elif kind == "gif":
        image.quantize(200).save(path, "GIF", interlace=True)
    else:
        raise SystemExit("unknown kind " + kind)
    with open(raw, "wb") as out:
        out.write(Image.open(path).convert("RGB").tobytes())


def main():
    command = sys.argv[1]
    if command == "describe":
        image = Image.open(sys.argv[2])
        image.load()
        print(json.dumps({
            "format": image.format, "mode": image.mode,
            "width": image.width, "height": image.height,
            "progressive": bool(image.info.get("progressive") or image.info.get("progression")),
            "colours": len(image.convert("RGB").getcolors(1 << 24)),
        }))
    elif command == "compare":
        a = Image.open(sys.argv[2]).convert("RGB")
        b = Image.open(sys.argv[3]).convert("RGB")
        if a.size != b.size:
            print(json.dumps({"mean": 999, "max": 999, "psnr": 0}))
            return
        difference = ImageChops.difference(a, b)
        squares = sum(ImageStat.Stat(difference).rms[c] ** 2 for c in range(3)) / 3
        print(json.dumps({"mean": sum(ImageStat.Stat(difference).mean) / 3,
                          "max": max(high for _, high in difference.getextrema()),
                          "psnr": 999 if squares == 0 else 10 * math.log10(255 ** 2 / squares)}))
    elif command == "make":
        make(sys.argv[2], sys.argv[3], sys.argv[4])


if __name__ == "__main__":
    main()
