#include "fault_plan.h"

#include <QJsonArray>

namespace {

// A key holds one operation name or a list of them.
QStringList names(const QJsonValue& v) {
    if (v.isString())
        return {v.toString()};
    QStringList list;
    for (const QJsonValue item : v.toArray())
        list.append(item.toString());
    return list;
}

} // namespace

void FaultPlan::readJson(const QJsonObject& faults) {
    refuse += names(faults.value(QStringLiteral("refuse")));
    silent += names(faults.value(QStringLiteral("silent")));
    malformed += names(faults.value(QStringLiteral("malformed")));
    if (faults.contains(QStringLiteral("close_on")))
        closeOn = names(faults.value(QStringLiteral("close_on")));
    if (faults.contains(QStringLiteral("close_after_bytes")))
        closeAfterBytes = faults.value(QStringLiteral("close_after_bytes")).toInteger(-1);
    if (faults.contains(QStringLiteral("delay_ms")))
        delayMs = faults.value(QStringLiteral("delay_ms")).toInt();
}

bool FaultPlan::matches(const QStringList& entries, const QString& operation) {
    for (const QString& e : entries) {
        if (e == QLatin1String("*") || e == operation || operation.startsWith(e + QLatin1Char(':')))
            return true;
    }
    return false;
}
