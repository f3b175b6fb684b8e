#!/usr/bin/env python3
"""Writes the example calibration, haze and ADF files of the working folder (data/).

These files are made, not measured: each is a stated formula with stated parameters, and its
comment header says which. The haze files take the real index n of their two media from the
shipped nk files (data/nk), linearly interpolated between the points of those files.

    scripts/make_example_data.py           write the files into data/
    scripts/make_example_data.py --check   write nothing; exit 1 if a file in data/ differs
                                           from what this script makes

Running it again reproduces every file byte for byte. Python 3, standard library only.
"""

import argparse
import bisect
import math
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
EXAMPLE = "in/CIGS example.dat"

# Wavelengths of the calibration files and of the haze files whose media cover them: the
# range of the model nk files (280-2500 nm) in 10 nm steps.
WIDE = list(range(280, 2501, 10))
# Haze files with a medium whose nk file covers less (CdS: 301.4-1497.9 nm).
NARROW = list(range(300, 1501, 10))
# Angles of the ADF files: 0 to 90 degrees in 1 degree steps.
ANGLES = list(range(0, 91))


def fixed(value):
    """A value with six decimals, never "-0.000000"."""
    text = "%.6f" % value
    return "0.000000" if text == "-0.000000" else text


class Nk:
    """The real index n of a shipped nk file, linearly interpolated between its points."""

    def __init__(self, name):
        self.name = name
        self.path = os.path.join(DATA, "nk", name + ".nk")
        self.x, self.n = [], []
        with open(self.path, encoding="ascii") as f:
            for line in f:
                fields = line.split()
                if fields and not fields[0].startswith("#"):
                    self.x.append(float(fields[0]))
                    self.n.append(float(fields[1]))

    def at(self, wavelength, hold=False):
        """n at the wavelength; outside the file's range the first or last n when `hold`,
        else an error (never extrapolated)."""
        if not self.x[0] <= wavelength <= self.x[-1]:
            if not hold:
                raise ValueError("%s does not cover %g nm" % (self.path, wavelength))
            return self.n[0] if wavelength < self.x[0] else self.n[-1]
        i = bisect.bisect_left(self.x, wavelength)
        if self.x[i] == wavelength:
            return self.n[i]
        f = (wavelength - self.x[i - 1]) / (self.x[i] - self.x[i - 1])
        return self.n[i - 1] + f * (self.n[i] - self.n[i - 1])


def file_text(name, what, how, xs, values, step, columns):
    """A data file: comment header (what, how it was made, range, columns), then the lines."""
    lines = [
        "# %s: %s" % (name, what),
        "# Example data computed from the formula below: not measured, not fitted to a"
        " measurement.",
        "# Public domain (CC0).",
        "# Made by scripts/make_example_data.py:",
    ]
    lines += ["#   " + h for h in how]
    lines.append("# Range %d-%d %s, %d points." % (xs[0], xs[-1], step, len(xs)))
    lines.append("# Columns: " + columns)
    lines += ["%d\t%s" % (x, fixed(v)) for x, v in zip(xs, values)]
    return "\n".join(lines) + "\n"


def wavelength_file(name, what, how, grid, values, quantity):
    return file_text(name, what, how, grid, values, "nm in 10 nm steps",
                     "wavelength in nm <TAB> " + quantity)


def calibration(name, what, how, c):
    return wavelength_file(name, what, how, WIDE, [c(x) for x in WIDE], "c")


def constant(name, what, value, how):
    """A constant c at every wavelength of WIDE; `how` gives the header lines."""
    return wavelength_file(name, what, how, WIDE, [value] * len(WIDE), "c")


def haze_pair(tag, sigma, gamma, upper, lower, grid, held=None):
    """H_R and H_T at normal incidence for light from medium `upper` into medium `lower`, by
    the scalar formulas of the kernel's method "c" with cR = cT = 1."""
    hr, ht = [], []
    for x in grid:
        n1, n2 = upper.at(x, held is not None), lower.at(x, held is not None)
        hr.append(1 - math.exp(-((4 * math.pi * sigma * n1 / x) ** 2)))
        ht.append(1 - math.exp(-((4 * math.pi * sigma * abs(n1 - n2) / x) ** gamma)))
    media = [
        "with sigma = %g nm, light at normal incidence from %s (n1, the real index of"
        % (sigma, upper.name),
        "nk/%s.nk) into %s (n2, the real index of nk/%s.nk), n1 and n2 linearly"
        % (upper.name, lower.name, lower.name),
        "interpolated between the points of those files. %s uses this interface" % EXAMPLE,
        "with this roughness.",
    ]
    media += held or []
    interface = "a rough %s/%s interface." % (upper.name, lower.name)
    r = wavelength_file(
        "HR_%s.hz" % tag,
        "haze in reflection H_R of " + interface,
        ["scalar scattering theory (H. E. Bennett and J. O. Porteus, JOSA 51, 123 (1961)),",
         "H_R = 1 - exp[-(4 pi sigma n1 / lambda)^2],"] + media,
        grid, hr, "haze H_R")
    t = wavelength_file(
        "HT_%s.hz" % tag,
        "haze in transmission H_T of " + interface,
        ["scalar scattering theory (C. K. Carniglia, Opt. Eng. 18, 104 (1979)),",
         "H_T = 1 - exp[-(4 pi sigma |n1 - n2| / lambda)^gamma], gamma = %g (the HT power" % gamma,
         "factor of %s)," % EXAMPLE] + media,
        grid, ht, "haze H_T")
    return {"HR_%s.hz" % tag: r, "HT_%s.hz" % tag: t}


