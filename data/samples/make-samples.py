#!/usr/bin/env python3
"""Generates the VELTRAN sample files: a titrator file tree and a PC folder.

Everything is synthesised here, deterministically: fixed dates, fixed
contents, no randomness and no outside input. Run it from anywhere:

    python3 data/samples/make-samples.py            # (re)write the trees
    python3 data/samples/make-samples.py --check    # compare the trees on disk
    python3 data/samples/make-samples.py --verify build/bin/veltran-cli

--check fails when a generated file differs from the one on disk, or when a
file under titrator/, pc/ or export/ is not one the generator makes.
--verify runs "veltran-cli verify FILE --family N" for every .mtd file of the
manifest and every family 0..3 and fails when a code differs from the one
this script expects (its own reading of the method rules).

Method and sequence texts are Windows-1252 with CR LF line ends. Method files
are sealed: the CRC-16 (poly 0x1021, init 0xFFFF, MSB first, no reflection,
no final XOR) of the text is appended high byte first, so that the checksum
over the whole file leaves the register at 0.

Standard library only.
"""

import argparse
import calendar
import math
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ENC = "cp1252"
CRLF = "\r\n"
MANIFEST = "methods.tsv"
GENERATED_DIRS = ("titrator", "pc", "export")


# ---------------------------------------------------------------------------
# CRC and the method rules
# ---------------------------------------------------------------------------

def crc_register(data, reg=0xFFFF):
    """The 32-bit register: low 16 bits are the CRC, high 16 bits hold the
    last bits shifted out of bit 15 (the register is never masked to 16)."""
    for byte in data:
        reg ^= byte << 8
        for _ in range(8):
            top = reg & 0x8000
            reg = (reg << 1) & 0xFFFFFFFF
            if top:
                reg ^= 0x1021
    return reg


def seal(data):
    reg = crc_register(data)
    return data + bytes(((reg >> 8) & 0xFF, reg & 0xFF))


ALLOWED_TYPES = {0: (32, 40), 1: (32, 33, 37, 40), 2: (34,), 3: (36,)}


def leading_int(text):
    """A C-style leading decimal integer: blanks, a sign, digits; 0 if none."""
    i = 0
    while i < len(text) and text[i] in " \t\r\n\v\f":
        i += 1
    sign = 1
    if i < len(text) and text[i] in "+-":
        sign = -1 if text[i] == "-" else 1
        i += 1
    j = i
    while j < len(text) and text[j].isdigit() and text[j] in "0123456789":
        j += 1
    return sign * int(text[i:j]) if j > i else 0


def name_ok(path):
    base = os.path.splitext(os.path.basename(path))[0].upper()
    if "QX" in base:
        if len(base) < 3:
            return False
        field = base[2:]
    else:
        if len(base) < 5:
            return False
        field = base[4:]
    four = field[:4]
    return leading_int(four) > 0 and len(four) == 4 and all(c in "0123456789" for c in four)


def method_type(data):
    """The first 79-character piece (a line, or a piece of a long line) holding
    "MethType" and a blank, whose text after its first blank does not hold
    "MethType": the decimal number after that blank."""
    pieces = []
    for line in data.split(b"\n"):
        line += b"\n"
        while line:
            pieces.append(line[:79])
            line = line[79:]
    for piece in pieces:
        text = piece.decode("latin-1")
        if "MethType" in text and " " in text:
            rest = text.split(" ", 1)[1]
            if "MethType" not in rest:
                return leading_int(rest)
    return None


def expected_code(path, data, family):
    if not name_ok(path):
        return 3
    if crc_register(data) != 0:
        return 4
    value = method_type(data)
    if value is None or value not in ALLOWED_TYPES.get(family, (32,)):
        return 5
    return 0


def self_test():
    assert crc_register(b"abc") == 0xF00A514A
    assert crc_register(b"123456789") == 0x4B9129B1
    assert crc_register(b"abc\x51\x4a") == 0
    assert not name_ok("QX0000.MTD") and not name_ok("QX12AB.MTD")
    assert name_ok("USER0001.MTD") and name_ok("qx0102ta.mtd") and not name_ok("SEQ0001.MTD")


# ---------------------------------------------------------------------------
# Small helpers
# ---------------------------------------------------------------------------

MONTHS = {
    "en": "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split(),
    "es": "Ene Feb Mar Abr May Jun Jul Ago Sep Oct Nov Dic".split(),
}


def epoch(dt):
    y, mo, d, h, mi = dt[:5]
    s = dt[5] if len(dt) > 5 else 0
    return calendar.timegm((y, mo, d, h, mi, s, 0, 0, 0))


def add_seconds(dt, seconds):
    t = epoch(dt) + int(round(seconds))
    g = time.gmtime(t)
    return (g.tm_year, g.tm_mon, g.tm_mday, g.tm_hour, g.tm_min, g.tm_sec)


def report_date(dt, h12=False, lang="en"):
    """hh:mm Mmm dd, yyyy, or hh:mm AM Mmm dd, yyyy with a 12-hour clock."""
    y, mo, d, h, mi = dt[:5]
    month = MONTHS[lang][mo - 1]
    if h12:
        suffix = "AM" if h < 12 else "PM"
        h = h % 12 or 12
        return "%02d:%02d %s %s %02d, %04d" % (h, mi, suffix, month, d, y)
    return "%02d:%02d %s %02d, %04d" % (h, mi, month, d, y)


def clock(seconds):
    seconds = int(round(seconds))
    return "%02d:%02d:%02d" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def wobble(seed, i, amplitude):
    """Deterministic measurement noise in [-amplitude, amplitude]."""
    x = (seed * 7919 + i * 104729 + 12345) % 2147483647
    x = (x * 48271) % 2147483647
    x = (x * 48271) % 2147483647
    return (x / 2147483647.0 * 2.0 - 1.0) * amplitude


def text_bytes(lines):
    return (CRLF.join(lines) + CRLF).encode(ENC)


class Tree:
    """The files to write: relative path -> (bytes, modification time)."""

    def __init__(self):
        self.files = {}

    def add(self, path, data, dt):
        assert path not in self.files, path
        self.files[path] = (data, epoch(dt))


# ---------------------------------------------------------------------------
# Methods
# ---------------------------------------------------------------------------

TWO_TITRANT_KEYS = (
    "C_V1 mLBT gBT f eq/LT1 eq/LT2 g/LT1 g/LT2 mg/LT1 mg/LT2 mol/LT1 mol/LT2 "
    "mol/eq1 mol/mol1 eq/mol1 g/molBT g/mol1 g/mol2 mol1/mol2 mol1/eq2 eq1/mol2 "
    "mol/Lmax eq/Lmax g/Lmax mg/Lmax ug/Lmax mmol/Lmax mg/mLmax g/100mLmax "
    "meq/Lmax SBT F11 F12 F13 F14 F15 C1 C2 F21 F22 F23 F31 F32 F33").split()
ONE_TITRANT_KEYS = (
    "C_V0 mL g eq/L eq/mol g/L g/mol mg/L mol/eq mol/g mol/L mol/mol C F1 F2 F3 "
    "S g/molS mol/gS molt/mola eqt/mola eq/La g/La mg/La mol/La mLs gs").split()
assert len(TWO_TITRANT_KEYS) == 44 and len(ONE_TITRANT_KEYS) == 27

ORDINARY_HEAD = ("Name FileID TimeStamp Rev MethType DosingType LinearVol DynMinVol "
                 "DynMaxVol DynPotIncrement EP_mode EP_pH EP_mV EP_curve DerThreshold "
                 "EQRangeOpt EQLimit1 EQLimit2 DerFiltOpt PreTitrVol PreStirTime "
                 "MeasureMode StabmvVariation StabTimeInterval MinSignalStabWaitPer "
                 "MaxSignalStabWaitPer TimedIncrPeriod ElecType CalcNr SampleUnit "
                 "CalcMethod").split()
ORDINARY_TAIL = ("TitrName TitrantUnit TitrantPumpId SampleEntry MaxDelivVol StirSpeed "
                 "LowerLimit UpperLimit FlowRate SignalAve DecPlc BlankOption BlankValue "
                 "DilutionOption DilutionVol AliquotVol NrOfEQPoints TitrationType "
                 "Titrant1Name Titrant1Units Titrant1PumpId Titrant2Name Titrant2Units "
                 "Titrant2PumpId BreakOpt CalcBackTitr AnalyteType DirectTitrEntry "
                 "DirectTitrVol ABS STS LMN LMT SLM Revision").split()
ADDITION_SINGLE = "RAP RAV RAS RAW".split()
ADDITION_TWO = "RAM1 RAP1 RAV1 RAS1 RAW1 RAT1 RAM2 RAP2 RAV2 RAS2 RAW2 RAT2".split()

ORDINARY_DEFAULTS = {
    "Rev": "1.0", "DosingType": "1", "LinearVol": "0.100", "DynMinVol": "0.020",
    "DynMaxVol": "0.500", "DynPotIncrement": "8.0", "EP_mode": "0", "EP_pH": "7.000",
    "EP_mV": "0.0", "EP_curve": "0", "DerThreshold": "60", "EQRangeOpt": "0",
    "EQLimit1": "0.0", "EQLimit2": "0.0", "DerFiltOpt": "1", "PreTitrVol": "0.000",
    "PreStirTime": "10", "MeasureMode": "0", "StabmvVariation": "0.5",
    "StabTimeInterval": "2", "MinSignalStabWaitPer": "2", "MaxSignalStabWaitPer": "30",
    "TimedIncrPeriod": "5", "ElecType": "Combined pH glass electrode", "CalcNr": "1",
    "SampleUnit": "1", "CalcMethod": "3",
    "TitrName": "NaOH 0.1 M", "TitrantUnit": "0", "TitrantPumpId": "1", "SampleEntry": "1",
    "MaxDelivVol": "25.000", "StirSpeed": "600", "LowerLimit": "-2000.0",
    "UpperLimit": "2000.0", "FlowRate": "10.0", "SignalAve": "1", "DecPlc": "2",
    "BlankOption": "2", "BlankValue": "0.0", "DilutionOption": "0",
    "DilutionVol": "100.000", "AliquotVol": "10.000", "NrOfEQPoints": "1",
    "TitrationType": "0", "Titrant1Name": "", "Titrant1Units": "0", "Titrant1PumpId": "1",
    "Titrant2Name": "", "Titrant2Units": "0", "Titrant2PumpId": "2", "BreakOpt": "0",
    "CalcBackTitr": "0", "AnalyteType": "0", "DirectTitrEntry": "0",
    "DirectTitrVol": "0.000", "ABS": "0", "STS": "1", "LMN": "", "LMT": "0", "SLM": "0",
    "Revision": "2",
    "RAP": "0", "RAV": "0.000", "RAS": "0", "RAW": "0",
    "RAM1": "0", "RAP1": "0", "RAV1": "0.000", "RAS1": "0", "RAW1": "0", "RAT1": "0",
    "RAM2": "0", "RAP2": "0", "RAV2": "0.000", "RAS2": "0", "RAW2": "0", "RAT2": "0",
}


def titrant_constants(mol_l, molar_mass, eq_per_mol=1):
    """The titrant's concentration in the four units of the record."""
    return {"mol/L": "%.4f" % mol_l, "eq/L": "%.4f" % (mol_l * eq_per_mol),
            "g/L": "%.3f" % (mol_l * molar_mass), "mg/L": "%.1f" % (mol_l * molar_mass * 1000)}


def ordinary_method(values, two_additions=False, drop_methtype=False):
    fields = dict(ORDINARY_DEFAULTS)
    for key in TWO_TITRANT_KEYS + ONE_TITRANT_KEYS:
        fields[key] = "0"
    fields.update({"f": "1", "F1": "1", "F2": "1", "F3": "1", "F11": "1", "F21": "1",
                   "F31": "1"})
    fields.update(values)
    keys = ORDINARY_HEAD + TWO_TITRANT_KEYS + ONE_TITRANT_KEYS + ORDINARY_TAIL
    keys += ADDITION_TWO if two_additions else ADDITION_SINGLE
    if drop_methtype:
        keys = [k for k in keys if k != "MethType"]
    return text_bytes(["%s %s" % (k, fields[k]) for k in keys])


KF_KEYS = ("Name FileID TimeStamp Rev MethType PreDisp PreTitT Stirr Mode DrfEnt DrfVal "
           "StirSp Solv TitIdx AgeRem StdIdx SmpName SmpType SmpSize SmpPcs SmpExp SmpDen "
           "SmpDet SolvBlk SolvConc SmpExt Stdby TCons uCur EndP SigAve MinD MaxD TInc "
           "StartM MaxTime MaxVol TermCrit RefDrift EndPDel ResUnit FlowPerc TNam TCnc "
           "TTyp TTS SNam SCnc SUnt STyp SSiz SDns").split()

KF_DEFAULTS = {
    "Rev": "1.0", "PreDisp": "0", "PreTitT": "30", "Stirr": "Internal", "Mode": "0",
    "DrfEnt": "0", "DrfVal": "0.0", "StirSp": "800", "Solv": "Methanol, dry",
    "TitIdx": "1", "AgeRem": "7", "StdIdx": "0", "SmpName": "", "SmpType": "0",
    "SmpSize": "1.0000", "SmpPcs": "1", "SmpExp": "0.0000", "SmpDen": "1.000",
    "SmpDet": "0", "SolvBlk": "0.0000", "SolvConc": "0.0000", "SmpExt": "0.0000",
    "Stdby": "1", "TCons": "0", "uCur": "2", "EndP": "100.0", "SigAve": "1",
    "MinD": "0.001", "MaxD": "0.100", "TInc": "1", "StartM": "0", "MaxTime": "900",
    "MaxVol": "10.0000", "TermCrit": "0", "RefDrift": "10.0", "EndPDel": "10",
    "ResUnit": "1", "FlowPerc": "100.0", "TNam": "KF one-component 5 mg/mL",
    "TCnc": "5.0000", "TTyp": "0", "TTS": "0", "SNam": "", "SCnc": "0.0000", "SUnt": "0",
    "STyp": "0", "SSiz": "0.0000", "SDns": "1.000", "GenCrt": "0",
}


def kf_method(values, second_variant=False, time_key="TInc"):
    fields = dict(KF_DEFAULTS)
    fields.update(values)
    keys = [time_key if k == "TInc" else k for k in KF_KEYS]
    if time_key != "TInc":
        fields[time_key] = fields["TInc"]
    if second_variant:
        keys.append("GenCrt")
    return text_bytes(["%s %s" % (k, fields[k]) for k in keys])


SEQ_KEYS = ("NAM SID TSP REV MID MNA LMID LMNA MBB PWF THH THT STT SCT STB INF BHG SLP "
            "SLT SLH").split()
for _n in ("1", "2"):
    SEQ_KEYS += [k + _n for k in ("RAP", "RAT", "RAH", "RAW", "RAWT", "RASP", "RAPH")]
SEQ_KEYS += "AFM AFP AFT AFH AFSP AFST".split()
for _n in ("1", "2", "3"):
    SEQ_KEYS += ["R%s%s" % (_n, k) for k in ("TP", "B", "T", "H", "WT", "S", "SP", "AP")]

SEQ_DEFAULTS = {k: "0" for k in SEQ_KEYS}
SEQ_DEFAULTS.update({
    "REV": "1.0", "LMID": "", "LMNA": "", "MBB": "16", "PWF": "1", "THH": "40", "THT": "1",
    "STT": "10", "SCT": "0", "STB": "0", "INF": "", "BHG": "90", "SLP": "1", "SLT": "5",
    "SLH": "30", "R1TP": "1", "R1B": "1", "R1T": "10", "R1H": "30", "R1WT": "5",
    "R1S": "1", "R1SP": "500", "R1AP": "3",
})


