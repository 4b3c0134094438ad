#pragma once
// What the collection tests share: a store folder with a terminal list, emulated terminals
// holding given records, and the record files read back.

#include "device_session.h"
#include "emulator_process.h"
#include "terminal_registry.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace fixture {

inline QJsonObject record(const QString& enroll, const QString& time, int machine = 1,
                          int state = 0) {
    return QJsonObject{{QStringLiteral("enroll_number"), enroll},
                       {QStringLiteral("time"), time},
                       {QStringLiteral("terminal_number"), machine},
                       {QStringLiteral("state_code"), state}};
}

inline QJsonObject stateWith(const QJsonArray& records) {
    QJsonObject state = EmulatorProcess::defaultState();
    state.insert(QStringLiteral("records"), records);
    return state;
}

inline int recordsLeft(const EmulatorProcess& emulator) {
    return static_cast<int>(emulator.state().value(QStringLiteral("records")).toArray().size());
}

// The lines of a record file without their CRLF ends; a missing file gives no lines, and a
// line end other than CRLF shows up as a line with "<LF>" in it.
inline QStringList fileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.isEmpty())
        return {};
    if (!text.endsWith(QLatin1String("\r\n")))
        return {QStringLiteral("<no CRLF at the end>")};
    text.chop(2);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    for (QString& line : lines)
        line.replace(QLatin1Char('\n'), QLatin1String("<LF>"));
    return lines;
}

class Store {
public:
    Store() {
        QString error;
        if (!TerminalRegistry::createStore(folder(), &error))
            qFatal("cannot make the store: %s", qPrintable(error));
    }
    QString folder() const { return dir_.path() + QLatin1Char('/'); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString backupPath() const {
        return path(QStringLiteral("yedek_selvanor/") +
                    QDate::currentDate().toString(QStringLiteral("MMyyyy")) +
                    QStringLiteral(".txt"));
    }

    TerminalRecord ethernet(const QString& name, const QString& ip, quint16 port) {
        TerminalRecord row;
        row.name = name;
        row.terminalNo = QStringLiteral("1");
        row.tip = QStringLiteral("ethernet");
        row.ip = ip;
        row.netPort = QString::number(port);
        row.password = QStringLiteral("0");
        return add(row);
    }
    TerminalRecord serial(const QString& name, const QString& portPath, const QString& ip) {
        TerminalRecord row;
        row.name = name;
        row.terminalNo = QStringLiteral("1");
        row.tip = QStringLiteral("com");
        row.comPort = portPath;
        row.comBaud = QStringLiteral("9600");
        row.ip = ip;
        row.netPort = QStringLiteral("0");
        row.password = QStringLiteral("0");
        return add(row);
    }
    // A value the editor would refuse, as a hand-edited store may hold it.
    void setColumn(const QString& id, const QString& column, const QString& value) {
        TerminalRegistry registry(path(QStringLiteral("Data.db")));
        QSqlQuery query(registry.database());
        query.prepare(QStringLiteral("update Terminal set %1 = ? where ID = ?").arg(column));
        query.addBindValue(value);
        query.addBindValue(id);
        if (!query.exec())
            qFatal("cannot change the row: %s", qPrintable(query.lastError().text()));
    }
    TerminalRecord add(TerminalRecord row) {
        TerminalRegistry registry(path(QStringLiteral("Data.db")));
        row.id = registry.insert(row);
        return row;
    }

private:
    QTemporaryDir dir_;
};

} // namespace fixture
