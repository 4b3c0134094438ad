#pragma once

#include <QDialog>

class Tfrmgiris;

class Tfrmzil : public QDialog {
public:
    explicit Tfrmzil(Tfrmgiris& main);

private:
    Tfrmgiris& main_;
};
