#!/usr/bin/python3
"""Prints, as JSON, the fields a second reader (python3-vobject) finds in a vCard file: for each
card a list of [name, text] for FN, UID, TEL, EMAIL, NOTE and ADR (its seven parts joined by ';')."""
import json
import sys

import vobject

cards = []
with open(sys.argv[1], encoding="utf-8", newline="") as f:
    for card in vobject.readComponents(f.read()):
        fields = []
        for line in card.lines():
            name = line.name.upper()
            if name == "ADR":
                a = line.value
                fields.append([name, ";".join([a.box, a.extended, a.street, a.city, a.region, a.code, a.country])])
            elif name in ("FN", "UID", "TEL", "EMAIL", "NOTE"):
                fields.append([name, line.value])
        cards.append(fields)
print(json.dumps(cards, ensure_ascii=False))
