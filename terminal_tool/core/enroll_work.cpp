#include "enroll_work.h"

#include "prompt.h"

#include <exception>

QStringList enrollColumnTitles() {
    QStringList titles = {QStringLiteral("SN"), QStringLiteral("User ID"),
                          QStringLiteral("User Name")};
    for (int k = 0; k < FingerSlotCount; ++k)
        titles << QStringLiteral("FP %1").arg(k);
    titles << QStringLiteral("PWD") << QStringLiteral("Card") << QStringLiteral("Privilege");
    return titles;
}

QString EnrollRowTable::text(int row, int column) const {
    return rows_.at(static_cast<std::size_t>(row)).columns.value(column);
}

void EnrollRowTable::setText(int row, int column, const QString& text) {
    QStringList& columns = rows_.at(static_cast<std::size_t>(row)).columns;
    while (columns.size() <= column)
        columns << QString();
    columns[column] = text;
}

bool EnrollRowTable::isTicked(int row) const {
    return rows_.at(static_cast<std::size_t>(row)).ticked;
}

void EnrollRowTable::tickAll() {
    for (Row& row : rows_)
        row.ticked = true;
}

void EnrollRowTable::setTicked(int row, bool ticked) {
    rows_.at(static_cast<std::size_t>(row)).ticked = ticked;
}

QString trimmedText(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

bool runWithDeviceWork(DeviceSession& session, ByteVector& extraProperty, Prompt& prompt,
                       const std::function<bool()>& body) {
    if (!session.BeginDeviceWork(extraProperty, &prompt))
        return false;
    bool ok = false;
    try {
        ok = body();
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        try {
            session.EndDeviceWork(extraProperty, &prompt);
        } catch (...) {
            // The link itself is gone; the first error is the one worth showing.
        }
        std::rethrow_exception(failure);
    }
    const bool idle = session.EndDeviceWork(extraProperty, &prompt);
    return ok && idle;
}
