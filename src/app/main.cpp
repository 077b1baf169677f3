// anivor: the desktop program.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Anivor 13");
    QMainWindow window;
    window.setWindowTitle("Anivor 13");
    window.resize(800, 600);
    window.show();
    return app.exec();
}
