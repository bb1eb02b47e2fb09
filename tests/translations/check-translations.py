#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# Fails when a catalog in translations/ lacks a translation of a text in the code: refreshes a
# temporary copy of each catalog from the sources (as scripts/update-translations.sh does) and
# lists every entry still unfinished or new, so that texts added without a translation show up.
# A finished translation must keep the source's placeholders, line breaks and whether it has a
# mnemonic: a lost %2 shows the wrong text, a lost & leaves a control without its Alt key.
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

top = Path(__file__).resolve().parents[2]
failures = []


def mnemonics(text):
    return len(re.findall(r"&[^&\s]", text.replace("&&", "")))


def mismatch(source, translation):
    if sorted(re.findall(r"%[0-9n]", source)) != sorted(re.findall(r"%[0-9n]", translation)):
        return "placeholders differ"
    if source.count("\n") != translation.count("\n"):
        return "line breaks differ"
    if mnemonics(source) != mnemonics(translation):
        return "mnemonic differs"
    return None


catalogs = sorted((top / "translations").glob("*.ts"))
if not catalogs:
    sys.exit("no catalogs in translations/")
with tempfile.TemporaryDirectory() as scratch:
    for catalog in catalogs:
        copy = Path(scratch) / catalog.name
        shutil.copy(catalog, copy)
        subprocess.run([str(top / "scripts/update-translations.sh"), str(copy)], check=True)
        for context in ET.parse(copy).getroot().iter("context"):
            name = context.findtext("name")
            for message in context.iter("message"):
                translation = message.find("translation")
                source = message.findtext("source")
                if translation.get("type") == "unfinished" or not (translation.text or "").strip():
                    failures.append(f"{catalog.name}: {name}: {source!r}")
                elif problem := mismatch(source, translation.text):
                    failures.append(f"{catalog.name}: {name}: {source!r}: {problem}")
if failures:
    print("Untranslated or damaged texts (run scripts/update-translations.sh, then translate):")
    print("\n".join(failures))
    sys.exit(1)
print(f"{len(catalogs)} catalog(s) complete")
