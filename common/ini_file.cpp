#include "ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

bool isSectionHeader(const QByteArray& line, QByteArray* name) {
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || t.front() != '[')
        return false;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return false;
    if (name)
        *name = t.mid(1, close - 1).trimmed();
    return true;
}

// The position of the "=" of a key line, or -1 for comments, blanks and other lines.
qsizetype keySeparator(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.front() == ';' || t.front() == '#')
        return -1;
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || line.left(eq).trimmed().isEmpty())
        return -1;
    return eq;
}

bool sameName(const QByteArray& a, const QString& b) {
    return QString::fromUtf8(a).compare(b, Qt::CaseInsensitive) == 0;
}

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder turkish("windows-1254");
    return turkish.isValid() ? QString(turkish.decode(bytes)) : QString::fromLatin1(bytes);
}

} // namespace

IniFile::IniFile(const QString& path) : path_(path) {}

bool IniFile::load(QString* error) {
    lines_.clear();
    eol_ = "\r\n";
    QFile file(path_);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    qsizetype start = 0;
    bool eolChosen = false;
    while (start < data.size()) {
        const qsizetype nl = data.indexOf('\n', start);
        Line line;
        if (nl < 0) {
            line.text = data.mid(start);
            start = data.size();
        } else {
            line.text = data.mid(start, nl - start);
            line.eol = "\n";
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.eol = "\r\n";
            }
            start = nl + 1;
            if (!eolChosen) {
                eol_ = line.eol;
                eolChosen = true;
            }
        }
        lines_.append(line);
    }
    return true;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i) {
        QByteArray text = lines_[i].text;
        if (i == 0 && text.startsWith(kBom))
            text = text.mid(kBom.size());
        QByteArray name;
        if (isSectionHeader(text, &name) && sameName(name, section))
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int headerLine) const {
    int i = headerLine + 1;
    while (i < lines_.size() && !isSectionHeader(lines_[i].text, nullptr))
        ++i;
    return i;
}

int IniFile::findKey(int headerLine, const QString& key) const {
    const int end = sectionEnd(headerLine);
    for (int i = headerLine + 1; i < end; ++i) {
        const QByteArray& text = lines_[i].text;
        const qsizetype eq = keySeparator(text);
        if (eq >= 0 && sameName(text.left(eq).trimmed(), key))
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
    const QByteArray& text = lines_[line].text;
    QByteArray v = text.mid(keySeparator(text) + 1).trimmed();
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.mid(1, v.size() - 2);
    return decodeText(v);
}

bool IniFile::contains(const QString& section, const QString& key) const {
    const int header = findSection(section);
    return header >= 0 && findKey(header, key) >= 0;
}

void IniFile::insertLine(int at, const QByteArray& text) {
    // A file that ended without a line end still does; the line before gets one.
    QByteArray eol = eol_;
    if (at > 0 && lines_[at - 1].eol.isEmpty()) {
        lines_[at - 1].eol = eol_;
        eol.clear();
    }
    lines_.insert(at, Line{text, eol});
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    int header = findSection(section);
    if (header < 0) {
        if (!lines_.isEmpty() && !lines_.last().text.trimmed().isEmpty())
            insertLine(lines_.size(), QByteArray());
        insertLine(lines_.size(), '[' + section.toUtf8() + ']');
        insertLine(lines_.size(), key.toUtf8() + '=' + value.toUtf8());
        return;
    }
    const int line = findKey(header, key);
    if (line >= 0) {
        QByteArray& text = lines_[line].text;
        text = text.left(keySeparator(text) + 1) + value.toUtf8();
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    int insertAt = sectionEnd(header);
    while (insertAt > header + 1 && lines_[insertAt - 1].text.trimmed().isEmpty())
        --insertAt;
    insertLine(insertAt, key.toUtf8() + '=' + value.toUtf8());
}

bool IniFile::save(QString* error) const {
    QByteArray data;
    for (const Line& line : lines_)
        data += line.text + line.eol;
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
