#pragma once
// The three options of the main window, carried across starts in Settings.ini section Options.
// The check boxes steer the operations; the file only remembers them.

#include <QString>

struct Options {
    bool veriDosya2 = false; // also write each record line to veri2.txt
    bool veriSil = false;    // clear the terminal's records after the download
    bool dorvak = false;     // comma-separated record lines
};

// Settings.ini in the program folder (which ends with a separator).
QString settingsFilePath(const QString& programFolder);

// A key counts as ticked only when its value is exactly "1"; a missing file, section or key
// leaves it unticked. Throws std::runtime_error when an existing file cannot be read.
Options readOptions(const QString& settingsPath);

// Writes veriDosya2 = "1"/"0", veriSil = "1"/"0", dorvak = "1"/"" in that order, changing
// nothing else in the file (created when missing). Throws std::runtime_error with the
// reason when the file cannot be written; the file is then left as it was.
void saveOptions(const QString& settingsPath, const Options& options);
