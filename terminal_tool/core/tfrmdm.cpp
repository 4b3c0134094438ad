#include "tfrmdm.h"

#include <QSqlQueryModel>

TfrmDM::TfrmDM(const QString& programFolder)
    : qrycihaz(new QSqlQueryModel), programFolder_(programFolder) {}

TfrmDM::~TfrmDM() { delete qrycihaz; }
