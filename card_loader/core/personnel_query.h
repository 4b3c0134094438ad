#pragma once
// The statement behind the personnel list: a fixed base, the chosen conditions and the order
// clause, built as text the way the attendance software's own screens build it.

#include <QString>
#include <array>
#include <optional>

enum class PersonnelStatus { All, Active, Passive };
enum class SearchColumn { Kartno, Ad, Kartid };

// The six organisational look-ups, in the order of the window's lists.
struct LookupTable {
    const char* table;  // also the list's statement: "select * from <table> order by ad"
    const char* column; // condition column of personel
};
constexpr std::array<LookupTable, 6> kLookupTables{{{"grup", "pe.grupid"},
                                                    {"bolum", "pe.bolumid"},
                                                    {"gorev", "pe.gorevid"},
                                                    {"servis", "pe.servisid"},
                                                    {"bolge", "pe.bolgeid"},
                                                    {"firma", "pe.firmaid"}}};

struct PersonnelFilter {
    PersonnelStatus status = PersonnelStatus::Active;
    SearchColumn searchColumn = SearchColumn::Ad;
    QString searchText; // as typed; blanks around it do not count
    // The chosen entry's id per look-up; empty = entry 0, no condition.
    std::array<std::optional<qint64>, 6> lookupIds;
};

extern const QString kPersonnelBaseStatement;
extern const QString kPersonnelOrder;

// Base statement + conditions (status, search, look-ups 1-6) + " order by pe.kartno".
QString PersonnelQuery(const PersonnelFilter& filter);

// text placed inside '%...%': quote and backslash can neither end the literal nor act as
// an escape; % and _ stay wildcards.
QString escapeLikeText(const QString& text);
