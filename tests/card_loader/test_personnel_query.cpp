// The personnel statement as text: base, conditions in their order, order clause.

#include "personnel_query.h"

#include <QtTest>

class TestPersonnelQuery : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void conditions_data();
    void conditions();
    void baseStatementIsVerbatim();
};

void TestPersonnelQuery::conditions_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("lookups"); // index, id pairs
    QTest::addColumn<QString>("conditions");

    const int all = int(PersonnelStatus::All), active = int(PersonnelStatus::Active),
              passive = int(PersonnelStatus::Passive);
    const int kartno = int(SearchColumn::Kartno), ad = int(SearchColumn::Ad),
              kartid = int(SearchColumn::Kartid);
    QTest::newRow("nothing chosen") << all << ad << "" << QList<int>{} << "";
    QTest::newRow("blanks only are no search") << all << ad << "   \t " << QList<int>{} << "";
    QTest::newRow("active") << active << ad << "" << QList<int>{} << " and pe.durum='Aktif' ";
    QTest::newRow("passive") << passive << ad << "" << QList<int>{} << " and pe.durum='Pasif' ";
    QTest::newRow("kartno after status") << active << kartno << "12" << QList<int>{}
                                         << " and pe.durum='Aktif'  and pe.kartno Like'%12%'  ";
    QTest::newRow("name trimmed") << all << ad << "  Ayşe " << QList<int>{}
                                  << " and pe.ad Like'%Ayşe%'  ";
    QTest::newRow("kartid") << all << kartid << "0045" << QList<int>{}
                            << " and pe.kartid Like'%0045%'  ";
    QTest::newRow("quote cannot end the pattern")
        << all << ad << "x' or 1=1; drop table personel; --" << QList<int>{}
        << " and pe.ad Like'%x'' or 1=1; drop table personel; --%'  ";
    QTest::newRow("backslash is a literal backslash")
        << all << ad << "a\\'" << QList<int>{} << " and pe.ad Like'%a\\\\\\\\''%'  ";
    QTest::newRow("wildcards stay")
        << all << ad << "a%b_c" << QList<int>{} << " and pe.ad Like'%a%b_c%'  ";
    QTest::newRow("look-ups in list order after search")
        << passive << ad << "Ali" << QList<int>{5, 2, 0, 7, 3, 11}
        << " and pe.durum='Pasif'  and pe.ad Like'%Ali%'   and pe.grupid=7 and pe.servisid=11"
           " and pe.firmaid=2";
    QTest::newRow("every look-up")
        << all << ad << "" << QList<int>{0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6}
        << " and pe.grupid=1 and pe.bolumid=2 and pe.gorevid=3 and pe.servisid=4"
           " and pe.bolgeid=5 and pe.firmaid=6";
}

void TestPersonnelQuery::conditions() {
    QFETCH(int, status);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QList<int>, lookups);
    QFETCH(QString, conditions);

    PersonnelFilter filter;
    filter.status = PersonnelStatus(status);
    filter.searchColumn = SearchColumn(column);
    filter.searchText = text;
    for (int i = 0; i + 1 < lookups.size(); i += 2)
        filter.lookupIds[std::size_t(lookups[i])] = lookups[i + 1];
    QCOMPARE(PersonnelQuery(filter), kPersonnelBaseStatement + conditions + " order by pe.kartno");
}

void TestPersonnelQuery::baseStatementIsVerbatim() {
    QVERIFY(kPersonnelBaseStatement.startsWith(
        "select pe.id,pe.kartid,pe.kartno,pe.ad,pe.soyad,CONCAT(pe.ad,' ',pe.soyad) as isim,"));
    QVERIFY(kPersonnelBaseStatement.contains(
        "grup.ad as grupad,bolum.ad as bolumad from personel as pe  LEFT OUTER JOIN grup ON "
        "pe.grupid=grup.id  LEFT OUTER JOIN bolum ON pe.bolumid=bolum.id  LEFT OUTER JOIN "));
    QVERIFY(kPersonnelBaseStatement.endsWith(
        "  LEFT OUTER JOIN firma ON pe.firmaid=firma.id  WHERE 1=1 "));
    QCOMPARE(kPersonnelBaseStatement.count("pe.kartid,"), 2);
    QCOMPARE(kPersonnelBaseStatement.count("pe.grupid,"), 2);
}

QTEST_GUILESS_MAIN(TestPersonnelQuery)
#include "test_personnel_query.moc"
