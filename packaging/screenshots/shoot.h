#pragma once
// What both screenshot programs share: saving a window as the user first sees it.
// Runs headless (QT_QPA_PLATFORM=offscreen); messages of the windows go to standard output.

#include <QApplication>
#include <QDir>
#include <QString>
#include <QTextStream>
#include <QWidget>
#include <cstdio>

// Lays the window out as shown, then saves it; false when the file cannot be written.
inline bool shoot(QWidget& window, const QString& path) {
    window.show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const bool saved = window.grab().save(path, "PNG");
    QTextStream(saved ? stdout : stderr) << (saved ? "saved " : "cannot write ") << path << '\n';
    return saved;
}

// The output folder named on the command line, made when missing; empty after a message when
// the arguments are wrong or the folder cannot be made.
inline QString outputFolder(const QStringList& arguments) {
    if (arguments.size() != 2) {
        std::fputs("usage: PROGRAM OUTPUT_FOLDER\n", stderr);
        return QString();
    }
    const QString out = QDir(arguments.at(1)).absolutePath();
    if (!QDir().mkpath(out)) {
        std::fputs("cannot make the output folder\n", stderr);
        return QString();
    }
    return out;
}
