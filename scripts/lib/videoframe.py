#!/usr/bin/env python3
"""Reads the frame number of the lesson video from a picture of a player.

The fixture video (tools/lessonservice/fixturegen) draws, from the top of
each frame in rows of a sixth of its height: a green guide band, the frame
number in eight cells (white for a set bit, the highest first) and the same
cells inverted. The guide band gives where the frame lies in the picture,
however the player fitted it; a number counts only when every cell and its
inverted twin disagree clearly, so a picture of anything else reads as
nothing.

    videoframe.py PICTURE.pnm   prints the number, or exits 1
"""
import sys


def read_pnm(path):
    with open(path, 'rb') as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b'P6' or int(fields[3]) != 255:
        raise ValueError('not an 8-bit PPM picture')
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError('picture cut short')
    return width, height, pixels


def frame_number(width, height, pixels):
    def rgb(x, y):
        i = (y * width + x) * 3
        return pixels[i], pixels[i + 1], pixels[i + 2]

    # The guide band: the largest run of green, found on a coarse grid.
    xs, ys = [], []
    for y in range(0, height, 2):
        for x in range(0, width, 2):
            r, g, b = rgb(x, y)
            if g > 150 and r < 90 and b < 90:
                xs.append(x)
                ys.append(y)
    if len(xs) < 40:
        return None
    x0, x1, y0, y1 = min(xs), max(xs), min(ys), max(ys)
    frame_width = x1 - x0 + 1
    band = y1 - y0 + 1
    # A sixth of a 4:3 frame's height is an eighth of its width.
    if frame_width < 32 or abs(band - frame_width / 8) > max(3, frame_width / 40):
        return None

    def light(cx, cy):
        total = 0
        count = 0
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                x, y = int(cx) + dx, int(cy) + dy
                if 0 <= x < width and 0 <= y < height:
                    r, g, b = rgb(x, y)
                    total += (r + g + b) / 3
                    count += 1
        return total / count if count else 0

    number = 0
    for bit in range(8):
        cx = x0 + (bit + 0.5) * frame_width / 8
        upper = light(cx, y0 + 1.5 * band)
        lower = light(cx, y0 + 2.5 * band)
        if upper > 170 and lower < 85:
            number = number * 2 + 1
        elif upper < 85 and lower > 170:
            number = number * 2
        else:
            return None
    return number


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        number = frame_number(*read_pnm(sys.argv[1]))
    except (OSError, ValueError, IndexError) as error:
        print('videoframe: %s' % error, file=sys.stderr)
        return 1
    if number is None:
        return 1
    print(number)
    return 0


if __name__ == '__main__':
    sys.exit(main())
