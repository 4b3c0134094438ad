#pragma once
// Faults the emulated terminal can be told to show, from the state file's "faults" object
// and the command line (docs/emulator.md).

#include <QJsonObject>
#include <QStringList>

struct FaultPlan {
    QStringList refuse;                       // operations answered with a refusal
    QStringList silent;                       // operations never answered
    QStringList malformed;                    // operations answered with a damaged frame
    QStringList closeOn{QStringLiteral("*")}; // operations whose answer is cut
    qint64 closeAfterBytes = -1; // cut the answer after this many bytes, then close the link
    int delayMs = 0;             // wait before every answer

    void readJson(const QJsonObject& faults);
    // "*" matches every operation; "set_user_data:7" also matches "set_user_data:7:4".
    static bool matches(const QStringList& entries, const QString& operation);
};
