#include "ini_file.h"

#include <QFile>
#include <QSaveFile>

namespace {

QByteArray trimmedLine(const QByteArray& line) { return line.trimmed(); }

bool isSectionHeader(const QByteArray& line, QByteArray* name) {
    const QByteArray t = trimmedLine(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

bool splitKey(const QByteArray& line, QByteArray* key, QByteArray* value) {
    const QByteArray t = trimmedLine(line);
    if (t.isEmpty() || t.front() == ';' || t.front() == '#')
        return false;
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0)
        return false;
    *key = t.left(eq).trimmed();
    *value = t.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QByteArray& a, const QString& b) {
    return QString::fromUtf8(a).compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(const QString& path) : path_(path) {}

bool IniFile::load(QString* error) {
    lines_.clear();
    QFile file(path_);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray data = file.readAll();
    eol_ = data.contains("\r\n") || data.isEmpty() ? QByteArray("\r\n") : QByteArray("\n");
    endsWithEol_ = data.isEmpty() || data.endsWith('\n');
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype nl = data.indexOf('\n', start);
        if (nl < 0)
            nl = data.size();
        QByteArray line = data.mid(start, nl - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines_.append(line);
        start = nl + 1;
    }
    return true;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i) {
        QByteArray name;
        if (isSectionHeader(lines_[i], &name) && sameName(name, section))
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int headerLine) const {
    int i = headerLine + 1;
    while (i < lines_.size() && !isSectionHeader(lines_[i], nullptr))
        ++i;
    return i;
}

int IniFile::findKey(int headerLine, const QString& key) const {
    const int end = sectionEnd(headerLine);
    for (int i = headerLine + 1; i < end; ++i) {
        QByteArray k, v;
        if (splitKey(lines_[i], &k, &v) && sameName(k, key))
            return i;
    }
    return -1;
}

QString IniFile::value(const QString& section, const QString& key,
                       const QString& defaultValue) const {
    const int header = findSection(section);
    if (header < 0)
        return defaultValue;
    const int line = findKey(header, key);
    if (line < 0)
        return defaultValue;
    QByteArray k, v;
    splitKey(lines_[line], &k, &v);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.mid(1, v.size() - 2);
    return QString::fromUtf8(v);
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();
    int header = findSection(section);
    if (header < 0) {
        if (!lines_.isEmpty() && !trimmedLine(lines_.last()).isEmpty() && endsWithEol_)
            lines_.append(QByteArray());
        lines_.append('[' + section.toUtf8() + ']');
        lines_.append(entry);
        return;
    }
    const int line = findKey(header, key);
    if (line >= 0) {
        lines_[line] = entry;
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    int insertAt = sectionEnd(header);
    while (insertAt > header + 1 && trimmedLine(lines_[insertAt - 1]).isEmpty())
        --insertAt;
    lines_.insert(insertAt, entry);
}

bool IniFile::save(QString* error) const {
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray data;
    for (int i = 0; i < lines_.size(); ++i) {
        data += lines_[i];
        if (i + 1 < lines_.size() || endsWithEol_)
            data += eol_;
    }
    if (file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
