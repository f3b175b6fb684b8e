#!/usr/bin/env python3
"""Writes the projects that the kernel's speed and result-digest scripts run.

usage: projects.py WORK_FOLDER

WORK_FOLDER receives a copy of the data folders of data/ (nk, Spectrum, HT_HR, cT_cR,
ADF_external), an empty Out/, and one input file per project: the shipped example and
variants of it (each made by replacing lines of the example's text), and a flat stack of 48
alternating TiO2 / SiO2 layers on glass under air. The stack is computed at 14,001
wavelengths: the spectrum Spectrum/bench_14001.spk is made here, 400 to 1100 nm in steps of
0.05 nm at a flat 1 W/(m^2 nm) (only the number of points matters for the speed).
"""

import os
import shutil
import sys

SOURCES = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLE = os.path.join(SOURCES, "data", "in", "CIGS example.dat")
FOLDERS = ("nk", "Spectrum", "HT_HR", "cT_cR", "ADF_external")

# The structure's columns in the input file (1-based): thickness, segments, roughness, PV.
THICKNESS, SEGMENTS, ROUGHNESS, PV = 35, 52, 66, 86


def row(name, thickness, segments, roughness, pv):
    def cell(text, width):
        return str(text).ljust(width)

    return (cell(name, THICKNESS - 1) + cell(thickness, SEGMENTS - THICKNESS) +
            cell(segments, ROUGHNESS - SEGMENTS) + cell(roughness, PV - ROUGHNESS) + str(pv))


def edited(text, edits):
    """The text with each (old, new) replaced: every occurrence, or the n-th of a triple."""
    for edit in edits:
        old, new = edit[0], edit[1]
        if old not in text:
            sys.exit("projects.py: the example has no " + repr(old))
        if len(edit) == 2:
            text = text.replace(old, new)
        else:
            at = -1
            for _ in range(edit[2]):
                at = text.index(old, at + 1)
            text = text[:at] + new + text[at + len(old):]
    return text


def structure(text, rows):
    """The text with its structure rows (and their count) replaced."""
    lines = text.split("\r\n")
    first = 11  # the top medium's line, counted from 0
    count = int(lines[7].split(":")[1])
    lines[7] = "No. of layers: %d" % len(rows)
    lines[first:first + count] = rows
    return "\r\n".join(lines)


def flat_rows(text):
    """The example's structure with every roughness 0."""
    lines = text.split("\r\n")
    count = int(lines[7].split(":")[1])
    rows = []
    for line in lines[11:11 + count]:
        rough = line[ROUGHNESS - 1:PV - 1].strip()
        rows.append(line[:ROUGHNESS - 1] + ("x" if rough == "x" else "0").ljust(PV - ROUGHNESS) +
                    line[PV - 1:])
    return rows


def stack48_rows():
    rows = [row("air", "x", "x", "x", 0)]
    for i in range(48):
        # Thicknesses spread over 60 to 109 nm so that the stack has no single period.
        rows.append(row("TiO2" if i % 2 == 0 else "SiO2", 60 + (i * 37) % 50, 1, 0, 0))
    rows.append(row("glass", "x", "x", 0, 0))
    return rows


