"""Makes the page's web font: Liberation Serif 2 (the metric twin of Times New
Roman, SIL Open Font License 1.1) cut to Latin and the basic Cyrillic letters
(U+0400-045F: Bulgarian and every other modern Slavic alphabet; the extended
block's historic and non-Slavic letters fall back to the device's fonts), as
WOFF2.

The licence reserves the name "Liberation" (and "Tinos") for the unmodified
fonts, so the cut font is renamed "Dulmeri Serif".

    python3 subset_font.py INPUT.ttf OUTPUT.woff2
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Dulmeri Serif"
UNICODES = "U+0020-007E,U+00A0-00BB,U+2013-2014,U+2018-201E,U+2026,U+0400-045F"


def main(source, target):
    options = subset.Options()
    options.flavor = "woff2"
    options.hinting = False
    options.desubroutinize = True
    options.layout_features = ["kern", "liga"]
    options.name_IDs = [0, 1, 2, 3, 4, 5, 6, 13, 14]
    options.drop_tables += ["FFTM"]
    font = TTFont(source)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=subset.parse_unicodes(UNICODES))
    subsetter.subset(font)
    names = font["name"]
    for record in names.names:
        if record.nameID in (1, 16):
            names.setName(FAMILY, record.nameID, record.platformID, record.platEncID, record.langID)
        elif record.nameID in (3, 4):
            names.setName(FAMILY + " Regular", record.nameID, record.platformID, record.platEncID, record.langID)
        elif record.nameID == 6:
            names.setName("DulmeriSerif-Regular", record.nameID, record.platformID, record.platEncID, record.langID)
    names.names = [r for r in names.names if r.nameID not in (16, 17)]
    subset.save_font(font, target, options)


if __name__ == "__main__":
    main(*sys.argv[1:])
