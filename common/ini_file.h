#pragma once
// Settings.ini: Windows INI syntax, read and changed in place. Saving rewrites only the
// lines of the keys that were set; every other byte of the file (comments, order, other
// sections, line endings, text in any encoding) stays as it was.

#include <QByteArray>
#include <QList>
#include <QString>

class IniFile {
public:
    explicit IniFile(const QString& path);

    // A missing file reads as empty; false only when an existing file cannot be read.
    bool load(QString* error = nullptr);
    // Section and key names match without regard to letter case, as Windows does.
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue = QString()) const;
    // Replaces the key's value in place, or adds the key at the end of its section,
    // or adds the section at the end of the file.
    void setValue(const QString& section, const QString& key, const QString& value);
    // Writes through a temporary file and a rename, so a failed save leaves the old file.
    bool save(QString* error = nullptr) const;

    QString path() const { return path_; }

private:
    int findSection(const QString& section) const;
    int sectionEnd(int headerLine) const;
    int findKey(int headerLine, const QString& key) const;

    QString path_;
    QList<QByteArray> lines_; // without their line ends
    QByteArray eol_ = "\r\n";
    bool endsWithEol_ = true;
};
