#include "personnel_query.h"

const QString kPersonnelBaseStatement = QStringLiteral(
    "select pe.id,pe.kartid,pe.kartno,pe.ad,pe.soyad,CONCAT(pe.ad,' ',pe.soyad) as "
    "isim,pe.isegiristarihi,pe.kartid,pe.istencikistarihi,pe.grupid,pe.ucret,pe.durum,"
    "pe.gecisyetki,pe.webadres,pe.firmaid,pe.grupid,pe.bolumid,pe.gorevid,pe.servisid,"
    "pe.bolgeid,pe.birimid,pe.takimid,pe.subeid,grup.ad as grupad,bolum.ad as bolumad from "
    "personel as pe  LEFT OUTER JOIN grup ON pe.grupid=grup.id  LEFT OUTER JOIN bolum ON "
    "pe.bolumid=bolum.id  LEFT OUTER JOIN gorev ON pe.gorevid=gorev.id  LEFT OUTER JOIN servis "
    "ON pe.servisid=servis.id  LEFT OUTER JOIN bolge ON pe.bolgeid=bolge.id  LEFT OUTER JOIN "
    "firma ON pe.firmaid=firma.id  WHERE 1=1 ");

const QString kPersonnelOrder = QStringLiteral(" order by pe.kartno");

QString escapeLikeText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\\\\\"); // the literal gives \\, which LIKE reads as one \.
        else if (c == QLatin1Char('\''))
            out += QStringLiteral("''");
        else
            out += c;
    }
    return out;
}

QString PersonnelQuery(const PersonnelFilter& filter) {
    QString conditions;
    if (filter.status == PersonnelStatus::Active)
        conditions += QStringLiteral(" and pe.durum='Aktif' ");
    else if (filter.status == PersonnelStatus::Passive)
        conditions += QStringLiteral(" and pe.durum='Pasif' ");

    const QString text = filter.searchText.trimmed();
    if (!text.isEmpty()) {
        static const char* const columns[] = {"pe.kartno", "pe.ad", "pe.kartid"};
        conditions += QStringLiteral(" and ") +
                      QLatin1String(columns[static_cast<int>(filter.searchColumn)]) +
                      QStringLiteral(" Like'%") + escapeLikeText(text) + QStringLiteral("%'  ");
    }

    for (std::size_t i = 0; i < kLookupTables.size(); ++i)
        if (filter.lookupIds[i])
            conditions += QStringLiteral(" and ") + QLatin1String(kLookupTables[i].column) +
                          QLatin1Char('=') + QString::number(*filter.lookupIds[i]);

    return kPersonnelBaseStatement + conditions + kPersonnelOrder;
}