def sequence_file(values):
    fields = dict(SEQ_DEFAULTS)
    fields.update(values)
    return text_bytes(["%s %s" % (k, fields[k]) for k in SEQ_KEYS])


# ---------------------------------------------------------------------------
# Titration curves
# ---------------------------------------------------------------------------

def solve_ph(total, pkas, cations, anions, kw=1e-14):
    """pH from the charge balance of one acid system (total mol/L, its pKa
    values) with strong cations and anions: bisection on log [H+]."""
    kas = [10.0 ** -p for p in pkas]
    lo, hi = -14.5, 1.0
    for _ in range(90):
        mid = (lo + hi) / 2
        h = 10.0 ** mid
        # shares of the acid forms that lost 0, 1, 2, ... protons
        terms, prod = [h ** len(kas)], 1.0
        for i, ka in enumerate(kas):
            prod *= ka
            terms.append(prod * h ** (len(kas) - i - 1))
        denom = sum(terms)
        negative = total * sum(i * t for i, t in enumerate(terms)) / denom
        excess = cations + h - negative - kw / h - anions
        if excess > 0:
            hi = mid
        else:
            lo = mid
    return -(lo + hi) / 2


def weak_acid_ph(v_titrant, c_base, v0, c_acid, pka, protons=1):
    """pH of an acid (c_acid mol/L, v0 mL) after v mL of a strong base."""
    vt = v0 + v_titrant
    pkas = pka if isinstance(pka, (list, tuple)) else [pka] * protons
    return solve_ph(c_acid * v0 / vt, pkas, c_base * v_titrant / vt, 0.0)


def dose_volumes(v_eq, v_end, max_dose, min_dose, seed):
    """Dynamic dosing: large steps far from the equivalence point, small near it."""
    volumes, v, i = [0.0], 0.0, 0
    while v < v_end:
        closeness = min(1.0, abs(v - v_eq) / (0.12 * v_eq))
        step = min_dose + (max_dose - min_dose) * closeness ** 1.5
        step *= 1.0 + wobble(seed, i, 0.08)
        v = round(v + max(step, min_dose), 3)
        volumes.append(v)
        i += 1
    return volumes


def inflection(xs, ys):
    """The volume of the steepest step (midpoint of the interval) and the
    signal there, interpolated."""
    best, at = -1.0, 0
    for i in range(1, len(xs)):
        slope = abs(ys[i] - ys[i - 1]) / max(xs[i] - xs[i - 1], 1e-9)
        if slope > best:
            best, at = slope, i
    return (xs[at] + xs[at - 1]) / 2, (ys[at] + ys[at - 1]) / 2


def crossing(xs, ys, level):
    for i in range(1, len(xs)):
        if (ys[i - 1] - level) * (ys[i] - level) <= 0 and ys[i] != ys[i - 1]:
            f = (level - ys[i - 1]) / (ys[i] - ys[i - 1])
            return xs[i - 1] + f * (xs[i] - xs[i - 1])
    return xs[-1]


def ph_to_mv(ph, seed, i, offset=4.2, slope=0.986):
    return (7.0 - ph) * 59.16 * slope + offset + wobble(seed, i, 0.3)


def ph_curve(ph_of_v, v_eq, seed, fixed_ph=None, falling=False, max_dose=0.5,
             min_dose=0.02, overshoot=1.15, v_end=None):
    """(volume, pH, mV) rows of a titration whose pH at volume v is ph_of_v(v).
    A fixed-pH end point stops the titration at the first reading past it."""
    vols = dose_volumes(v_eq, v_end if v_end else v_eq * overshoot, max_dose, min_dose, seed)
    rows = []
    for i, v in enumerate(vols):
        ph = ph_of_v(v) + wobble(seed, i, 0.004)
        rows.append((v, ph, ph_to_mv(ph, seed, i)))
        if fixed_ph is not None and ((ph <= fixed_ph) if falling else (ph >= fixed_ph)):
            break
    return rows


def acid_curve(c_base, v0, c_acid, pkas, seed, **kw):
    """An acid (c_acid mol/L, v0 mL, its pKa values) titrated with a strong base."""
    v_eq = c_acid * len(pkas) * v0 / c_base
    return ph_curve(lambda v: weak_acid_ph(v, c_base, v0, c_acid, list(pkas)), v_eq, seed, **kw)


def carbonate_curve(c_acid, v0, carbonate, bicarbonate, seed, **kw):
    """Carbonate and bicarbonate (mol/L) titrated with a strong acid: two steps."""
    na0 = 2 * carbonate + bicarbonate
    ct = carbonate + bicarbonate

    def ph(v):
        vt = v0 + v
        return solve_ph(ct * v0 / vt, [6.35, 10.33], na0 * v0 / vt, c_acid * v / vt)
    v_eq = (2 * carbonate + bicarbonate) * v0 / c_acid
    return ph_curve(ph, v_eq, seed, falling=True, **kw)


def strong_base_curve(c_acid, v0, c_base, seed, **kw):
    """Excess strong base (a back titration) titrated with a strong acid."""
    def ph(v):
        vt = v0 + v
        return solve_ph(0.0, [], c_base * v0 / vt, c_acid * v / vt)
    return ph_curve(ph, c_base * v0 / c_acid, seed, falling=True, **kw)


def redox_curve(c_titrant, v0, c_red, seed, e1=680.0, e2=1440.0, max_dose=0.4,
                min_dose=0.02):
    v_eq = c_red * v0 / c_titrant
    vols = dose_volumes(v_eq, v_eq * 1.15, max_dose, min_dose, seed)
    rows = []
    for i, v in enumerate(vols):
        f = v / v_eq
        if f < 0.999:
            e = e1 + 59.16 * math.log10(max(f, 0.002) / (1.0 - f))
        elif f > 1.001:
            e = e2 + 59.16 * math.log10(f - 1.0)
        else:
            e = (e1 + e2) / 2
        rows.append((v, e + wobble(seed, i, 0.4)))
    return rows


def silver_curve(c_titrant, v0, c_cl, seed, ksp=1.8e-10, e0=560.0):
    """Chloride titrated with silver nitrate on a silver electrode."""
    v_eq = c_cl * v0 / c_titrant
    vols = dose_volumes(v_eq, v_eq * 1.15, 0.5, 0.02, seed)
    rows = []
    for i, v in enumerate(vols):
        vt = (v0 + v) / 1000.0
        d = (c_titrant * v - c_cl * v0) / 1000.0 / vt
        ag = (d + math.sqrt(d * d + 4 * ksp)) / 2
        rows.append((v, e0 + 59.16 * math.log10(ag) + wobble(seed, i, 0.3)))
    return rows


def kf_curve(v_total, seed, seconds=150, steps=26):
    """Volumetric Karl Fischer: volume over time and the indicator voltage. The
    voltage stays high while water is left and breaks down to the end point of
    100 mV once the iodine is in excess, so the steepest fall per mL sits at the
    end point."""
    rows = []
    for i in range(steps):
        t = seconds * i / (steps - 1)
        frac = 1.0 - math.exp(-4.0 * t / seconds)
        v = v_total * frac / (1.0 - math.exp(-4.0))
        rest = max(0.0, 1.0 - v / v_total)
        mv = 100.0 + 420.0 * rest ** 0.3 + wobble(seed, i, 1.5)
        rows.append((t, v, max(mv, 99.1)))
    return rows


def coulometric_curve(water_ug, seed, seconds=210, steps=22):
    rows = []
    for i in range(steps):
        t = seconds * i / (steps - 1)
        frac = 1.0 - math.exp(-3.5 * t / seconds)
        w = water_ug * frac / (1.0 - math.exp(-3.5))
        mv = 100.0 + 310.0 * (1.0 - frac) ** 1.4 + wobble(seed, i, 1.2)
        rows.append((t, w, max(mv, 99.3)))
    return rows


def drift_curve(final, seed, steps=16, interval=20):
    rows = []
    for i in range(steps):
        t = i * interval
        rows.append((t, final + 38.0 * math.exp(-t / 70.0) + wobble(seed, i, 0.25)))
    return rows


# ---------------------------------------------------------------------------
# Curve pictures (BMP)
# ---------------------------------------------------------------------------

FONT = {
    "0": ("111", "101", "101", "101", "111"), "1": ("010", "110", "010", "010", "111"),
    "2": ("111", "001", "111", "100", "111"), "3": ("111", "001", "111", "001", "111"),
    "4": ("101", "101", "111", "001", "001"), "5": ("111", "100", "111", "001", "111"),
    "6": ("111", "100", "111", "101", "111"), "7": ("111", "001", "010", "010", "010"),
    "8": ("111", "101", "111", "101", "111"), "9": ("111", "101", "111", "001", "111"),
    ".": ("000", "000", "000", "000", "010"), "-": ("000", "000", "111", "000", "000"),
    "p": ("000", "111", "101", "111", "100"), "H": ("101", "101", "111", "101", "101"),
    "m": ("000", "110", "111", "101", "101"), "V": ("101", "101", "101", "101", "010"),
    "L": ("100", "100", "100", "100", "111"), "s": ("000", "011", "010", "001", "110"),
    "u": ("000", "101", "101", "101", "111"), "g": ("000", "011", "101", "011", "110"),
    "i": ("010", "000", "010", "010", "010"), "n": ("000", "110", "101", "101", "101"),
    "t": ("010", "111", "010", "010", "001"), "/": ("001", "001", "010", "100", "100"),
    "E": ("111", "100", "111", "100", "111"), "P": ("111", "101", "111", "100", "100"),
    " ": ("000", "000", "000", "000", "000"),
}

