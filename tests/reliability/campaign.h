#pragma once
// What the fault campaign shares: a tally of the faults injected (what the user saw, what was
// lost), printed as a Markdown table at the end of each program, and the checks that a record
// file holds only whole lines and every record that left a terminal.

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <cstdio>

namespace campaign {

struct Tally {
    int injected = 0;
    QSet<QString> seen;
    int lost = 0;
};

// One row per fault; printed (and appended to $SELVANO_RELIABILITY_TABLE when set) by report().
inline QMap<QString, Tally>& tallies() {
    static QMap<QString, Tally> all;
    return all;
}

inline void count(const QString& fault, const QString& seen, int lost = 0) {
    Tally& t = tallies()[fault];
    ++t.injected;
    t.seen.insert(seen.isEmpty() ? QStringLiteral("(nothing)") : seen);
    t.lost += lost;
}

inline void report() {
    QString table;
    for (auto it = tallies().cbegin(); it != tallies().cend(); ++it) {
        QStringList seen = it->seen.values();
        seen.sort();
        table +=
            QStringLiteral("| %1 | %2 | %3 | %4 |\n")
                .arg(it.key())
                .arg(it->injected)
                .arg(seen.join(QStringLiteral("; ")).replace(QLatin1Char('|'), QLatin1Char('/')))
                .arg(it->lost);
    }
    std::fputs(table.toUtf8().constData(), stdout);
    const QString path = qEnvironmentVariable("SELVANO_RELIABILITY_TABLE");
    if (!path.isEmpty()) {
        QFile file(path);
        if (file.open(QIODevice::Append))
            file.write(table.toUtf8());
    }
}

// The first 31 characters of a normal-format line: person, date, time, terminal, state.
inline QString recordKey(const QJsonObject& r) {
    const QDateTime time = QDateTime::fromString(r.value(QStringLiteral("time")).toString(),
                                                 QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return QStringLiteral("%1 %2 %3 %4")
        .arg(
            r.value(QStringLiteral("enroll_number")).toString().rightJustified(5, QLatin1Char('0')),
            time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))
        .arg(r.value(QStringLiteral("terminal_number")).toInt(), 2, 10, QLatin1Char('0'))
        .arg(r.value(QStringLiteral("state_code")).toInt(), 2, 10, QLatin1Char('0'));
}

inline QHash<QString, int> recordKeys(const QJsonObject& state) {
    QHash<QString, int> keys;
    for (const QJsonValue v : state.value(QStringLiteral("records")).toArray())
        ++keys[recordKey(v.toObject())];
    return keys;
}

// Lines of a record file that are not a whole normal-format line (one or two blanks before
// the address, as the single download and the collection write them).
inline QStringList brokenLines(const QStringList& lines) {
    static const QRegularExpression whole(
        QStringLiteral("^\\d{5} \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d \\d\\d \\d\\d {1,2}"
                       "127\\.0\\.0\\.1$"));
    QStringList broken;
    for (const QString& line : lines) {
        if (!whole.match(line).hasMatch())
            broken << line;
    }
    return broken;
}

// Records that were in the terminal before (before) and are gone now (after) but have no line
// in the file: what was lost.
inline int lostRecords(const QJsonObject& before, const QJsonObject& after,
                       const QStringList& fileLines) {
    QHash<QString, int> cleared = recordKeys(before);
    const QHash<QString, int> left = recordKeys(after);
    for (auto it = left.cbegin(); it != left.cend(); ++it)
        cleared[it.key()] -= it.value();
    QHash<QString, int> written;
    for (const QString& line : fileLines)
        ++written[line.left(31)];
    int lost = 0;
    for (auto it = cleared.cbegin(); it != cleared.cend(); ++it)
        lost += std::max(0, it.value() - written.value(it.key()));
    return lost;
}

// Resident memory of this process in KiB.
inline long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace campaign
