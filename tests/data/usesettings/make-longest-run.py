#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes longest-run.bin: the bytes "Use Settings" must send with every list at a choice.

Written out by hand from the printer's switch table, apart from the program's own code, so the
test that compares against it checks the catalogue rather than repeating it. The choices are
listed in longest-run.txt and set by tst_usesettings.
"""
from pathlib import Path


def command(switch, op, mask):
    return b"\x1b#" + switch.encode() + op.encode() + mask.encode() + b"\n\x00"


def set_(switch, mask):
    return command(switch, "+", mask)


def clear(switch, mask):
    return command(switch, "-", mask)


run = [
    set_("0", "0001"),                       # comEmulation 2: Arvel Line Mode
    clear("0", "0004"),                      # comFF 1: Feed (no cut)
    set_("2", "0001"),                       # comSpeed 2: Half Speed
    clear("3", "0004"),                      # comReverse 1: Valid
    set_("C", "0002"),                       # comEndCode 2: <GS>
    clear("D", "1000"),                      # comPoutSig 1: Paper End
    set_("D", "0100"),                       # comPout 2: Disabled
    clear("D", "0001"),                      # comIdleAction 1: Enabled
    set_("F", "0001"),                       # comRAMBack 2: Disabled
    set_("2", "0100"),                       # comCutter 1: Enabled (sets the bit)
    clear("1", "000F"), set_("1", "0002"),   # comCharSet 3: Germany
    clear("3", "0300"), set_("3", "0100"),   # comCPage 2: IBM
    set_("1", "0010"),                       # comZStyle 2: Slash
    clear("3", "0001"),                      # comLFeed 1: 4mm
    set_("3", "0010"),                       # comColumns 2: 50 column
    clear("3", "0002"),                      # comCRCode 1: Invalid
    clear("1", "1000"), set_("1", "0100"),   # comBMark 1: Black Mark/Reflective Sensor
    set_("1", "2000"),                       # comMeasurePower 2: Off
    set_("1", "8000"),                       # comMeasureResume 1: On
    clear("1", "4000"),                      # comDetectPower 2: Off
    set_("2", "0800"),                       # comCutPos 2: +2mm
    set_("E", "1000"), clear("E", "0FFF"), set_("E", "0123"),  # comCComp 1 at "-12.3mm"
    b"\x1b?\n\x00",                          # the self test closes the run
]
assert len(run) == 28
Path(__file__).with_name("longest-run.bin").write_bytes(b"".join(run))