# Palette indices used by the drawing; a 1-bit picture maps them to black/white.
WHITE, BLACK, GRID, CURVE, DERIV, MARK = range(6)
PALETTE = [(255, 255, 255), (0, 0, 0), (200, 200, 200), (0, 60, 200), (210, 40, 40),
           (0, 150, 60)]


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[WHITE] * width for _ in range(height)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c, dash=0):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err, n = dx + dy, 0
        while True:
            if not dash or (n // dash) % 2 == 0:
                self.set(x0, y0, c)
            n += 1
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def text(self, x, y, s, c=BLACK, scale=1):
        for ch in s:
            glyph = FONT[ch]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == "1":
                        for a in range(scale):
                            for b in range(scale):
                                self.set(x + gx * scale + a, y + gy * scale + b, c)
            x += 4 * scale

    def bmp(self, bpp):
        if bpp == 1:
            palette = [(255, 255, 255), (0, 0, 0)]
            index = lambda c: 0 if c in (WHITE, GRID) else 1
        elif bpp == 4:
            palette = PALETTE + [(0, 0, 0)] * (16 - len(PALETTE))
            index = lambda c: c
        else:
            palette = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
            index = lambda c: c
        row_bytes = ((self.w * bpp + 31) // 32) * 4
        body = bytearray()
        for y in range(self.h - 1, -1, -1):
            bits, nbits, row = 0, 0, bytearray()
            for x in range(self.w):
                bits = (bits << bpp) | index(self.px[y][x])
                nbits += bpp
                if nbits == 8:
                    row.append(bits)
                    bits, nbits = 0, 0
            if nbits:
                row.append(bits << (8 - nbits))
            row += bytes(row_bytes - len(row))
            body += row
        pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
        offset = 14 + 40 + len(pal)
        header = b"BM" + (offset + len(body)).to_bytes(4, "little") + bytes(4) + \
            offset.to_bytes(4, "little")
        info = (40).to_bytes(4, "little") + self.w.to_bytes(4, "little") + \
            self.h.to_bytes(4, "little") + (1).to_bytes(2, "little") + \
            bpp.to_bytes(2, "little") + bytes(4) + len(body).to_bytes(4, "little") + \
            (2835).to_bytes(4, "little") * 2 + len(palette).to_bytes(4, "little") + bytes(4)
        return header + info + pal + bytes(body)


def nice_ticks(lo, hi, count=5):
    span = max(hi - lo, 1e-9)
    raw = span / count
    mag = 10 ** math.floor(math.log10(raw))
    step = next(m * mag for m in (1, 2, 2.5, 5, 10) if m * mag >= raw)
    first = math.ceil(lo / step - 1e-9) * step
    ticks, t = [], first
    while t <= hi + 1e-9:
        ticks.append(round(t, 10))
        t += step
    return ticks, step


def tick_text(value, step):
    digits = 0
    while abs(round(step, digits) - step) > 1e-9 and digits < 6:
        digits += 1
    return ("%." + str(digits) + "f") % value


def curve_picture(xs, ys, xlabel, ylabel, bpp, ep_x=None, derivative=False,
                  width=320, height=200):
    """A titration curve with axes, ticks, labels and the end point marked."""
    cv = Canvas(width, height)
    left, right, top, bottom = 38, width - 10, 18, height - 24
    x_lo, x_hi = min(xs), max(xs)
    y_lo, y_hi = min(ys), max(ys)
    pad = (y_hi - y_lo) * 0.06 or 1.0
    y_lo, y_hi = y_lo - pad, y_hi + pad
    xt, xstep = nice_ticks(x_lo, x_hi)
    yt, ystep = nice_ticks(y_lo, y_hi)
    sx = lambda x: int(round(left + (x - x_lo) / max(x_hi - x_lo, 1e-9) * (right - left)))
    sy = lambda y: int(round(bottom - (y - y_lo) / max(y_hi - y_lo, 1e-9) * (bottom - top)))
    for t in xt:
        if bpp > 1:
            cv.line(sx(t), top, sx(t), bottom, GRID, dash=2)
        cv.line(sx(t), bottom, sx(t), bottom + 3, BLACK)
        label = tick_text(t, xstep)
        cv.text(sx(t) - len(label) * 2 + 1, bottom + 6, label)
    for t in yt:
        if bpp > 1:
            cv.line(left, sy(t), right, sy(t), GRID, dash=2)
        cv.line(left - 3, sy(t), left, sy(t), BLACK)
        label = tick_text(t, ystep)
        cv.text(left - 5 - len(label) * 4, sy(t) - 2, label)
    cv.line(left, top, left, bottom, BLACK)
    cv.line(left, bottom, right, bottom, BLACK)
    cv.text(right - len(xlabel) * 4, bottom + 14, xlabel)
    cv.text(2, 2, ylabel, scale=2)
    if derivative and len(xs) > 2:
        ds = [abs(ys[i] - ys[i - 1]) / max(xs[i] - xs[i - 1], 1e-9) for i in range(1, len(xs))]
        dmax = max(ds) or 1.0
        mids = [(xs[i] + xs[i - 1]) / 2 for i in range(1, len(xs))]
        pts = [(sx(m), int(round(bottom - d / dmax * (bottom - top) * 0.9)))
               for m, d in zip(mids, ds)]
        for (a, b), (c, d) in zip(pts, pts[1:]):
            cv.line(a, b, c, d, DERIV if bpp > 1 else BLACK, dash=0 if bpp > 1 else 2)
    if ep_x is not None:
        cv.line(sx(ep_x), top, sx(ep_x), bottom, MARK if bpp > 1 else BLACK, dash=3)
        cv.text(min(sx(ep_x) + 3, right - 8), top + 2, "EP", MARK if bpp > 1 else BLACK)
    pts = [(sx(x), sy(y)) for x, y in zip(xs, ys)]
    for (a, b), (c, d) in zip(pts, pts[1:]):
        cv.line(a, b, c, d, CURVE)
        cv.line(a, b + 1, c, d + 1, CURVE)
    for a, b in pts:
        cv.set(a - 1, b, CURVE)
        cv.set(a + 1, b, CURVE)
    return cv.bmp(bpp)


# ---------------------------------------------------------------------------
# Reports, logs and pictures
# ---------------------------------------------------------------------------

MODELS = {
    # name: (family index, firmware text, serial number, title)
    "QX501": (0, "2.10", "0501-11873", "QX501 pH Titrator"),
    "QX502": (1, "3.10", "0502-20417", "QX502 Potentiometric Titrator"),
    "QX503": (2, "2.05", "0503-30952", "QX503 Karl Fischer Volumetric Titrator"),
    "QX504": (3, "2.20", "0504-40318", "QX504 Karl Fischer Coulometric Titrator"),
    "QX531": (0, "1.40", "0531-51106", "QX531 pH Titrator"),
    "QX532": (1, "1.60", "0532-60244", "QX532 Potentiometric Titrator"),
    "QX533": (2, "1.30", "0533-70581", "QX533 Karl Fischer Volumetric Titrator"),
    "QX534": (3, "1.20", "0534-80067", "QX534 Karl Fischer Coulometric Titrator"),
}

# Data-table markers of the report kinds (by the first three characters of the name).
MARKERS = {"TI_": " Volume[mL]", "PH_": "pH      mV", "MV_": "     mV   Temp.",
           "MVR": "mV rel       mV", "KF_": " mV       Time", "DR_": "g/min]",
           "TRA": "-------------------"}

TABLE_TI_PH = " Nr  Volume[mL]      pH      mV"
TABLE_TI_PH_ES = " N\u00ba  Volume[mL]      pH      mV"
TABLE_TI_MV = " Nr  Volume[mL]      mV"
TABLE_MVR = " Nr  Volume[mL]   mV rel       mV"
TABLE_KF = " Nr  Volume[mL]      mV       Time"
TABLE_KFC = " Nr  TitrWater[\u00b5g]      mV       Time"
TABLE_DR = " Nr  Drift[\u00b5g/min]       Time"
TABLE_PH_LOG = " Nr      pH      mV       Time"
TABLE_MV_LOG = " Nr     mV   Temp.[\u00b0C]       Time"


class Report:
    """One report with its table; renders the .rpt text, the .log and the .bmp."""

    def __init__(self, name, model, dt, head, table, rows, foot=(), h12=False):
        self.name, self.model, self.dt = name, model, dt
        self.head, self.table, self.rows, self.foot = list(head), table, rows, list(foot)
        self.h12 = h12
        prefix = name[:3]
        assert MARKERS[prefix] in table or prefix == "TRA", (name, table)

    def rpt(self):
        lines = ["\t" + h for h in self.head] + [""] + ["\t" + self.table]
        lines += ["\t" + r for r in self.rows]
        if self.foot:
            lines += [""] + ["\t" + f for f in self.foot]
        return text_bytes(lines)


def std_head(model, kind_title, id_label, rid, method_name, method_id, rev, dt,
             h12=False, operator="03"):
    fam, fw, serial, title = MODELS[model]
    return [title, kind_title, "Serial Number: " + serial, "Firmware: " + fw,
            id_label + " " + rid, "Method Name: " + method_name, "Method ID: " + method_id,
            "Method Revision: " + rev, "Time & Date: " + report_date(dt, h12),
            "Operator ID: " + operator]


def ti_rows(rows):
    return ["%3d  %10.3f  %6.3f  %6.1f" % (i + 1, v, ph, mv) for i, (v, ph, mv) in enumerate(rows)]


def mv_rows(rows):
    return ["%3d  %10.3f  %6.1f" % (i + 1, v, mv) for i, (v, mv) in enumerate(rows)]


def event_log(model, report_name, method_line, start, events):
    """The companion .log: what the titrator did, one event a line."""
    lines = ["%s event log for %s" % (model, report_name), method_line,
             "Start: " + report_date(start), "Elapsed   Event"]
    lines += ["%s  %s" % (clock(t), text) for t, text in events]
    return text_bytes(lines)


def dose_events(rows, unit_fmt, start_at=10.0, per_dose=6.0, seed=0):
    events, t = [(0.0, "Pre-stir started")], start_at
    events.append((t, "Titration started"))
    for i, row in enumerate(rows):
        events.append((t, "Reading %3d  %s" % (i + 1, unit_fmt(row))))
        t += per_dose + abs(wobble(seed, i, 3.0))
    return events, t


# ----- the titration reports of the ordinary titrators -----

def acid_base_report(name, model, rid, dt, method, sample, size_label, size, titrant,
                     titrant_conc, electrode, rows, result_fn, ep_kind, h12=False,
                     sample_line=True, extra_head=(), seq=None, lang="en"):
    """method = (name, id, revision); result_fn(ep volume) -> (value text, unit)."""
    vols = [r[0] for r in rows]
    phs = [r[1] for r in rows]
    if ep_kind[0] == "fixed":
        ep_vol, ep_ph = crossing(vols, phs, ep_kind[1]), ep_kind[1]
        ep_text = "Fixed pH %.3f" % ep_kind[1]
    else:
        ep_vol, ep_ph = inflection(vols, phs)
        ep_text = "Equivalence Point (pH), 1 Equivalence Point"
    value, unit = result_fn(ep_vol)
    if lang == "es":
        head = [MODELS[model][3].replace("pH Titrator", "Titulador de pH"),
                "Informe de Titulaci\u00f3n", "N\u00famero de Serie: " + MODELS[model][2],
                "ID Informe: " + rid, "Nombre Mtdo.: " + method[0], "ID M\u00e9todo: " + method[1],
                "Fecha y Hora: " + report_date(dt, h12, "es"), "Nombre Muestra: " + sample,
                "Tama\u00f1o de la muestra: " + size, "Titulante: " + titrant,
                "Electrodo: " + electrode, "Punto Final: Punto de Equivalencia (pH)",
                "Volumen de Punto Final: %.3f mL" % ep_vol, "pH de Punto Final: %.2f" % ep_ph,
                "Resultado: %s %s" % (value, unit)]
        foot = ["Volumen Total: %.3f mL" % vols[-1], "Firma: ____________________"]
        table = TABLE_TI_PH_ES
    else:
        head = std_head(model, "Titration Report", "Report ID:", rid, method[0], method[1],
                        method[2], dt, h12)
        if seq:
            head += ["Sequence Name: " + seq[0], "Beaker: %d" % seq[1]]
        if sample_line:
            head.append("Sample Name: " + sample)
        head += [size_label + " " + size, "Titrant: " + titrant,
                 "Titrant Concentration: " + titrant_conc, "Electrode: " + electrode,
                 "Temperature: 25.0 \u00b0C", "End Point: " + ep_text]
        head += list(extra_head)
        head += ["End Point Volume: %.3f mL" % ep_vol, "End Point pH: %.2f" % ep_ph,
                 "Result: %s %s" % (value, unit)]
        foot = ["Total Volume: %.3f mL" % vols[-1], "Signature: ____________________"]
        table = TABLE_TI_PH
    return Report(name, model, dt, head, table, ti_rows(rows), foot, h12), ep_vol, value, unit


def report_files(tree, folder, rep, log=True, bmp=0, xlabel="mL", ylabel="pH",
                 xs=None, ys=None, ep_x=None, events=None, method_line=""):
    """Writes NAME.RPT and, when asked, NAME.LOG and NAME.BMP beside it."""
    base = rep.name[:-4]
    tree.add(folder + "/" + rep.name, rep.rpt(), rep.dt)
    if log:
        tree.add(folder + "/" + base + ".LOG",
                 event_log(rep.model, rep.name, method_line, rep.dt, events or []), rep.dt)
    if bmp:
        tree.add(folder + "/" + base + ".BMP",
                 curve_picture(xs, ys, xlabel, ylabel, bmp, ep_x=ep_x, derivative=bmp == 8),
                 rep.dt)


def add_acid_base(tree, folder, rep_tuple, rows, method, bmp=0, log=True, seed=0):
    rep, ep_vol, value, unit = rep_tuple
    events, t = dose_events(rows, lambda r: "%8.3f mL  %6.3f pH" % (r[0], r[1]), seed=seed)
    events += [(t, "End point at %.3f mL" % ep_vol), (t, "Result %s %s" % (value, unit)),
               (t + 2, "Report %s stored" % rep.name)]
    report_files(tree, folder, rep, log=log, bmp=bmp, xs=[r[0] for r in rows],
                 ys=[r[1] for r in rows], ep_x=ep_vol, events=events,
                 method_line="Method: %s (%s)" % (method[0], method[1]))
    return rep


def mv_report(tree, folder, name, model, rid, dt, method, sample, size_label, size, titrant,
              titrant_conc, electrode, rows, result_fn, bmp=0, relative=False, h12=False,
              seq=None, seed=0, log=True):
    vols = [r[0] for r in rows]
    mvs = [r[1] for r in rows]
    ep_vol, ep_mv = inflection(vols, mvs)
    value, unit = result_fn(ep_vol)
    head = std_head(model, "Titration Report", "Report ID:", rid, method[0], method[1],
                    method[2], dt, h12)
    if seq:
        head += ["Sequence Name: " + seq[0], "Beaker: %d" % seq[1]]
    head += ["Sample Name: " + sample, size_label + " " + size, "Titrant: " + titrant,
             "Titrant Concentration: " + titrant_conc, "Electrode: " + electrode,
             "End Point: Equivalence Point (mV), 1 Equivalence Point",
             "End Point Volume: %.3f mL" % ep_vol, "End Point Potential: %.1f mV" % ep_mv,
             "Result: %s %s" % (value, unit)]
    foot = ["Total Volume: %.3f mL" % vols[-1], "Signature: ____________________"]
    if relative:
        e0 = mvs[0]
        table_rows = ["%3d  %10.3f  %7.1f  %7.1f" % (i + 1, v, mv - e0, mv)
                      for i, (v, mv) in enumerate(rows)]
        table = TABLE_MVR
    else:
        table_rows = mv_rows(rows)
        table = TABLE_TI_MV
    rep = Report(name, model, dt, head, table, table_rows, foot, h12)
    events, t = dose_events(rows, lambda r: "%8.3f mL  %7.1f mV" % r, seed=seed)
    events += [(t, "End point at %.3f mL" % ep_vol), (t, "Result %s %s" % (value, unit))]
    report_files(tree, folder, rep, log=log, bmp=bmp, ylabel="mV", xs=vols, ys=mvs,
                 ep_x=ep_vol, events=events,
                 method_line="Method: %s (%s)" % (method[0], method[1]))
    return rep, ep_vol, value, unit


def logging_report(tree, folder, name, model, rid, dt, sample, electrode, readings,
                   with_temp=False, bmp=0, log=True):
    """A pH/mV logging report: readings = [(seconds, pH or None, mV, temp)]."""
    fam, fw, serial, title = MODELS[model]
    head = [title, "pH/mV Logging Report", "Serial Number: " + serial, "Firmware: " + fw,
            "Logging ID: " + rid, "Method Name: pH/mV/ISE logging",
            "Time & Date: " + report_date(dt), "Sample Name: " + sample,
            "Electrode: " + electrode, "Logging Interval: 10 s"]
    if with_temp:
        rows = ["%3d  %6.1f  %8.1f  %12s" % (i + 1, mv, temp, clock(t))
                for i, (t, ph, mv, temp) in enumerate(readings)]
        table = TABLE_MV_LOG
    else:
        rows = ["%3d  %6.3f  %6.1f  %9s" % (i + 1, ph, mv, clock(t))
                for i, (t, ph, mv, temp) in enumerate(readings)]
        table = TABLE_PH_LOG
    foot = ["Readings: %d" % len(readings)]
    rep = Report(name, model, dt, head, table, rows, foot)
    events = [(t, "Reading %3d  %s" % (i + 1, ("%6.1f mV" % mv) if with_temp else
                                       ("%6.3f pH" % ph)))
              for i, (t, ph, mv, temp) in enumerate(readings)]
    report_files(tree, folder, rep, log=log, bmp=bmp, xlabel="t/s",
                 ylabel="mV" if with_temp else "pH", xs=[r[0] for r in readings],
                 ys=[r[2] if with_temp else r[1] for r in readings], events=events,
                 method_line="Method: pH/mV/ISE logging")
    return rep


# ----- Karl Fischer reports -----

def kf_report(tree, folder, name, model, rid, dt, method, sample, size_label, size,
              titrant, titer, drift, rows, volume, result, bmp=0, coulometric=False,
              h12=False, log=True, extra=()):
    fam, fw, serial, title = MODELS[model]
    head = std_head(model, "KF Titration Report", "Titration ID:", rid, method[0], method[1],
                    method[2], dt, h12)
    head += ["Sample Name: " + sample, size_label + " " + size]
    if coulometric:
        head += ["Generator: " + titrant, "Drift: %.1f \u00b5g/min" % drift,
                 "End Point: 100.0 mV", "Water Amount: %.1f \u00b5g" % volume]
        table_rows = ["%3d  %13.1f  %6.1f  %9s" % (i + 1, w, mv, clock(t))
                      for i, (t, w, mv) in enumerate(rows)]
        table = TABLE_KFC
    else:
        head += ["Titrant: " + titrant, "Titer: " + titer,
                 "Drift: %.1f \u00b5g/min" % drift, "End Point: 100.0 mV",
                 "End Point Volume: %.3f mL" % volume]
        table_rows = ["%3d  %10.3f  %6.1f  %9s" % (i + 1, v, mv, clock(t))
                      for i, (t, v, mv) in enumerate(rows)]
        table = TABLE_KF
    head += list(extra)
    head += ["Titration Time: " + clock(rows[-1][0]), "Result: " + result]
    foot = ["Stop Criterion: End Point Delay 10 s", "Signature: ____________________"]
    rep = Report(name, model, dt, head, table, table_rows, foot, h12)
    events = [(0.0, "Pre-titration started"), (30.0, "Drift stable %.1f \u00b5g/min" % drift),
              (45.0, "Sample added")]
    events += [(45.0 + t, "Reading %3d  %s" % (i + 1, ("%9.1f \u00b5g" % v) if coulometric
                                               else ("%7.3f mL" % v)))
               for i, (t, v, mv) in enumerate(rows)]
    events += [(45.0 + rows[-1][0], "Result " + result)]
    report_files(tree, folder, rep, log=log, bmp=bmp, xlabel="t/s",
                 ylabel="ug" if coulometric else "mL", xs=[r[0] for r in rows],
                 ys=[r[1] for r in rows], events=events,
                 method_line="Method: %s (%s)" % (method[0], method[1]))
    return rep


def drift_report(tree, folder, name, model, rid, dt, method, final, seed, bmp=0, log=True):
    rows = drift_curve(final, seed)
    head = std_head(model, "Drift Report", "Report ID:", rid, method[0], method[1], method[2],
                    dt)
    head += ["Solvent: Methanol, dry", "Drift: %.1f \u00b5g/min" % rows[-1][1],
             "Drift Stable: Yes"]
    table_rows = ["%3d  %13.1f  %9s" % (i + 1, d, clock(t)) for i, (t, d) in enumerate(rows)]
    rep = Report(name, model, dt, head, TABLE_DR, table_rows, ["Readings: %d" % len(rows)])
    events = [(t, "Drift %5.1f \u00b5g/min" % d) for t, d in rows]
    report_files(tree, folder, rep, log=log, bmp=bmp, xlabel="t/s", ylabel="ug/min",
                 xs=[r[0] for r in rows], ys=[r[1] for r in rows], events=events,
                 method_line="Method: %s (%s)" % (method[0], method[1]))
    return rep


# ----- sample-changer (tray) reports -----

def tray_report(tree, folder, name, model, dt, sequence, method, entries, h12=False):
    """entries = [(beaker, sample, result, unit, report id, finished at)]; a
    failed beaker has the result "Stopped" or "Error" and unit "-----"."""
    fam, fw, serial, title = MODELS[model]
    head = [title, "Sample Changer Report", "Serial Number: " + serial, "Firmware: " + fw,
            "Sequence Name: " + sequence[0], "Sequence ID: " + sequence[1],
            "Date & Time: " + report_date(dt, h12), "Method Name: " + method[0],
            "Method ID: " + method[1], "Beakers: %d" % len(entries)]
    dashes = "-" * 66
    lines = ["\t" + h for h in head] + ["", "\t" + dashes,
                                        "\t  #  Sample Name   Result:      Unit   Report Id"
                                        "   Date & Time", "\t" + dashes]
    for beaker, sample, result, unit, rid, done in entries:
        lines.append("\t%3d  %-12s  %-10s  %-5s  %-9s   %s"
                     % (beaker, sample, result, unit, rid, report_date(done, h12)))
    lines += ["", "\tFinished: %d of %d" % (sum(1 for e in entries if e[3] != "-----"),
                                             len(entries)),
              "\tSignature: ____________________"]
    tree.add(folder + "/" + name, text_bytes(lines), dt)
    events = [(0.0, "Sequence %s started" % sequence[0])]
    t0 = epoch(dt)
    for beaker, sample, result, unit, rid, done in entries:
        t = epoch(done) - t0
        events.append((max(t - 240, 0), "Beaker %d: %s" % (beaker, sample)))
        events.append((t, ("Beaker %d: %s %s" % (beaker, result, unit)).rstrip(" -")))
        events.append((t + 20, "Beaker %d: rinse" % beaker))
    tree.add(folder + "/" + name[:-4] + ".LOG",
             event_log(model, name, "Sequence: %s (%s)" % sequence, dt, events), dt)


# ---------------------------------------------------------------------------
# The method sets
# ---------------------------------------------------------------------------

NAOH = 40.00
HCL = 36.46
KOH = 56.11


def ord_values(name, file_id, dt, rev, meth_type, **values):
    v = {"Name": name, "FileID": file_id, "TimeStamp": str(epoch(dt)), "Rev": rev,
         "MethType": str(meth_type)}
    v.update({k.replace("__", "/"): str(x) for k, x in values.items()})
    return v


def conc(mol_l, molar_mass, eq_per_mol=1):
    return {k.replace("/", "__"): x
            for k, x in titrant_constants(mol_l, molar_mass, eq_per_mol).items()}


def conc2(n, mol_l, molar_mass):
    """The concentration of titrant n (1 or 2) of a back titration."""
    t = titrant_constants(mol_l, molar_mass)
    return {"mol__LT%d" % n: t["mol/L"], "eq__LT%d" % n: t["eq/L"],
            "g__LT%d" % n: t["g/L"], "mg__LT%d" % n: t["mg/L"]}


def ordinary_methods():
    """(model, file name, meth type, text) of the ordinary titrators."""
    M = []

    def add(model, fname, values, two=False):
        M.append((model, fname, int(values["MethType"]), ordinary_method(values, two)))

    # QX501, family 0: types 32 and 40
    add("QX501", "QX0101AV.MTD", ord_values(
        "Total acidity vinegar", "QX0101AV", (2024, 2, 12, 9, 30), "1.2", 32,
        DynMaxVol="0.400", TitrName="NaOH 0.5 M", mL="5.000", g__mol="60.05", eq__mol=1,
        MaxDelivVol="25.000", **conc(0.5, NAOH)))
    add("QX501", "QX0201TA.MTD", ord_values(
        "Total alkalinity water", "QX0201TA", (2024, 2, 12, 10, 5), "1.0", 32,
        DosingType=0, LinearVol="0.050", EP_mode=2, EP_pH="4.500", TitrName="HCl 0.02 M",
        mL="100.000", g__mol="50.04", DecPlc=1, StirSpeed=500, **conc(0.02, HCL)))
    add("QX501", "QX0301FA.MTD", ord_values(
        "Free fatty acids oil", "QX0301FA", (2024, 3, 4, 14, 18), "2.0", 40,
        CalcMethod=2, g="10.0000", g__mol="282.46", TitrName="KOH 0.1 M in ethanol",
        ElecType="Non-aqueous pH electrode", BlankOption=1, BlankValue="0.050",
        DynMaxVol="0.200", MaxDelivVol="10.000", **conc(0.1, KOH)))
    add("QX501", "USER0001.MTD", ord_values(
        "Citric acid juice", "USER0001", (2024, 5, 21, 11, 42), "1.0", 32,
        EP_mode=2, EP_pH="8.100", TitrName="NaOH 0.1 M", mL="10.000", g__mol="64.04",
        eq__mol=3, **conc(0.1, NAOH)))
    add("QX501", "USER0002.MTD", ord_values(
        "NaOH titer KHP", "USER0002", (2024, 5, 22, 8, 15), "1.1", 40,
        CalcMethod=4, gs="0.2042", g__molS="204.22", TitrName="NaOH 0.1 M", DecPlc=3,
        SampleEntry=2, **conc(0.1, NAOH)))

    # QX502, family 1: types 32, 33, 37 and 40
    add("QX502", "QX0102TA.MTD", ord_values(
        "Total acidity wine", "QX0102TA", (2024, 1, 29, 13, 0), "1.2", 32,
        EP_mode=2, EP_pH="7.000", TitrName="NaOH 0.1 M", mL="10.000", g__mol="75.04",
        **conc(0.1002, NAOH)))
    add("QX502", "QX0202CL.MTD", ord_values(
        "Chloride in water", "QX0202CL", (2024, 1, 29, 13, 20), "1.0", 32,
        EP_mode=1, TitrName="AgNO3 0.02 M", ElecType="Silver ring electrode", mL="50.000",
        g__mol="35.45", DerThreshold=40, DynMaxVol="0.300", LowerLimit="-500.0",
        UpperLimit="800.0", **conc(0.02, 169.87)))
    add("QX502", "QX0302SV.MTD", ord_values(
        "Saponification value", "QX0302SV", (2024, 2, 6, 9, 45), "1.3", 33,
        TitrationType=1, TitrName="", Titrant1Name="KOH 0.5 M in ethanol", Titrant2Name="HCl 0.5 M",
        Titrant1PumpId=1, Titrant2PumpId=2, BreakOpt=1, CalcBackTitr=1, AnalyteType=0,
        gBT="2.0000", g__molBT="56.11", DirectTitrEntry=1, DirectTitrVol="25.000",
        ElecType="Non-aqueous pH electrode", PreStirTime=30, MaxDelivVol="20.000",
        **dict(conc2(1, 0.5, KOH), **conc2(2, 0.5, HCL))))
    add("QX502", "QX0402PH.MTD", ord_values(
        "pH of samples", "QX0402PH", (2024, 2, 6, 10, 30), "1.0", 37,
        TitrationType=2, PreStirTime=20, StirSpeed=300, CalcMethod=0, TitrName=""))
    add("QX502", "USER0001.MTD", ord_values(
        "Chloride in brine", "USER0001", (2024, 6, 3, 15, 12), "1.0", 40,
        EP_mode=1, TitrName="AgNO3 0.1 M", ElecType="Silver ring electrode", mL="1.000",
        g__mol="35.45", DilutionOption=1, DilutionVol="100.000", AliquotVol="10.000",
        LowerLimit="-500.0", UpperLimit="800.0", **conc(0.1, 169.87)))
    add("QX502", "USER0002.MTD", ord_values(
        "Acidity of milk", "USER0002", (2024, 6, 4, 7, 55), "1.0", 32,
        EP_mode=2, EP_pH="8.300", TitrName="NaOH 0.1 M", mL="20.000", g__mol="90.08",
        **conc(0.1, NAOH)))

    # QX531, family 0
    add("QX531", "QX0131AL.MTD", ord_values(
        "Alkalinity P and T", "QX0131AL", (2024, 4, 8, 10, 0), "1.1", 32,
        NrOfEQPoints=2, TitrName="HCl 0.1 M", mL="100.000", g__mol="50.04",
        DynMaxVol="0.200", DecPlc=1, **conc(0.1, HCL)))
    add("QX531", "QX0231AC.MTD", ord_values(
        "Total acidity vinegar", "QX0231AC", (2024, 4, 8, 10, 20), "1.0", 40,
        DynMaxVol="0.400", TitrName="NaOH 0.5 M", mL="5.000", g__mol="60.05",
        **conc(0.5, NAOH)))
    add("QX531", "QX0331TB.MTD", ord_values(
        "Total base number", "QX0331TB", (2024, 4, 9, 16, 40), "1.0", 32,
        EP_mode=1, CalcMethod=2, g="2.0000", g__mol="56.11",
        TitrName="HClO4 0.1 M in acetic acid", ElecType="Non-aqueous pH electrode",
        LowerLimit="-200.0", UpperLimit="900.0", **conc(0.1, 100.46)))
    add("QX531", "USER0001.MTD", ord_values(
        "Ascorbic acid in juice", "USER0001", (2024, 7, 15, 9, 5), "1.0", 32,
        EP_mode=1, TitrName="Iodine 0.05 M", ElecType="Platinum ring electrode",
        mL="25.000", g__mol="88.06", **conc(0.05, 253.81, 2)))
    add("QX531", "USER0002.MTD", ord_values(
        "HCl titer Na2CO3", "USER0002", (2024, 7, 15, 9, 40), "1.0", 40,
        CalcMethod=4, gs="0.1060", g__molS="52.99", TitrName="HCl 0.1 M", DecPlc=3,
        NrOfEQPoints=2, **conc(0.1, HCL)))

    # QX532, family 1, with the two reagent additions of its firmware
    add("QX532", "QX0132TA.MTD", ord_values(
        "Titratable acidity juice", "QX0132TA", (2024, 3, 18, 8, 30), "1.0", 32,
        TitrName="NaOH 0.1 M", mL="10.000", g__mol="64.04", RAM1=1, RAP1=3, RAV1="20.000",
        RAS1=10, RAW1=5, **conc(0.1, NAOH)), two=True)
    add("QX532", "QX0232FE.MTD", ord_values(
        "Iron(II) by cerium(IV)", "QX0232FE", (2024, 3, 18, 9, 10), "1.0", 32,
        EP_mode=1, TitrName="Ce(SO4)2 0.1 M", ElecType="Platinum ring electrode",
        CalcMethod=2, g="0.5000", g__mol="55.85", LowerLimit="0.0", UpperLimit="1500.0",
        RAM1=3, RAP1=2, RAV1="10.000", RAS1=5, RAW1=10, **conc(0.1, 332.24)), two=True)
    add("QX532", "QX0332EV.MTD", ord_values(
        "Ester value", "QX0332EV", (2024, 3, 19, 11, 0), "1.0", 33,
        TitrationType=1, TitrName="", Titrant1Name="KOH 0.5 M in ethanol", Titrant2Name="HCl 0.5 M",
        Titrant1PumpId=1, Titrant2PumpId=2, CalcBackTitr=1, AnalyteType=0, gBT="2.0000",
        g__molBT="56.11", DirectTitrEntry=1, DirectTitrVol="25.000",
        **dict(conc2(1, 0.5, KOH), **conc2(2, 0.5, HCL))), two=True)
    add("QX532", "QX0432MV.MTD", ord_values(
        "Redox potential", "QX0432MV", (2024, 3, 19, 11, 30), "1.0", 37,
        TitrationType=2, EP_mode=1, ElecType="Platinum ring electrode", PreStirTime=30,
        StirSpeed=300, CalcMethod=0, TitrName=""), two=True)
    add("QX532", "USER0001.MTD", ord_values(
        "Acidity wine tray", "USER0001", (2024, 8, 26, 14, 0), "1.0", 40,
        EP_mode=2, EP_pH="7.000", TitrName="NaOH 0.1 M", mL="10.000", g__mol="75.04",
        RAM1=2, RAP1=3, RAT1=15, RAS1=10, RAW1=5, **conc(0.1, NAOH)), two=True)
    add("QX532", "USER0002.MTD", ord_values(
        "Chloride in cheese", "USER0002", (2024, 8, 27, 10, 25), "1.0", 32,
        EP_mode=1, CalcMethod=2, g="2.0000", g__mol="58.44", TitrName="AgNO3 0.1 M",
        ElecType="Silver ring electrode", LowerLimit="-500.0", UpperLimit="800.0",
        **conc(0.1, 169.87)), two=True)
    return M


def kf_values(name, file_id, dt, rev, meth_type, **values):
    v = {"Name": name, "FileID": file_id, "TimeStamp": str(epoch(dt)), "Rev": rev,
         "MethType": str(meth_type)}
    v.update({k: str(x) for k, x in values.items()})
    return v


def kf_methods():
    M = []

    def add(model, fname, values, second=False, time_key="TInc"):
        M.append((model, fname, int(values["MethType"]),
                  kf_method(values, second, time_key)))

    # QX503, family 2: type 34 (volumetric)
    add("QX503", "QX0103KW.MTD", kf_values(
        "Water in oil", "QX0103KW", (2024, 2, 20, 9, 0), "1.1", 34, SmpName="Transformer oil",
        SmpSize="5.0000", SmpExp="0.0300", SmpDen="0.880", ResUnit=1,
        TNam="KF one-component 2 mg/mL", TCnc="2.0150", MaxVol="5.0000"))
    add("QX503", "QX0203KT.MTD", kf_values(
        "Titer sodium tartrate", "QX0203KT", (2024, 2, 20, 9, 30), "1.0", 34, Mode=1,
        StdIdx=1, SNam="Sodium tartrate dihydrate", SCnc="15.6600", SUnt=0, STyp=0,
        SSiz="0.1500", TCnc="5.0210"))
    add("QX503", "QX0303KS.MTD", kf_values(
        "Water in ethanol", "QX0303KS", (2024, 2, 21, 13, 10), "1.0", 34,
        SmpName="Ethanol absolute", SmpType=1, SmpSize="1.0000", SmpDen="0.789",
        ResUnit=0, SmpExp="0.2000"))
    add("QX503", "USER0001.MTD", kf_values(
        "Water in tablets", "USER0001", (2024, 9, 2, 10, 45), "1.0", 34,
        SmpName="Effervescent tablet", SmpType=2, SmpPcs=2, ResUnit=8, PreTitT=60,
        StirSp=1000))
    add("QX503", "USER0002.MTD", kf_values(
        "Water in honey", "USER0002", (2024, 9, 3, 8, 20), "1.0", 34, SmpName="Honey",
        SmpSize="0.2000", SmpDet=1, SolvBlk="0.0350", ResUnit=0, Solv="Methanol/formamide 2:1",
        MaxTime=1200))

    # QX504, family 3: type 36 (coulometric, second variant)
    add("QX504", "QX0104CW.MTD", kf_values(
        "Water in transformer oil", "QX0104CW", (2024, 3, 11, 11, 0), "1.0", 36,
        SmpName="Transformer oil", SmpSize="2.0000", ResUnit=4, GenCrt=1, DrfEnt=0,
        TNam="Coulometric anolyte", TCnc="0.0000", Solv="Anolyte, diaphragm-free",
        MinD="0.000", MaxD="0.000"), second=True)
    add("QX504", "QX0204BR.MTD", kf_values(
        "Bromine index", "QX0204BR", (2024, 3, 11, 11, 40), "1.0", 36, Mode=1,
        SmpName="Reformate", SmpSize="1.0000", ResUnit=1, GenCrt=0,
        TNam="Bromine anolyte", TCnc="0.0000", Solv="Acetic acid/methanol"),
        second=True)
    add("QX504", "USER0001.MTD", kf_values(
        "Water in jet fuel", "USER0001", (2024, 10, 7, 15, 30), "1.0", 36,
        SmpName="Jet fuel", SmpType=1, SmpSize="5.0000", SmpDen="0.800", ResUnit=4,
        GenCrt=1, TNam="Coulometric anolyte", TCnc="0.0000"), second=True)
    add("QX504", "USER0002.MTD", kf_values(
        "Water in electrolyte", "USER0002", (2024, 10, 8, 9, 0), "1.0", 36,
        SmpName="Battery electrolyte", SmpSize="1.0000", ResUnit=4, GenCrt=1,
        TNam="Coulometric anolyte", TCnc="0.0000"), second=True)

    # QX533, family 2; its firmware writes the time increment as TIncIdx
    add("QX533", "QX0133KW.MTD", kf_values(
        "Water in solvents", "QX0133KW", (2024, 4, 22, 10, 15), "1.0", 34,
        SmpName="Acetone", SmpType=1, SmpSize="2.0000", SmpDen="0.791", ResUnit=1,
        TInc=2), time_key="TIncIdx")
    add("QX533", "QX0233KT.MTD", kf_values(
        "Titer water standard", "QX0233KT", (2024, 4, 22, 10, 45), "1.0", 34, Mode=1,
        StdIdx=4, SNam="Water standard 1.0 mg/g", SCnc="0.1000", SUnt=2, STyp=1,
        SSiz="2.0000", SDns="0.870"), time_key="TIncIdx")
    add("QX533", "USER0001.MTD", kf_values(
        "Water in cream", "USER0001", (2024, 11, 12, 13, 30), "1.0", 34,
        SmpName="Hand cream", SmpSize="0.1000", ResUnit=0, SmpDet=2, SmpExt="1.0000",
        Solv="Methanol/chloroform 1:1"), time_key="TIncIdx")

    # QX534, family 3
    add("QX534", "QX0134CW.MTD", kf_values(
        "Water in lubricant", "QX0134CW", (2024, 5, 6, 8, 0), "1.0", 36,
        SmpName="Gear oil", SmpSize="1.0000", ResUnit=4, GenCrt=1,
        TNam="Coulometric anolyte", TCnc="0.0000"), second=True)
    add("QX534", "QX0234BR.MTD", kf_values(
        "Bromine index naphtha", "QX0234BR", (2024, 5, 6, 8, 30), "1.0", 36, Mode=1,
        SmpName="Naphtha", SmpSize="2.0000", ResUnit=1, TNam="Bromine anolyte",
        TCnc="0.0000"), second=True)
    add("QX534", "USER0001.MTD", kf_values(
        "Water in LiPF6 electrolyte", "USER0001", (2024, 12, 2, 16, 10), "1.0", 36,
        SmpName="Electrolyte 1 M LiPF6", SmpSize="1.0000", ResUnit=4, GenCrt=0,
        TNam="Coulometric anolyte", TCnc="0.0000"), second=True)
    return M


def render_coverage_methods():
    """(model, file name, meth type, text) of further user methods that show the
    rarer parts of a method's description: limit methods, timed increments, a
    fixed blank, the reagent additions in every mode, a user formula, titer by
    volume, and the Karl Fischer standards by volume and outside the titrator's
    list of standards."""
    M = []

    def add(model, fname, values, two=False):
        M.append((model, fname, int(values["MethType"]), ordinary_method(values, two)))

    def add_kf(model, fname, values, second=False, time_key="TInc"):
        M.append((model, fname, int(values["MethType"]),
                  kf_method(values, second, time_key)))

    add("QX501", "USER0003.MTD", ord_values(
        "Titer by volume, addition", "USER0003", (2024, 5, 23, 9, 10), "1.0", 40,
        CalcMethod=5, mLs="25.000", TitrName="HCl 0.1 M", DosingType=0, LinearVol="0.025",
        EP_mode=3, EP_mV="-35.5", RAP=3, RAV=2, RAS=10, RAW=20, SampleEntry=2,
        **conc(0.1, HCL)))
    add("QX502", "USER0003.MTD", ord_values(
        "Sulfur dioxide in wine", "USER0003", (2024, 6, 5, 10, 0), "2.1", 32,
        EP_mode=1, EQRangeOpt=1, EQLimit1="150.0", EQLimit2="450.0", DerFiltOpt=0,
        MeasureMode=1, TimedIncrPeriod=4, BlankOption=0, BlankValue="0.0125", CalcMethod=6,
        S="50.000", C="32.030", TitrName="Iodine 0.01 M", ElecType="Double platinum electrode",
        SignalAve=3, DecPlc=0, ABS=4, STS=2, StirSpeed=450, LMT=1, LMN="Free SO2 max",
        SLM=1, **conc(0.01, 253.81, 2)))
    add("QX502", "USER0004.MTD", ord_values(
        "Acid value, back titration", "USER0004", (2024, 6, 6, 11, 15), "1.0", 33,
        TitrationType=1, TitrName="", Titrant1Name="NaOH 0.5 M", Titrant2Name="H2SO4 0.25 M",
        Titrant1Units=1, Titrant2Units=2, AnalyteType=1, mLBT="5.000", EP_mode=3,
        EP_curve=2, NrOfEQPoints=2, BreakOpt=0, DirectTitrEntry=0, Revision=0, LMT=2,
        LMN="USER0003", **dict(conc2(1, 0.5, NAOH), **conc2(2, 0.5, 98.08))))
    add("QX532", "USER0003.MTD", ord_values(
        "Relative mV with additions", "USER0003", (2024, 8, 28, 9, 30), "1.0", 37,
        TitrationType=2, EP_mode=2, ElecType="Platinum ring electrode", PreStirTime=45,
        StirSpeed=350, CalcMethod=0, TitrName="", FlowRate="5.0", RAM1=1, RAP1=2,
        RAV1="12.500", RAS1=15, RAW1=30, RAM2=4, RAP2=3, RAT2=8, RAS2=5, RAW2=60, LMT=1,
        LMN="QX0432MV", SLM=0), two=True)

    add_kf("QX503", "USER0003.MTD", kf_values(
        "Titer liquid standard", "USER0003", (2024, 9, 4, 7, 30), "1.2", 34, Mode=1,
        StdIdx=4, SNam="Water standard 1.0 mg/g", SCnc="0.1000", SUnt=3, STyp=2,
        SSiz="1.500", SDns="0.870", TermCrit=1, RefDrift="15.0", DrfEnt=1, DrfVal="8.5",
        PreDisp=50, Stdby=90, StartM=1, TInc=2, TTyp=1, TCnc="1.9870",
        TNam="KF two-component titrant 2"))
    add_kf("QX533", "USER0002.MTD", kf_values(
        "Titer, standard not listed", "USER0002", (2024, 11, 13, 8, 0), "1.0", 34, Mode=1,
        StdIdx=15, SNam="In-house water standard", SCnc="0.0100", SUnt=3, STyp=1,
        SSiz="2.0000", TermCrit=2, RefDrift="20.0", Stdby=0), time_key="TIncIdx")
    add_kf("QX504", "USER0003.MTD", kf_values(
        "Water in solvent by volume", "USER0003", (2024, 10, 9, 14, 0), "1.0", 36,
        SmpName="Toluene", SmpType=1, SmpSize="2.5000", SmpDen="0.867", SmpDet=1,
        SolvBlk="0.0150", SmpExp="45.0", ResUnit=9, GenCrt=1, TermCrit=1, RefDrift="4.0",
        DrfEnt=1, DrfVal="3.5", TNam="Coulometric anolyte", TCnc="0.0000"), second=True)
    return M


def early_methods():
    """Methods of QX501 and QX502 firmware 1.50, kept in the plain \\methods\\
    folder; positions 5 and 6 of the name carry the model number."""
    M = []
    for model, fname, values in (
        ("QX501", "QX0101AV.MTD", ord_values(
            "Total acidity vinegar", "QX0101AV", (2023, 6, 5, 9, 0), "1.0", 32,
            DynMaxVol="0.400", TitrName="NaOH 0.5 M", mL="5.000", g__mol="60.05",
            Revision=1, **conc(0.5, NAOH))),
        ("QX501", "USER0101.MTD", ord_values(
            "Acidity of yoghurt", "USER0101", (2023, 6, 7, 14, 20), "1.0", 32,
            EP_mode=2, EP_pH="8.300", TitrName="NaOH 0.1 M", CalcMethod=2, g="10.0000",
            g__mol="90.08", Revision=1, **conc(0.1, NAOH))),
        ("QX502", "QX0102TA.MTD", ord_values(
            "Total acidity wine", "QX0102TA", (2023, 6, 5, 9, 30), "1.0", 32,
            EP_mode=2, EP_pH="7.000", TitrName="NaOH 0.1 M", mL="10.000", g__mol="75.04",
            Revision=1, **conc(0.1, NAOH))),
        ("QX502", "USER0201.MTD", ord_values(
            "Hydroxyl value", "USER0201", (2023, 6, 9, 11, 0), "1.0", 33,
            TitrationType=1, TitrName="", Titrant1Name="Acetylating reagent", Titrant2Name="KOH 0.5 M",
            AnalyteType=0, gBT="1.0000", g__molBT="56.11", DirectTitrEntry=1,
            DirectTitrVol="5.000", Revision=1, **dict(conc2(1, 1.0, 102.09),
                                                       **conc2(2, 0.5, KOH)))),
    ):
        M.append((model, fname, int(values["MethType"]), ordinary_method(values)))
    return M


def sequences():
    """(folder, file name, dt, text) of the sample-changer sequences."""
    S = []

    def add(folder, fname, dt, **values):
        v = {"TSP": str(epoch(dt))}
        v.update({k: str(x) for k, x in values.items()})
        S.append((folder, fname, dt, sequence_file(v)))

    add("titrator/QX502/sequence", "SEQ0001.MTD", (2025, 3, 13, 16, 20),
        NAM="Wine acidity run", SID="0001", MID="QX0102TA", MNA="Total acidity wine",
        INF="White, red and rose wines, lot 25-03", RAP1=2, RAT1=5, RAH1=40, RAW1=10,
        RASP1=600)
    add("titrator/QX502/sequence", "SEQ0002.MTD", (2025, 3, 20, 8, 5),
        NAM="Brine chloride run", SID="0002", MID="USER0001", MNA="Chloride in brine",
        INF="Pickling brines, diluted 1:10", MBB=8, R2TP=1, R2B=1, R2T=5, R2H=30, R2WT=5,
        R2S=0, R2SP=0, R2AP=3)
    add("titrator/QX532/sequence", "SEQ0001.MTD", (2025, 4, 2, 7, 40),
        NAM="Juice acidity run", SID="0001", MID="QX0132TA",
        MNA="Titratable acidity juice", LMID="USER0001", LMNA="Acidity wine tray",
        INF="Orange and apple juices", AFM=1, AFP=4, AFT=10, AFH=35, AFSP=400, AFST=5)
    add("titrator/QX532/sequence", "SEQ0002.MTD", (2025, 4, 9, 13, 15),
        NAM="Iron in ore run", SID="0002", MID="QX0232FE", MNA="Iron(II) by cerium(IV)",
        INF="Ore digests, 0.5 g each", MBB=8, RAP1=2, RAT1=10, RAH1=40, RAW1=30,
        RASP1=300, RAPH1=1)
    add("pc", "SEQ0003.MTD", (2025, 3, 24, 6, 50),
        NAM="Milk acidity run", SID="0003", MID="USER0002", MNA="Acidity of milk",
        INF="Raw milk, morning delivery", MBB=16)
    return S


def wine_rows(acid_g_l, seed, v0=10.0, c=0.1002, fixed=7.0):
    # tartaric acid, diprotic: acid_g_l g/L of C4H6O6 (150.09 g/mol)
    return acid_curve(c, v0, acid_g_l / 150.09, [3.04, 4.37], seed, fixed_ph=fixed,
                      max_dose=0.4)


def add_reports(tree):
    # ----- QX501 (model folder) -----
    d = "titrator/QX501/reports"
    m = ("Total acidity vinegar", "QX0101AV", "1.2")
    rows = acid_curve(0.4987, 5.0, 1.002, [4.76], 11, max_dose=0.4)
    add_acid_base(tree, d, acid_base_report(
        "TI_00011.RPT", "QX501", "00011", (2025, 3, 10, 9, 12), m, "White vinegar 6%",
        "Sample Size:", "5.000 mL", "NaOH 0.5 M", "0.4987 M (mol/L)",
        "Combined pH glass electrode", rows,
        lambda v: ("%.3f" % (v * 0.4987 * 60.05 / 1000 / 5.0 * 100), "%w/v"), ("eq",)),
        rows, m, bmp=8, seed=11)
    m = ("Total alkalinity water", "QX0201TA", "1.0")
    rows = carbonate_curve(0.0199, 100.0, 0.0, 0.00238, 12, fixed_ph=4.5, max_dose=0.3)
    add_acid_base(tree, d, acid_base_report(
        "TI_00012.RPT", "QX501", "00012", (2025, 3, 10, 10, 40), m, "Tap water, lab 2",
        "Sample Size:", "100.000 mL", "HCl 0.02 M", "0.0199 M (mol/L)",
        "Combined pH glass electrode", rows,
        lambda v: ("%.1f" % (v * 0.0199 * 50.04 * 1000 / 100.0), "mg/L"), ("fixed", 4.5)),
        rows, m, bmp=1, seed=12)
    readings = [(i * 10.0, 7.01 + 0.012 * math.exp(-i / 3.0) + wobble(13, i, 0.002), 0, 25.0)
                for i in range(12)]
    readings = [(t, ph, ph_to_mv(ph, 13, i), tc) for i, (t, ph, mv, tc) in enumerate(readings)]
    logging_report(tree, d, "PH_00013.RPT", "QX501", "00013", (2025, 3, 11, 8, 5),
                   "Buffer pH 7.01 check", "Combined pH glass electrode", readings, bmp=1)

    # ----- QX502 (model folder) -----
    d = "titrator/QX502/reports"
    m = ("Total acidity wine", "QX0102TA", "1.2")
    rows = wine_rows(6.1, 17)
    add_acid_base(tree, d, acid_base_report(
        "TI_00017.RPT", "QX502", "00017", (2025, 3, 12, 10, 24), m, "White wine lot 25-031",
        "Sample Size:", "10.000 mL", "NaOH 0.1 M", "0.1002 M (mol/L)",
        "Combined pH glass electrode", rows,
        lambda v: ("%.2f" % (v * 0.1002 * 75.04 / 10.0), "g/L"), ("fixed", 7.0)),
        rows, m, bmp=8, seed=17)
    m = ("Chloride in water", "QX0202CL", "1.0")
    rows = silver_curve(0.02, 50.0, 0.00121, 18)
    mv_report(tree, d, "TI_00018.RPT", "QX502", "00018", (2025, 3, 12, 11, 2), m,
              "Well water W-7", "Sample Size:", "50.000 mL", "AgNO3 0.02 M",
              "0.0200 M (mol/L)", "Silver ring electrode", rows,
              lambda v: ("%.1f" % (v * 0.02 * 35.45 * 1000 / 50.0), "mg/L"), bmp=1, seed=18)
    readings = [(i * 10.0, 0, 221.4 + 6.0 * math.exp(-i / 4.0) + wobble(19, i, 0.3),
                 24.6 + 0.03 * i) for i in range(10)]
    logging_report(tree, d, "MV_00019.RPT", "QX502", "00019", (2025, 3, 12, 14, 30),
                   "ORP standard 220 mV", "Platinum ring electrode", readings,
                   with_temp=True, log=False)
    m = ("Saponification value", "QX0302SV", "1.3")
    rows = strong_base_curve(0.4995, 60.0, 0.5 * 25.0 / 60.0 - 6.77 / 60.0, 20,
                             max_dose=0.5)
    add_acid_base(tree, d, acid_base_report(
        "TI_00020.RPT", "QX502", "00020", (2025, 3, 13, 9, 50), m, "Olive oil OL-12",
        "Analyte Size:", "2.0135 g", "HCl 0.5 M", "0.4995 M (mol/L)",
        "Non-aqueous pH electrode", rows,
        lambda v: ("%.1f" % ((25.0 * 0.5011 - v * 0.4995) * 56.11 / 2.0135), "mgKOH/g"),
        ("eq",), extra_head=["Direct Titration: Fixed - 25.000 mL KOH 0.5 M"]),
        rows, m, bmp=0, seed=20)

    # QX502 tray: TRAY0001 with four beakers; the beaker reports carry no sample
    # name (the tray report's table names the samples)
    seq = ("Wine acidity run", "0001")
    m = ("Total acidity wine", "QX0102TA", "1.2")
    entries = []
    start = (2025, 3, 14, 8, 40)
    for k, (sample, acid) in enumerate((("WHITE-01", 6.4), ("WHITE-02", 5.9),
                                        ("RED-01", 5.2))):
        rid = "%05d" % (21 + k)
        done = add_seconds(start, 600 + 540 * k)
        rows = wine_rows(acid, 21 + k)
        rep_t = acid_base_report(
            "TI_%s.RPT" % rid, "QX502", rid, done, m, sample, "Sample Size:", "10.000 mL",
            "NaOH 0.1 M", "0.1002 M (mol/L)", "Combined pH glass electrode", rows,
            lambda v: ("%.2f" % (v * 0.1002 * 75.04 / 10.0), "g/L"), ("fixed", 7.0),
            sample_line=False, seq=(seq[0], k + 1))
        add_acid_base(tree, "titrator/QX502/asreport/TRAY0001", rep_t, rows, m,
                      bmp=1 if k == 0 else 0, seed=21 + k)
        entries.append((k + 1, sample, rep_t[2], rep_t[3], rid, done))
    # beaker 4 stopped at the maximum volume: a report without a result
    done = add_seconds(start, 600 + 540 * 3)
    rows = acid_curve(0.1002, 10.0, 0.2, [3.04, 4.37], 24, v_end=25.0, max_dose=0.5)
    head = std_head("QX502", "Titration Report", "Report ID:", "00024", m[0], m[1], m[2],
                    done) + ["Sequence Name: " + seq[0], "Beaker: 4", "Sample Size: 10.000 mL",
                             "Titrant: NaOH 0.1 M", "Electrode: Combined pH glass electrode",
                             "Status: Stopped - maximum volume reached"]
    rep = Report("TI_00024.RPT", "QX502", done, head, TABLE_TI_PH, ti_rows(rows),
                 ["Total Volume: %.3f mL" % rows[-1][0]])
    report_files(tree, "titrator/QX502/asreport/TRAY0001", rep,
                 events=[(0.0, "Titration started"), (420.0, "Maximum volume reached"),
                         (421.0, "Titration stopped")],
                 method_line="Method: %s (%s)" % (m[0], m[1]))
    entries.append((4, "ROSE-01", "Stopped", "-----", "00024", done))
    tray_report(tree, "titrator/QX502/asreport", "TRAY0001.RPT", "QX502", start, seq, m,
                entries)

    # ----- QX503 -----
    d = "titrator/QX503/reports"
    m = ("Water in oil", "QX0103KW", "1.1")
    drift_report(tree, d, "DR_00040.RPT", "QX503", "00040", (2025, 2, 18, 8, 20), m, 4.8,
                 40, bmp=1)
    rows = kf_curve(0.776, 41)
    kf_report(tree, d, "KF_00041.RPT", "QX503", "00041", (2025, 2, 18, 8, 31), m,
              "Transformer oil T-2", "Sample Size:", "5.0120 g", "KF one-component 2 mg/mL",
              "2.0150 mg/mL", 4.8, rows, 0.776, "%.1f ppm" % (0.776 * 2.015 / 5.012 * 1000),
              bmp=4)
    m = ("Titer sodium tartrate", "QX0203KT", "1.0")
    rows = kf_curve(4.685, 42, seconds=190)
    kf_report(tree, d, "KF_00042.RPT", "QX503", "00042", (2025, 2, 18, 9, 5), m,
              "Sodium tartrate dihydrate", "Standard Size:", "0.1502 g",
              "KF one-component 5 mg/mL", "5.0210 mg/mL", 5.1, rows, 4.685,
              "%.4f mg/mL" % (0.1502 * 0.1566 * 1000 / 4.685))

    # ----- QX504 -----
    d = "titrator/QX504/reports"
    m = ("Water in transformer oil", "QX0104CW", "1.0")
    drift_report(tree, d, "DR_00060.RPT", "QX504", "00060", (2025, 2, 25, 7, 50), m, 2.1, 60)
    rows = coulometric_curve(17.3, 61)
    kf_report(tree, d, "KF_00061.RPT", "QX504", "00061", (2025, 2, 25, 8, 2), m,
              "Transformer oil T-5", "Sample Size:", "2.0040 g", "Without diaphragm", "", 2.1,
              rows, 17.3, "%.1f ppm" % (17.3 / 2.004), bmp=1, coulometric=True)

    # ----- QX531, 12-hour clock -----
    d = "titrator/QX531/reports"
    m = ("Alkalinity P and T", "QX0131AL", "1.1")
    rows = carbonate_curve(0.1, 100.0, 0.00101, 0.00198, 71, max_dose=0.15, min_dose=0.02,
                           v_end=4.6)
    vols, phs = [r[0] for r in rows], [r[1] for r in rows]
    half = [i for i, v in enumerate(vols) if v < 2.0][-1] + 1
    ep1, _ = inflection(vols[:half], phs[:half])
    ep2, _ = inflection(vols[half - 1:], phs[half - 1:])
    dt = (2025, 1, 14, 14, 40)
    head = std_head("QX531", "Titration Report", "Report ID:", "00071", m[0], m[1], m[2], dt,
                    h12=True)
    head += ["Sample Name: Boiler water B-3", "Sample Size: 100.000 mL", "Titrant: HCl 0.1 M",
             "Titrant Concentration: 0.1000 M (mol/L)",
             "Electrode: Combined pH glass electrode",
             "End Point: Equivalence Point (pH), 2 Equivalence Points",
             "End Point Volume: %.3f mL" % ep1, "End Point 2 Volume: %.3f mL" % ep2,
             "Result: %.1f mg/L" % (ep1 * 0.1 * 50.04 * 1000 / 100.0),
             "Result 2: %.1f mg/L" % (ep2 * 0.1 * 50.04 * 1000 / 100.0)]
    rep = Report("TI_00071.RPT", "QX531", dt, head, TABLE_TI_PH, ti_rows(rows),
                 ["Total Volume: %.3f mL" % vols[-1], "Signature: ____________________"],
                 h12=True)
    events, t = dose_events(rows, lambda r: "%8.3f mL  %6.3f pH" % (r[0], r[1]), seed=71)
    report_files(tree, d, rep, bmp=1, xs=vols, ys=phs, ep_x=ep2,
                 events=events + [(t, "End points at %.3f and %.3f mL" % (ep1, ep2))],
                 method_line="Method: %s (%s)" % (m[0], m[1]))
    m = ("Total acidity vinegar", "QX0231AC", "1.0")
    rows = acid_curve(0.5003, 5.0, 0.841, [4.76], 72, max_dose=0.4)
    add_acid_base(tree, d, acid_base_report(
        "TI_00072.RPT", "QX531", "00072", (2025, 1, 15, 12, 25), m, "Apple vinegar 5%",
        "Sample Size:", "5.000 mL", "NaOH 0.5 M", "0.5003 M (mol/L)",
        "Combined pH glass electrode", rows,
        lambda v: ("%.3f" % (v * 0.5003 * 60.05 / 1000 / 5.0 * 100), "%w/v"), ("eq",),
        h12=True), rows, m, seed=72)

    # ----- QX532 -----
    d = "titrator/QX532/reports"
    m = ("Titratable acidity juice", "QX0132TA", "1.0")
    rows = acid_curve(0.1, 30.0, 10.2 / 192.12 / 3.0, [3.13, 4.76, 6.40], 81, max_dose=0.4)
    add_acid_base(tree, d, acid_base_report(
        "TI_00081.RPT", "QX532", "00081", (2025, 4, 1, 9, 14), m, "Orange juice OJ-4",
        "Sample Size:", "10.000 mL", "NaOH 0.1 M", "0.1000 M (mol/L)",
        "Combined pH glass electrode", rows,
        lambda v: ("%.2f" % (v * 0.1 * 64.04 / 10.0), "g/L"), ("eq",),
        extra_head=["Reagent Addition 1: 20.000 mL water"]), rows, m, bmp=1, seed=81)
    m = ("Iron(II) by cerium(IV)", "QX0232FE", "1.0")
    rows = redox_curve(0.1, 60.0, 1.074 / 60.0, 82)
    mv_report(tree, d, "MVR00082.RPT", "QX532", "00082", (2025, 4, 1, 10, 30), m,
              "Iron ore FE-12", "Sample Size:", "0.5000 g", "Ce(SO4)2 0.1 M",
              "0.1000 M (mol/L)", "Platinum ring electrode", rows,
              lambda v: ("%.2f" % (v * 0.1 * 55.85 / 1000 / 0.5 * 100), "%"), bmp=1,
              relative=True, seed=82)

    # QX532 trays: TRAY0001 (24-hour clock, sample names in the beaker reports
    # too) and TRAY0002 (12-hour clock, redox beakers)
    seq = ("Juice acidity run", "0001")
    m = ("Titratable acidity juice", "QX0132TA", "1.0")
    start = (2025, 4, 2, 8, 0)
    entries = []
    for k, (sample, acid) in enumerate((("ORANGE-1", 9.8), ("ORANGE-2", 10.6),
                                        ("APPLE-1", 5.1))):
        rid = "%05d" % (84 + k)
        done = add_seconds(start, 660 + 600 * k)
        rows = acid_curve(0.1, 30.0, acid / 192.12 / 3.0, [3.13, 4.76, 6.40], 84 + k,
                          max_dose=0.4)
        rep_t = acid_base_report(
            "TI_%s.RPT" % rid, "QX532", rid, done, m, sample, "Sample Size:", "10.000 mL",
            "NaOH 0.1 M", "0.1000 M (mol/L)", "Combined pH glass electrode", rows,
            lambda v: ("%.2f" % (v * 0.1 * 64.04 / 10.0), "g/L"), ("eq",),
            seq=(seq[0], k + 1))
        add_acid_base(tree, "titrator/QX532/asreport/TRAY0001", rep_t, rows, m, seed=84 + k)
        entries.append((k + 1, sample, rep_t[2], rep_t[3], rid, done))
    tray_report(tree, "titrator/QX532/asreport", "TRAY0001.RPT", "QX532", start, seq, m,
                entries)
    seq = ("Iron in ore run", "0002")
    m = ("Iron(II) by cerium(IV)", "QX0232FE", "1.0")
    start = (2025, 4, 9, 13, 30)
    entries = []
    for k, (sample, fe_mmol) in enumerate((("ORE-A", 1.112), ("ORE-B", 0.968))):
        rid = "%05d" % (88 + k)
        done = add_seconds(start, 720 + 660 * k)
        rows = redox_curve(0.1, 60.0, fe_mmol / 60.0, 88 + k)
        rep_t = mv_report(tree, "titrator/QX532/asreport/TRAY0002", "MVR%s.RPT" % rid,
                          "QX532", rid, done, m, sample, "Sample Size:", "0.5000 g",
                          "Ce(SO4)2 0.1 M", "0.1000 M (mol/L)", "Platinum ring electrode",
                          rows, lambda v: ("%.2f" % (v * 0.1 * 55.85 / 1000 / 0.5 * 100), "%"),
                          relative=True, h12=True, seq=(seq[0], k + 1), seed=88 + k)
        entries.append((k + 1, sample, rep_t[2], rep_t[3], rid, done))
    entries.append((3, "ORE-C", "Error", "-----", "-----", add_seconds(start, 2100)))
    tray_report(tree, "titrator/QX532/asreport", "TRAY0002.RPT", "QX532", start, seq, m,
                entries, h12=True)

    # ----- QX533, QX534 -----
    m = ("Water in solvents", "QX0133KW", "1.0")
    rows = kf_curve(0.912, 101, seconds=120)
    kf_report(tree, "titrator/QX533/reports", "KF_00101.RPT", "QX533", "00101",
              (2025, 5, 5, 10, 10), m, "Acetone lot A-88", "Sample Size:", "1.5820 g",
              "KF one-component 2 mg/mL", "1.9980 mg/mL", 6.2, rows, 0.912,
              "%.0f ppm" % (0.912 * 1.998 / 1.582 * 1000), bmp=1)
    m = ("Water in lubricant", "QX0134CW", "1.0")
    rows = coulometric_curve(142.7, 111, seconds=260)
    kf_report(tree, "titrator/QX534/reports", "KF_00111.RPT", "QX534", "00111",
              (2025, 5, 19, 15, 45), m, "Gear oil GO-3", "Sample Size:", "0.9870 g",
              "With diaphragm", "", 1.4, rows, 142.7, "%.1f ppm" % (142.7 / 0.987), bmp=1,
              coulometric=True, h12=True)

    # ----- firmware 1.x plain folder -----
    d = "titrator/reports"
    for rid, model, dt in (("00003", "QX501", (2023, 9, 4, 9, 0)),
                           ("00004", "QX502", (2023, 9, 5, 10, 15))):
        saved = MODELS[model]
        MODELS[model] = (saved[0], "1.50", saved[2], saved[3])
        if model == "QX501":
            m = ("Total acidity vinegar", "QX0101AV", "1.0")
            rows = acid_curve(0.5, 5.0, 0.998, [4.76], int(rid), max_dose=0.4)
            rep_t = acid_base_report(
                "TI_%s.RPT" % rid, model, rid, dt, m, "Spirit vinegar 6%", "Sample Size:",
                "5.000 mL", "NaOH 0.5 M", "0.5000 M (mol/L)", "Combined pH glass electrode",
                rows, lambda v: ("%.3f" % (v * 0.5 * 60.05 / 1000 / 5.0 * 100), "%w/v"),
                ("eq",))
        else:
            m = ("Total acidity wine", "QX0102TA", "1.0")
            rows = wine_rows(5.6, int(rid), c=0.1)
            rep_t = acid_base_report(
                "TI_%s.RPT" % rid, model, rid, dt, m, "Red wine lot 23-090", "Sample Size:",
                "10.000 mL", "NaOH 0.1 M", "0.1000 M (mol/L)", "Combined pH glass electrode",
                rows, lambda v: ("%.2f" % (v * 0.1 * 75.04 / 10.0), "g/L"), ("fixed", 7.0))
        add_acid_base(tree, d, rep_t, rows, m, seed=int(rid))
        MODELS[model] = saved


def add_pc_reports(tree):
    """The PC folder's reports, its tray folder and the CSV exports."""
    d = "pc"
    m = ("Total acidity wine", "QX0102TA", "1.2")
    rows = wine_rows(7.3, 31)
    add_acid_base(tree, d, acid_base_report(
        "TI_00031.RPT", "QX502", "00031", (2025, 3, 17, 8, 55), m, "Red wine lot 25-040",
        "Sample Size:", "10.000 mL", "NaOH 0.1 M", "0.1002 M (mol/L)",
        "Combined pH glass electrode", rows,
        lambda v: ("%.2f" % (v * 0.1002 * 75.04 / 10.0), "g/L"), ("fixed", 7.0)),
        rows, m, bmp=4, seed=31)
    m = ("Water in oil", "QX0103KW", "1.1")
    drift_report(tree, d, "DR_00044.RPT", "QX503", "00044", (2025, 2, 19, 8, 10), m, 5.3, 44,
                 log=False)
    rows = kf_curve(1.148, 45)
    kf_report(tree, d, "KF_00045.RPT", "QX503", "00045", (2025, 2, 19, 8, 22), m,
              "Hydraulic oil H-1", "Sample Size:", "4.9870 g", "KF one-component 2 mg/mL",
              "2.0150 mg/mL", 5.3, rows, 1.148, "%.1f ppm" % (1.148 * 2.015 / 4.987 * 1000),
              bmp=1)
    readings = [(i * 10.0, 4.01 - 0.009 * math.exp(-i / 2.5) + wobble(14, i, 0.002), 0, 25.0)
                for i in range(8)]
    readings = [(t, ph, ph_to_mv(ph, 14, i), tc) for i, (t, ph, mv, tc) in enumerate(readings)]
    logging_report(tree, d, "PH_00014.RPT", "QX501", "00014", (2025, 3, 11, 8, 20),
                   "Buffer pH 4.01 check", "Combined pH glass electrode", readings)
    m = ("Total acidity vinegar", "QX0231AC", "1.0")
    rows = acid_curve(0.5003, 5.0, 0.823, [4.76], 90, max_dose=0.4)
    add_acid_base(tree, d, acid_base_report(
        "TI_00090.RPT", "QX531", "00090", (2024, 12, 3, 11, 5), m, "Vinagre de vino",
        "Tama\u00f1o de la muestra:", "5.000 mL", "NaOH 0.5 M", "0.5003 M",
        "Electrodo combinado de pH", rows,
        lambda v: ("%.3f" % (v * 0.5003 * 60.05 / 1000 / 5.0 * 100), "%w/v"), ("eq",),
        lang="es"), rows, m, seed=90)

    # a tray set fetched from a QX502 earlier: TRAY0005.RPT, .LOG and its folder
    seq = ("Milk acidity run", "0003")
    m = ("Acidity of milk", "USER0002", "1.0")
    start = (2025, 3, 24, 7, 0)
    entries = []
    for k, (sample, lactic) in enumerate((("MILK-T1", 1.52), ("MILK-T2", 1.61),
                                          ("MILK-T3", 1.47))):
        rid = "%05d" % (121 + k)
        done = add_seconds(start, 540 + 480 * k)
        rows = acid_curve(0.1, 20.0, lactic / 90.08, [3.86], 121 + k, fixed_ph=8.3,
                          max_dose=0.3)
        rep_t = acid_base_report(
            "TI_%s.RPT" % rid, "QX502", rid, done, m, sample, "Sample Size:", "20.000 mL",
            "NaOH 0.1 M", "0.1000 M (mol/L)", "Combined pH glass electrode", rows,
            lambda v: ("%.2f" % (v * 0.1 * 90.08 / 20.0), "g/L"), ("fixed", 8.3),
            sample_line=False, seq=(seq[0], k + 1))
        add_acid_base(tree, "pc/TRAY0005", rep_t, rows, m, seed=121 + k)
        entries.append((k + 1, sample, rep_t[2], rep_t[3], rid, done))
    tray_report(tree, d, "TRAY0005.RPT", "QX502", start, seq, m, entries)



# ---------------------------------------------------------------------------
# export/: reports for the CSV export. The four report languages (English,
# Portuguese, Spanish, French), every kind of report name, a Spanish tray set
# with failed beakers, logging reports, a 12-hour clock, sample names with a
# comma and a double quote, and one report whose columns are out of order.
# ---------------------------------------------------------------------------

EXPORT_DIR = "export"
EXPORT_MONTHS = {
    "en": "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split(),
    "pt": "Jan Fev Mar Abr Mai Jun Jul Ago Set Out Nov Dez".split(),
    "es": "Ene Feb Mar Abr May Jun Jul Ago Sep Oct Nov Dic".split(),
    "fr": "Jan F\u00e9v Mar Avr Mai Jun Jul Ao\u00fb Sep Oct Nov D\u00e9c".split(),
}


def export_date(dt, lang="en", h12=False):
    y, mo, d, h, mi = dt[:5]
    month = EXPORT_MONTHS[lang][mo - 1]
    if h12:
        suffix = "AM" if h < 12 else "PM"
        return "%02d:%02d %s %s %02d, %04d" % (h % 12 or 12, mi, suffix, month, d, y)
    return "%02d:%02d %s %02d, %04d" % (h, mi, month, d, y)


def export_rpt(head, table, rows, foot):
    lines = ["\t" + h for h in head] + ["", "\t" + table] + ["\t" + r for r in rows]
    lines += [""] + ["\t" + f for f in foot]
    return text_bytes(lines)


def export_sigmoid(n, x_end, x_mid, lo, hi, seed, steep=3.0):
    """(x, y) with y rising (or falling) from lo to hi around x_mid."""
    rows = []
    for i in range(n):
        x = x_end * i / (n - 1)
        y = lo + (hi - lo) / (1.0 + math.exp(-(x - x_mid) * steep))
        rows.append((x, y + wobble(seed, i, 0.004 * abs(hi - lo))))
    return rows


def export_ti_rows(n, v_eq, seed):
    pts = export_sigmoid(n, v_eq * 1.15, v_eq, 2.1, 11.4, seed)
    return ["%3d  %10.3f  %6.3f  %6.1f" % (i + 1, v, ph, ph_to_mv(ph, seed, i))
            for i, (v, ph) in enumerate(pts)]


def export_english_titration(tree):
    dt = (2025, 4, 2, 9, 12)
    head = std_head("QX502", "Titration Report", "Report ID:", "00201",
                    "Hydrochloric acid assay", "USER0005", "1.0", dt)
    head += ["Sample Name: HCl, 0.1 N", "Sample Size: 25.000 mL", "Titrant: NaOH 0.1 M",
             "Electrode: Combined pH glass electrode", "End Point: Fixed pH 7.000",
             "End Point Volume: 25.304 mL", "Result: 0.1012 mol/L"]
    rows = export_ti_rows(24, 25.304, 201)
    tree.add(EXPORT_DIR + "/TI_00201.RPT",
             export_rpt(head, TABLE_TI_PH, rows, ["Total Volume: 29.100 mL"]), dt)


def export_ph_logging(tree):
    dt = (2025, 4, 3, 15, 0)
    fam, fw, serial, title = MODELS["QX501"]
    head = [title, "pH/mV Logging Report", "Serial Number: " + serial, "Firmware: " + fw,
            "Logging ID: 00202", "Method Name: pH/mV/ISE logging",
            "Time & Date: " + export_date(dt), "Sample Name: Buffer pH 7.00",
            "Logging Interval: 10 s"]
    rows = ["%3d  %6.3f  %6.1f  %9s" % (i + 1, 7.0 + wobble(202, i, 0.01),
                                        ph_to_mv(7.0, 202, i), clock(10 * i))
            for i in range(6)]
    tree.add(EXPORT_DIR + "/PH_00202.RPT",
             export_rpt(head, TABLE_PH_LOG, rows, ["Readings: 6"]), dt)


def export_spanish_mv_logging(tree):
    dt = (2025, 1, 20, 16, 40)
    head = ["QX502 Titulador Potenciom\u00e9trico", "Informe de Registro pH/mV",
            "N\u00famero de Serie: 0502-20417", "ID registro: 00203",
            "Nombre Mtdo.: pH/mV/ISE logging", "Fecha y Hora: " + export_date(dt, "es"),
            "Nombre Muestra: Agua de pozo"]
    rows = ["%3d  %6.1f  %8.1f  %12s" % (i + 1, 231.0 - 0.8 * i + wobble(203, i, 0.3),
                                         21.5 + 0.1 * (i // 2), clock(10 * i))
            for i in range(6)]
    tree.add(EXPORT_DIR + "/MV_00203.RPT",
             export_rpt(head, " Nr     mV   Temp.[\u00b0C]       Hora", rows,
                        ["Lecturas: 6"]), dt)


def export_portuguese_mv_rel(tree):
    dt = (2024, 10, 14, 10, 15)
    head = ["QX532 Titulador Potenciom\u00e9trico", "Relat\u00f3rio de Titula\u00e7\u00e3o",
            "N\u00famero de S\u00e9rie: 0532-60244", "ID Relat\u00f3rio: 00204",
            "Nome M\u00e9todo: Ferro por c\u00e9rio(IV)", "Hora & Data: " + export_date(dt, "pt"),
            "Nome Amostra: Min\u00e9rio lote 7", "Tamanho da amostra: 0.2500 g",
            "Volume de End-point: 12.345 mL", "Resultado: 55.12 %"]
    pts = export_sigmoid(20, 14.0, 12.345, 420.0, 1180.0, 204)
    rows = ["%3d  %10.3f  %7.1f  %7.1f" % (i + 1, v, mv - pts[0][1], mv)
            for i, (v, mv) in enumerate(pts)]
    tree.add(EXPORT_DIR + "/MVR00204.RPT",
             export_rpt(head, TABLE_MVR, rows, ["Volume Total: 14.000 mL"]), dt)


def export_french_kf(tree):
    dt = (2024, 11, 18, 14, 5)
    head = ["QX503 Titrateur Karl Fischer Volum\u00e9trique", "Rapport de Titrage KF",
            "Num\u00e9ro de S\u00e9rie: 0503-30952", "ID de Titrage: 00205",
            "Nom de M\u00e9thode: Eau dans l'huile", "Date et Heure: " + export_date(dt, "fr"),
            "Nom de l'\u00c9chantillon: Huile moteur 5W-30",
            "Taille \u00c9chantillon: 2.5120 g", "Volume Point Final: 1.234 mL",
            "R\u00e9sultats: 985.3 ppm"]
    rows = ["%3d  %10.3f  %6.1f  %9s" % (i + 1, v, mv, clock(t))
            for i, (t, v, mv) in enumerate(kf_curve(1.234, 205, steps=12))]
    tree.add(EXPORT_DIR + "/KF_00205.RPT", export_rpt(head, TABLE_KF, rows, ["Signature:"]), dt)


def export_spanish_drift(tree):
    dt = (2025, 2, 11, 8, 5)
    head = ["QX503 Titulador Karl Fischer", "Informe de Deriva", "ID Informe: 00206",
            "Nombre Mtdo.: Agua en aceite", "Fecha y Hora: " + export_date(dt, "es")]
    rows = ["%3d  %13.1f  %9s" % (i + 1, d, clock(t))
            for i, (t, d) in enumerate(drift_curve(4.8, 206, steps=8))]
    tree.add(EXPORT_DIR + "/DR_00206.RPT",
             export_rpt(head, " Nr  Deriva[\u00b5g/min]       Hora", rows, ["Lecturas: 8"]), dt)


def export_ise(tree):
    dt = (2025, 6, 3, 11, 30)
    head = std_head("QX532", "Measurement Report", "Report ID:", "00207", "Calcium ISE",
                    "USER0006", "1.1", dt, h12=True)
    head += ['Sample Name: Well "B" water', "Sample Size: 50.000 mL",
             "Electrode: Calcium ion-selective electrode", "Result: 2.48 mmol/L"]
    rows = ["%3d  %8.3f  %6.1f  %8.1f  %9s" % (i + 1, c, 12.0 + 29.6 * math.log10(c), 24.9,
                                               clock(30 * (i + 1)))
            for i, c in enumerate((0.1, 1.0, 2.48, 10.0))]
    tree.add(EXPORT_DIR + "/ISE00207.RPT",
             export_rpt(head, " Nr    mmol/L      mV   Temp.[\u00b0C]       Time", rows,
                        ["Signature: ____________________"]), dt)


def export_spanish_tray(tree):
    """TRAY0008: four beakers, one stopped ("Parade"), one failed without a report."""
    start = (2025, 4, 22, 9, 0)
    beakers = (("LECHE-A", "1.55", "g/L", "00301", 3.441),
               ("LECHE-B", "Parade", "-----", "00302", None),
               ("LECHE-C", "1.49", "g/L", "00303", 3.308),
               ("LECHE-D", "Error", "-----", "-----", None))
    table = []
    for k, (sample, result, unit, rid, ep) in enumerate(beakers):
        done = add_seconds(start, 480 * (k + 1))
        table.append("%3d  %-12s  %-10s  %-5s  %-9s   %s"
                     % (k + 1, sample, result, unit, rid, export_date(done, "es")))
        if rid == "-----":
            continue
        head = ["QX502 Titulador Potenciom\u00e9trico", "Informe de Titulaci\u00f3n",
                "ID Informe: " + rid, "Nombre Mtdo.: Acidez de leche",
                "Fecha y Hora: " + export_date(done, "es"),
                "Nombre Secuencia: Leche ma\u00f1ana", "Vaso: %d" % (k + 1),
                "Tama\u00f1o de la muestra: 20.000 mL"]
        if ep is not None:
            head += ["Volumen de Punto Final: %.3f mL" % ep, "Resultado: %s %s" % (result, unit)]
        else:
            head += ["Estado: Parada - volumen m\u00e1ximo"]
        rows = export_ti_rows(12, ep or 6.0, 300 + k)
        tree.add("%s/TRAY0008/TI_%s.RPT" % (EXPORT_DIR, rid),
                 export_rpt(head, TABLE_TI_PH_ES, rows, ["Firma:"]), done)
    dashes = "-" * 66
    lines = ["\tQX502 Titulador Potenciom\u00e9trico", "\tInforme del Cambiador de Muestras",
             "\tNombre Secuencia: Leche ma\u00f1ana", "\tFecha y Hora: " + export_date(start, "es"),
             "\tVasos: 4", "", "\t" + dashes,
             "\t  #  Muestra Nombre  Resultado  Unit   Informe Id  Fecha y Hora", "\t" + dashes]
    lines += ["\t" + r for r in table] + ["", "\tTerminado: 2 de 4"]
    tree.add(EXPORT_DIR + "/TRAY0008.RPT", text_bytes(lines), start)


def export_wrong_column_order(tree):
    dt = (2025, 3, 5, 13, 20)
    head = std_head("QX503", "KF Titration Report", "Titration ID:", "00209", "Water in oil",
                    "QX0103KW", "1.1", dt)
    head += ["Sample Name: Gear oil", "Sample Size: 3.0000 g", "Result: 112.4 ppm"]
    rows = ["%3d  %10.3f  %6.1f  %9s  %6.1f" % (i + 1, v, mv, clock(t), 24.0)
            for i, (t, v, mv) in enumerate(kf_curve(0.170, 209, steps=8))]
    tree.add(EXPORT_DIR + "/KF_00209.RPT",
             export_rpt(head, " Nr  Volume[mL]      mV       Time   Temp.[\u00b0C]", rows,
                        ["Signature:"]), dt)


def add_export_samples(tree):
    export_english_titration(tree)
    export_ph_logging(tree)
    export_spanish_mv_logging(tree)
    export_portuguese_mv_rel(tree)
    export_french_kf(tree)
    export_spanish_drift(tree)
    export_ise(tree)
    export_spanish_tray(tree)
    export_wrong_column_order(tree)

# ---------------------------------------------------------------------------
# CSV export of PC reports (field separator ",", decimal point ".", no quote
# character, summary oldest first, English headers)
# ---------------------------------------------------------------------------

SUMMARY_LABELS = [
    ["{-}"] * 10,
    ["Sample Name"] * 3 + ["Nome Amostra", "Nome da Amostra", "Nombre Muestra",
                           "Nombre de la Muestra", "Nom de l'\u00c9chantillon:", "Nombre Muestra",
                           "Nome Amostra"],
    ["Result:"] * 3 + ["Resultado:", "Resultados:", "Resultado:", "Resultado:",
                       "R\u00e9sultats:", "Resultado:", "Resultado:"],
    ["{-}"] * 10,
    ["Analyte Size:", "Standard Size:", "Sample Size:", "Tamanho Titulado:",
     "Tamanho da amostra:", "Tama\u00f1o Analito:", "Tama\u00f1o de la muestra:",
     "Taille \u00c9chantillon:", "Tama\u00f1o Analito:", "Tamanho Titulado:"],
    ["{-}"] * 10,
    ["End Point Volume:"] * 3 + ["Volume de End-point:", "Volume de End-point:",
                                 "Volumen de Punto Final:", "Volumen de Punto Final:",
                                 "Volume Point Final:", "Volumen de Punto Final:",
                                 "Volume de End-point:"],
    ["{-}"] * 10,
    ["Time & Date:"] * 3 + ["Hora & Data:", "Hora & Data", "Fecha y Hora:", "Fecha y Hora:",
                            "Date et Heure:", "Fecha y Hora:", "Hora & Data:"],
    ["Report ID:", "Titration ID:", "Logging ID", "ID de Registo", "ID Relat\u00f3rio",
     "ID registro", "ID Informe:", "ID de Titrage:", "ID Titraci\u00f3n:", "ID de Titula\u00e7\u00e3o"],
    ["Method Name:"] * 3 + ["Nome M\u00e9todo:", "Nome M\u00e9todo:", "Nombre Mtdo.:",
                            "Nombre Mtdo.:", "Nom de M\u00e9thode", "Nombre Mtdo.:",
                            "Nome M\u00e9todo:"],
]
SUMMARY_HEADER = ["#", "Sample Name", "Result", "Unit", "Sample Size", "Unit",
                  "Volume Dispensed", "Unit", "Date & Time", "Report ID", "Titration Method"]
MONTH_NUMBERS = {"Jan": 1, "Ene": 1, "Feb": 2, "Fev": 2, "Mar": 3, "Apr": 4, "Abr": 4,
                 "May": 5, "Mai": 5, "Jun": 6, "Jul": 7, "Aug": 8, "Ago": 8, "Sep": 9,
                 "Set": 9, "Oct": 10, "Nov": 11, "Dec": 12, "Dez": 12, "Dic": 12}


def summary_search(line, fields):
    for variant in range(10):
        for f in range(11):
            label = SUMMARY_LABELS[f][variant]
            if label in line and not any(label + x in line for x in ("Unid. ", "Ud.", "Del ")):
                value = line[line.index(label) + len(label) + 1:].strip()
                if not value:
                    continue
                fields[f] = value
                if f in (2, 4, 6):
                    parts = value.split()
                    if len(parts) >= 2:
                        fields[f] = parts[0]
                        fields[f + 1] = " ".join(parts[1:])


def report_to_csv(name, data):
    """(csv bytes, summary fields or None) of one report of type 0 to 6."""
    marker = MARKERS[name[:3]]
    lines = data.decode(ENC).split(CRLF)
    if lines and lines[-1] == "":
        lines.pop()
    header, rows, n_cols = [], [], 0
    after_blank = in_table = table_done = False
    target = header
    fields = [""] + ["----"] * 10

    def as_header(text):
        if text:
            summary_search(text, fields)
        return '"' + text + '"'

    for line in lines:
        if line.startswith("\t"):
            text = line[1:]
            if after_blank:
                if marker in text:
                    in_table, after_blank, target = True, False, rows
                    words = text.replace("mV rel", "mV\x00rel").split()
                    cells = [w.replace("\x00", " ") for w in words]
                    n_cols = len(cells)
                    rows.append(",".join(cells))
                else:
                    target.append(as_header(text))
            elif in_table and not table_done:
                rows.append(",".join(text.split()))
            else:
                target.append(as_header(text))
        else:
            if in_table and not table_done:
                table_done, target = True, header
            header.append(as_header(line))
        inside = in_table and not table_done
        if line == "" and not inside:
            after_blank = True
        elif line != "":
            after_blank = False
    out = []
    for i in range(max(len(header), len(rows))):
        if i < len(header) and i < len(rows):
            out.append(header[i] + ",," + rows[i])
        elif i < len(rows):
            out.append(",," + rows[i])
        else:
            out.append(header[i] + ",," + "," * (n_cols - 1))
    logging = name[:3] not in ("TI_", "KF_", "DR_") and fields[10] == "pH/mV/ISE logging"
    summary = None if name[:3] == "DR_" or logging else fields
    return text_bytes(out), summary


def date_key(text):
    o = 3 if len(text) == 21 else 0
    hour, minute = int(text[0:2]), int(text[3:5])
    if o:
        if text[6:8] == "AM" and hour == 12:
            hour = 0
        elif text[6:8] == "PM" and hour < 12:
            hour += 12
    return (int(text[14 + o:18 + o]), MONTH_NUMBERS[text[6 + o:9 + o]], int(text[10 + o:12 + o]),
            hour, minute)


def summary_csv(all_fields):
    lines = [",".join(SUMMARY_HEADER)]
    entries = []
    for fields in all_fields:
        key = date_key(fields[8])
        f = list(fields)
        f[8] = '"' + f[8] + '"'
        entries.append((key, ",".join(f)))
    entries.sort(key=lambda e: e[0])
    lines += ["%d%s" % (n + 1, line) for n, (key, line) in enumerate(entries)]
    return text_bytes(lines)


# ---------------------------------------------------------------------------
# The whole sample set
# ---------------------------------------------------------------------------

# ---------------------------------------------------------------------------
# Upgrade files
# ---------------------------------------------------------------------------

UPGRADE_MODELS = ("501", "502", "503", "504", "531", "532", "533", "534")
UPGRADE_VERSION = "310"   # characters 4 to 6: the firmware the file would bring
UPGRADE_TIME = (2025, 4, 2, 14, 0)


def string_checksum(text):
    """GetStringChecksum: the low 16 bits of the CRC register as a signed 16-bit number."""
    low = crc_register(text.encode(ENC)) & 0xFFFF
    return low - 0x10000 if low >= 0x8000 else low


def upgrade_name(name6, checksum=None):
    """Characters 7 and 8 carry the name checksum modulo 100 as two digits
    (a negative checksum counts up from 100, as Python's % does)."""
    if checksum is None:
        checksum = string_checksum(name6) % 100
    return "%s%02d.upg" % (name6, checksum)


def upgrade_image(model, size):
    """A synthetic image: a text head saying what it is, then pseudo-random
    bytes (backslashes and "\\c" included, as real images have)."""
    head = ("VELTRAN synthetic upgrade image\r\nModel QX%s\r\nVersion 3.10\r\n"
            "Test data for the upgrade transfer, not a firmware.\r\n" % model).encode("ascii")
    x = int(model) * 2654435761 & 0x7FFFFFFF
    body = bytearray()
    for _ in range(size - len(head)):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        body.append((x >> 16) & 0xFF)
    return head + bytes(body)


def add_upgrade_files(tree):
    """pc/upgrade/: one valid file per model, named with the name checksum and
    of a different block count each, and one whose name checksum is wrong."""
    for i, model in enumerate(UPGRADE_MODELS):
        data = upgrade_image(model, 1500 + 389 * i)
        tree.add("pc/upgrade/" + upgrade_name(model + UPGRADE_VERSION), data, UPGRADE_TIME)
    name6 = "502" + UPGRADE_VERSION
    wrong = (string_checksum(name6) % 100 + 1) % 100
    tree.add("pc/upgrade/" + upgrade_name(name6, wrong), upgrade_image("502", 1500 + 389),
             UPGRADE_TIME)


PC_METHOD_COPIES = (("QX501", "QX0101AV.MTD"), ("QX502", "QX0102TA.MTD"),
                    ("QX502", "QX0302SV.MTD"), ("QX531", "QX0231AC.MTD"),
                    ("QX503", "QX0103KW.MTD"), ("QX504", "QX0104CW.MTD"),
                    ("QX534", "QX0234BR.MTD"))
CSV_EXPORT = ("TI_00031.RPT", "KF_00045.RPT", "TI_00090.RPT")
CSV_SUMMARY = "summary_20250317093000.csv"
CSV_TIME = (2025, 3, 17, 9, 30)


def build():
    tree = Tree()
    manifest = []   # (path, model, meth type, note)

    def method_file(path, model, meth_type, data, dt, note):
        tree.add(path, data, dt)
        manifest.append((path, model, meth_type, note))

    catalogue = {}
    for model, fname, mtype, text in (ordinary_methods() + kf_methods() +
                                      render_coverage_methods()):
        ts = int(text.split(b"TimeStamp ", 1)[1].split(b"\r\n", 1)[0])
        dt = tuple(time.gmtime(ts)[:6])
        data = seal(text)
        catalogue[(model, fname)] = (mtype, data, dt)
        method_file("titrator/%s/methods/%s" % (model, fname), model, mtype, data, dt,
                    "standard" if fname.startswith("QX") else "user")
    for model, fname, mtype, text in early_methods():
        ts = int(text.split(b"TimeStamp ", 1)[1].split(b"\r\n", 1)[0])
        dt = tuple(time.gmtime(ts)[:6])
        method_file("titrator/methods/" + fname, model, mtype, seal(text), dt,
                    "firmware 1.50, plain folder")

    # the PC folder: copies, two methods made on the PC, and three broken files
    for model, fname in PC_METHOD_COPIES:
        mtype, data, dt = catalogue[(model, fname)]
        method_file("pc/" + fname, model, mtype, data, dt, "copy of the %s method" % model)
    yog = ord_values("Acidity of yoghurt", "USER0003", (2025, 1, 20, 10, 0), "1.0", 32,
                     EP_mode=2, EP_pH="8.300", TitrName="NaOH 0.1 M", CalcMethod=2,
                     g="10.0000", g__mol="90.08", **conc(0.1, NAOH))
    method_file("pc/USER0003.MTD", "QX502", 32, seal(ordinary_method(yog)),
                (2025, 1, 20, 10, 0), "user method made for a QX502")
    powder = kf_values("Water in milk powder", "USER0004", (2025, 1, 21, 9, 15), "1.0", 34,
                       SmpName="Skimmed milk powder", SmpSize="0.2000", ResUnit=0,
                       Solv="Methanol/formamide 2:1", PreTitT=60)
    method_file("pc/USER0004.MTD", "QX503", 34, seal(kf_method(powder)),
                (2025, 1, 21, 9, 15), "user method made for a QX503")
    # broken CRC: the QX502 wine method under another name, sealed, then one
    # character of the text changed (MaxDelivVol 25.000 -> 35.000)
    mtype, data, dt = catalogue[("QX502", "QX0102TA.MTD")]
    good = seal(data[:-2].replace(b"FileID QX0102TA", b"FileID QX0299ZZ"))
    bad = good.replace(b"MaxDelivVol 25.000", b"MaxDelivVol 35.000")
    assert bad != good
    method_file("pc/QX0299ZZ.MTD", "QX502", 32, bad, dt,
                "INVALID: CRC broken (one character changed after sealing)")
    zero = ord_values("Total acidity wine", "QX0000AA", (2025, 1, 22, 8, 0), "1.0", 32,
                      EP_mode=2, EP_pH="7.000", TitrName="NaOH 0.1 M", mL="10.000",
                      g__mol="75.04", **conc(0.1, NAOH))
    method_file("pc/QX0000AA.MTD", "QX502", 32, seal(ordinary_method(zero)),
                (2025, 1, 22, 8, 0), "INVALID: number field 0000 in the name")
    untyped = ord_values("Total acidity vinegar", "QX0902NT", (2025, 1, 22, 8, 30), "1.0", 32,
                         TitrName="NaOH 0.5 M", mL="5.000", g__mol="60.05",
                         **conc(0.5, NAOH))
    method_file("pc/QX0902NT.MTD", "-", None,
                seal(ordinary_method(untyped, drop_methtype=True)), (2025, 1, 22, 8, 30),
                "INVALID: no MethType line (sealed)")

    for folder, fname, dt, data in sequences():
        path = folder + "/" + fname
        tree.add(path, data, dt)
        manifest.append((path, "QX532" if "QX532" in folder else "QX502", None,
                         "sequence, not sealed"))

    add_reports(tree)
    add_pc_reports(tree)
    add_export_samples(tree)
    add_upgrade_files(tree)

    summaries = []
    for name in CSV_EXPORT:
        csv, fields = report_to_csv(name, tree.files["pc/" + name][0])
        tree.add("pc/" + name.split(".")[0] + ".csv", csv, CSV_TIME)
        if fields:
            summaries.append(fields)
    tree.add("pc/" + CSV_SUMMARY, summary_csv(summaries), CSV_TIME)

    lines = ["# path\tmodel\tMethType\tverify code for family 0\t1\t2\t3\tnote"]
    for path, model, mtype, note in manifest:
        data = tree.files[path][0]
        codes = [str(expected_code(path, data, fam)) for fam in range(4)]
        lines.append("\t".join([path, model, "-" if mtype is None else str(mtype)] + codes +
                               [note]))
    tree.add(MANIFEST, ("\n".join(lines) + "\n").encode("ascii"), (2025, 5, 31, 12, 0))
    return tree


def on_disk():
    found = set()
    for top in GENERATED_DIRS:
        for root, dirs, files in os.walk(os.path.join(HERE, top)):
            for f in files:
                found.add(os.path.relpath(os.path.join(root, f), HERE).replace(os.sep, "/"))
    if os.path.exists(os.path.join(HERE, MANIFEST)):
        found.add(MANIFEST)
    return found


def write(tree):
    for top in GENERATED_DIRS:
        shutil.rmtree(os.path.join(HERE, top), ignore_errors=True)
    for path, (data, mtime) in sorted(tree.files.items()):
        full = os.path.join(HERE, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
        os.utime(full, (mtime, mtime))
    total = sum(len(d) for d, _ in tree.files.values())
    print("wrote %d files, %d bytes" % (len(tree.files), total))


def check(tree):
    problems = []
    for path, (data, _) in sorted(tree.files.items()):
        full = os.path.join(HERE, path)
        if not os.path.exists(full):
            problems.append("missing: " + path)
        elif open(full, "rb").read() != data:
            problems.append("differs: " + path)
    for path in sorted(on_disk() - set(tree.files)):
        problems.append("not generated: " + path)
    for p in problems:
        print(p)
    print("check: %d files, %d problems" % (len(tree.files), len(problems)))
    return not problems


def verify(tree, cli):
    failures = runs = 0
    for line in tree.files[MANIFEST][0].decode("ascii").splitlines()[1:]:
        cols = line.split("\t")
        path, expected = cols[0], cols[3:7]
        for fam in range(4):
            res = subprocess.run([cli, "verify", os.path.join(HERE, path), "--family", str(fam)],
                                 capture_output=True, text=True)
            runs += 1
            got = res.stdout.strip()
            if got != expected[fam]:
                failures += 1
                print("%s family %d: expected %s, veltran-cli printed %r (exit %d) %s"
                      % (path, fam, expected[fam], got, res.returncode, res.stderr.strip()))
    print("verify: %d runs, %d mismatches" % (runs, failures))
    return failures == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true",
                        help="compare the files on disk with the generated ones")
    parser.add_argument("--verify", metavar="VELTRAN_CLI",
                        help="run veltran-cli verify over the manifest's files")
    args = parser.parse_args()
    self_test()
    tree = build()
    ok = True
    if args.check:
        ok = check(tree)
    elif not args.verify:
        write(tree)
    if args.verify:
        ok = verify(tree, args.verify) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