def variants(example):
    adf2 = "Select Internal ADF2 (i) / Defined by external file (e): i\r\n\r\nT data: 2\r\nR data: 2"
    own_adf2 = lambda t, r: (adf2, adf2.replace("T data: 2", "T data: " + t).replace(
        "R data: 2", "R data: " + r), 1)
    coarse = ("Spectrum: AM15", "Spectrum: flat_400_1200")
    flat = structure(example, flat_rows(example))
    stack = structure(example, stack48_rows())
    return {
        "example": example,
        "angles90": edited(example, [("90 degrees: 45", "90 degrees: 90")]),
        "angles180": edited(example, [("90 degrees: 45", "90 degrees: 180")]),
        "precision_h": edited(example, [("(n-normal, h-high): n", "(n-normal, h-high): h")]),
        "bins360": edited(example, [("90 degrees: 45", "90 degrees: 180"),
                                    ("(n-normal, h-high): n", "(n-normal, h-high): h")]),
        "coarse": edited(example, [coarse]),
        "bins360_coarse": edited(example, [("90 degrees: 45", "90 degrees: 180"),
                                           ("(n-normal, h-high): n", "(n-normal, h-high): h"),
                                           coarse]),
        "flat": flat,
        "haze_zero": edited(example, [("(c): c\r\nT data: cT_glass_air\r\nR data: cR_glass_air",
                                       "(c): h\r\nT data: HT_flat\r\nR data: HR_flat")]),
        "haze_data": edited(example,
                            [("(c): c\r\nT data: cT_glass_air\r\nR data: cR_glass_air",
                              "(c): h\r\nT data: HT_ZnO_textured\r\nR data: HR_ZnO_textured")]),
        "other_haze": edited(example, [
            ("specified interfaces (y/n): n\r\nSpecified interfaces (0 = front surface):  \r\n"
             "Select Haze functions (h) / Callibration functions (c): c\r\nT data:  \r\n"
             "R data:  ",
             "specified interfaces (y/n): y\r\nSpecified interfaces (0 = front surface): 1 2\r\n"
             "Select Haze functions (h) / Callibration functions (c): h\r\n"
             "T data: HT_CIGS_rough\r\nR data: HR_CIGS_rough"),
            ("only in transmission (y/n): n\r\nSpecified interfaces (0 = front surface):  ",
             "only in transmission (y/n): y\r\nSpecified interfaces (0 = front surface): 0 3")]),
        "power25": edited(example, [("transmitted light (HT): 3", "transmitted light (HT): 2.5")]),
        "diffuse": edited(example, [("specular) = 0\r\n", "specular) = 0.4\r\n"),
                                    ("ADF spectrum data:  \r\n", "ADF spectrum data: 2\r\n")]),
        "group_front": edited(example, [("front surface): \r\n\r\nSelection of ADF1",
                                         "front surface): 0\r\n\r\nSelection of ADF1")]),
        "adf2_gaussian": edited(example, [own_adf2("8", "8")]),
        "adf2_ellipsoid": edited(example, [own_adf2("4", "5"),
                                           ("ad [4-7] Ellipsis radius ratio b:a for T = 1.00",
                                            "ad [4-7] Ellipsis radius ratio b:a for T = 2.00")]),
        "adf2_specular_r": edited(example, [own_adf2("2", "1")]),
        "adf2_external": edited(example, [
            (adf2, "Select Internal ADF2 (i) / Defined by external file (e): e\r\n\r\n"
             "T data: ADF2_CIGS_rough\r\nR data: ADF2_ZnO_textured", 1)]),
        "calibrated": edited(example, [
            ("total reflectance at specified interfaces (y/n): n\r\n"
             "Specified interfaces (0 = front surface):  \r\n",
             "total reflectance at specified interfaces (y/n): y\r\n"
             "Specified interfaces (0 = front surface): 0 4\r\n", 1),
            ("c12 [0..1] =  \r\n", "c12 [0..1] = 0.5\r\n", 1),
            ("[0..1] =  \r\n", "[0..1] = 1\r\n"),
            ("entire structure (y/n): n\r\nc12entire [0..1] = 1",
             "entire structure (y/n): y\r\nc12entire [0..1] = 0.9"),
            ("scattered light beams at specified interfaces (y/n): n\r\n"
             "Specified interfaces (0 = front surface):  \r\nc21scatt [>1]= 1",
             "scattered light beams at specified interfaces (y/n): y\r\n"
             "Specified interfaces (0 = front surface): 4\r\nc21scatt [>1]= 1.5")]),
        "calibration_functions": edited(example, [
            ("specified interfaces (y/n): n)\r\nSpecified interfaces (0 = front surface): \r\n"
             "For light approaching the interface from the front side of the structure, "
             "c12(wavelength): \r\n",
             "specified interfaces (y/n): y\r\nSpecified interfaces (0 = front surface): 0\r\n"
             "For light approaching the interface from the front side of the structure, "
             "c12(wavelength): ReflCal_glass\r\n")]),
        "partial_coherence": edited(example, [
            ("initial d_incoh): 1", "initial d_incoh): 0.05"),
            ("multiplied d_incoh): 1", "multiplied d_incoh): 3")]),
        "flat_partial": edited(flat, [("initial d_incoh): 1", "initial d_incoh): 0.05"),
                                      ("multiplied d_incoh): 1", "multiplied d_incoh): 3")]),
        "stack48": edited(stack, [("Spectrum: AM15", "Spectrum: bench_14001")]),
        "stack48_partial": edited(stack, [("initial d_incoh): 1", "initial d_incoh): 0.01"),
                                          ("multiplied d_incoh): 1", "multiplied d_incoh): 2"),
                                          coarse]),
    }


def write(work):
    for folder in FOLDERS:
        shutil.rmtree(os.path.join(work, folder), ignore_errors=True)
        shutil.copytree(os.path.join(SOURCES, "data", folder), os.path.join(work, folder))
    os.makedirs(os.path.join(work, "Out"), exist_ok=True)
    with open(os.path.join(work, "Spectrum", "bench_14001.spk"), "w", newline="\n") as f:
        f.write("# 400 to 1100 nm in steps of 0.05 nm, 1 W/(m^2 nm): made by bench/projects.py\n")
        for i in range(14001):
            f.write("%.2f\t1\n" % (400 + 0.05 * i))
    with open(EXAMPLE, newline="") as f:
        example = f.read().replace("/opt/lumetrix", work)
    names = []
    for name, text in variants(example).items():
        text = text.replace(work + "/Out/LXOut", work + "/Out/" + name)
        with open(os.path.join(work, name + ".dat"), "w", newline="") as f:
            f.write(text)
        names.append(name)
    return names


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    print("\n".join(write(os.path.abspath(sys.argv[1]))))