def no_haze(name, which):
    return wavelength_file(name, "haze in %s of a smooth interface." % which,
                           ["a constant haze 0 at every wavelength: nothing is scattered."],
                           WIDE, [0.0] * len(WIDE), "haze")


def adf(name, what, how, intensity):
    """An ADF file: intensity(theta in radians, theta in degrees) at every angle of ANGLES."""
    values = [intensity(math.radians(a), a) for a in ANGLES]
    how = how + ["I is an intensity per unit solid angle, relative to its value at 0 degrees."]
    return file_text(name, what, how, ANGLES, values, "degrees in 1 degree steps",
                     "angle from the normal in degrees <TAB> relative intensity I")


def cos_power(name, what, n):
    return adf(name, what, ["I(theta) = cos(theta)^%g." % n],
               lambda t, a: max(math.cos(t), 0.0) ** n)


def gaussian(name, what, s):
    how = ["a Gaussian I(theta) = exp(-theta^2 / (2 s^2)), theta in degrees, s = %g degrees" % s,
           "(full width at half maximum %.1f degrees)." % (2 * math.sqrt(2 * math.log(2)) * s)]
    return adf(name, what, how, lambda t, a: math.exp(-a * a / (2.0 * s * s)))


def make_all():
    """Every example file: path under data/ -> its text."""
    cr = "calibration function cR of the haze in reflection."
    ct = "calibration function cT of the haze in transmission."
    rc = "reflectance calibration function c(lambda)."
    unchanged = ["a constant c = 1 at every wavelength: the haze of the scalar formula unchanged."]
    cal = {
        "cR_flat": constant("cR_flat.cal", cr, 1.0, unchanged),
        "cT_flat": constant("cT_flat.cal", ct, 1.0, unchanged),
        "cR_glass_air": constant("cR_glass_air.cal", cr, 0.6,
                                 ["a constant c = 0.6 at every wavelength, a chosen"
                                  " example value."]),
        "cT_glass_air": constant("cT_glass_air.cal", ct, 0.8,
                                 ["a constant c = 0.8 at every wavelength, a chosen"
                                  " example value."]),
        "cR_ZnO_textured": calibration(
            "cR_ZnO_textured.cal", cr,
            ["c(lambda) = 0.8 * (lambda / 600 nm)^0.25, a chosen example shape."],
            lambda x: 0.8 * (x / 600.0) ** 0.25),
        "cT_ZnO_textured": calibration(
            "cT_ZnO_textured.cal", ct,
            ["c(lambda) = 1.2 * (lambda / 600 nm)^0.5, a chosen example shape."],
            lambda x: 1.2 * (x / 600.0) ** 0.5),
        "ReflCal_glass": constant(
            "ReflCal_glass.cal", rc, 0.95,
            ["a constant c = 0.95 at every wavelength (a reflectance R becomes 0.95 R),",
             "a chosen example value."]),
        "ReflCal_ZnO_textured": constant(
            "ReflCal_ZnO_textured.cal", rc, 0.9,
            ["a constant c = 0.9 at every wavelength (a reflectance R becomes 0.9 R),",
             "a chosen example value."]),
    }

    air, zno, cds, cigs = Nk("air"), Nk("ZnO_Al"), Nk("CdS"), Nk("CIGS")
    held = ["nk/CdS.nk has no point below %g nm or above %g nm: at 300 and 1500 nm"
            % (cds.x[0], cds.x[-1]),
            "n1 is held at the file's first and last value."]
    haze = {}
    haze.update(haze_pair("ZnO_textured", 40, 3, air, zno, WIDE))
    haze.update(haze_pair("CIGS_rough", 30, 3, cds, cigs, NARROW, held))
    haze["HR_flat.hz"] = no_haze("HR_flat.hz", "reflection H_R")
    haze["HT_flat.hz"] = no_haze("HT_flat.hz", "transmission H_T")

    first = "angular distribution ADF1 of light scattered out of the specular beam."
    again = "angular distribution ADF2 of scattered light scattered again."
    adfs = {
        "ADF1_ZnO_textured": cos_power("ADF1_ZnO_textured.adf", first, 2),
        "ADF2_ZnO_textured": cos_power("ADF2_ZnO_textured.adf", again, 1),
        "ADF1_CIGS_rough": gaussian("ADF1_CIGS_rough.adf", first, 20),
        "ADF2_CIGS_rough": gaussian("ADF2_CIGS_rough.adf", again, 30),
        "ADF1_Mo_back": gaussian("ADF1_Mo_back.adf", first, 10),
        "ADF2_Mo_back": cos_power("ADF2_Mo_back.adf", again, 3),
    }

    files = {}
    files.update({os.path.join("cT_cR", n + ".cal"): t for n, t in cal.items()})
    files.update({os.path.join("HT_HR", n): t for n, t in haze.items()})
    files.update({os.path.join("ADF_external", n + ".adf"): t for n, t in adfs.items()})
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the files in data/ instead of writing them")
    args = parser.parse_args()
    differ = 0
    for relative, text in sorted(make_all().items()):
        path = os.path.join(DATA, relative)
        data = text.encode("ascii")
        if args.check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                print("differs: " + path)
                differ += 1
        else:
            with open(path, "wb") as f:
                f.write(data)
            print("wrote " + path)
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
