#pragma once
// Settings.ini: Windows INI syntax, read and changed in place. Saving rewrites only the
// lines of the keys that were set; every other byte of the file (comments, order, other
// sections, each line's own line end, a byte order mark, text in any encoding) stays as it was.

#include <QByteArray>
#include <QList>
#include <QString>

class IniFile {
public:
    explicit IniFile(const QString& path);

    // A missing file reads as empty; false only when an existing file cannot be read.
    bool load(QString* error = nullptr);
    // Section and key names match without regard to letter case, as Windows does; the first
    // of repeated sections or keys counts. Values are read as UTF-8, or as Windows-1254 (the
    // Turkish ANSI code page that Windows editors save in) when they are not valid UTF-8.
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = QString()) const;
    // True when the file holds the key in that section, even with an empty value.
    bool contains(const QString& section, const QString& key) const;
    // Replaces the key's value in place (its spelling and the text before "=" are kept),
    // or adds the key after the last entry of its section, or adds the section at the end.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Writes through a temporary file, fsync and a rename, so a failed save leaves the old file.
    bool save(QString* error = nullptr) const;

    QString path() const { return path_; }

private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray eol;  // "\r\n", "\n" or empty (last line without one)
    };

    int findSection(const QString& section) const;
    int sectionEnd(int headerLine) const;
    int findKey(int headerLine, const QString& key) const;
    void insertLine(int at, const QByteArray& text);

    QString path_;
    QList<Line> lines_;
    QByteArray eol_ = "\r\n"; // for new lines: the file's first line end, CRLF for a new file
};
