#pragma once

#include <QDialog>

class Tfrmgiris;

class Tfrmyeni : public QDialog {
public:
    explicit Tfrmyeni(Tfrmgiris& main);

private:
    Tfrmgiris& main_;
};
