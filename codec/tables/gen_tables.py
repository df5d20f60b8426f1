#!/usr/bin/env python3
"""Turns tables.txt (the Recommendation's numeric tables) into tables.h / tables.cpp.

Usage: gen_tables.py [tables.txt] [output folder]; both default to this script's folder.
The generated files are committed; rerun this after editing tables.txt.
"""
import os
import re
import sys
from fractions import Fraction

# Name in tables.txt -> (C++ name, element type[, scale]). Blocks not listed here are not
# emitted. A table with a scale holds each value times the scale as an integer, which must
# be exact: value = entry / scale in double precision is then the value's own double (both
# operands are exact and the division rounds once), in a quarter of the bytes.
ARRAYS = {
    "hamwindow": ("kLpWindow", "double"),
    "lwindow": ("kLagWindow", "double"),
    "grid": ("kCosineGrid", "double"),
    "lspcb1": ("kLspCodebook1", "int16_t", 10000),
    "lspcb2": ("kLspCodebook2", "int16_t", 10000),
    "fg": ("kLspMaPredictor", "double"),
    "fg_sum": ("kLspMaPredictorSum", "double"),
    "fg_sum_inv": ("kLspMaPredictorSumInverse", "double"),
    "inter_3l": ("kInterpolation3", "double"),
    "pred": ("kGainPredictor", "double"),
    "gbk1": ("kGainCodebookA", "double"),
    "gbk2": ("kGainCodebookB", "double"),
    "map1": ("kGainMapA", "uint8_t"),
    "map2": ("kGainMapB", "uint8_t"),
    "imap1": ("kGainInverseMapA", "uint8_t"),
    "imap2": ("kGainInverseMapB", "uint8_t"),
    "coef": ("kGainPreselectCoef", "double"),
    "thr1": ("kGainThresholdA", "double"),
    "thr2": ("kGainThresholdB", "double"),
    "b140": ("kPreFilterB", "double"),
    "a140": ("kPreFilterA", "double"),
    "b100": ("kPostFilterB", "double"),
    "a100": ("kPostFilterA", "double"),
    "bitsno": ("kParamBits", "uint8_t"),
    "lsp_old_init": ("kInitialLsp", "double"),
    "freq_prev_reset": ("kLspMaMemoryReset", "double"),
    "past_qua_en_init": ("kInitialGainEnergies", "double"),
}

SCALARS = {
    "L_FRAME": ("kFrameLength", "int"),
    "L_SUBFR": ("kSubframeLength", "int"),
    "L_TOTAL": ("kSpeechBufferLength", "int"),
    "L_NEXT": ("kLookAhead", "int"),
    "M": ("kOrder", "int"),
    "PIT_MIN": ("kPitchMin", "int"),
    "PIT_MAX": ("kPitchMax", "int"),
    "L_INTERPOL": ("kInterpolationLength", "int"),
    "L_INTER10": ("kInterpolationHalfLength", "int"),
    "GRID_POINTS": ("kGridPoints", "int"),
    "MA_NP": ("kLspMaOrder", "int"),
    "NC0": ("kLspCodebook1Size", "int"),
    "NC1": ("kLspCodebook2Size", "int"),
    "NCODE1": ("kGainCodebookASize", "int"),
    "NCODE2": ("kGainCodebookBSize", "int"),
    "NCAN1": ("kGainCandidatesA", "int"),
    "NCAN2": ("kGainCandidatesB", "int"),
    "GAMMA1": ("kWeightingGamma", "double"),
    "L_LIMIT": ("kLsfLowLimit", "double"),
    "M_LIMIT": ("kLsfHighLimit", "double"),
    "GAP1": ("kLsfGap1", "double"),
    "GAP2": ("kLsfGap2", "double"),
    "GAP3": ("kLsfMinSpacing", "double"),
    "PI04": ("kLsfWeightLowEdge", "double"),
    "PI92": ("kLsfWeightHighEdge", "double"),
    "CONST12": ("kLsfMidWeight", "double"),
    "SHARPMAX": ("kSharpMax", "double"),
    "SHARPMIN": ("kSharpMin", "double"),
    "GAIN_PIT_MAX": ("kPitchGainMax", "double"),
    "MEAN_ENER": ("kMeanEnergyDb", "double"),
    "INV_COEF": ("kGainPreselectScale", "double"),
    "GAMMA2_PST": ("kPostNumeratorGamma", "double"),
    "GAMMA1_PST": ("kPostDenominatorGamma", "double"),
    "GAMMAP": ("kPostPitchGamma", "double"),
    "INV_GAMMAP": ("kPostPitchCurrentWeight", "double"),
    "GAMMAP_2": ("kPostPitchDelayedWeight", "double"),
    "MU": ("kPostTiltFactor", "double"),
    "AGC_FAC": ("kAgcFactor", "double"),
    "AGC_FAC1": ("kAgcFactorComplement", "double"),
    "L_H": ("kTiltResponseLength", "int"),
    "GPCLIP": ("kTamedPitchGain", "double"),
    "GPCLIP2": ("kTamedOptimalPitchGain", "double"),
    "GP0999": ("kTamedPitchGainLimit", "double"),
    "THRESH_ERR": ("kTamingThreshold", "double"),
}


