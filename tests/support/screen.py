"""Screenshots of the test display for the GUI tests: the whole X screen as RGB pixels."""
import os
import subprocess


class Screen:
    """One screenshot. Also saved as PNG under BRISQUEL_SHOTS_DIR (default: the working directory) when named,
    cropped to crop (left, top, right, bottom) if given, such as one window."""

    def __init__(self, name=None, crop=None):
        size = subprocess.run(["xdpyinfo"], capture_output=True, text=True, check=True).stdout
        self.width, self.height = map(int, size.split("dimensions:")[1].split()[0].split("x"))
        self.data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], capture_output=True,
                                   check=True).stdout
        if name:
            directory = os.environ.get("BRISQUEL_SHOTS_DIR", ".")
            os.makedirs(directory, exist_ok=True)
            geometry = [] if crop is None else [
                "-crop", f"{crop[2] - crop[0]}x{crop[3] - crop[1]}+{crop[0]}+{crop[1]}", "+repage"]
            subprocess.run(["convert", "-size", f"{self.width}x{self.height}", "-depth", "8", "rgb:-", *geometry,
                            os.path.join(directory, name + ".png")], input=self.data, check=True)

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def region(self, x0, y0, x1, y1, step=1):
        return [self.pixel(x, y) for y in range(y0, y1, step) for x in range(x0, x1, step)]
