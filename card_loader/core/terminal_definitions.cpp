#include "terminal_definitions.h"

#include "byte_vector.h"
#include "control_sbxpc.h"
#include "prompt.h"
#include "sdk.h"
#include "tfrmdmmysql.h"
#include "whole_number.h"

#include <QSqlRecord>
#include <exception>

const QString kSelvanoR = QStringLiteral("SelvanoR");
const QString kSelvanoNorvi = QStringLiteral("SelvanoNorvi");

TerminalValues terminalValuesFromRecord(const QSqlRecord& record) {
    auto text = [&](const char* name) {
        return record.value(QLatin1String(name)).toString().trimmed();
    };
    TerminalValues t;
    t.kod = text("kod");
    t.ad = text("ad");
    t.source = text("Source");
    t.port = text("Baudrate_Remote_Port");
    t.deviceNum = text("Device_Num");
    t.commPassword = text("CommPassword");
    t.cihaztipi = text("cihaztipi");
    t.secim = record.value(QStringLiteral("secim")).toInt() != 0;
    return t;
}

bool OpenTerminalTable(TfrmDMMYSQL& dm, Prompt& prompt) {
    dm.tblterminaller.clear();
    dm.tblterminaller.setTable(QStringLiteral("terminaller"));
    if (!dm.tblterminaller.select()) {
        prompt.error(dm.errorText(dm.tblterminaller.lastError()));
        return false;
    }
    return true;
}

bool tblterminallerNewRecord(TfrmDMMYSQL& dm, int row, Prompt& prompt) {
    QString kod;
    try {
        kod = PadLeftZeros(dm.NextCode(QStringLiteral("terminaller"), QStringLiteral("kod")), 2);
    } catch (const std::exception& e) {
        prompt.error(QString::fromStdString(e.what()));
        return false;
    }
    QSqlTableModel& table = dm.tblterminaller;
    if (!table.insertRow(row)) {
        prompt.error(dm.errorText(table.lastError()));
        return false;
    }
    const std::pair<const char*, QVariant> defaults[] = {
        {"kod", kod},
        {"modultipi", QStringLiteral("gc-2")},
        {"cihaztipi", QStringLiteral("Brennsoft")},
        {"aktarimtipi", QStringLiteral("genel")},
        {"CommPassword", 0},
        {"Baudrate_Remote_Port", QStringLiteral("4370")},
        {"Device_Num", QStringLiteral("1")},
        {"secim", true},
    };
    for (const auto& [field, value] : defaults)
        table.setData(table.index(row, table.fieldIndex(QLatin1String(field))), value);
    return true;
}

bool PostTerminalRows(TfrmDMMYSQL& dm, Prompt& prompt) {
    if (!dm.tblterminaller.isDirty())
        return true;
    if (dm.tblterminaller.submitAll())
        return true;
    prompt.error(dm.errorText(dm.tblterminaller.lastError()));
    return false;
}

bool ToggleTerminalChoice(TfrmDMMYSQL& dm, int row, Prompt& prompt) {
    QSqlTableModel& table = dm.tblterminaller;
    const QModelIndex cell = table.index(row, table.fieldIndex(QStringLiteral("secim")));
    if (!cell.isValid())
        return false;
    table.setData(cell, table.data(cell).toInt() == 0);
    return PostTerminalRows(dm, prompt);
}

bool DeleteTerminalRow(TfrmDMMYSQL& dm, int row, Prompt& prompt) {
    QSqlTableModel& table = dm.tblterminaller;
    if (table.rowCount() == 0 || row < 0 || row >= table.rowCount())
        return false;
    const QString ad = table.record(row).value(QStringLiteral("ad")).toString();
    if (!prompt.confirm(QLatin1Char('"') + ad +
                        QStringLiteral("\" adlı Terminal Kaydını Silmek İstiyor musunuz...?")))
        return false;
    if (!table.removeRow(row) || !table.submitAll()) {
        prompt.error(dm.errorText(table.lastError()));
        table.revertAll();
        return false;
    }
    return true;
}

QString terminalLabel(const TerminalValues& terminal) {
    return QLatin1Char(' ') + terminal.ad + QStringLiteral(" (") + terminal.source +
           QStringLiteral(") ");
}

void ConfigureDevice(IDevice& device, const TerminalValues& terminal) {
    device.DeviceNumber = wholeNumber(terminal.deviceNum);
    device.Password = terminal.commPassword;
    device.ConnectOption = 5;
    device.Model = QStringLiteral("ZDC2911");
    device.ConnectionKind = 1;
    device.IpAddress = terminal.source;
    device.NetworkPort = wholeNumber(terminal.port);
}

void CheckTerminalConnection(const TerminalValues& terminal, Prompt& prompt) {
    try {
        bool answered = false;
        if (terminal.cihaztipi == kSelvanoR) {
            DevicePtr device = CoDevice();
            ConfigureDevice(*device, terminal);
            TZd2911DeviceConnection connection;
            answered = connection.OpenConnection(*device) > 0;
            connection.CloseConnection();
        } else if (terminal.cihaztipi == kSelvanoNorvi) {
            const qint32 machine = wholeNumber(terminal.deviceNum);
            const qint32 port = wholeNumber(terminal.port);
            const qint32 password = wholeNumber(terminal.commPassword);
            QString ip = terminal.source;
            TSBXPC control;
            answered = control.OpenTcpLink(machine, ip, port, password);
            control.CloseLink();
        } else {
            prompt.message(terminalLabel(terminal) +
                           QStringLiteral(" Bu cihaz tipine buradan bağlanılamıyor."));
            return;
        }
        prompt.message(terminalLabel(terminal) +
                       (answered ? QStringLiteral(" Terminale bağlandı.")
                                 : QStringLiteral(" HATA!!!..Terminal Bağlantısı Kurulamadı....")));
    } catch (const std::exception& e) {
        prompt.error(QString::fromStdString(e.what()));
    }
}
