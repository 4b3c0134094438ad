#pragma once
// Emulated terminals holding users, and a session connected to one, for the enrollment tests.

#include "device_session.h"
#include "emulator_process.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

namespace enroll_test {

// A 498-byte template whose bytes follow from seed, so two templates rarely agree.
inline ByteVector fingerprintTemplate(int seed) {
    ByteVector t = NewByteVector(FingerprintTemplateSize);
    for (int i = 0; i < FingerprintTemplateSize; ++i)
        t[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((seed * 37 + i * 11) & 0xFF);
    return t;
}

inline QString hexOf(const ByteVector& bytes) {
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                          static_cast<qsizetype>(bytes.size()))
                                   .toHex());
}

struct TerminalUser {
    QString number;
    QString name;
    int privilege = 1;
    QString password;
    QString card;
    QList<int> fingers; // each finger k holds fingerprintTemplate(number * 10 + k)
};

inline QJsonObject userJson(const TerminalUser& u) {
    QJsonObject fingers;
    for (int k : u.fingers)
        fingers.insert(QString::number(k), hexOf(fingerprintTemplate(u.number.toInt() * 10 + k)));
    return {{"enroll_number", u.number},
            {"name", u.name},
            {"privilege", u.privilege},
            {"password", u.password},
            {"card", u.card},
            {"fingerprints", fingers},
            {"enabled", true},
            {"department_id", 3},
            {"group_id", 2},
            {"valid_period_on", true},
            {"valid_from", "2024-01-01 00:00:00"},
            {"valid_to", "2030-12-31 00:00:00"}};
}

inline QJsonObject stateWith(const QList<TerminalUser>& users) {
    QJsonObject state = EmulatorProcess::defaultState();
    QJsonArray list;
    for (const TerminalUser& u : users)
        list.append(userJson(u));
    state.insert("users", list);
    return state;
}

// The terminal row that reaches the emulator over loopback TCP.
inline TerminalRecord emulatorRow(const EmulatorProcess& emulator,
                                  const QString& name = QStringLiteral("Merkez")) {
    TerminalRecord row;
    row.terminalNo = QStringLiteral("1");
    row.name = name;
    row.tip = QStringLiteral("ethernet");
    row.ip = QStringLiteral("127.0.0.1");
    row.netPort = QString::number(emulator.port());
    row.password = QStringLiteral("0");
    return row;
}

inline QJsonObject userIn(const QJsonObject& state, const QString& number) {
    for (const QJsonValue v : state.value("users").toArray()) {
        if (v.toObject().value("enroll_number").toString() == number)
            return v.toObject();
    }
    return {};
}

// Users of a state with their fingerprints, password, card, name and privilege, in order.
inline QJsonArray enrollmentOf(const QJsonObject& state) {
    QJsonArray out;
    for (const QJsonValue v : state.value("users").toArray()) {
        const QJsonObject u = v.toObject();
        out.append(QJsonObject{{"enroll_number", u.value("enroll_number")},
                               {"name", u.value("name")},
                               {"privilege", u.value("privilege")},
                               {"password", u.value("password")},
                               {"card", u.value("card")},
                               {"fingerprints", u.value("fingerprints")},
                               {"enabled", u.value("enabled")},
                               {"department_id", u.value("department_id")},
                               {"group_id", u.value("group_id")},
                               {"valid_period_on", u.value("valid_period_on")},
                               {"valid_from", u.value("valid_from")},
                               {"valid_to", u.value("valid_to")}});
    }
    return out;
}

// Starts an emulator holding state and connects session to it; false (with a warning) if not.
inline bool startAndConnect(EmulatorProcess& emulator, DeviceSession& session,
                            const QJsonObject& state, const EmulatorOptions& options = {}) {
    if (!emulator.start(state, options)) {
        qWarning("%s", qPrintable(emulator.errorText()));
        return false;
    }
    return session.OpenSession(emulatorRow(emulator));
}

} // namespace enroll_test