def read_blocks(path):
    blocks = {}
    name, dims, values = None, None, []
    header = re.compile(r"^#\s*(\S+)\s+([\d ]+?)\s*:")
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("#"):
                m = header.match(line)
                if name:
                    blocks[name] = (dims, values)
                name, values = (m.group(1), None) if m else (None, None)
                if m:
                    dims = [int(d) for d in m.group(2).split()]
                    values = []
                continue
            if name and line:
                values.extend(line.split())
    if name:
        blocks[name] = (dims, values)
    return blocks


def literal(value, ctype, scale=None):
    if scale is not None:
        scaled = Fraction(value) * scale
        if scaled.denominator != 1 or not -32768 <= scaled <= 32767:
            sys.exit(f"{value} times {scale} is no 16-bit integer")
        return str(scaled.numerator)
    if ctype == "uint8_t":
        if not 0 <= int(value) <= 255:
            sys.exit(f"{value} is no 8-bit unsigned integer")
        return value
    if ctype == "int":
        return str(int(float(value)))
    text = value if re.search(r"[.eE]", value) else value + ".0"
    return text


def format_array(values, dims, ctype, scale):
    if len(dims) == 1:
        return "{" + ", ".join(literal(v, ctype, scale) for v in values) + "}"
    step = len(values) // dims[0]
    rows = [format_array(values[i * step:(i + 1) * step], dims[1:], ctype, scale)
            for i in range(dims[0])]
    return "{\n    " + ",\n    ".join(rows) + "}"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "tables.txt")
    out = sys.argv[2] if len(sys.argv) > 2 else here
    blocks = read_blocks(source)

    header = ["// Generated by gen_tables.py from tables.txt. Do not edit.", "#pragma once",
              "#include <cstdint>", "", "namespace g729a {", ""]
    body = ["// Generated by gen_tables.py from tables.txt. Do not edit.",
            '#include "codec/tables/tables.h"', "", "namespace g729a {", ""]
    for key, (cname, ctype) in SCALARS.items():
        dims, values = blocks[key]
        header.append(f"inline constexpr {ctype} {cname} = {literal(values[0], ctype)};")
    header.append("")
    for key, (cname, ctype, *scaled) in ARRAYS.items():
        scale = scaled[0] if scaled else None
        dims, values = blocks[key]
        count = 1
        for d in dims:
            count *= d
        if count != len(values):
            sys.exit(f"{key}: {len(values)} values for dimensions {dims}")
        shape = "".join(f"[{d}]" for d in dims)
        if scale is not None:
            header.append(f"// {cname}[...] / {cname}Scale is the value, to the last bit.")
            header.append(f"inline constexpr double {cname}Scale = {scale}.0;")
        header.append(f"extern const {ctype} {cname}{shape};")
        body.append(f"const {ctype} {cname}{shape} = {format_array(values, dims, ctype, scale)};")
        body.append("")
    header += ["", "}  // namespace g729a", ""]
    body += ["}  // namespace g729a", ""]
    with open(os.path.join(out, "tables.h"), "w", encoding="utf-8") as f:
        f.write("\n".join(header))
    with open(os.path.join(out, "tables.cpp"), "w", encoding="utf-8") as f:
        f.write("\n".join(body))


if __name__ == "__main__":
    main()
