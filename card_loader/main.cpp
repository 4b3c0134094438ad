// cardpush: without a command the window opens; with one the command runs without a screen.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral(
        " SelvanoR/Norvi/Miro/Pelto/SelvanoR yüz için PDKS'den cihaza kart/şifre/yüz yükle v1.0.2 "
        "[Quenvar]"));
    window.show();
    return app.exec();
}
