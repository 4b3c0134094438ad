// `cardpush upload` and `cardpush remove`: the runs of "Cihaza Yükle" and "Cihazdan Sil" for
// scripts, e.g. after a nightly PDKS import.

#include "commands.h"
#include "console_prompt.h"
#include "credential_run.h"
#include "tfrmdmmysql.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {

int usageError(const QString& text) {
    QTextStream(stderr) << "cardpush: " << text << '\n';
    return 2;
}

int credentialCommand(bool upload, const QStringList& arguments, const QString& programFolder) {
    QCommandLineParser parser;
    const QCommandLineOption kind(QStringLiteral("kind"), QString(), QStringLiteral("kart|sifre"),
                                  QStringLiteral("kart"));
    const QCommandLineOption person(QStringLiteral("person"), QString(), QStringLiteral("KARTNO"));
    const QCommandLineOption status(QStringLiteral("status"), QString(),
                                    QStringLiteral("tumu|aktif|pasif"), QStringLiteral("aktif"));
    const QCommandLineOption searchIn(QStringLiteral("search-in"), QString(),
                                      QStringLiteral("kartno|kartid|ad"), QStringLiteral("ad"));
    const QCommandLineOption search(QStringLiteral("search"), QString(), QStringLiteral("TEXT"));
    parser.addOptions({kind, person, status, searchIn, search});
    std::vector<QCommandLineOption> lookups;
    for (const LookupTable& table : kLookupTables)
        lookups.emplace_back(QLatin1String(table.table), QString(), QStringLiteral("ID"));
    for (const QCommandLineOption& lookup : lookups)
        parser.addOption(lookup);
    if (!parser.parse(QStringList{QStringLiteral("cardpush")} + arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    CredentialRequest request;
    const QString kindText = parser.value(kind);
    if (kindText != QLatin1String("kart") && kindText != QLatin1String("sifre"))
        return usageError(QStringLiteral("--kind takes kart or sifre"));
    request.kind =
        kindText == QLatin1String("kart") ? CredentialKind::Card : CredentialKind::Password;

    PersonnelFilter filter;
    static const QMap<QString, PersonnelStatus> statuses{{"tumu", PersonnelStatus::All},
                                                         {"aktif", PersonnelStatus::Active},
                                                         {"pasif", PersonnelStatus::Passive}};
    static const QMap<QString, SearchColumn> columns{{"kartno", SearchColumn::Kartno},
                                                     {"kartid", SearchColumn::Kartid},
                                                     {"ad", SearchColumn::Ad}};
    if (!statuses.contains(parser.value(status)))
        return usageError(QStringLiteral("--status takes tumu, aktif or pasif"));
    if (!columns.contains(parser.value(searchIn)))
        return usageError(QStringLiteral("--search-in takes kartno, kartid or ad"));
    filter.status = statuses.value(parser.value(status));
    filter.searchColumn = columns.value(parser.value(searchIn));
    filter.searchText = parser.value(search);
    for (std::size_t i = 0; i < lookups.size(); ++i) {
        if (!parser.isSet(lookups[i]))
            continue;
        bool isId = false;
        const qint64 id = parser.value(lookups[i]).toLongLong(&isId);
        if (!isId) // the id goes into the statement as it is: only a number may
            return usageError(
                QStringLiteral("--%1 takes a numeric id").arg(lookups[i].names().first()));
        filter.lookupIds[i] = id;
    }

    ConsolePrompt prompt;
    TfrmDMMYSQL dm;
    if (!ConnectDatabase(dm, programFolder + QStringLiteral("Settings.ini"), prompt) ||
        !dm.MyConnection1.isOpen() || !LoadPersonnel(dm, filter, prompt) ||
        !LoadChosenTerminals(dm, prompt))
        return 2;

    request.terminals = chosenTerminals(dm.qrycihaz);
    if (parser.isSet(person)) {
        request.scope = PersonScope::SelectedPerson;
        const QString kartno = parser.value(person);
        for (const CredentialPerson& p : credentialPersons(dm.qryper, PersonScope::Listed, 0))
            if (p.kartno == kartno)
                request.persons = {p};
        if (request.persons.isEmpty()) {
            prompt.error(QStringLiteral("'%1' kart numaralı personel listede yok").arg(kartno));
            return 2;
        }
    } else {
        request.scope = PersonScope::Listed;
        request.persons = credentialPersons(dm.qryper, PersonScope::Listed, 0);
    }

    TSBXPC SBXPC1;
    SBXPC1.StartControl();
    std::unique_ptr<TZd2911DeviceConnection> sdkConnection;
    std::vector<qint32> enrollData(355, 0);
    CredentialDevices devices{SBXPC1, sdkConnection, enrollData};
    StdoutSink memo;
    NullProgress progress;
    const RunOutcome outcome = upload ? uploadCredentials(request, devices, prompt, memo, progress)
                                      : removeCredentials(request, devices, prompt, memo, progress);
    return outcome == RunOutcome::Finished ? 0 : 2;
}

} // namespace

int uploadCommand(const QStringList& arguments, const QString& programFolder) {
    return credentialCommand(true, arguments, programFolder);
}

int removeCommand(const QStringList& arguments, const QString& programFolder) {
    return credentialCommand(false, arguments, programFolder);
}
