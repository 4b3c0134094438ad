#include "tfrmdmmysql.h"

#include "prompt.h"
#include "whole_number.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlRecord>
#include <stdexcept>

namespace {

QString newConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("pdks-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

TfrmDMMYSQL::Registration::Registration() : name(newConnectionName()) {
    QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
}

TfrmDMMYSQL::Registration::~Registration() {
    QSqlDatabase::removeDatabase(name);
}

TfrmDMMYSQL::TfrmDMMYSQL()
    : MyConnection1(QSqlDatabase::database(registration_.name, false)), MyQuery1(MyConnection1),
      tblterminaller(nullptr, MyConnection1) {
    // Posted by the editor window when a row is left, a check box clicked or the window closed.
    tblterminaller.setEditStrategy(QSqlTableModel::OnManualSubmit);
}

QString TfrmDMMYSQL::errorText(const QSqlError& error) const {
    if (!MyConnection1.isOpen()) {
        const QString why = MyConnection1.lastError().text();
        return why.isEmpty() ? QStringLiteral("Not connected to the database") : why;
    }
    return error.text();
}

QString TfrmDMMYSQL::NextCode(const QString& table, const QString& column) {
    // Codes are text ("09"): compared as text "99" would stay above "100" and the code after
    // 99 would repeat, so the greatest code is taken as a number.
    QSqlQuery query(MyConnection1);
    if (!query.exec(QStringLiteral("select max(cast(") + column +
                    QStringLiteral(" as signed)) as max from ") + table + QLatin1Char(' ')))
        throw std::runtime_error(errorText(query.lastError()).toStdString());
    qint64 next = 1;
    if (query.next())
        next = query.value(QStringLiteral("max")).toLongLong() + 1;
    return QString::number(next);
}

std::optional<QString> ConnectDatabase(TfrmDMMYSQL& dm, const QString& settingsPath,
                                       Prompt& prompt) {
    const PdksSettings settings = PdksSettings::read(settingsPath);
    dm.MyConnection1.close();
    int port = 0;
    try {
        port = wholeNumber(settings.port);
    } catch (const std::exception& e) {
        prompt.error(QString::fromStdString(e.what()));
        return std::nullopt;
    }
    settings.applyTo(dm.MyConnection1, port);
    if (!dm.MyConnection1.open())
        prompt.warning(QStringLiteral("Veritabanına bağlanamadı...."));
    return QStringLiteral("      [Server=") + settings.server + QStringLiteral(",  Veritabanı=") +
           settings.database + QLatin1Char(']');
}

std::array<LookupList, 6> LoadLookupLists(TfrmDMMYSQL& dm, Prompt& prompt) {
    std::array<LookupList, 6> lists;
    for (LookupList& list : lists) {
        list.names << QString();
        list.ids << QString();
    }
    for (std::size_t i = 0; i < kLookupTables.size(); ++i) {
        dm.MyQuery1.finish();
        if (!dm.MyConnection1.isOpen() || !dm.MyQuery1.exec(QStringLiteral("select * from ") +
                                                            QLatin1String(kLookupTables[i].table) +
                                                            QStringLiteral(" order by ad"))) {
            prompt.error(dm.errorText(dm.MyQuery1.lastError()));
            break;
        }
        while (dm.MyQuery1.next()) {
            lists[i].names << dm.MyQuery1.value(QStringLiteral("ad")).toString();
            lists[i].ids << dm.MyQuery1.value(QStringLiteral("id")).toString();
        }
    }
    dm.MyQuery1.finish();
    return lists;
}

namespace {

// Closes the query, sets its statement and opens it; false after reporting the database's text.
bool openQuery(TfrmDMMYSQL& dm, QSqlQueryModel& model, const QString& statement, Prompt& prompt) {
    if (!dm.MyConnection1.isOpen()) {
        model.clear();
        prompt.error(dm.errorText(QSqlError()));
        return false;
    }
    model.setQuery(statement, dm.MyConnection1);
    if (model.lastError().isValid()) {
        prompt.error(dm.errorText(model.lastError()));
        return false;
    }
    return true;
}

} // namespace

std::optional<int> LoadPersonnel(TfrmDMMYSQL& dm, const PersonnelFilter& filter, Prompt& prompt) {
    if (!openQuery(dm, dm.qryper, PersonnelQuery(filter), prompt))
        return std::nullopt;
    // The driver holds the whole answer, so its size is known while the grid fetches lazily.
    return dm.qryper.query().size();
}

bool LoadChosenTerminals(TfrmDMMYSQL& dm, Prompt& prompt) {
    return openQuery(dm, dm.qrycihaz, QStringLiteral("select * from terminaller where secim=1"),
                     prompt);
}
