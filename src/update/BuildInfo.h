#pragma once
#include <QString>

namespace clipvane {

// The version of this build: four one-digit numbers such as 1.0.0.0, from the build's project version.
QString localVersion();

// The edition of a build, by the width of its pointers.
struct Edition {
    QString bits;    // "64Bits", shown by the web update
    QString label;   // "64bits Edition", shown by the About box
    QString package; // "Clipvane_64bits.zip", the Windows download
};
Edition editionFor(int pointerBits);
Edition buildEdition();

} // namespace clipvane
